#pragma once

// The page driver of a real run: each page and the progress dialog shown modally, owned by
// the player's window.

#include "engine/CodecCatalogue.h"
#include "engine/PageDriver.h"

class IFolderPicker;

class CDialogPageDriver : public IPageDriver {
public:
    CDialogPageDriver(const CodecCatalogue& catalogue, IFolderPicker& picker)
        : catalogue_(catalogue), picker_(picker) {}

    PageResult ShowPage(WizardPageId page, WizardState& state) override;
    ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) override;
    bool RunInBackground(WizardState& state, const BackgroundWork& work) override;
    void ConfigureEncoder(WizardState& state, GstElement* encoder) override;

private:
    const CodecCatalogue& catalogue_;
    IFolderPicker& picker_;
};
