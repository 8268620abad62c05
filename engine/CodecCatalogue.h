#pragma once

// The encoders the codec pages list and the graph helpers create, so that a row number means
// the same encoder to both. Made once per run from the element registry, in a stable order.
// An encoder is listed only when it opens on a raw format and what it then makes is taken
// by the writer of the job, each display name once. Audio has one list per writer: the AVI
// muxer of video jobs and the WAV writer of audio-only jobs take different streams.
//
// Video rows: 0 no encoder, 1..m the video encoders. Audio rows: 0 no encoder, 1..n the
// audio encoders for the writer, n + 1 the MP3 encoder (lamemp3enc) when it is installed.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/PageDriver.h"  // BackgroundWork

struct CodecEntry {
    std::string displayName;
    std::string factoryName;
    int32_t mask = 0;  // kCodecCanQuality | kCodecCanKeyFrame | kCodecCanConfigure
};

inline constexpr char kMp3EncoderFactory[] = "lamemp3enc";
inline constexpr char kMp3EncoderItem[] = "MP3 Encoder";

// What an audio encoder's output goes into.
enum class AudioWriter { Avi, Wav };

// The streams the WAV writer takes: what a WAVE format header can name.
inline constexpr char kWavWriterCaps[] =
    "audio/x-raw, format=(string){ S16LE, U8, S24LE, S32LE, F32LE, F64LE }, "
    "layout=(string)interleaved; "
    "audio/mpeg, mpegversion=(int)1, layer=(int)3; "
    "audio/x-adpcm, layout=(string)dvi; audio/x-alaw; audio/x-mulaw";

class CodecCatalogue {
public:
    // Empty: no encoders.
    CodecCatalogue() = default;
    // The installed encoders, tried when the catalogue is first asked anything (or by
    // Complete): a job that ends before its codec pages never waits for that.
    static CodecCatalogue Build();
    // Made the first time a list is asked for (or by Complete), from the verdicts kept in
    // cacheFile for the installed plugins: only encoders without one are tried, and what
    // they show is kept there for the next run.
    static CodecCatalogue OnDemand(std::string cacheFile);
    // The cache file korc's runs share, in the user's cache folder.
    static std::string DefaultCacheFile();

    // Makes the lists now, on the calling thread; the first caller does the work.
    void Complete() const;
    bool IsComplete() const;
    // Complete() as work for a thread of its own, with the wait window's texts.
    BackgroundWork CompletionWork() const;

    const std::vector<CodecEntry>& Video() const { return Lists().video; }
    // Without the MP3 encoder.
    const std::vector<CodecEntry>& Audio(AudioWriter writer) const;
    bool HasMp3Encoder() const { return Lists().hasMp3; }
    int32_t Mp3Row(AudioWriter writer) const;
    bool IsMp3Row(int32_t row, AudioWriter writer) const {
        return HasMp3Encoder() && row == Mp3Row(writer);
    }

    // The entry of a row; nullptr for row 0, the MP3 row and rows out of range.
    const CodecEntry* VideoRow(int32_t row) const;
    const CodecEntry* AudioRow(int32_t row, AudioWriter writer) const;

    // The row a preferred codec name selects: the names of other systems ("XviD", "LAME",
    // ...) through the alias table, any other name as a case-insensitive part of a display
    // name (the last such row). -1 when nothing matches.
    int32_t PreferredVideoRow(const std::string& name) const;
    int32_t PreferredAudioRow(const std::string& name, AudioWriter writer) const;

private:
    struct Rows {
        std::vector<CodecEntry> video;
        std::vector<CodecEntry> aviAudio;
        std::vector<CodecEntry> wavAudio;
        bool hasMp3 = false;
    };
    // The rows, made once, whichever thread asks first; shared by copies.
    struct Pending {
        std::once_flag once;
        std::atomic<bool> done{false};
        bool useCache = false;
        std::string cacheFile;
        Rows rows;
    };

    const Rows& Lists() const;
    static Rows TryEncoders(const std::string* cacheFile);

    std::shared_ptr<Pending> pending_;  // none for an empty catalogue
};
