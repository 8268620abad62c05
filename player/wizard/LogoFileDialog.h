#pragma once

// The open dialog for a logo file, behind a seam so tests can answer it.

#include <optional>
#include <string>

class QWidget;

inline constexpr char kLogoDialogTitle[] = "Kalvor - Select Image or Video file...";

// The dialog's three filters, "All Files" first, in the file dialog's notation.
std::string LogoFileFilters();

class ILogoFileDialog {
public:
    virtual ~ILogoFileDialog() = default;
    // The chosen existing file; nothing when the user cancels.
    virtual std::optional<std::string> AskLogoFile(QWidget* owner) = 0;
};

class LogoFileDialog : public ILogoFileDialog {
public:
    std::optional<std::string> AskLogoFile(QWidget* owner) override;
};
