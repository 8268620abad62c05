#include "engine/WizardPage.h"

#include <QLabel>
#include <QPushButton>

#include "platform/ui/ProgramIcons.h"

CWizardPage::CWizardPage(WizardState& state, WizardPageId page, int widthUnits, int heightUnits,
                         QWidget* parent)
    : QDialog(parent), state_(state), units_(font()), page_(page) {
    setObjectName(ControlName(static_cast<int>(page)));
    setWindowIcon(programicons::Icon(programicons::kKorc));
    ApplyDialogLook(this);
    setFixedSize(units_.X(widthUnits), units_.Y(heightUnits));
}

QLabel* CWizardPage::AddText(int id, const QString& text, int x, int y, int width, int height) {
    return Place(new QLabel(text), id, x, y, width, height);
}

QPushButton* CWizardPage::AddButton(int id, const QString& text, int x, int y, int width) {
    auto* button = Place(new QPushButton(text), id, x, y, width, 14);
    button->setAutoDefault(false);
    return button;
}

void CWizardPage::reject() { EndCancel(); }

void CWizardPage::EndForward() {
    state_.accepted = 1;
    state_.back = 0;
    done(kButtonForward);
}

void CWizardPage::EndBack() {
    state_.accepted = 0;
    state_.back = 1;
    done(kButtonBack);
}

void CWizardPage::EndCancel() {
    // A back flag left by an earlier page must not turn this Cancel into a Back.
    state_.accepted = 0;
    state_.back = 0;
    done(kButtonCancel);
}
