#pragma once

// The extensions the file-types dialog offers, in its order, each with the MIME type that
// freedesktop associations know it by. Several extensions share a type (an association is
// per type); an extension without a type of its own cannot be associated.

#include <span>
#include <string>
#include <vector>

struct FileTypeRow {
    char extension[30];
    char description[30];
    const char* mimeType;  // nullptr: the shared MIME database has no type for it
};

namespace filetypes {

inline constexpr int kRows = 26;

std::span<const FileTypeRow> Rows();
// "MP3  - MPEG Layer 3 Audio" as the list shows it.
std::string RowText(const FileTypeRow& row);
// Every distinct type, in table order.
std::vector<std::string> MimeTypes();

}  // namespace filetypes
