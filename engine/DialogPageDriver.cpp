#include "engine/DialogPageDriver.h"

#include <memory>

#include "engine/AudioCodecPage.h"
#include "engine/FirstStepPage.h"
#include "engine/ProgressDialog.h"
#include "engine/VideoCodecPage.h"
#include "engine/WaitDialog.h"
#include "platform/ui/EncoderPropertyDialog.h"
#include "platform/ui/OwnerWindow.h"

PageResult CDialogPageDriver::ShowPage(WizardPageId page, WizardState& state) {
    // The encoders are looked for only once a page lists them, away from the window.
    const bool codecPage = page == WizardPageId::VideoCodec || page == WizardPageId::AudioCodec;
    if (codecPage && !catalogue_.IsComplete() &&
        !RunInBackground(state, catalogue_.CompletionWork())) {
        state.accepted = state.back = 0;
        return PageResult::Cancelled;
    }
    std::unique_ptr<CWizardPage> dialog;
    if (page == WizardPageId::VideoCodec)
        dialog = std::make_unique<CVideoCodecPage>(state, catalogue_);
    else if (page == WizardPageId::AudioCodec)
        dialog = std::make_unique<CAudioCodecPage>(state, catalogue_);
    else
        dialog = std::make_unique<CFirstStepPage>(state, page, picker_);
    ownerwindow::MakeTransientFor(dialog.get(), state.ownerWindow);
    dialog->exec();
    return PageResultOf(state.accepted, state.back);
}

ProgressOutcome CDialogPageDriver::RunProgress(WizardState& state, const ProgressGraph& graph) {
    CProgressDialog dialog(state, graph);
    ownerwindow::MakeTransientFor(&dialog, state.ownerWindow);
    dialog.exec();
    // A dialog closed before its graph ended counts as the user's stop.
    return dialog.Run().Outcome().value_or(ProgressOutcome::Stopped);
}

bool CDialogPageDriver::RunInBackground(WizardState& state, const BackgroundWork& work) {
    return RunWithWaitDialog(work, state.ownerWindow);
}

void CDialogPageDriver::ConfigureEncoder(WizardState& state, GstElement* encoder) {
    // Its OK or Cancel is the user's: the job runs with the settings the encoder has then.
    ShowEncoderConfiguration(encoder, state.ownerWindow);
}
