// The effect block is a file format shared by options.cfg, the job file and korc: a field
// that moves, a wrong range or a wrong send order breaks another program silently.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <set>

#include "common/EffectParams.h"

namespace {

// The documented ranges and send codes, written out apart from the code's table; the
// struct's offsets are pinned at compile time.
struct Documented {
    const char* name;
    double minimum, maximum, start;
    int32_t code;
};
const Documented kDocumented[] = {
    {"hue", -180, 180, 0, 13},            {"saturation", -100, 200, 0, 13},
    {"intensity", -100, 150, 0, 13},      {"zoomLeft", 0, 65535, 0, 12},
    {"zoomTop", 0, 65535, 0, 12},         {"zoomWidth", -1, 65535, 1, 12},
    {"zoomHeight", -1, 65535, 1, 12},     {"zoomActive", 0, 1, 0, 12},
    {"zoomExtra1", -1, 65535, 1, 12},     {"zoomExtra2", -1, 65535, 1, 12},
    {"grayscale", 0, 1, 0, 7},            {"invert", 0, 1, 0, 6},
    {"flipVertical", 0, 1, 0, 8},         {"flipHorizontal", 0, 1, 0, 9},
    {"balanceRed", 0, 255, 0, 10},        {"balanceGreen", 0, 255, 0, 10},
    {"balanceBlue", 0, 255, 0, 10},       {"correction1", 0, 11, 0, 11},
    {"correction2", 0, 200, 0, 11},       {"contrast", 0, 32, 16, 1},
    {"brightness", -256, 256, 0, 1},      {"sharpen", 0, 64, 0, 2},
    {"blur", 0, 2, 0, 3},                 {"emboss", 0, 1, 0, 4},
    {"smooth", 0, 4000, 0, 5},            {"timeShift", -6000, 6000, 0, 14},
    {"timeMultiplier", 0.01, 10, 1, 15},  {"textTransparency", 0, 100, 10, 16},
    {"fontSize", 1, 100, 12, 18},         {"bold", 0, 1, 1, 19},
    {"italic", 0, 1, 0, 20},              {"underline", 0, 1, 0, 21},
    {"bordering", 0, 1, 1, 22},           {"antialiasing", 0, 1, 1, 23},
    {"leftBound", 0, 1000, 0, 24},        {"rightBound", 0, 1000, 0, 24},
    {"textVertical", 0, 1000, 50, 24},    {"textRed", 0, 255, 255, 25},
    {"textGreen", 0, 255, 255, 25},       {"textBlue", 0, 255, 255, 25},
    {"alignment", 0, 2, 1, 26},           {"barOpacity", 0, 100, 20, 27},
};

size_t FieldSize(const EffectField& field) {
    switch (field.type) {
        case EffectFieldType::Double: return 8;
        case EffectFieldType::Text: return 256;
        default: return 4;
    }
}

TEST(EffectParams, TableMatchesTheDocumentedRangesAndCodes) {
    for (const Documented& d : kDocumented) {
        SCOPED_TRACE(d.name);
        const EffectField* field = FindEffectField(d.name);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->minimum, d.minimum);
        EXPECT_EQ(field->maximum, d.maximum);
        EXPECT_EQ(field->startValue, d.start);
        EXPECT_EQ(field->code, d.code);
    }
}

TEST(EffectParams, FieldsTileTheRecordWithOnlyThePaddingLeftOver) {
    std::map<size_t, size_t> spans;  // offset -> size
    for (const EffectField& field : EffectFields()) spans[field.offset] = FieldSize(field);
    spans[108] = 4;  // padding
    size_t next = 0;
    for (const auto& [offset, size] : spans) {
        EXPECT_EQ(offset, next) << "gap or overlap before offset " << offset;
        next = offset + size;
    }
    EXPECT_EQ(next, sizeof(EffectParams));
}

TEST(EffectParams, SanitiseLeavesAValidBlockAsItIs) {
    EffectParams params = DefaultEffectParams();
    params.hue = -180;
    params.smooth = 4000;
    params.correction1 = 3;
    params.timeShift = -6000;
    params.timeMultiplier = 0.01;
    params.padding108[0] = 0xAB;
    const EffectParams before = params;
    SanitizeEffectParams(params);
    EXPECT_EQ(std::memcmp(&params, &before, sizeof params), 0);
}

TEST(EffectParams, SanitiseRepairsWhatAFileMayHold) {
    EffectParams params = DefaultEffectParams();
    params.hue = 9999;
    params.saturation = -9999;
    params.blur = 7;
    params.alignment = -1;
    params.correction1 = 2;
    params.fontSize = 0;
    params.timeMultiplier = std::numeric_limits<double>::quiet_NaN();
    params.fontFaceWide = 0xDEADBEEF;
    std::memset(params.fontFace, 'x', sizeof params.fontFace);
    params.padding108[1] = 0x5A;

    SanitizeEffectParams(params);
    EXPECT_EQ(params.hue, 180);
    EXPECT_EQ(params.saturation, -100);
    EXPECT_EQ(params.blur, 2);
    EXPECT_EQ(params.alignment, 0);
    EXPECT_EQ(params.correction1, 0);
    EXPECT_EQ(params.fontSize, 1);
    EXPECT_EQ(params.timeMultiplier, 1.0);
    EXPECT_EQ(params.fontFaceWide, 0u);
    EXPECT_EQ(std::strlen(params.fontFace), 255u);
    EXPECT_EQ(params.padding108[1], 0x5A);

    params.timeMultiplier = -std::numeric_limits<double>::infinity();
    SanitizeEffectParams(params);
    EXPECT_EQ(params.timeMultiplier, 1.0);
    params.timeMultiplier = 50;
    SanitizeEffectParams(params);
    EXPECT_EQ(params.timeMultiplier, 10.0);
}

