#pragma once

// A playlist file on disk: its bytes read with bounds, its entries' paths resolved, and
// the whole file written at once (a failed write leaves the old file as it was).

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "player/playlist/PlaylistFormats.h"
#include "player/settings/MediaEntry.h"

namespace playlistfile {

// Whether a path names something that exists; tests and the benchmark give their own.
using ExistsFunction = std::function<bool(const std::string&)>;
bool PathExists(const std::string& path);

// The folder of a path, up to and including its last "/"; empty when it has none.
std::string FolderOf(const std::string& path);

// The file's bytes. Nothing (with the reason in error) when it cannot be opened, is not a
// regular file (a FIFO is never waited on), is larger than kMaxFileBytes or fails to read.
std::optional<std::string> ReadBytes(const std::string& path, std::string* error = nullptr);

// The entries of a playlist file, paths resolved, entries that cannot be found left out.
// Nothing when the file cannot be read or has neither header: that is no playlist, nor when
// stop (when given) is set while the paths are resolved.
std::optional<std::vector<MediaEntry>> Load(const std::string& path, const ExistsFunction& exists,
                                            std::string* error = nullptr,
                                            const std::atomic<bool>* stop = nullptr);

// Writes entries in the given format, atomically; false with the reason in error.
bool Save(const std::string& path, playlistformat::Kind kind,
          const std::vector<MediaEntry>& entries, std::string* error = nullptr);

}  // namespace playlistfile
