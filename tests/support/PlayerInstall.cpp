#include "support/PlayerInstall.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <utility>
#include <vector>

PlayerFolders InstallPlayer(const TempEnvironment& env, const PlayerSettings& installed) {
    TempEnvironment::WriteFile(
        env.Path("program/options.cfg"),
        std::string(reinterpret_cast<const char*>(&installed), sizeof installed));
    std::filesystem::create_directories(env.Path("program/skins"));
    std::filesystem::copy_file(std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs",
                               env.Path("program/skins/Default.krs"));
    return PlayerFolders{env.Path("program"), env.ConfigHome() + "/Kalvor",
                         env.DataHome() + "/Kalvor", env.RuntimeDir()};
}

namespace {

using Entries = std::vector<std::pair<std::string, QByteArray>>;

bool ReadEntries(const std::string& path, Entries& entries) {
    unzFile zip = unzOpen(path.c_str());
    if (!zip) return false;
    bool ok = unzGoToFirstFile(zip) == UNZ_OK;
    while (ok) {
        char name[256];
        unz_file_info info;
        ok = unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                 UNZ_OK &&
             unzOpenCurrentFile(zip) == UNZ_OK;
        if (!ok) break;
        QByteArray bytes(static_cast<qsizetype>(info.uncompressed_size), '\0');
        ok = unzReadCurrentFile(zip, bytes.data(), unsigned(bytes.size())) == int(bytes.size());
        unzCloseCurrentFile(zip);
        entries.emplace_back(name, bytes);
        if (unzGoToNextFile(zip) != UNZ_OK) break;
    }
    unzClose(zip);
    return ok && !entries.empty();
}

bool WriteEntries(const std::string& path, const Entries& entries) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    bool ok = zip != nullptr;
    for (const auto& [name, bytes] : entries)
        ok = ok &&
             zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK &&
             zipWriteInFileInZip(zip, bytes.data(), unsigned(bytes.size())) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    return zip && zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace

bool WriteTallerSkin(const std::string& from, const std::string& to, int extraRows) {
    Entries entries;
    if (!ReadEntries(from, entries)) return false;
    for (auto& [name, bytes] : entries) {
        if (name != "main.bmp") continue;
        const QImage main = QImage::fromData(bytes, "BMP");
        if (main.isNull()) return false;
        // Nearest rows are repeated, so the key colour and the buttons' places stay.
        const QImage taller = main.scaled(main.width(), main.height() + extraRows,
                                          Qt::IgnoreAspectRatio, Qt::FastTransformation);
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!taller.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) return false;
    }
    return WriteEntries(to, entries);
}

// The platform is chosen before the application is made.
static std::string OnXcb(const std::string& name) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    return name;
}

XcbApplication::XcbApplication(const std::string& name)
    : name_(OnXcb(name)),
      argv_{name_.data(), nullptr},
      application_(argc_, argv_) {}
