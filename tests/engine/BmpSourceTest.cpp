// The BMP reader hands the compressor the picture the file holds, top row first, in RGB:
// checked against images built from a plain description, across widths that need each
// amount of row padding, both header kinds and both depths; the writer's files read back whole.

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <functional>
#include <string>

#include "BmpBytes.h"
#include "engine/BmpFile.h"
#include "engine/BmpSource.h"
#include "support/TempEnvironment.h"

namespace {

struct Trap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void Jump(j_common_ptr info) {
    Trap* trap = reinterpret_cast<Trap*>(info->err);
    (*info->err->format_message)(info, trap->text);
    std::longjmp(trap->jump, 1);
}

bool RunSource(jpeg_compress_struct* compressor, Trap* trap, FILE* file, RgbImage* out) {
    if (setjmp(trap->jump)) return false;
    jpeg_create_compress(compressor);
    BmpSource* source = SelectInputReader(compressor, file);
    source->Start();
    (*compressor->mem->realize_virt_arrays)(reinterpret_cast<j_common_ptr>(compressor));
    out->width = static_cast<int>(compressor->image_width);
    out->height = static_cast<int>(compressor->image_height);
    for (JDIMENSION row = 0; row < compressor->image_height; ++row) {
        source->GetRows();
        const JSAMPLE* rgb = source->Buffer()[0];
        out->rgb.insert(out->rgb.end(), rgb, rgb + compressor->image_width * 3);
    }
    source->Finish();
    return true;
}

// The rows the reader gives for the file, or its error text.
std::string ReadRows(const std::string& path, RgbImage* out) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return "cannot open";
    jpeg_compress_struct compressor{};
    Trap trap{};
    compressor.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = Jump;
    RegisterBmpMessages(trap.manager);
    const bool ok = RunSource(&compressor, &trap, file, out);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
    return ok ? "" : trap.text;
}

// An 8-bit file over the given palette: palette entry i is (r, g, b) = (i, 255 - i, i * 3).
struct Mapped {
    BmpBytes bytes;
    RgbImage expected;
};

Mapped MappedImage(int width, int height, int entries, int entrySize, uint32_t headerSize) {
    Mapped m;
    m.bytes.headerSize = headerSize;
    m.bytes.width = width, m.bytes.height = height, m.bytes.bits = 8;
    m.bytes.colorsUsed = entries == 256 ? 0 : static_cast<uint32_t>(entries);
    for (int i = 0; i < entries; ++i) {
        m.bytes.palette.insert(m.bytes.palette.end(),
                               {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i)});
        if (entrySize == 4) m.bytes.palette.push_back(0x77);
    }
    m.expected = {width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    std::vector<std::vector<uint8_t>> rows(height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Indices run past the table: those must come out black.
            const int index = (x * 53 + y * 17) % 256;
            rows[y].push_back(uint8_t(index));
            uint8_t* p = &m.expected.rgb[(size_t(y) * width + x) * 3];
            if (index < entries)
                p[0] = uint8_t(index), p[1] = uint8_t(255 - index), p[2] = uint8_t(index * 3);
        }
        while (rows[y].size() % 4) rows[y].push_back(0xEE);
    }
    for (int y = height - 1; y >= 0; --y)
        m.bytes.pixels.insert(m.bytes.pixels.end(), rows[y].begin(), rows[y].end());
    return m;
}

Mapped TrueColour(int width, int height, uint32_t headerSize, std::vector<uint8_t> gap = {}) {
    Mapped m;
    m.expected = PatternImage(width, height, width);
    m.bytes.headerSize = headerSize;
    m.bytes.width = width, m.bytes.height = height;
    m.bytes.gap = std::move(gap);
    m.bytes.pixels = StoredRows24(m.expected);
    return m;
}

class BmpSourceTest : public TempFolderTest {};

TEST_F(BmpSourceTest, HandsOutTheStoredPictureTopRowFirstInRgb) {
    const struct {
        const char* name;
        std::function<Mapped()> make;
    } cases[] = {
        {"24-bit width 1 (3 padding bytes)", [] { return TrueColour(1, 3, 40); }},
        {"24-bit width 2 (2 padding bytes)", [] { return TrueColour(2, 4, 40); }},
        {"24-bit width 3 (1 padding byte)", [] { return TrueColour(3, 2, 40); }},
        {"24-bit width 4 (no padding)", [] { return TrueColour(4, 3, 40); }},
        {"24-bit width 33", [] { return TrueColour(33, 5, 40); }},
        {"24-bit, 64-byte header", [] { return TrueColour(5, 3, 64); }},
        {"24-bit OS/2 header", [] { return TrueColour(7, 3, 12); }},
        {"24-bit, bytes between header and pixels",
         [] {
             return TrueColour(5, 2, 40, {1, 2, 3, 4, 5, 6});
         }},
        {"8-bit, 4 colours of 4 bytes", [] { return MappedImage(5, 3, 4, 4, 40); }},
        {"8-bit, 0 colours read as 256", [] { return MappedImage(9, 4, 256, 4, 40); }},
        {"8-bit OS/2, 256 colours of 3 bytes", [] { return MappedImage(6, 3, 256, 3, 12); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mapped m = c.make();
        const std::string path = env_.Path("in.bmp");
        TempEnvironment::WriteFile(path, m.bytes.Build());
        RgbImage read;
        ASSERT_EQ(ReadRows(path, &read), "");
        EXPECT_EQ(read.width, m.expected.width);
        EXPECT_EQ(read.height, m.expected.height);
        EXPECT_EQ(read.rgb, m.expected.rgb);
    }
}

TEST_F(BmpSourceTest, AFrameWrittenByTheWriterReadsBackAsTheSamePicture) {
    for (int width : {1, 2, 3, 4, 5, 31}) {
        for (bool sizeGiven : {false, true}) {
            SCOPED_TRACE(std::to_string(width) + (sizeGiven ? " with biSizeImage" : " without"));
            const RgbImage image = PatternImage(width, 3, 5);
            FrameBlock frame;
            frame.header.biWidth = width, frame.header.biHeight = 3;
            const std::vector<uint8_t> rows = StoredRows24(image);
            frame.header.biSizeImage = sizeGiven ? uint32_t(rows.size()) : 0;
            frame.pixels = rows;
            const std::string path = env_.Path("frame.bmp");
            TempEnvironment::WriteFile(path, std::string(5000, 'x'));  // replaced, not written over
            std::string error;
            ASSERT_TRUE(WriteBmpFile(path, frame, &error)) << error;
            const std::string bytes = TempEnvironment::ReadFile(path);
            EXPECT_EQ(bytes.size(), 54 + rows.size());
            EXPECT_EQ(uint8_t(bytes[10]), 54);
            RgbImage read;
            ASSERT_EQ(ReadRows(path, &read), "");
            EXPECT_EQ(read.rgb, image.rgb);
        }
    }
}

}  // namespace
