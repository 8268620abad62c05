#include "engine/BmpFile.h"

#include <cstdlib>
#include <cstring>

#include "platform/system/AtomicFile.h"

namespace {

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

uint64_t BmpRowBytes(uint32_t width, uint32_t bitCount) {
    const uint64_t bytes = (uint64_t{width} * bitCount + 7) / 8;
    return (bytes + 3) & ~uint64_t{3};
}

uint64_t BmpPixelBytes(const BitmapInfoHeader& header) {
    if (header.biSizeImage != 0) return header.biSizeImage;
    const uint64_t rows = static_cast<uint64_t>(std::llabs(int64_t{header.biHeight}));
    return rows *
           BmpRowBytes(static_cast<uint32_t>(std::abs(int64_t{header.biWidth})), header.biBitCount);
}

bool WriteBmpFile(const std::string& path, const FrameBlock& frame, std::string* error) {
    const BitmapInfoHeader& header = frame.header;
    if (header.biCompression != 0 ||
        (header.biBitCount != 16 && header.biBitCount != 24 && header.biBitCount != 32)) {
        if (error) *error = "Only uncompressed 16-, 24- and 32-bit frames are written.";
        return false;
    }
    const uint64_t pixelBytes = BmpPixelBytes(header);
    if (pixelBytes > frame.pixels.size()) {
        if (error) *error = "The frame holds fewer pixel bytes than its header describes.";
        return false;
    }
    const uint64_t offset = kBmpFileHeaderSize + sizeof(BitmapInfoHeader);
    const uint64_t fileSize = offset + pixelBytes;
    if (fileSize > UINT32_MAX) {
        if (error) *error = "The frame is too large for a BMP file.";
        return false;
    }

    std::vector<uint8_t> file(fileSize);
    file[0] = 'B';
    file[1] = 'M';
    Put32(&file[2], static_cast<uint32_t>(fileSize));
    Put16(&file[6], 0);
    Put16(&file[8], 0);
    Put32(&file[10], static_cast<uint32_t>(offset));
    BitmapInfoHeader stored = header;
    stored.biSize = sizeof(BitmapInfoHeader);
    std::memcpy(&file[kBmpFileHeaderSize], &stored, sizeof stored);
    std::memcpy(&file[offset], frame.pixels.data(), pixelBytes);
    return atomicfile::Write(path, file.data(), file.size(), error);
}
