// Any bytes of a stranger's skin.ini parse into a description in range.
#include <cstdlib>
#include <string_view>

#include "player/skin/SkinDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto d =
        SkinDescription::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (d.extrNum < 0 || d.extrNum > kMaxExtraButtons) std::abort();
    if (d.trackBitmap.size() > 299 || d.volumeBtn.size() > 299) std::abort();
    for (const SkinFontSpec& font : d.fonts)
        if (font.face.size() > 31) std::abort();
    return 0;
}
