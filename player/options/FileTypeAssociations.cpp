#include "player/options/FileTypeAssociations.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/registry/RegistryStore.h"
#include "platform/system/AtomicFile.h"
#include "platform/system/Paths.h"
#include "platform/system/RegularFile.h"
#include "platform/ui/MessageSink.h"
#include "player/options/DesktopEntry.h"
#include "player/options/FileTypeTable.h"
#include "player/options/MimeAppsList.h"
#include "player/options/MimePackage.h"

namespace {

constexpr char kCaption[] = "Kalvor";

bool WriteFile(const std::string& folder, const std::string& name, const std::string& text) {
    return paths::EnsureFolder(folder) &&
           atomicfile::Write(folder + "/" + name, text.data(), text.size());
}

// The list without the player's entry; empty when nothing else was listed.
std::string WithoutPlayer(const std::string& list) {
    std::string rest;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string id = list.substr(start, end - start);
        if (!id.empty() && id != desktopentry::kFileName) rest += id + ";";
        start = end + 1;
    }
    return rest;
}

}  // namespace

FileTypeAssociations::FileTypeAssociations(XdgMimeApps apps, std::string programPath,
                                           std::string registryPath, IProcessLauncher* launcher)
    : apps_(std::move(apps)),
      programPath_(std::move(programPath)),
      registryPath_(std::move(registryPath)),
      launcher_(launcher ? launcher : &DefaultProcessLauncher()) {}

std::string FileTypeAssociations::PackagePath() const {
    return apps_.DataHome() + "/mime/packages/" + mimepackage::kFileName;
}

bool FileTypeAssociations::RegisterOwnTypes(
    const std::vector<std::pair<std::string, bool>>& types, QWidget* owner) const {
    std::vector<mimepackage::Type> own;
    std::string extensions;
    for (const FileTypeRow& row : filetypes::Rows()) {
        if (!row.ownType) continue;
        const auto it = std::find_if(types.begin(), types.end(),
                                     [&](const auto& t) { return t.first == row.mimeType; });
        if (it == types.end() || !it->second) continue;
        own.push_back({row.mimeType, row.description, filetypes::Glob(row)});
        extensions += (extensions.empty() ? "" : ", ") + std::string(row.extension);
    }
    const std::string path = PackagePath();
    std::string before;
    const bool had =
        RegularFile::ReadWhole(path, XdgMimeApps::kMaxListBytes, before) == RegularFile::Status::Ok;
    const std::string text = own.empty() ? std::string() : mimepackage::Build(own);
    if (had ? before == text : own.empty()) return true;

    const size_t slash = path.rfind('/');
    const bool written = own.empty() ? (unlink(path.c_str()) == 0 || errno == ENOENT)
                                     : WriteFile(path.substr(0, slash), mimepackage::kFileName, text);
    const std::string mimeFolder = apps_.DataHome() + "/mime";
    std::string failure;
    if (!written)
        failure = path + " cannot be written";
    else if (!launcher_->StartDetached(mimepackage::kUpdateProgram, {mimeFolder}))
        failure = std::string(mimepackage::kUpdateProgram) + " cannot be run";
    if (failure.empty()) return true;
    ShowMessage(owner, kCaption,
                "The player's own file types" + (extensions.empty() ? "" : " (" + extensions + ")") +
                    " cannot be registered: " + failure + ".",
                MessageIcon::Error);
    return false;
}

std::string FileTypeAssociations::BackupKey(const std::string& mimeType) {
    return "FileTypes/" + mimeType + "/Kalvor_Back";
}

std::vector<bool> FileTypeAssociations::States() const {
    std::vector<bool> states;
    for (const FileTypeRow& row : filetypes::Rows())
        states.push_back(apps_.DefaultOf(row.mimeType) == desktopentry::kFileName);
    return states;
}

bool FileTypeAssociations::Apply(const std::vector<bool>& checked, QWidget* owner) const {
    const std::string entry = desktopentry::Build(programPath_, filetypes::MimeTypes());
    const bool entryWritten =
        WriteFile(desktopentry::ApplicationsFolder(), desktopentry::kFileName, entry);
    if (!entryWritten) ShowMessage(owner, kCaption, kAdminRightsText, MessageIcon::Error);

    // The user's own list is rewritten whole, so one that cannot be read is left alone.
    const std::string listPath = apps_.UserListPath();
    std::string text;
    const RegularFile::Status read =
        RegularFile::ReadWhole(listPath, XdgMimeApps::kMaxListBytes, text);
    if (read != RegularFile::Status::Ok && read != RegularFile::Status::Absent) {
        ShowMessage(owner, kCaption, kAdminRightsText, MessageIcon::Error);
        return false;
    }
    MimeAppsList list(text);
    RegistryStore store(registryPath_);
    store.Load();  // a damaged store holds no backup worth keeping

    // A type is chosen when any of its rows is.
    std::vector<std::pair<std::string, bool>> types;
    const auto rows = filetypes::Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool on = i < checked.size() && checked[i];
        auto it = std::find_if(types.begin(), types.end(),
                               [&](const auto& t) { return t.first == rows[i].mimeType; });
        if (it == types.end())
            types.emplace_back(rows[i].mimeType, on);
        else
            it->second = it->second || on;
    }

    const bool registered = !entryWritten || RegisterOwnTypes(types, owner);
    bool changed = false;
    for (const auto& [type, on] : types) {
        const bool isPlayers = apps_.DefaultOf(type) == desktopentry::kFileName;
        const std::string key = BackupKey(type);
        const auto userValue = list.Value(MimeAppsList::kDefaultGroup, type);
        if (on) {
            if (!entryWritten || isPlayers) continue;
            // Only the user's own entry needs keeping: the system's lists are never edited.
            if (userValue && !userValue->empty())
                store.Set(key, *userValue);
            else
                store.Remove(key);
            list.SetValue(MimeAppsList::kDefaultGroup, type,
                          std::string(desktopentry::kFileName) + ";");
            changed = true;
        } else if (isPlayers) {
            const auto backup = store.Get(key);
            if (backup && !backup->empty()) {
                list.SetValue(MimeAppsList::kDefaultGroup, type, *backup);
            } else if (userValue) {
                const std::string rest = WithoutPlayer(*userValue);
                if (rest.empty())
                    list.RemoveKey(MimeAppsList::kDefaultGroup, type);
                else
                    list.SetValue(MimeAppsList::kDefaultGroup, type, rest);
            }
            changed = true;
        }
    }
    if (!changed) return entryWritten && registered;

    // The backups go first: a default is never changed without its way back on disk.
    const size_t slash = listPath.rfind('/');
    if (!store.Save() ||
        !WriteFile(listPath.substr(0, slash), listPath.substr(slash + 1), list.Text())) {
        ShowMessage(owner, kCaption, kAdminRightsText, MessageIcon::Error);
        return false;
    }
    return entryWritten && registered;
}