TEST(EffectParams, GroupsSendTheirFieldsInTheFiltersOrder) {
    auto names = [](EffectCode code) {
        std::vector<std::string_view> list;
        for (const EffectField* field : FieldsOfCode(code)) list.push_back(field->name);
        return list;
    };
    using V = std::vector<std::string_view>;
    EXPECT_EQ(names(EffectCode::Zoom), (V{"zoomLeft", "zoomTop", "zoomWidth", "zoomHeight",
                                         "zoomExtra1", "zoomExtra2", "zoomActive"}));
    EXPECT_EQ(names(EffectCode::TextPosition), (V{"leftBound", "textVertical", "rightBound"}));
    EXPECT_EQ(names(EffectCode::TextColor), (V{"textRed", "textGreen", "textBlue"}));
    EXPECT_EQ(names(EffectCode::ContrastBrightness), (V{"contrast", "brightness"}));
    EXPECT_EQ(names(EffectCode::HueSaturation), (V{"hue", "saturation", "intensity"}));
    EXPECT_EQ(names(EffectCode::FontFace), (V{"fontFace"}));
    EXPECT_TRUE(FieldsOfCode(static_cast<EffectCode>(0)).empty());
    EXPECT_TRUE(FieldsOfCode(static_cast<EffectCode>(28)).empty());

    std::set<const EffectField*> seen;
    for (int32_t code = kFirstEffectCode; code <= kLastEffectCode; ++code) {
        const auto fields = FieldsOfCode(static_cast<EffectCode>(code));
        EXPECT_FALSE(fields.empty()) << code;
        for (const EffectField* field : fields) {
            EXPECT_EQ(field->code, code);
            EXPECT_TRUE(seen.insert(field).second) << field->name << " sent twice";
        }
    }
}

TEST(EffectParams, ZoomIsActiveOnlyForARealArea) {
    struct Case {
        int32_t width, height, videoWidth, videoHeight, active;
    };
    const Case cases[] = {
        {1, 1, 640, 480, 0},     {639, 479, 640, 480, 0}, {320, 240, 640, 480, 1},
        {639, 240, 640, 480, 1}, {-1, -1, 0, 0, 0},       {1, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EffectParams params = DefaultEffectParams();
        params.zoomWidth = c.width;
        params.zoomHeight = c.height;
        UpdateZoomActive(params, c.videoWidth, c.videoHeight);
        EXPECT_EQ(params.zoomActive, c.active) << c.width << "x" << c.height;
    }
}

TEST(EffectParams, PageResetsTouchOnlyTheirPageAndSendInOrder) {
    EffectParams params = DefaultEffectParams();
    params.sharpen = 30;
    params.blur = 2;
    params.hue = 40;
    params.zoomWidth = 100;
    params.flipVertical = 1;

    using C = EffectCode;
    EXPECT_EQ(ResetEffectPage(params, EffectPage::ImageCorrection, 640, 480),
              (std::vector<C>{C::Sharpen, C::Smooth, C::ImageCorrection, C::Blur}));
    EXPECT_EQ(params.sharpen, 0);
    EXPECT_EQ(params.blur, 0);
    EXPECT_EQ(params.hue, 40);  // another page's field stays

    EXPECT_EQ(ResetEffectPage(params, EffectPage::ZoomFlip, 640, 480),
              (std::vector<C>{C::Zoom, C::FlipHorizontal, C::FlipVertical}));
    EXPECT_EQ(params.zoomWidth, 639);
    EXPECT_EQ(params.zoomHeight, 479);
    EXPECT_EQ(params.flipVertical, 0);

    // With no video open the zoom reset stores -1 and the area counts as no zoom.
    ResetEffectPage(params, EffectPage::ZoomFlip, 0, 0);
    EXPECT_EQ(params.zoomWidth, -1);
    UpdateZoomActive(params, 0, 0);
    EXPECT_EQ(params.zoomActive, 0);

    std::strcpy(params.fontFace, "Courier");
    params.timeMultiplier = 3;
    const auto codes = ResetEffectPage(params, EffectPage::SubtitlesShape, 0, 0);
    EXPECT_EQ(codes.size(), 12u);
    EXPECT_EQ(codes.front(), C::FontFace);
    EXPECT_EQ(codes[5], C::Antialiasing);
    EXPECT_EQ(codes[6], C::Bordering);
    EXPECT_STREQ(params.fontFace, "Arial");
    EXPECT_EQ(params.timeMultiplier, 1.0);
    EXPECT_EQ(params.hue, 40);
}

}  // namespace
