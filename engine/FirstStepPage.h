#pragma once

// The first page of every job kind: output name, folder and the job's options. The name
// and folder are kept in the state as they change, so the page opened again after
// "<- Back" shows them; the options are kept as each is clicked.

#include "engine/FirstStepRules.h"
#include "engine/WizardPage.h"

class IFolderPicker;
class QLineEdit;
class QPushButton;

class CFirstStepPage : public CWizardPage {
public:
    CFirstStepPage(WizardState& state, WizardPageId page, IFolderPicker& picker,
                   QWidget* parent = nullptr);

    // Button 1: refuses a name with special characters (the page stays), else keeps the
    // options, builds the output paths and ends forward.
    void Forward();
    void Browse();

private:
    void AddOptions(int& y);
    void OptionClicked(const OptionGroup& group, const RadioOption& option);
    // Caption, button text and the controls that depend on other options.
    void Refresh();

    IFolderPicker& picker_;
    QLineEdit* name_ = nullptr;
    QPushButton* forward_ = nullptr;
};
