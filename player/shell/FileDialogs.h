#pragma once

// The main window's two file dialogs, behind a seam so that tests answer them.

#include <optional>
#include <string>

class QWidget;

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // "Kalvor - Open Media": an existing file, nothing when cancelled.
    virtual std::optional<std::string> AskMediaFile(QWidget* owner) = 0;
    // "Kalvor - Open Subtitles".
    virtual std::optional<std::string> AskSubtitleFile(QWidget* owner) = 0;
};

// Qt's own (non-native) dialogs, the same on every desktop.
class FileDialogs : public IFileDialogs {
public:
    std::optional<std::string> AskMediaFile(QWidget* owner) override;
    std::optional<std::string> AskSubtitleFile(QWidget* owner) override;
};
