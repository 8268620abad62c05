#include "support/PlayerInstall.h"

#include <QBuffer>
#include <QImage>
#include <filesystem>

#include "support/ZipArchive.h"

PlayerFolders InstallPlayer(const TempEnvironment& env, const PlayerSettings& installed,
                            const std::vector<std::string>& skins) {
    TempEnvironment::WriteFile(
        env.Path("program/options.cfg"),
        std::string(reinterpret_cast<const char*>(&installed), sizeof installed));
    std::filesystem::create_directories(env.Path("program/skins"));
    for (const std::string& name : skins)
        std::filesystem::copy_file(std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs",
                                   env.Path("program/skins/" + name + ".krs"),
                                   std::filesystem::copy_options::overwrite_existing);
    return InstalledFolders(env);
}

PlayerFolders InstalledFolders(const TempEnvironment& env) {
    return PlayerFolders{env.Path("program"), env.ConfigHome() + "/Kalvor",
                         env.DataHome() + "/Kalvor", env.RuntimeDir()};
}

bool WriteTallerSkin(const std::string& from, const std::string& to, int extraRows) {
    ZipEntries entries;
    if (!ReadZipArchive(from, entries)) return false;
    for (auto& [name, bytes] : entries) {
        if (name != "main.bmp") continue;
        const QImage main = QImage::fromData(QByteArray::fromStdString(bytes), "BMP");
        if (main.isNull()) return false;
        // Nearest rows are repeated, so the key colour and the buttons' places stay.
        const QImage taller = main.scaled(main.width(), main.height() + extraRows,
                                          Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QByteArray written;
        QBuffer buffer(&written);
        buffer.open(QIODevice::WriteOnly);
        if (!taller.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) return false;
        bytes = written.toStdString();
    }
    return WriteZipArchive(to, entries);
}
