#pragma once

// Builds BMP files byte by byte for the reader's tests, from a plain description, so that
// every field can be set to what a damaged or unusual file would hold.

#include <cstdint>
#include <string>
#include <vector>

struct BmpBytes {
    std::string magic = "BM";
    uint32_t headerSize = 40;  // 12 writes the OS/2 header
    int32_t width = 3, height = 2;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    int32_t xPerMetre = 0, yPerMetre = 0;
    std::vector<uint8_t> palette;  // as stored: 3 or 4 bytes an entry
    std::vector<uint8_t> gap;      // bytes between the colour table and the pixels
    int64_t offsetDelta = 0;       // added to the true pixel offset
    std::vector<uint8_t> pixels;   // stored rows, bottom first

    std::string Build() const {
        std::string out;
        const auto put = [&](uint64_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
        };
        const int64_t offset =
            14 + int64_t{headerSize} + int64_t(palette.size() + gap.size()) + offsetDelta;
        out += magic;
        put(uint64_t(offset) + pixels.size(), 4);
        put(0, 4);
        put(uint64_t(offset), 4);
        put(headerSize, 4);
        if (headerSize == 12) {
            put(uint32_t(width), 2), put(uint32_t(height), 2), put(planes, 2), put(bits, 2);
        } else {
            put(uint32_t(width), 4), put(uint32_t(height), 4), put(planes, 2), put(bits, 2);
            put(compression, 4), put(0, 4), put(uint32_t(xPerMetre), 4),
                put(uint32_t(yPerMetre), 4);
            put(colorsUsed, 4);
            while (out.size() < 14 + size_t(headerSize)) out.push_back(0);
        }
        out.append(palette.begin(), palette.end());
        out.append(gap.begin(), gap.end());
        out.append(pixels.begin(), pixels.end());
        return out;
    }
};

// A picture as the compressor should see it: RGB, top row first.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

// Pixel values that differ in every channel, row and column.
inline RgbImage PatternImage(int width, int height, int seed = 0) {
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.rgb.push_back(
                    static_cast<uint8_t>(seed + 37 * x + 91 * y + 61 * c + x * y * 7));
    return image;
}

// The image's rows as a 24-bit BMP stores them: bottom first, BGR, padded to 4 bytes with
// a non-zero filler so that padding read as pixels shows.
inline std::vector<uint8_t> StoredRows24(const RgbImage& image) {
    std::vector<uint8_t> rows;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.rgb[(size_t(y) * image.width + x) * 3];
            rows.insert(rows.end(), {p[2], p[1], p[0]});
        }
        while (rows.size() % 4) rows.push_back(0xEE);
    }
    return rows;
}
