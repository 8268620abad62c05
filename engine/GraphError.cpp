#include "engine/GraphError.h"

#include <QWidget>

#include "platform/ui/MessageSink.h"
#include "platform/ui/OwnerWindow.h"

void ReportGraphError(uint32_t ownerWindow, const std::string& text) {
    ShowOwnedWarning(ownerWindow, kGraphErrorCaption, text);
}

void ShowOwnedWarning(uint32_t ownerWindow, const std::string& caption, const std::string& text) {
    if (!ownerwindow::Exists(ownerWindow)) {
        ShowMessage(nullptr, caption, text, MessageIcon::Warning);
        return;
    }
    // The player's window lives in another process: an unshown stand-in made transient for
    // it parents the box.
    QWidget owner;
    ownerwindow::MakeTransientFor(&owner, ownerWindow);
    ShowMessage(&owner, caption, text, MessageIcon::Warning);
}
