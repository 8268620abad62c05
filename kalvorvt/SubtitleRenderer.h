#pragma once

// Draws a subtitle cue onto a packed 32-bit frame with QPainter. The cue, its bar, border
// and transparency are drawn once into an image and kept while the text, style and frame
// size stay the same, so a cue costs one blend per frame after its first. The first draw
// is bounded too: the characters, the glyph height and the cue's height are capped, and a
// word wider than the box breaks anywhere.
// Fonts need a QGuiApplication: Available() says whether one exists in this process.

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <string>
#include <vector>

struct SubtitleStyle {
    // Put into use by "apply".
    std::string face;
    int32_t size = 12;  // points on a 360-line picture, scaled with the frame height
    int32_t bold = 1;
    int32_t italic = 0;
    int32_t underline = 0;
    // Put into use at once.
    int32_t bordering = 1;
    int32_t antialiasing = 1;
    int32_t red = 255, green = 255, blue = 255;
    int32_t textTransparency = 10;  // percent
    int32_t barOpacity = 20;        // percent
    int32_t leftBound = 0;          // thousandths of the width from the left edge
    int32_t rightBound = 0;         // thousandths of the width from the right edge
    int32_t vertical = 50;          // thousandths of the height from the bottom edge
    int32_t alignment = 1;          // 0 left, 1 centre, 2 right

    bool operator==(const SubtitleStyle&) const = default;
};

class SubtitleRenderer {
public:
    // Bytes of coverage, one per pixel.
    struct Plane {
        int width = 0, height = 0;
        std::vector<uint8_t> bytes;
    };

    static bool Available();

    void Draw(uint8_t* data, int width, int height, int stride, const std::string& text,
              const SubtitleStyle& style);

private:
    void Prepare(int width, int height, const std::string& text, const SubtitleStyle& style);

    // The key of the image below.
    std::string text_;
    SubtitleStyle style_;
    int width_ = 0;
    int height_ = 0;

    bool shown_ = false;  // false: the cue draws nothing
    QImage cue_;          // premultiplied ARGB, transparent around bar and text
    QPoint at_;
    // Kept from cue to cue, so that a new cue of the same size needs no new memory.
    Plane glyphs_, across_;
};
