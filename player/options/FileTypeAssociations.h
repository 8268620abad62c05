#pragma once

// Making the player the default program for the file-types dialog's types, and undoing it:
// the player's desktop entry, each type's default in the user's mimeapps.list, and the
// default it had before, kept in the registry store so that unchecking gives it back. The
// player's own types are given their globs in the user's MIME package while checked.

#include <string>
#include <utility>
#include <vector>

#include "platform/system/ProcessLauncher.h"
#include "player/options/XdgMimeApps.h"

class QWidget;

inline constexpr char kAdminRightsText[] =
    "Error. Please, make sure you have administrator rights on this computer!";

class FileTypeAssociations {
public:
    // programPath: the executable the desktop entry runs; registryPath: the store file;
    // launcher: what rebuilds the user's MIME database (the system's when null).
    FileTypeAssociations(XdgMimeApps apps, std::string programPath, std::string registryPath,
                         IProcessLauncher* launcher = nullptr);

    // The registry store's key that keeps a type's previous default.
    static std::string BackupKey(const std::string& mimeType);

    // One state per table row, as the lists say now: checked when the row's type opens
    // with the player; rows sharing a type agree; rows without a type are never checked.
    std::vector<bool> States() const;

    // Checked types get the player as their default (the previous user default kept,
    // one already the player's left alone); unchecked types the player holds go back to
    // the kept default, or lose the player's entry when none was kept; other programs'
    // defaults are never touched. When the desktop entry cannot be written the message
    // shows and no default is set. False when anything could not be written.
    bool Apply(const std::vector<bool>& checked, QWidget* owner) const;

    // The user's MIME package of the player's own types.
    std::string PackagePath() const;

private:
    // The package holds exactly the own types that are on; a changed package rebuilds the
    // user's MIME database. False, after the message, when that could not be done.
    bool RegisterOwnTypes(const std::vector<std::pair<std::string, bool>>& types,
                          QWidget* owner) const;

    XdgMimeApps apps_;
    std::string programPath_;
    std::string registryPath_;
    IProcessLauncher* launcher_;
};
