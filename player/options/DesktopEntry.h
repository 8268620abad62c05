#pragma once

// The player's desktop entry, the freedesktop form of its program identifier: what file
// managers show and run for the types whose default it is.

#include <string>
#include <vector>

namespace desktopentry {

inline constexpr char kFileName[] = "kalvor.desktop";
inline constexpr char kComment[] = "Kalvor Media File";

// One Exec argument: quoted, with '"', '`', '$' and '\' escaped inside the quotes, then
// '\' escaped again and '%' doubled as the key file's string rules want.
std::string ExecArgument(const std::string& argument);

// The whole file: the program quoted, then %f; the icon; the MIME types, each ending in ';'.
std::string Build(const std::string& programPath, const std::vector<std::string>& mimeTypes);

// $XDG_DATA_HOME/applications (else ~/.local/share/applications).
std::string ApplicationsFolder();

}  // namespace desktopentry
