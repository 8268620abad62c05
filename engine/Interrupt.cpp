#include "engine/Interrupt.h"

#include <QApplication>
#include <QDialog>

#include "engine/WaitDialog.h"

void StopOnInterrupt() {
    // Every korc window ends on reject as on its Cancel or stop button.
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        return;
    }
    // The wait window exists, hidden, from the start of the reading.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* wait = dynamic_cast<CWaitDialog*>(window)) wait->reject();
}
