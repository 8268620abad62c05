#include "engine/BmpSource.h"

#include <jerror.h>
#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <new>

namespace {

constexpr std::array<const char*, kBmpLastMessage - kBmpFirstMessage + 1> kMessages = [] {
    std::array<const char*, kBmpLastMessage - kBmpFirstMessage + 1> table{};
    const auto set = [&](int code, const char* text) { table[code - kBmpFirstMessage] = text; };
    set(kBmpBadColormap, "Unsupported BMP colormap format");
    set(kBmpBadDepth, "Only 8- and 24-bit BMP files are supported");
    set(kBmpBadHeader, "Invalid BMP file: bad header length");
    set(kBmpBadPlanes, "Invalid BMP file: biPlanes not equal to 1");
    set(kBmpCompressed, "Sorry, compressed BMPs not yet supported");
    set(kBmpNotBmp, "Not a BMP file - does not start with BM");
    set(kBmpTrace, "%ux%u 24-bit BMP image");
    set(kBmpTraceMapped, "%ux%u 8-bit colormapped BMP image");
    set(kBmpTraceOs2, "%ux%u 24-bit OS2 BMP image");
    set(kBmpTraceOs2Mapped, "%ux%u 8-bit colormapped OS2 BMP image");
    set(kBmpUngetcFailed, "ungetc failed");
    set(kBmpUnknownFormat, "Unrecognized input file format --- perhaps you need -targa");
    return table;
}();

uint32_t Get16(const uint8_t* at) { return at[0] | (uint32_t{at[1]} << 8); }
uint32_t Get32(const uint8_t* at) { return Get16(at) | (Get16(at + 2) << 16); }

}  // namespace

void RegisterBmpMessages(jpeg_error_mgr& errors) {
    errors.addon_message_table = kMessages.data();
    errors.first_addon_message = kBmpFirstMessage;
    errors.last_addon_message = kBmpLastMessage;
}

BmpSource::BmpSource(j_compress_ptr compressor, FILE* input)
    : compressor_(compressor), input_(input) {}

BmpSource* SelectInputReader(j_compress_ptr compressor, FILE* input) {
    const int first = getc(input);
    if (first == EOF) ERREXIT(compressor, JERR_INPUT_EMPTY);
    if (ungetc(first, input) == EOF) ERREXIT(compressor, kBmpUngetcFailed);
    if (first != 'B') ERREXIT(compressor, kBmpUnknownFormat);
    void* place = (*compressor->mem->alloc_small)(reinterpret_cast<j_common_ptr>(compressor),
                                                  JPOOL_PERMANENT, sizeof(BmpSource));
    return new (place) BmpSource(compressor, input);
}

int BmpSource::ReadByte() {
    const int value = getc(input_);
    if (value == EOF) ERREXIT(compressor_, JERR_INPUT_EOF);
    return value;
}

void BmpSource::ReadBytes(void* into, size_t count) {
    if (fread(into, 1, count, input_) != count) ERREXIT(compressor_, JERR_INPUT_EOF);
}

void BmpSource::ReadColorMap(int entries, int entrySize) {
    for (int i = 0; i < entries; ++i) {
        colormap_[2][i] = static_cast<JSAMPLE>(ReadByte());
        colormap_[1][i] = static_cast<JSAMPLE>(ReadByte());
        colormap_[0][i] = static_cast<JSAMPLE>(ReadByte());
        if (entrySize == 4) ReadByte();
    }
    colormapEntries_ = entries;
}

long BmpSource::RemainingBytes() {
    struct stat info {};
    const long at = ftell(input_);
    if (fstat(fileno(input_), &info) != 0 || at < 0 || info.st_size < at) return 0;
    return static_cast<long>(info.st_size - at);
}

