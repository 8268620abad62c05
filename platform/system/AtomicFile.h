#pragma once

// Writes a whole file so that readers see either the old contents or the new, never a
// part: a temporary name in the same folder, the full byte count checked, then a rename.

#include <cstddef>
#include <string>

namespace atomicfile {

// False, with the old file as it was and no temporary left, when any step fails; error
// (when given) then holds the reason.
bool Write(const std::string& path, const void* data, size_t size, std::string* error = nullptr);

}  // namespace atomicfile
