#include "player/playlist/PlaylistFilter.h"

#include "common/FindNoCase.h"
#include "player/playlist/MediaEntryLists.h"

namespace playlistfilter {
namespace {

std::string_view Cut(std::string_view text) {
    if (text.size() <= kMaxFilterBytes) return text;
    size_t length = kMaxFilterBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return text.substr(0, length);
}

}  // namespace

bool Passes(std::string_view path, std::string_view text) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return false;
    return FindNoCase(path.substr(slash), text) != std::string_view::npos;
}

void ApplyText(MediaEntryLists& lists, std::string_view text) {
    text = Cut(text);
    if (text.empty()) {
        lists.ShowMaster();
        return;
    }
    lists.ShowFiltered([text](const MediaEntry& entry) { return Passes(entry.path, text); });
}

}  // namespace playlistfilter
