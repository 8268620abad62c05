#pragma once

// The main window's title: the file name of the current file, cut to the skin's maximum
// title width with "..." at its end. Titles are UTF-8 and are cut between characters.

#include <functional>
#include <string>
#include <string_view>

namespace titletext {

// The title text holds at most this many bytes with its terminating zero.
inline constexpr size_t kTitleBytes = 270;

// The text after the last "/" (the whole path when there is none), cut to the title's bytes.
std::string FileTitle(std::string_view path);

// title as it fits maxWidth pixels, widths measured by width(). When it is wider, n =
// characters x maxWidth / width, and the title keeps n characters whose last three are
// dots; n < 3 gives n dots and n <= 0 an empty title.
std::string Fit(const std::string& title, int maxWidth,
                const std::function<int(const std::string&)>& width);

}  // namespace titletext
