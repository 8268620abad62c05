#include "platform/ui/ModalWindows.h"

#include <QApplication>
#include <QDialog>

namespace modalwindows {

void CloseAbove(const QWidget* bottom) {
    constexpr int kMostNested = 16;
    for (int left = kMostNested; left > 0; --left) {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            continue;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == bottom) return;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
        else
            modal->close();
    }
}

}  // namespace modalwindows
