#pragma once

// Decodes a JPEG file with libjpeg for the tests: RGB rows top first, and the JFIF density.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

struct DecodedJpeg {
    bool ok = false;
    int width = 0, height = 0;
    int densityUnit = 0, xDensity = 0, yDensity = 0;
    std::vector<uint8_t> rgb;  // width * 3 bytes per row

    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

namespace jpegdecode {
struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};
[[noreturn]] inline void Jump(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Trap*>(info->err)->jump, 1);
}
inline bool Run(jpeg_decompress_struct* info, FILE* file, DecodedJpeg* out) {
    if (setjmp(reinterpret_cast<Trap*>(info->err)->jump)) return false;
    jpeg_create_decompress(info);
    jpeg_stdio_src(info, file);
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    out->width = static_cast<int>(info->output_width);
    out->height = static_cast<int>(info->output_height);
    out->densityUnit = info->density_unit;
    out->xDensity = info->X_density;
    out->yDensity = info->Y_density;
    out->rgb.resize(size_t(out->width) * out->height * 3);
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = &out->rgb[size_t(info->output_scanline) * out->width * 3];
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}
}  // namespace jpegdecode

inline DecodedJpeg DecodeJpeg(const std::string& path) {
    DecodedJpeg out;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return out;
    jpeg_decompress_struct info{};
    jpegdecode::Trap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = jpegdecode::Jump;
    out.ok = jpegdecode::Run(&info, file, &out);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return out;
}
