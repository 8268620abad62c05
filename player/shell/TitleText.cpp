#include "player/shell/TitleText.h"

#include <vector>

namespace titletext {

namespace {

// Byte offsets where the characters of text start; a stray continuation byte counts as
// a character of its own.
std::vector<size_t> CharacterStarts(std::string_view text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 || starts.empty() ||
            i - starts.back() >= 4)
            starts.push_back(i);
    return starts;
}

// The longest prefix of text that is whole characters and at most maxBytes long.
std::string_view CutBytes(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = 0;
    for (size_t start : CharacterStarts(text)) {
        if (start > maxBytes) break;
        end = start;
    }
    return text.substr(0, end);
}

}  // namespace

std::string FileTitle(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(CutBytes(name, kTitleBytes - 1));
}

std::string Fit(const std::string& title, int maxWidth,
                const std::function<int(const std::string&)>& width) {
    const int measured = width(title);
    if (measured <= maxWidth) return title;
    if (maxWidth <= 0) return {};
    const std::vector<size_t> starts = CharacterStarts(title);
    const long long n = static_cast<long long>(starts.size()) * maxWidth / measured;
    if (n <= 0) return {};
    if (n < 3) return std::string(static_cast<size_t>(n), '.');
    const size_t keep = static_cast<size_t>(n) - 3;
    return title.substr(0, starts[keep]) + "...";
}

}  // namespace titletext
