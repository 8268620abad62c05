#include "common/FindNoCase.h"

#include "common/AsciiCase.h"

std::size_t FindNoCase(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return 0;
    if (pattern.size() > text.size()) return std::string_view::npos;
    for (std::size_t start = 0; start + pattern.size() <= text.size(); ++start) {
        std::size_t i = 0;
        while (i < pattern.size() && FoldAscii(text[start + i]) == FoldAscii(pattern[i]))
            ++i;
        if (i == pattern.size()) return start;
    }
    return std::string_view::npos;
}
