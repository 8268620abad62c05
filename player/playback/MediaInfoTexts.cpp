#include "player/playback/MediaInfoTexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace mediainfo {

namespace {

// (int) of a double, held inside int32 so a damaged length cannot overflow.
int64_t Whole(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int64_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

std::string Fixed3(double value) {
    char text[400];
    const auto [end, error] = std::to_chars(
        text, text + sizeof text, std::isfinite(value) ? value : 0.0, std::chars_format::fixed, 3);
    return error == std::errc{} ? std::string(text, end) : "0.000";
}

char Printable(uint32_t byte) {
    return byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : ' ';
}

std::string DepthName(int32_t bits) {
    switch (bits) {
        case 8:
            return "(256 colors)";
        case 12:
            return "(4096 colors)";
        case 16:
            return "(High Color)";
        case 24:
            return "(True Color)";
        case 32:
            return "(True Color Alpha)";
        default:
            return "";
    }
}

}  // namespace

MediaInfoTexts Format(const MediaInfoFacts& facts) {
    MediaInfoTexts texts;
    char buffer[128];
    if (facts.hasVideo) {
        const double d = facts.duration;
        const int64_t hours = Whole(d / 3600);
        const int64_t minutes = Whole(d / 60) - 60 * hours;
        const int64_t seconds = Whole(d) - 60 * Whole(d / 60);
        std::snprintf(buffer, sizeof buffer, "%lld Frames (%2.2lld:%2.2lld:%2.2lld)",
                      static_cast<long long>(Whole(d * facts.frameRate)),
                      static_cast<long long>(hours), static_cast<long long>(minutes),
                      static_cast<long long>(seconds));
        texts.streamLength = buffer;
        texts.resolution = std::to_string(facts.width) + "x" + std::to_string(facts.height);
        // A rate of 0 has no frame time: "0 ms)" rather than a division by zero.
        const int64_t frameMs = facts.frameRate > 0 ? Whole(1 / facts.frameRate * 1000) : 0;
        texts.frameRate = Fixed3(facts.frameRate) + " fps (" + std::to_string(frameMs) + " ms)";
        const uint32_t c = facts.fourCC;
        std::snprintf(buffer, sizeof buffer, "%c%c%c%c (%X%X%X%X)", Printable(c & 0xFF),
                      Printable((c >> 8) & 0xFF), Printable((c >> 16) & 0xFF), Printable(c >> 24),
                      c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, c >> 24);
        texts.fourCC = buffer;
        texts.depth = std::to_string(facts.bitCount) + " Bits " + DepthName(facts.bitCount);
    } else {
        texts.streamLength = texts.resolution = texts.frameRate = texts.fourCC = texts.depth =
            kNotAvailable;
    }
    texts.sampleRate = std::to_string(facts.sampleRate) + " Hz";
    texts.channels = std::to_string(facts.channels) + (facts.channels == 1   ? " (Mono)"
                                                       : facts.channels == 2 ? " (Stereo)"
                                                                             : "");
    texts.bitRate = std::to_string(facts.bitRate >> 10) + " kBits/s";
    return texts;
}

QPoint Place(const QRect& anchor, const QSize& box, const QRect& desktop) {
    // The centre of a rectangle whose right and bottom edges lie outside it.
    const QPoint centre((2 * anchor.left() + anchor.width()) / 2,
                        (2 * anchor.top() + anchor.height()) / 2);
    int x = centre.x() - box.width() / 2;
    if (x + box.width() > desktop.right() + 1) x = desktop.right() + 1 - box.width();
    x = std::max(x, desktop.left());
    int y = centre.y() - box.height() / 2;
    if (centre.y() + box.height() / 2 + 40 > desktop.bottom() + 1) {
        y = desktop.bottom() + 1 - box.height() - 40;
    }
    y = std::max(y, desktop.top());
    return {x, y};
}

}  // namespace mediainfo
