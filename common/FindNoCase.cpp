#include "common/FindNoCase.h"

namespace {

char FoldAsciiUpper(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return 0;
    if (pattern.size() > text.size()) return std::string_view::npos;
    for (std::size_t start = 0; start + pattern.size() <= text.size(); ++start) {
        std::size_t i = 0;
        while (i < pattern.size() && FoldAsciiUpper(text[start + i]) == FoldAsciiUpper(pattern[i]))
            ++i;
        if (i == pattern.size()) return start;
    }
    return std::string_view::npos;
}
