#include "engine/FolderPicker.h"

#include <QFileDialog>

std::optional<std::string> CDialogFolderPicker::PickFolder(QWidget* owner, const std::string& title,
                                                           const std::string& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner, QString::fromStdString(title),
                                                             QString::fromStdString(startFolder),
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}
