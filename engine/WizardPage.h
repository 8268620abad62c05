#pragma once

// What every korc page shares: controls placed in dialog units and named after their
// control ids, the dialog look, and the three ways out, each written to the state's
// accepted and back flags, so the runner reads the page's result from the state.

#include <QDialog>
#include <QString>

#include "engine/DialogLook.h"
#include "engine/PageDriver.h"
#include "engine/WizardState.h"
#include "platform/ui/DialogUnits.h"

class QLabel;
class QPushButton;

inline constexpr int kButtonForward = 1;  // "Next ->" or "Extract"
inline constexpr int kButtonCancel = 2;
inline constexpr int kButtonBack = 226;
inline constexpr int kCodecList = 201;  // the codec pages' encoder list
inline constexpr char kCancelText[] = "Cancel";
inline constexpr char kBackText[] = "<- Back";
inline constexpr char kNextText[] = "Next ->";
inline constexpr char kExtractText[] = "Extract";

class CWizardPage : public QDialog {
public:
    CWizardPage(WizardState& state, WizardPageId page, int widthUnits, int heightUnits,
                QWidget* parent = nullptr);

    WizardPageId Page() const { return page_; }
    // A control by its id; nullptr when the page has none of that type.
    template <class T>
    T* Control(int id) const {
        return findChild<T*>(ControlName(id), Qt::FindDirectChildrenOnly);
    }

    // Escape and the window's close box end the page as Cancel does.
    void reject() override;

protected:
    // Makes the widget a child named after id, placed at the rectangle in dialog units.
    template <class W>
    W* Place(W* widget, int id, int x, int y, int width, int height) {
        widget->setParent(this);
        if (id) widget->setObjectName(ControlName(id));
        widget->setGeometry(units_.ToPixels(x, y, width, height));
        return widget;
    }
    QLabel* AddText(int id, const QString& text, int x, int y, int width, int height = 10);
    QPushButton* AddButton(int id, const QString& text, int x, int y, int width = 50);

    void EndForward();  // accepted 1
    void EndBack();     // back 1, accepted 0
    void EndCancel();   // both 0

    WizardState& state_;
    const DialogUnits units_;

private:
    WizardPageId page_;
};
