// korc's pages and progress dialog for the layout walk, each in the state a user meets it
// in, with the widest values its fields show.

#include <QTreeWidget>
#include <optional>

#include "dialogs/DialogWalk.h"
#include "engine/AudioCodecPage.h"
#include "engine/CodecCatalogue.h"
#include "engine/FirstStepPage.h"
#include "engine/FolderPicker.h"
#include "engine/ProgressDialog.h"
#include "engine/VideoCodecPage.h"

namespace {

struct NoPicker : IFolderPicker {
    std::optional<std::string> PickFolder(QWidget*, const std::string&,
                                          const std::string&) override {
        return std::nullopt;
    }
};

WizardState KorcState() {
    WizardState state;
    state.outputFolder = "/home/user/Videos";
    state.fileName = "holiday";
    state.fastAllowed = 1;
    state.withAudio = 1;
    state.fragmentHasVideo = {1};
    state.stepCaption = "Kalvor Wizard - Merge Video Fragments (Step 2 of 3)";
    state.defaultButtonText = "Next ->";
    state.frameRate = 25, state.keyFrameRate = 60, state.quality = 100;
    state.width = 1920, state.height = 1080;
    state.chosenVideoCodec = state.chosenAudioCodec = state.chosenAudioFormat = -1;
    state.sourceSampleRate = 44100, state.sourceBitrate = 128;
    return state;
}

void WalkPages(Walk& walk) {
    NoPicker picker;
    for (WizardPageId id : {WizardPageId::ExtractImage, WizardPageId::ExtractAudio,
                            WizardPageId::ExtractVideo, WizardPageId::MergeVideo,
                            WizardPageId::MergeAudio, WizardPageId::Mix}) {
        WizardState state = KorcState();
        CFirstStepPage page(state, id, picker);
        walk.Page(page, "korc-" + std::to_string(static_cast<int>(id)));
    }

    const CodecCatalogue catalogue = CodecCatalogue::Build();
    {
        WizardState state = KorcState();
        CVideoCodecPage page(state, catalogue);
        auto* list = page.Control<QTreeWidget>(kCodecList);
        // The first row offers neither quality nor key frames; the default row may.
        walk.Page(page, "korc-218");
        list->setCurrentItem(list->topLevelItem(0));
        walk.Page(page, "korc-218-uncompressed");
    }
    for (const char* preferred : {"", "LAME"}) {
        WizardState state = KorcState();
        state.preferredCodec1 = preferred;
        CAudioCodecPage page(state, catalogue);
        walk.Page(page, std::string("korc-219") + (*preferred ? "-mp3" : ""));
    }
}

void WalkProgress(Walk& walk) {
    WizardState state = KorcState();
    state.destination = "/home/user/Videos/holiday.avi";
    state.startSeconds = 0, state.endSeconds = 36000;
    CProgressDialog progress(state, ProgressGraph{});
    // Showing it would start its graph.
    walk.Page(progress, "korc-220", {}, false);
    progress.Run().onDisplay(
        {36000, 35460, "Saved: 35460 of 36000 seconds", "98% complete"});
    walk.Page(progress, "korc-220-running", {}, false);
}

}  // namespace

void WalkKorcDialogs(Walk& walk) {
    WalkPages(walk);
    WalkProgress(walk);
}
