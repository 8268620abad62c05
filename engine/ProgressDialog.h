#pragma once

// The dialog in which a job's graph runs: destination, seconds written, percentage, and a
// button that stops the graph while it runs ("Cancel") and closes the dialog after it has
// ended ("Done"). With the state's autoClose at 1 it closes itself at the end.

#include <QDialog>

#include "engine/PageDriver.h"
#include "engine/ProgressRun.h"
#include "platform/ui/DialogUnits.h"

inline constexpr int kProgressBar = 238;
inline constexpr int kDestinationText = 240;
inline constexpr int kSavedText = 241;
inline constexpr int kPercentText = 242;
inline constexpr char kProgressTitle[] = "Kalvor Wizard - Media Processing";
inline constexpr char kDoneText[] = "Done";

class CProgressDialog : public QDialog {
public:
    CProgressDialog(WizardState& state, const ProgressGraph& graph, QWidget* parent = nullptr);

    CProgressRun& Run() { return run_; }
    // Button 1 or Cancel: stops a running graph first; the dialog ends once it has stopped.
    void Press(int button);
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Display(const ProgressView& view);
    void Ended(ProgressOutcome outcome);

    WizardState& state_;
    const DialogUnits units_;
    CProgressRun run_;
    bool started_ = false;
    int pressed_ = 0;  // the button that stopped the graph, to end with once it has stopped
};
