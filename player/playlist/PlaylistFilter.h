#pragma once

// The playlist's filter box: the rows narrow to the entries whose file name holds the typed
// text, case ignored for A-Z. The name part starts at the last "/" and includes it, so a
// text that begins with "/" matches names that begin with the rest. Rows shown while
// filtering are the master entries themselves, so lengths and ranges written then stay.

#include <string_view>

class MediaEntryLists;

namespace playlistfilter {

// The box holds at most this many bytes; a longer text is cut on a character boundary.
inline constexpr size_t kMaxFilterBytes = 254;

bool Passes(std::string_view path, std::string_view text);
// The box's text changed: a text filters (again, from the master entries), an empty text
// goes back to every master entry. Either way no row is marked as playing afterwards.
void ApplyText(MediaEntryLists& lists, std::string_view text);

}  // namespace playlistfilter
