#pragma once

// A walk over dialog pages: each page's layout faults under the page's name, and, with
// KALVOR_DIALOG_GRABS naming a folder, a picture of each page saved there.

#include <string>
#include <vector>

#include "dialogs/LayoutCheck.h"

class QWidget;
class TempEnvironment;

// The resolution the program runs at (KALVOR_TEST_DPI, 96 when unset).
std::string WalkDpi();

class Walk {
public:
    // Shows the window first (views lay out their rows only then) unless it is shown or
    // must stay hidden, as a dialog whose showing starts its work.
    void Page(QWidget& window, const std::string& name,
              const std::vector<PaintedText>& painted = {}, bool show = true);
    const std::vector<std::string>& Faults() const { return faults_; }
    int Pages() const { return pages_; }

private:
    std::vector<std::string> faults_;
    int pages_ = 0;
};

// Every page of the player's dialogs: options, file types, effect controls, media
// information, play range, wizard, logo placement, About.
void WalkPlayerDialogs(Walk& walk, const TempEnvironment& env);
// Every page of korc: the first-step pages, the codec pages, the progress dialog.
void WalkKorcDialogs(Walk& walk);
