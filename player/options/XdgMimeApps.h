#pragma once

// Which program opens a MIME type, as the freedesktop association lists say: the
// mimeapps.list files read in their order (user config, system config, user data, system
// data; a desktop's own list before the shared one), the first listed entry that is
// installed wins. Writes go to the user's $XDG_CONFIG_HOME/mimeapps.list only.

#include <optional>
#include <string>
#include <vector>

class XdgMimeApps {
public:
    // Files larger than this are refused as lists.
    static constexpr size_t kMaxListBytes = 1 << 20;

    struct Folders {
        std::string configHome;
        std::vector<std::string> configDirs;
        std::string dataHome;
        std::vector<std::string> dataDirs;
        std::vector<std::string> desktops;  // XDG_CURRENT_DESKTOP, lower case
    };
    static Folders FromEnvironment();

    explicit XdgMimeApps(Folders folders) : folders_(std::move(folders)) {}

    // Every mimeapps.list path in reading order.
    std::vector<std::string> ListPaths() const;
    std::string UserListPath() const { return folders_.configHome + "/mimeapps.list"; }
    // The user's data folder, whose "mime" folder holds the user's own MIME types.
    const std::string& DataHome() const { return folders_.dataHome; }

    // The desktop entry id that opens type; nothing when no list names an installed one.
    std::optional<std::string> DefaultOf(const std::string& type) const;
    // A desktop file of this id under one of the data folders' applications folders.
    bool IsInstalled(const std::string& id) const;

private:
    Folders folders_;
};
