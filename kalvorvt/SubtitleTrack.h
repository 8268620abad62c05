#pragma once

// The cues of one subtitle file, read once when the file is handed over. SRT and MicroDVD
// are told apart by their content, never by the file name; anything else (binary data,
// files past kMaxFileBytes, anything but a regular file) gives no track at all. A line past
// kMaxLineBytes loses its own cue only.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class SubtitleTrack {
public:
    static constexpr size_t kMaxFileBytes = size_t(4) << 20;
    static constexpr size_t kMaxLineBytes = 4096;
    // MicroDVD frames are counted at this rate while the stream's own is unknown.
    static constexpr double kFallbackFrameRate = 25.0;

    struct Cue {
        double start;  // seconds for SRT, frame numbers for MicroDVD
        double end;
        std::string text;  // UTF-8, lines separated by '\n', markup removed
    };

    static std::shared_ptr<const SubtitleTrack> Load(const std::string& path);
    static std::shared_ptr<const SubtitleTrack> Parse(std::string_view content);

    // The index of the cue shown at mediaSeconds, or -1. A cue's times are taken as
    // time * multiplier + shift (seconds); MicroDVD frames are divided by frameRate first.
    int CueAt(double mediaSeconds, double shift, double multiplier, double frameRate) const;

    const std::vector<Cue>& Cues() const { return cues_; }
    bool InFrames() const { return inFrames_; }

private:
    bool ParseSrt(const std::vector<std::string_view>& lines);
    bool ParseMicroDvd(const std::vector<std::string_view>& lines);

    std::vector<Cue> cues_;
    bool inFrames_ = false;
};
