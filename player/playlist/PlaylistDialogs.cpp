#include "player/playlist/PlaylistDialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "player/playlist/MediaFileTypes.h"

namespace {

constexpr char kAddFilesTitle[] = "Kalvor - Add Media File(s) to Playlist...";
constexpr char kAddFolderTitle[] = "Add Media Files from Directory...";

}  // namespace

std::vector<std::string> PlaylistDialogs::AskMediaFiles(const std::string& initialFolder) {
    QStringList filters;
    for (const mediafiles::Filter& filter : mediafiles::kMediaFilters)
        filters << QString::fromStdString(mediafiles::NameFilter(filter));
    QFileDialog dialog(owner_, QString::fromUtf8(kAddFilesTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    if (!initialFolder.empty()) dialog.setDirectory(QString::fromStdString(initialFolder));
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) return paths;
    for (const QString& path : dialog.selectedFiles()) paths.push_back(path.toStdString());
    return paths;
}

std::optional<std::string> PlaylistDialogs::AskFolder(const std::string& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(
        owner_, QString::fromUtf8(kAddFolderTitle), QString::fromStdString(initialFolder),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}
