#pragma once

// The two playlist file formats as text: M3U with the "#EXTB:"/"#EXTE:" range lines and
// PLS with its "B"/"E" range keys. Readers take the bytes of a file written by this player
// or by another one (CR LF or LF, a last line without terminator) and give the entries as
// written, paths not yet resolved; writers give the bytes, CR LF after every line. No Qt and
// no file access here, so the readers can be fuzzed on their own. Numbers never go through
// the locale.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "player/settings/MediaEntry.h"

namespace playlistformat {

// Bounds on what one file can make the player do.
inline constexpr size_t kMaxFileBytes = 256u << 20;
inline constexpr size_t kMaxEntries = 1000000;
inline constexpr size_t kMaxLineBytes = 4096;  // a longer line is no path

enum class Kind { M3u, Pls };

// "M3U" or "PLS" by the header within the first 20 bytes; nothing for neither. A file with
// both headers is read as both, M3U entries first.
bool HasM3uHeader(std::string_view data);
bool HasPlsHeader(std::string_view data);

// Entries with the path as written; begin and end clamped to what a row can hold (begin a
// finite value >= 0, end > 0, -1 or -2; an end of 0 reads as -1, "not probed").
std::vector<MediaEntry> ReadM3u(std::string_view data);
std::vector<MediaEntry> ReadPls(std::string_view data);

// The whole file. Entries whose path holds a line break or a zero byte, or is empty, cannot
// be written as a line and are left out.
std::string WriteM3u(const std::vector<MediaEntry>& entries);
std::string WritePls(const std::vector<MediaEntry>& entries);

// The range number: the integer part truncated toward zero, ".", six digits of fraction
// rounded (1.5 -> "1.500000", -2 -> "-2.000000").
std::string FormatSeconds(double seconds);
// A decimal number at the start of text (blanks and a sign allowed); nothing when there is
// none or it is not finite.
std::optional<double> ParseNumber(std::string_view text);

// The path a line names: as written, or a file:// address decoded (on this host only). Nothing
// for an empty path or one holding a zero byte, which would name another file than it shows.
std::optional<std::string> PathOfLine(std::string_view written);

// Kind by the text after the last "." of the last path component, case ignored.
std::optional<Kind> KindOfPath(std::string_view path);

}  // namespace playlistformat
