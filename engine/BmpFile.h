#pragma once

// A grabbed frame and the BMP file it is written to: the 40-byte info header followed by
// bottom-up rows, each padded to 4 bytes, as a Windows bitmap stores them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // positive: the first row stored is the bottom one
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 24;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;  // 0 for uncompressed images: the rows give the size
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40);

inline constexpr size_t kBmpFileHeaderSize = 14;

// A frame as grabbed: its header and its rows, bottom row first, 24-bit BGR.
struct FrameBlock {
    BitmapInfoHeader header;
    std::vector<uint8_t> pixels;
};

// Bytes of one stored row: whole bytes for the pixels, rounded up to 4.
uint64_t BmpRowBytes(uint32_t width, uint32_t bitCount);
// The pixel bytes a header describes: biSizeImage, or the padded rows when that is 0.
uint64_t BmpPixelBytes(const BitmapInfoHeader& header);

// Writes the frame as a BMP file through a temporary name, so that an existing file is
// either replaced whole or left as it was. Only uncompressed images without a colour table
// (16, 24 or 32 bits) are written. False, with the reason in error, when nothing was written.
bool WriteBmpFile(const std::string& path, const FrameBlock& frame, std::string* error);
