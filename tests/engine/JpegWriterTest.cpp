// Converting a BMP file to JPEG: every refusal comes back with its text and leaves an
// existing JPEG as it was; the library's errors never end the process; quality and
// density reach the file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>

#include "BmpBytes.h"
#include "JpegDecode.h"
#include "engine/JpegWriter.h"
#include "support/TempEnvironment.h"

namespace {

class JpegWriterTest : public TempFolderTest {
protected:
    std::string in_ = env_.Path("in.bmp");
    std::string out_ = env_.Path("out.jpg");
};

BmpBytes With(const std::function<void(BmpBytes&)>& change) {
    BmpBytes bytes;
    bytes.pixels = StoredRows24(PatternImage(bytes.width, bytes.height));
    change(bytes);
    return bytes;
}

TEST_F(JpegWriterTest, RefusesEachDamagedOrUnsupportedFileWithItsText) {
    const auto header = [](const BmpBytes& b) { return b.Build().substr(0, 14 + b.headerSize); };
    const struct {
        const char* name;
        std::string file;
        const char* text;
    } cases[] = {
        {"empty file", "", "Empty input file"},
        {"not starting with B", "\x89PNG\r\n",
         "Unrecognized input file format --- perhaps you need -targa"},
        {"B but not BM", With([](BmpBytes& b) { b.magic = "BA"; }).Build(),
         "Not a BMP file - does not start with BM"},
        {"file header cut short", "BM\x10\0\0\0", "Premature end of input file"},
        {"info header cut short", With([](BmpBytes&) {}).Build().substr(0, 30),
         "Premature end of input file"},
        {"header size 11", header(With([](BmpBytes& b) { b.headerSize = 11; })),
         "Invalid BMP file: bad header length"},
        {"header size 65", header(With([](BmpBytes& b) { b.headerSize = 65; })),
         "Invalid BMP file: bad header length"},
        {"header size 52", With([](BmpBytes& b) { b.headerSize = 52; }).Build(),
         "Invalid BMP file: bad header length"},
        {"16 bits", With([](BmpBytes& b) { b.bits = 16; }).Build(),
         "Only 8- and 24-bit BMP files are supported"},
        {"32 bits", With([](BmpBytes& b) { b.bits = 32; }).Build(),
         "Only 8- and 24-bit BMP files are supported"},
        {"OS/2, 4 bits", With([](BmpBytes& b) { b.headerSize = 12, b.bits = 4; }).Build(),
         "Only 8- and 24-bit BMP files are supported"},
        {"two planes", With([](BmpBytes& b) { b.planes = 2; }).Build(),
         "Invalid BMP file: biPlanes not equal to 1"},
        {"OS/2, two planes", With([](BmpBytes& b) { b.headerSize = 12, b.planes = 2; }).Build(),
         "Invalid BMP file: biPlanes not equal to 1"},
        {"run-length compressed", With([](BmpBytes& b) { b.compression = 1; }).Build(),
         "Sorry, compressed BMPs not yet supported"},
        {"300 colours", With([](BmpBytes& b) { b.bits = 8, b.colorsUsed = 300; }).Build(),
         "Unsupported BMP colormap format"},
        {"pixel offset inside the header", With([](BmpBytes& b) { b.offsetDelta = -2; }).Build(),
         "Invalid BMP file: bad header length"},
        {"colour table cut short",
         With([](BmpBytes& b) { b.bits = 8, b.colorsUsed = 200, b.pixels.clear(); }).Build(),
         "Premature end of input file"},
        {"pixel offset past the end", With([](BmpBytes& b) { b.offsetDelta = 4096; }).Build(),
         "Premature end of input file"},
        {"60000 x 60000 in a few bytes (never allocated)",
         With([](BmpBytes& b) { b.width = 60000, b.height = 60000; }).Build(),
         "Premature end of input file"},
        {"last row missing",
         With([](BmpBytes& b) { b.pixels.resize(b.pixels.size() - 12); }).Build(),
         "Premature end of input file"},
        {"width 0", With([](BmpBytes& b) { b.width = 0; }).Build(),
         "Empty JPEG image (DNL not supported)"},
        {"width 70000", With([](BmpBytes& b) { b.width = 70000; }).Build(),
         "Maximum supported image dimension is 65500 pixels"},
        {"height -2 (top-down)", With([](BmpBytes& b) { b.height = -2; }).Build(),
         "Maximum supported image dimension is 65500 pixels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempEnvironment::WriteFile(in_, c.file);
        TempEnvironment::WriteFile(out_, "old picture");
        std::string error;
        EXPECT_FALSE(ConvertBmpToJpeg(in_, out_, 90, &error));
        EXPECT_EQ(error, c.text);
        EXPECT_EQ(TempEnvironment::ReadFile(out_), "old picture");
    }
}

TEST_F(JpegWriterTest, RefusesWhatIsNotARegularFileWithoutWaitingOnIt) {
    const std::string fifo = env_.Path("fifo.bmp"), folder = env_.Path("folder.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const struct {
        std::string path, text;
    } cases[] = {
        {fifo, "Cannot open " + fifo + ": not a regular file"},
        {folder, "Cannot open " + folder + ": not a regular file"},
        {env_.Path("missing.bmp"),
         "Cannot open " + env_.Path("missing.bmp") + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_FALSE(ConvertBmpToJpeg(c.path, out_, 90, &error));
        EXPECT_EQ(error, c.text);
        EXPECT_FALSE(TempEnvironment::Exists(out_));
    }
}

TEST_F(JpegWriterTest, QualityOneAndHundredGiveDifferentFilesThatBothDecode) {
    const RgbImage image = PatternImage(61, 37);
    BmpBytes bytes;
    bytes.width = image.width, bytes.height = image.height;
    bytes.pixels = StoredRows24(image);
    TempEnvironment::WriteFile(in_, bytes.Build());

    std::string error;
    const std::string low = env_.Path("q1.jpg"), high = env_.Path("q100.jpg");
    ASSERT_TRUE(ConvertBmpToJpeg(in_, low, 1, &error)) << error;
    ASSERT_TRUE(ConvertBmpToJpeg(in_, high, 100, &error)) << error;
    EXPECT_LT(TempEnvironment::ReadFile(low).size() * 2, TempEnvironment::ReadFile(high).size());

    const DecodedJpeg lowImage = DecodeJpeg(low), highImage = DecodeJpeg(high);
    ASSERT_TRUE(lowImage.ok && highImage.ok);
    for (const DecodedJpeg* decoded : {&lowImage, &highImage}) {
        EXPECT_EQ(decoded->width, image.width);
        EXPECT_EQ(decoded->height, image.height);
    }
}

TEST_F(JpegWriterTest, WritesThePixelDensityInDotsPerCentimetre) {
    const struct {
        int32_t x, y;
        int unit, xDensity, yDensity;
    } cases[] = {
        {3937, 2000, 2, 39, 20},  // 100 and 50.8 dots per inch
        {3937, 0, 0, 1, 1},       // one side unknown: the library's default stands
        {-3937, 3937, 0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        BmpBytes bytes = With([&](BmpBytes& b) { b.xPerMetre = c.x, b.yPerMetre = c.y; });
        TempEnvironment::WriteFile(in_, bytes.Build());
        std::string error;
        ASSERT_TRUE(ConvertBmpToJpeg(in_, out_, 75, &error)) << error;
        const DecodedJpeg decoded = DecodeJpeg(out_);
        ASSERT_TRUE(decoded.ok);
        EXPECT_EQ(decoded.densityUnit, c.unit);
        EXPECT_EQ(decoded.xDensity, c.xDensity);
        EXPECT_EQ(decoded.yDensity, c.yDensity);
    }
}

}  // namespace
