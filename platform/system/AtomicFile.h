#pragma once

// Writes a whole file so that readers see either the old contents or the new, never a
// part: a temporary name in the same folder, the full byte count checked, then a rename.

#include <cstddef>
#include <string>

namespace atomicfile {

// False, with the old file as it was and no temporary left, when any step fails; error
// (when given) then holds the reason.
bool Write(const std::string& path, const void* data, size_t size, std::string* error = nullptr);

// Removes the temporary files that a killed Write of folder/name left behind: regular files
// of this user named exactly as Write names them, nothing else and nothing behind a link.
// Only one process may write name at a time, so call it while holding that right. Returns
// how many were removed.
size_t RemoveLeftovers(const std::string& folder, const std::string& name);

}  // namespace atomicfile
