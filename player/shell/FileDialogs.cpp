#include "player/shell/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "player/playlist/MediaFileTypes.h"

namespace {

constexpr char kOpenMediaTitle[] = "Kalvor - Open Media";
constexpr char kOpenSubtitlesTitle[] = "Kalvor - Open Subtitles";

// The playlist's media filters, then the playlists the main window also opens.
QStringList MediaFilters() {
    QStringList filters;
    for (const mediafiles::Filter& filter : mediafiles::kMediaFilters)
        filters << QString::fromStdString(mediafiles::NameFilter(filter));
    filters << "Playlists (*.m3u *.pls)";
    return filters;
}

std::optional<std::string> Ask(QWidget* owner, const char* title, const QStringList& filters) {
    QFileDialog dialog(owner, QString::fromUtf8(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> FileDialogs::AskMediaFile(QWidget* owner) {
    return Ask(owner, kOpenMediaTitle, MediaFilters());
}

std::optional<std::string> FileDialogs::AskSubtitleFile(QWidget* owner) {
    return Ask(owner, kOpenSubtitlesTitle, {"Subtitles Types (*)"});
}
