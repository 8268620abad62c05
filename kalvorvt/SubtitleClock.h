#pragma once

// Maps a frame's stream time to the media time its subtitles are looked up at. Each frame
// keeps its own timestamp; the caller's position (SetPosition) only re-anchors the offset
// between the two clocks. The caller reads its position downstream, behind the frame in
// hand, so its reports lag: a report within kTolerance of the anchor can only move the
// offset forward (taking the least lagging report), and a larger jump re-anchors at once.
// Not thread-safe: the element keeps it under its lock.

class SubtitleClock {
public:
    static constexpr double kTolerance = 3.0;  // seconds

    // A frame at streamSeconds is about to be drawn; returns its media time.
    double Frame(double streamSeconds);
    // The caller's media clock reads mediaSeconds now.
    void SetPosition(double mediaSeconds);
    // After a flush the stream time of the last frame says nothing about the next one.
    void Flush() { haveFrame_ = false; }
    double Offset() const { return offset_; }

private:
    double offset_ = 0.0;
    double lastStream_ = 0.0;
    bool haveFrame_ = false;
};
