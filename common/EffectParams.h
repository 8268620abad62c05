#pragma once

// The effect and subtitle-style block of the video window. The same 440 bytes live in
// options.cfg and as the job file's second record, so the layout below is a file format.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

struct EffectParams {
    int32_t hue;
    int32_t saturation;
    int32_t intensity;
    int32_t zoomLeft;
    int32_t zoomTop;
    int32_t zoomWidth;
    int32_t zoomHeight;
    int32_t zoomActive;
    int32_t zoomExtra1;
    int32_t zoomExtra2;
    int32_t grayscale;
    int32_t invert;
    int32_t flipVertical;
    int32_t flipHorizontal;
    int32_t balanceRed;
    int32_t balanceGreen;
    int32_t balanceBlue;
    int32_t correction1;
    int32_t correction2;
    int32_t contrast;
    int32_t brightness;
    int32_t sharpen;
    int32_t blur;
    int32_t emboss;
    int32_t smooth;
    int32_t filterMode;
    int32_t timeShift;
    uint8_t padding108[4];  // kept as read
    double timeMultiplier;
    int32_t textTransparency;
    char fontFace[256];  // UTF-8, zero-terminated
    uint32_t fontFaceWide;  // a process-local handle in the old layout: written as 0, ignored on read
    int32_t fontSize;
    int32_t bold;
    int32_t italic;
    int32_t underline;
    int32_t bordering;
    int32_t antialiasing;
    int32_t leftBound;
    int32_t rightBound;
    int32_t textVertical;
    int32_t textRed;
    int32_t textGreen;
    int32_t textBlue;
    int32_t alignment;
    int32_t barOpacity;
};

static_assert(sizeof(EffectParams) == 440);
static_assert(offsetof(EffectParams, hue) == 0);
static_assert(offsetof(EffectParams, saturation) == 4);
static_assert(offsetof(EffectParams, intensity) == 8);
static_assert(offsetof(EffectParams, zoomLeft) == 12);
static_assert(offsetof(EffectParams, zoomTop) == 16);
static_assert(offsetof(EffectParams, zoomWidth) == 20);
static_assert(offsetof(EffectParams, zoomHeight) == 24);
static_assert(offsetof(EffectParams, zoomActive) == 28);
static_assert(offsetof(EffectParams, zoomExtra1) == 32);
static_assert(offsetof(EffectParams, zoomExtra2) == 36);
static_assert(offsetof(EffectParams, grayscale) == 40);
static_assert(offsetof(EffectParams, invert) == 44);
static_assert(offsetof(EffectParams, flipVertical) == 48);
static_assert(offsetof(EffectParams, flipHorizontal) == 52);
static_assert(offsetof(EffectParams, balanceRed) == 56);
static_assert(offsetof(EffectParams, balanceGreen) == 60);
static_assert(offsetof(EffectParams, balanceBlue) == 64);
static_assert(offsetof(EffectParams, correction1) == 68);
static_assert(offsetof(EffectParams, correction2) == 72);
static_assert(offsetof(EffectParams, contrast) == 76);
static_assert(offsetof(EffectParams, brightness) == 80);
static_assert(offsetof(EffectParams, sharpen) == 84);
static_assert(offsetof(EffectParams, blur) == 88);
static_assert(offsetof(EffectParams, emboss) == 92);
static_assert(offsetof(EffectParams, smooth) == 96);
static_assert(offsetof(EffectParams, filterMode) == 100);
static_assert(offsetof(EffectParams, timeShift) == 104);
static_assert(offsetof(EffectParams, padding108) == 108);
static_assert(offsetof(EffectParams, timeMultiplier) == 112);
static_assert(offsetof(EffectParams, textTransparency) == 120);
static_assert(offsetof(EffectParams, fontFace) == 124);
static_assert(offsetof(EffectParams, fontFaceWide) == 380);
static_assert(offsetof(EffectParams, fontSize) == 384);
static_assert(offsetof(EffectParams, bold) == 388);
static_assert(offsetof(EffectParams, italic) == 392);
static_assert(offsetof(EffectParams, underline) == 396);
static_assert(offsetof(EffectParams, bordering) == 400);
static_assert(offsetof(EffectParams, antialiasing) == 404);
static_assert(offsetof(EffectParams, leftBound) == 408);
static_assert(offsetof(EffectParams, rightBound) == 412);
static_assert(offsetof(EffectParams, textVertical) == 416);
static_assert(offsetof(EffectParams, textRed) == 420);
static_assert(offsetof(EffectParams, textGreen) == 424);
static_assert(offsetof(EffectParams, textBlue) == 428);
static_assert(offsetof(EffectParams, alignment) == 432);
static_assert(offsetof(EffectParams, barOpacity) == 436);

