#include "engine/GraphError.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "platform/ui/MessageSink.h"
#include "platform/ui/OwnerWindow.h"

void ReportGraphError(uint32_t ownerWindow, const std::string& text) {
    ShowOwnedWarning(ownerWindow, kGraphErrorCaption, text);
}

void ShowOwnedWarning(uint32_t ownerWindow, const std::string& caption, const std::string& text) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() != application->thread()) {
        // Widgets live on the user-interface thread only, and a streaming thread waiting on
        // a box would hold the graph: hand the report over and go on.
        QMetaObject::invokeMethod(
            application, [ownerWindow, caption, text] { ShowOwnedWarning(ownerWindow, caption, text); },
            Qt::QueuedConnection);
        return;
    }
    // The player's window lives in another process: the box itself is made transient for it.
    ownerwindow::ShowOwned(ownerWindow,
                           [&] { ShowMessage(nullptr, caption, text, MessageIcon::Warning); });
}