void BmpSource::Start() {
    const auto common = reinterpret_cast<j_common_ptr>(compressor_);
    uint8_t fileHeader[14];
    ReadBytes(fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') ERREXIT(compressor_, kBmpNotBmp);
    const int64_t pixelOffset = Get32(fileHeader + 10);

    uint8_t info[64];
    ReadBytes(info, 4);
    const uint32_t headerSize = Get32(info);
    if (headerSize < 12 || headerSize > 64) ERREXIT(compressor_, kBmpBadHeader);
    ReadBytes(info + 4, headerSize - 4);

    uint32_t width = 0, height = 0, planes = 0, colorsUsed = 0;
    int entrySize = 0;
    if (headerSize == 12) {
        width = Get16(info + 4);
        height = Get16(info + 6);
        planes = Get16(info + 8);
        bitsPerPixel_ = static_cast<int>(Get16(info + 10));
        entrySize = 3;
        if (bitsPerPixel_ == 8)
            TRACEMS2(compressor_, 1, kBmpTraceOs2Mapped, width, height);
        else if (bitsPerPixel_ == 24)
            TRACEMS2(compressor_, 1, kBmpTraceOs2, width, height);
        else
            ERREXIT(compressor_, kBmpBadDepth);
        if (planes != 1) ERREXIT(compressor_, kBmpBadPlanes);
    } else if (headerSize == 40 || headerSize == 64) {
        width = Get32(info + 4);
        height = Get32(info + 8);
        planes = Get16(info + 12);
        bitsPerPixel_ = static_cast<int>(Get16(info + 14));
        const uint32_t compression = Get32(info + 16);
        const int32_t xPerMetre = static_cast<int32_t>(Get32(info + 24));
        const int32_t yPerMetre = static_cast<int32_t>(Get32(info + 28));
        colorsUsed = Get32(info + 32);
        entrySize = 4;
        if (bitsPerPixel_ == 8)
            TRACEMS2(compressor_, 1, kBmpTraceMapped, width, height);
        else if (bitsPerPixel_ == 24)
            TRACEMS2(compressor_, 1, kBmpTrace, width, height);
        else
            ERREXIT(compressor_, kBmpBadDepth);
        if (planes != 1) ERREXIT(compressor_, kBmpBadPlanes);
        if (compression != 0) ERREXIT(compressor_, kBmpCompressed);
        if (xPerMetre > 0 && yPerMetre > 0) {
            compressor_->X_density = static_cast<UINT16>(xPerMetre / 100);
            compressor_->Y_density = static_cast<UINT16>(yPerMetre / 100);
            compressor_->density_unit = 2;  // dots per centimetre
        }
    } else {
        ERREXIT(compressor_, kBmpBadHeader);
    }

    int64_t padding = pixelOffset - (int64_t{headerSize} + 14);
    if (bitsPerPixel_ == 8) {
        if (colorsUsed < 1) colorsUsed = 256;
        if (colorsUsed > 256) ERREXIT(compressor_, kBmpBadColormap);
        colormap_ = (*compressor_->mem->alloc_sarray)(common, JPOOL_IMAGE, colorsUsed, 3);
        ReadColorMap(static_cast<int>(colorsUsed), entrySize);
        padding -= int64_t{colorsUsed} * entrySize;
    }
    if (padding < 0) ERREXIT(compressor_, kBmpBadHeader);
    if (padding > RemainingBytes()) ERREXIT(compressor_, JERR_INPUT_EOF);
    if (fseek(input_, static_cast<long>(padding), SEEK_CUR) != 0)
        ERREXIT(compressor_, JERR_INPUT_EOF);

    // The store is as large as the file claims; claims beyond what the file holds or what
    // a JPEG can take are refused before anything is allocated.
    if (width == 0 || height == 0) ERREXIT(compressor_, JERR_EMPTY_IMAGE);
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION)
        ERREXIT1(compressor_, JERR_IMAGE_TOO_BIG, static_cast<unsigned>(JPEG_MAX_DIMENSION));
    const uint64_t rowBytes = (uint64_t{width} * (bitsPerPixel_ == 24 ? 3 : 1) + 3) & ~uint64_t{3};
    if (rowBytes * height > static_cast<uint64_t>(RemainingBytes()))
        ERREXIT(compressor_, JERR_INPUT_EOF);
    rowWidth_ = static_cast<JDIMENSION>(rowBytes);

    compressor_->in_color_space = JCS_RGB;
    compressor_->input_components = 3;
    compressor_->data_precision = 8;
    compressor_->image_width = width;
    compressor_->image_height = height;
    image_ =
        (*compressor_->mem->request_virt_sarray)(common, JPOOL_IMAGE, FALSE, rowWidth_, height, 1);
    getRows_ = &BmpSource::PreloadImage;
    buffer_ = (*compressor_->mem->alloc_sarray)(common, JPOOL_IMAGE, width * 3, 1);
}

JDIMENSION BmpSource::PreloadImage() {
    const auto common = reinterpret_cast<j_common_ptr>(compressor_);
    for (JDIMENSION row = 0; row < compressor_->image_height; ++row) {
        JSAMPARRAY stored = (*compressor_->mem->access_virt_sarray)(common, image_, row, 1, TRUE);
        ReadBytes(stored[0], rowWidth_);
    }
    if (bitsPerPixel_ == 8)
        getRows_ = &BmpSource::Get8BitRow;
    else if (bitsPerPixel_ == 24)
        getRows_ = &BmpSource::Get24BitRow;
    else
        ERREXIT(compressor_, kBmpBadDepth);
    nextRow_ = compressor_->image_height;
    return GetRows();
}

JDIMENSION BmpSource::Get24BitRow() {
    --nextRow_;
    JSAMPARRAY stored = (*compressor_->mem->access_virt_sarray)(
        reinterpret_cast<j_common_ptr>(compressor_), image_, nextRow_, 1, FALSE);
    const JSAMPLE* in = stored[0];
    JSAMPLE* out = buffer_[0];
    for (JDIMENSION x = 0; x < compressor_->image_width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
    return 1;
}

JDIMENSION BmpSource::Get8BitRow() {
    --nextRow_;
    JSAMPARRAY stored = (*compressor_->mem->access_virt_sarray)(
        reinterpret_cast<j_common_ptr>(compressor_), image_, nextRow_, 1, FALSE);
    const JSAMPLE* in = stored[0];
    JSAMPLE* out = buffer_[0];
    for (JDIMENSION x = 0; x < compressor_->image_width; ++x, out += 3) {
        const int index = in[x];
        // An index past the entries the file gave is black, never a read past them.
        const bool known = index < colormapEntries_;
        out[0] = known ? colormap_[0][index] : 0;
        out[1] = known ? colormap_[1][index] : 0;
        out[2] = known ? colormap_[2][index] : 0;
    }
    return 1;
}
