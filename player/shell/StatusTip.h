#pragma once

// What the tip window says: the title and time, the volume or the repeat mode for a while
// after a hot key (when tips are on), and the problems the player meets (always). The text
// of the kind shown last is made again as the tip counts down, so the time stays live.

#include <string>

class CHKTip;
class MainSurface;
struct PlayerSettings;

class StatusTip {
public:
    // The tip's kind while it shows a problem (after the status texts' kinds).
    static constexpr int kProblem = 3;

    StatusTip(const PlayerSettings& settings, const MainSurface& surface)
        : settings_(settings), surface_(surface) {}

    // The tip window, once it exists; nothing is shown before.
    void SetTip(CHKTip* tip) { tip_ = tip; }
    // A statustext kind or kProblem; unless keep, the tip's time starts again.
    void Show(int kind, bool keep);
    // Said on standard error too.
    void ReportProblem(const std::string& text);
    // One tick of the display timer; true when a shown tip has just gone.
    bool Tick();

private:
    const PlayerSettings& settings_;
    const MainSurface& surface_;
    CHKTip* tip_ = nullptr;
    int lastKind_ = 0;         // refreshed while it shows
    std::string problemText_;  // the last problem said, while the tip shows it
};
