#pragma once

// The extensions the file-types dialog offers, in its order, each with the MIME type that
// freedesktop associations know it by. Several extensions share a type (an association is
// per type). An extension the shared MIME database names no type for gets a type of the
// player's own, which a MIME package in the user's data folder gives a glob while the
// extension is associated.

#include <span>
#include <string>
#include <vector>

struct FileTypeRow {
    char extension[30];
    char description[30];
    const char* mimeType;
    bool ownType;  // the player's own type: no file has it until its glob is registered
};

namespace filetypes {

inline constexpr int kRows = 26;

std::span<const FileTypeRow> Rows();
// "MP3  - MPEG Layer 3 Audio" as the list shows it.
std::string RowText(const FileTypeRow& row);
// Every distinct type, in table order.
std::vector<std::string> MimeTypes();
// The glob an own type is registered with: "*." and the extension in lower case.
std::string Glob(const FileTypeRow& row);

}  // namespace filetypes