// The group of fields that one apply call hands to the effects filter.
enum class EffectCode : int32_t {
    ContrastBrightness = 1,
    Sharpen = 2,
    Blur = 3,
    Emboss = 4,
    Smooth = 5,
    Invert = 6,
    Grayscale = 7,
    FlipVertical = 8,
    FlipHorizontal = 9,
    ColorBalance = 10,
    ImageCorrection = 11,
    Zoom = 12,
    HueSaturation = 13,
    TimeShift = 14,
    TimeMultiplier = 15,
    TextTransparency = 16,
    FontFace = 17,
    FontSize = 18,
    Bold = 19,
    Italic = 20,
    Underline = 21,
    Bordering = 22,
    Antialiasing = 23,
    TextPosition = 24,
    TextColor = 25,
    Alignment = 26,
    BarOpacity = 27,
};
inline constexpr int32_t kFirstEffectCode = 1;
inline constexpr int32_t kLastEffectCode = 27;

enum class EffectFieldType { Int32, Double, Text, Handle };

// One row of the block's table: where a field lies, what it may hold, what it starts at,
// and which group sends it. Defaults, sanitising, the filter's properties and the tests
// are all driven from this table.
struct EffectField {
    std::string_view name;      // the member's name
    std::string_view property;  // the filter property's name; empty when the filter has none
    size_t offset;
    EffectFieldType type;
    double minimum;
    double maximum;
    double startValue;
    int32_t code;  // 0: sent by no group
};

std::span<const EffectField> EffectFields();
const EffectField* FindEffectField(std::string_view name);

// The fields a group sends, in the order the filter takes them.
std::span<const EffectField* const> FieldsOfCode(EffectCode code);

// The start-up block: every field at its start value, fontFace "Arial".
EffectParams DefaultEffectParams();

// Brings a block read from a file or another process into range: out-of-range numbers are
// clamped, non-finite doubles take their start value, fontFace is terminated, the handle
// is cleared. The padding is left as read.
void SanitizeEffectParams(EffectParams& params);

int32_t EffectInt(const EffectParams& params, const EffectField& field);
void SetEffectInt(EffectParams& params, const EffectField& field, int32_t value);
double EffectDouble(const EffectParams& params, const EffectField& field);
void SetEffectDouble(EffectParams& params, const EffectField& field, double value);

// zoomActive before every send of the zoom group: 0 when the area is 1 x 1 or the whole
// picture (videoWidth - 1 by videoHeight - 1), else 1.
void UpdateZoomActive(EffectParams& params, int32_t videoWidth, int32_t videoHeight);

// The pages of the effect controls, each with its own reset.
enum class EffectPage : int32_t {
    SubtitlesShape = 1,
    SubtitlesPosition = 2,
    BrightnessContrast = 3,
    HueSaturation = 4,
    ColorBalance = 5,
    ImageCorrection = 6,
    ZoomFlip = 7,
    MiscEffects = 8,
};

// Resets one page's fields and returns the groups to send, in order. The zoom page
// selects the whole picture of the open video (videoWidth - 1 by videoHeight - 1).
std::vector<EffectCode> ResetEffectPage(EffectParams& params, EffectPage page, int32_t videoWidth,
                                        int32_t videoHeight);
