#pragma once

// The playlist filter's substring search, shared with korc. Only the letters A to Z are
// folded: names are UTF-8, and folding any other byte could split a character.

#include <cstddef>
#include <string_view>

// Position of the first occurrence of pattern in text, or std::string_view::npos. An empty
// pattern is found at 0.
std::size_t FindNoCase(std::string_view text, std::string_view pattern);
