#include "player/playlist/MediaFileTypes.h"

#include <algorithm>

#include "common/AsciiCase.h"

namespace mediafiles {

std::string_view Extension(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

bool IsMediaFile(std::string_view path) {
    const std::string_view extension = Extension(path);
    if (extension.empty()) return false;
    return std::any_of(kMediaExtensions.begin(), kMediaExtensions.end(),
                       [&](std::string_view known) { return EqualsNoCase(known, extension); });
}

std::string NameFilter(const Filter& filter) {
    std::string text(filter.description);
    text += " (";
    std::string_view rest = filter.patterns;
    bool first = true;
    while (!rest.empty()) {
        const size_t semicolon = rest.find(';');
        std::string_view pattern = rest.substr(0, semicolon);
        if (!first) text += ' ';
        text += pattern == "*.*" ? std::string_view("*") : pattern;
        first = false;
        rest =
            semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    }
    return text + ")";
}

}  // namespace mediafiles
