#pragma once

// The encoders the codec pages list and the graph helpers create, so that a row number means
// the same encoder to both. Built once per run from the element registry, in a stable order.
//
// Video rows: 0 no encoder, 1..m the video encoders. Audio rows: 0 no encoder, 1..n the
// audio encoders, n + 1 the MP3 encoder (lamemp3enc) when it is installed.

#include <cstdint>
#include <string>
#include <vector>

struct CodecEntry {
    std::string displayName;
    std::string factoryName;
    int32_t mask = 0;  // kCodecCanQuality | kCodecCanKeyFrame | kCodecCanConfigure
};

inline constexpr char kMp3EncoderFactory[] = "lamemp3enc";
inline constexpr char kMp3EncoderItem[] = "MP3 Encoder";

class CodecCatalogue {
public:
    // Every encoder whose output avimux (video) or avimux or the WAV writer (audio) can take.
    static CodecCatalogue Build();

    const std::vector<CodecEntry>& Video() const { return video_; }
    const std::vector<CodecEntry>& Audio() const { return audio_; }  // without the MP3 encoder
    bool HasMp3Encoder() const { return hasMp3_; }
    int32_t Mp3Row() const { return hasMp3_ ? static_cast<int32_t>(audio_.size()) + 1 : -1; }
    bool IsMp3Row(int32_t row) const { return hasMp3_ && row == Mp3Row(); }

    // The entry of a row; nullptr for row 0, the MP3 row and rows out of range.
    const CodecEntry* VideoRow(int32_t row) const;
    const CodecEntry* AudioRow(int32_t row) const;

    // The row a preferred codec name selects: the names of other systems ("XviD", "LAME",
    // ...) through the alias table, any other name as a case-insensitive part of a display
    // name (the last such row). -1 when nothing matches.
    int32_t PreferredVideoRow(const std::string& name) const;
    int32_t PreferredAudioRow(const std::string& name) const;

private:
    std::vector<CodecEntry> video_;
    std::vector<CodecEntry> audio_;
    bool hasMp3_ = false;
};
