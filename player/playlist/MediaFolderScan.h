#pragma once

// The media files of a folder tree in the order Add Directory inserts them: a folder's own
// files by name, then each subfolder's by name, depth first. Dot-files and dot-folders are
// passed over, and so are symlinked folders (a link to a parent would never end).

#include <atomic>
#include <string>
#include <vector>

namespace mediafolderscan {

// Bounds on one scan, so that a huge or deeply nested tree cannot hold the window forever.
inline constexpr int kMaxDepth = 64;
inline constexpr size_t kMaxFiles = 100000;

// Full paths of the media files (mediafiles::IsMediaFile); empty when the folder cannot be
// read. The scan stops early, with what it found, once stop (when given) is set.
std::vector<std::string> MediaFilesBelow(const std::string& folder,
                                         const std::atomic<bool>* stop = nullptr);

}  // namespace mediafolderscan
