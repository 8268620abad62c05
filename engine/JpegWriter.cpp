#include "engine/JpegWriter.h"

#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/BmpSource.h"  // and jpeglib.h
#include "platform/system/AtomicFile.h"
#include "platform/system/RegularFile.h"

namespace {

// The image store beyond this would need the library's backing store, which this build
// lacks: such an image is refused by the library rather than filling memory.
constexpr long kMaxImageStoreBytes = 512L * 1024 * 1024;

struct ErrorTrap {
    jpeg_error_mgr manager;  // first: the library hands error_exit a pointer to it
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void TrapError(j_common_ptr compressor) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(compressor->err);
    (*compressor->err->format_message)(compressor, trap->text);
    std::longjmp(trap->jump, 1);
}

// Everything that must be released lives in the caller, so the jump out of the library
// skips no destructor and this frame holds nothing to clean up.
bool Compress(jpeg_compress_struct* compressor, ErrorTrap* trap, FILE* input, FILE* output,
              int quality) {
    if (setjmp(trap->jump)) return false;
    jpeg_CreateCompress(compressor, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
    compressor->mem->max_memory_to_use = kMaxImageStoreBytes;
    compressor->in_color_space = JCS_RGB;
    jpeg_set_defaults(compressor);
    jpeg_set_quality(compressor, quality, FALSE);

    BmpSource* source = SelectInputReader(compressor, input);
    source->Start();
    jpeg_default_colorspace(compressor);
    jpeg_stdio_dest(compressor, output);
    jpeg_start_compress(compressor, TRUE);
    while (compressor->next_scanline < compressor->image_height) {
        const JDIMENSION rows = source->GetRows();
        jpeg_write_scanlines(compressor, source->Buffer(), rows);
    }
    source->Finish();
    jpeg_finish_compress(compressor);
    return true;
}

// The BMP is read only when it is a regular file: a FIFO or a device would block or never end.
FILE* OpenRegular(const std::string& path, std::string* error) {
    RegularFile checked(path);
    if (!checked.IsOpen()) {
        *error = "Cannot open " + path + ": " + checked.Refusal();
        return nullptr;
    }
    const int fd = checked.Release();
    FILE* file = fdopen(fd, "rb");
    if (!file) {
        *error = "Cannot open " + path + ": " + std::strerror(errno);
        ::close(fd);
    }
    return file;
}

}  // namespace

bool ConvertBmpToJpeg(const std::string& bmpPath, const std::string& jpegPath, int quality,
                      std::string* error) {
    std::string reason;
    FILE* input = OpenRegular(bmpPath, &reason);
    if (!input) {
        if (error) *error = reason;
        return false;
    }
    char* encoded = nullptr;
    size_t encodedSize = 0;
    FILE* output = open_memstream(&encoded, &encodedSize);
    if (!output) {
        std::fclose(input);
        if (error) *error = "Cannot hold the JPEG of " + jpegPath + ": " + std::strerror(errno);
        return false;
    }

    jpeg_compress_struct compressor{};
    ErrorTrap trap{};
    compressor.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = TrapError;
    RegisterBmpMessages(trap.manager);
    const bool compressed = Compress(&compressor, &trap, input, output, quality);
    jpeg_destroy_compress(&compressor);
    std::fclose(input);
    const bool closed = std::fclose(output) == 0;

    bool ok = compressed && closed;
    if (!compressed)
        reason = trap.text;
    else if (!closed)
        reason = "Cannot hold the JPEG of " + jpegPath;
    else
        ok = atomicfile::Write(jpegPath, encoded, encodedSize, &reason);
    std::free(encoded);
    if (!ok && error) *error = reason;
    return ok;
}
