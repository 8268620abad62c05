#pragma once

// Zip archives for tests: skin packages written from named entries, and read back.

#include <string>
#include <utility>
#include <vector>

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, content

// Entries in order, names as given, each with the DOS date and time dosDate.
bool WriteZipArchive(const std::string& path, const ZipEntries& entries,
                     unsigned long dosDate = 0);
// Every entry in archive order; false when the archive or an entry cannot be read.
bool ReadZipArchive(const std::string& path, ZipEntries& entries);
