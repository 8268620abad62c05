#pragma once

// Reads a small outside file whole: only a regular file is read, never waited on (a FIFO
// or device is refused at open), and a file past the bound is refused rather than cut.

#include <cstddef>
#include <string>

namespace registry {

enum class ReadResult { Ok, Absent, Refused, Failed };

// bytes holds the contents on Ok and is empty otherwise; error (when given) says why on
// Refused and Failed.
ReadResult ReadRegularFile(const std::string& path, size_t maxBytes, std::string& bytes,
                           std::string* error = nullptr);

}  // namespace registry
