#include "player/shell/StatusTip.h"

#include <cstdio>

#include "player/settings/PlayerSettings.h"
#include "player/shell/HKTip.h"
#include "player/shell/MainSurface.h"
#include "player/shell/StatusText.h"

void StatusTip::Show(int kind, bool keep) {
    if (!tip_) return;
    if (kind == kProblem) {
        lastKind_ = kind;
        tip_->ShowTip(problemText_, keep);
        return;
    }
    if (settings_.showTips != 1) return;
    lastKind_ = kind;
    tip_->ShowTip(statustext::Text(kind, surface_.TextAt(MainSurface::kTitleText),
                                   surface_.TextAt(MainSurface::kTimeText), settings_.volume,
                                   settings_.repeatMode),
                  keep);
}

void StatusTip::ReportProblem(const std::string& text) {
    std::fprintf(stderr, "Kalvor: %s\n", text.c_str());
    problemText_ = text;
    Show(kProblem, false);
}

// The title-and-time text shows the live time while the tip counts down.
bool StatusTip::Tick() {
    if (!tip_ || tip_->Countdown() == 0) return false;
    if (tip_->Tick()) {
        Show(lastKind_, true);
        return false;
    }
    return true;
}
