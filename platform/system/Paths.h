#pragma once

// The folders every part of both programs uses. Paths are UTF-8 byte strings joined
// with '/'.

#include <cstddef>
#include <string>

namespace paths {

// Folder of the running executable: read-only assets (skins, installed options.cfg, help).
std::string ProgramFolder();
// $XDG_CONFIG_HOME/Kalvor, else ~/.config/Kalvor: the user's options.cfg and playlists.
std::string UserConfigFolder();
// $XDG_DATA_HOME/Kalvor, else ~/.local/share/Kalvor: job file and subtitle hand-over.
std::string AppDataFolder();
// $XDG_CACHE_HOME/Kalvor, else ~/.cache/Kalvor: what may be worked out again when lost.
std::string UserCacheFolder();
// $XDG_RUNTIME_DIR/Kalvor, else ${TMPDIR:-/tmp}/Kalvor-<uid>, created with mode 0700 when
// missing and narrowed to it when wider. When that folder is refused (a symlink, not a
// folder, owned by another user, or in a folder where others may rename it), the refusal is
// said on standard error and $XDG_CACHE_HOME/Kalvor (else ~/.cache/Kalvor), checked the
// same way, is used instead; empty when both are refused.
std::string TempFolder();

// A private folder whose path is at most maxLength bytes, for a local socket whose address
// would not fit where it belongs: ${TMPDIR}/Kalvor-<uid> when short enough, else
// /tmp/Kalvor-<uid>, made and checked as TempFolder's is; empty when neither will do.
std::string ShortPrivateFolder(size_t maxLength);

// Creates the folder and its missing parents; true when it exists afterwards.
bool EnsureFolder(const std::string& folder);

std::string Join(const std::string& folder, const std::string& name);

// A relative path joined to the current folder and normalised; absolute paths unchanged.
std::string MakeAbsolute(const std::string& path);

}  // namespace paths
