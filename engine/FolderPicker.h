#pragma once

// The folder picker of the first-step pages, behind a seam so that tests answer it.

#include <optional>
#include <string>

class QWidget;

class IFolderPicker {
public:
    virtual ~IFolderPicker() = default;
    // The folder the user picked, or nothing when the picker was cancelled.
    virtual std::optional<std::string> PickFolder(QWidget* owner, const std::string& title,
                                                  const std::string& startFolder) = 0;
};

// The toolkit's folder dialog, owned by the page.
class CDialogFolderPicker : public IFolderPicker {
public:
    std::optional<std::string> PickFolder(QWidget* owner, const std::string& title,
                                          const std::string& startFolder) override;
};
