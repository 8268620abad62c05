#include "player/playback/EffectControlTable.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace effectcontrols {

namespace {

using K = EffectControlKind;
using M = EffectMapping;

// clang-format off
constexpr EffectControl kControls[] = {
    // id    kind              page  x    y    w   h   shown  min    max    field               code mapping       k    buddy value  text
    {1048, K::FaceList,       1,  82,  26,  89, 90, true,  0,     0,     "fontFace",          17, M::None,       0,   0,    false, ""},
    {1050, K::SizeBox,        1, 172,  26,  32, 50, true,  1,     100,   "fontSize",          18, M::None,       0,   0,    false, ""},
    {1051, K::PushCheck,      1, 206,  26,  15, 13, true,  0,     1,     "bold",              19, M::None,       0,   0,    false, "B"},
    {1052, K::PushCheck,      1, 222,  26,  15, 13, true,  0,     1,     "italic",            20, M::None,       0,   0,    false, "I"},
    {1053, K::PushCheck,      1, 238,  26,  15, 13, true,  0,     1,     "underline",         21, M::None,       0,   0,    false, "U"},
    {1046, K::Check,          1,  82,  45,  51, 12, true,  0,     1,     "antialiasing",      23, M::None,       0,   0,    false, "Antialiasing"},
    {1047, K::Check,          1, 138,  45,  51, 12, true,  0,     1,     "bordering",         22, M::None,       0,   0,    false, "Bordering"},
    {1001, K::ColorButton,    1, 201,  45,  51, 11, true,  0,     0,     "",                  25, M::None,       0,   0,    false, "Set color..."},
    {1044, K::Bar,            1, 143,  62,  78,  9, true,  0,     100,   "textTransparency",  16, M::Direct,     0,   1045, false, ""},
    {1045, K::Edit,           1, 228,  62,  23,  9, true,  0,     100,   "textTransparency",  16, M::None,       0,   1044, false, ""},
    {1041, K::Bar,            1, 143,  75,  78,  9, true,  0,     100,   "barOpacity",        27, M::Reverse,    100, 1042, false, ""},
    {1042, K::Edit,           1, 228,  75,  23,  9, true,  0,     100,   "barOpacity",        27, M::None,       0,   1041, false, ""},
    {1054, K::TimeSlider,     1, 130,  88,  98, 10, true,  0,     600,   "timeShift",         14, M::Offset,     300, 1057, false, ""},
    {1057, K::Edit,           1, 229,  88,  23, 10, true,  -6000, 6000,  "timeShift",         14, M::None,       0,   1054, true,  ""},
    {1059, K::PercentEdit,    1, 143, 101,  30,  9, true,  1,     1000,  "timeMultiplier",    15, M::None,       0,   0,    false, ""},
    {1062, K::Rate2425,       1, 183, 101,  32, 10, true,  0,     1,     "timeMultiplier",    15, M::None,       0,   0,    false, "24/25"},

    {1033, K::VerticalBar,    2, 102,  36,   9, 63, true,  0,     1000,  "textVertical",      24, M::Reverse,    1000, 1034, false, ""},
    {1035, K::Bar,            2, 143,  37,  78,  9, true,  0,     1000,  "leftBound",         24, M::Direct,     0,   1032, false, ""},
    {1032, K::Edit,           2, 225,  37,  25,  9, true,  0,     1000,  "leftBound",         24, M::None,       0,   1035, true,  ""},
    {1036, K::Bar,            2, 143,  73,  78,  9, true,  0,     1000,  "rightBound",        24, M::Reverse,    1000, 1037, false, ""},
    {1037, K::Edit,           2, 225,  73,  25,  9, true,  0,     1000,  "rightBound",        24, M::None,       0,   1036, true,  ""},
    {1034, K::Edit,           2,  94, 101,  25,  9, true,  0,     1000,  "textVertical",      24, M::None,       0,   1033, true,  ""},
    {1030, K::AlignmentList,  2, 188,  98,  63, 12, true,  0,     2,     "alignment",         26, M::None,       0,   0,    false, ""},

    {1066, K::Bar,            3,  84,  48, 165,  9, true,  0,     512,   "brightness",        1,  M::Offset,     256, 1068, false, ""},
    {1068, K::Edit,           3, 232,  48,  19,  9, false, 0,     512,   "brightness",        1,  M::None,       0,   1066, false, ""},
    {1067, K::Bar,            3,  84,  89, 165,  9, true,  0,     32,    "contrast",          1,  M::Direct,     0,   1069, false, ""},
    {1069, K::Edit,           3, 232,  89,  19,  9, false, 0,     32,    "contrast",          1,  M::None,       0,   1067, false, ""},

    {1072, K::Bar,            4,  84,  41, 165,  9, true,  0,     360,   "hue",               13, M::Offset,     180, 1074, false, ""},
    {1074, K::Edit,           4, 232,  41,  19,  9, false, 0,     360,   "hue",               13, M::None,       0,   1072, false, ""},
    {1073, K::Bar,            4,  84,  68, 165,  9, true,  0,     300,   "saturation",        13, M::Offset,     100, 1077, false, ""},
    {1077, K::Edit,           4, 232,  68,  19,  9, false, 0,     300,   "saturation",        13, M::None,       0,   1073, false, ""},
    {1079, K::Bar,            4,  84,  95, 165,  9, true,  0,     250,   "intensity",         13, M::Offset,     100, 1080, false, ""},
    {1080, K::Edit,           4, 232,  95,  19,  9, false, 0,     250,   "intensity",         13, M::None,       0,   1079, false, ""},

    {1076, K::Bar,            5,  84,  41, 145,  9, true,  0,     255,   "balanceRed",        10, M::Direct,     0,   1083, false, ""},
    {1083, K::Edit,           5, 232,  41,  19,  9, true,  0,     255,   "balanceRed",        10, M::None,       0,   1076, false, ""},
    {1078, K::Bar,            5,  84,  68, 145,  9, true,  0,     255,   "balanceGreen",      10, M::Direct,     0,   1084, false, ""},
    {1084, K::Edit,           5, 232,  68,  19,  9, true,  0,     255,   "balanceGreen",      10, M::None,       0,   1078, false, ""},
    {1081, K::Bar,            5,  84,  95, 145,  9, true,  0,     255,   "balanceBlue",       10, M::Direct,     0,   1085, false, ""},
    {1085, K::Edit,           5, 232,  95,  19,  9, true,  0,     255,   "balanceBlue",       10, M::None,       0,   1081, false, ""},

    {1089, K::BlurCheck,      6,  84,  33,  30, 12, true,  0,     2,     "blur",              3,  M::None,       1,   0,    false, "BLUR"},
    {1090, K::BlurCheck,      6, 118,  33,  44, 12, true,  0,     2,     "blur",              3,  M::None,       2,   0,    false, "BLUR x 2"},
    {1096, K::Edit,           6, 232,  42,  19,  9, false, 0,     64,    "sharpen",           2,  M::None,       0,   1093, false, ""},
    {1093, K::Bar,            6,  84,  62, 165,  9, true,  0,     64,    "sharpen",           2,  M::Direct,     0,   1096, false, ""},
    {1099, K::Edit,           6, 232,  65,  19,  9, false, 0,     4000,  "smooth",            5,  M::None,       0,   1095, false, ""},
    {1095, K::Bar,            6,  84,  90, 165,  9, true,  0,     4000,  "smooth",            5,  M::Direct,     0,   1099, false, ""},
    {1092, K::Bar,            6, 107, 182,   8,  8, false, 0,     9,     "correction1",       11, M::Correction, 0,   1097, false, ""},
    {1097, K::Edit,           6, 232,  90,  19,  8, false, 0,     9,     "correction1",       11, M::None,       0,   1092, false, ""},
    // 1092 and 1094 keep their places below the panel, out of view; neither is shown.
    {1094, K::Bar,            6, 107, 192,   8,  8, false, 0,     200,   "correction2",       11, M::Direct,     0,   1098, false, ""},
    {1098, K::Edit,           6, 232, 101,  19,  8, false, 0,     200,   "correction2",       11, M::None,       0,   1094, false, ""},

    {1100, K::Check,          7,  87,  27,  71, 13, true,  0,     1,     "flipVertical",      8,  M::None,       0,   0,    false, "Flip vertically"},
    {1101, K::Check,          7, 175,  27,  71, 13, true,  0,     1,     "flipHorizontal",    9,  M::None,       0,   0,    false, "Flip horizontally"},
    {1102, K::ZoomBar,        7,  87,  56, 159,  9, true,  0,     1000,  "",                  12, M::None,       0,   0,    false, ""},
    {1117, K::VerticalSpin,   7,  99,  70,  11, 28, true,  0,     0,     "zoomTop",           12, M::None,       0,   0,    false, ""},
    {1104, K::Edit,           7, 162,  80,  18,  9, true,  1,     65535, "zoomWidth",         12, M::None,       0,   0,    true,  ""},
    {1105, K::Edit,           7, 212,  80,  18,  9, true,  1,     65535, "zoomHeight",        12, M::None,       0,   0,    true,  ""},
    {1110, K::Edit,           7, 162,  98,  18,  9, true,  0,     65535, "zoomLeft",          12, M::None,       0,   0,    true,  ""},
    {1111, K::Edit,           7, 212,  98,  18,  9, true,  0,     65535, "zoomTop",           12, M::None,       0,   0,    true,  ""},
    {1118, K::HorizontalSpin, 7,  88,  99,  34, 10, true,  0,     0,     "zoomLeft",          12, M::None,       0,   0,    false, ""},

    {1114, K::Check,          8, 125,  35,  87, 14, true,  0,     1,     "emboss",            4,  M::None,       0,   0,    false, "Emboss"},
    {1115, K::Check,          8, 125,  61,  87, 14, true,  0,     1,     "invert",            6,  M::None,       0,   0,    false, "Invert"},
    {1116, K::Check,          8, 125,  86,  87, 14, true,  0,     1,     "grayscale",         7,  M::None,       0,   0,    false, "Grayscale"},
};

constexpr EffectPageButton kPageButtons[] = {
    {1, 1021, "Subtitles shape"},     {2, 1014, "Subtitles position"},
    {3, 1022, "Brightness/Contrast"}, {4, 1023, "Hue/Saturation"},
    {5, 1024, "Color balance"},       {6, 1025, "Image correction"},
    {7, 1026, "Zoom/Flip"},           {8, 1027, "Misc. effects"},
};

constexpr EffectLabel kLabels[] = {
    {1, "Text transparency:", 81, 62}, {1, "Bar transparency:", 82, 75},
    {1, "Shift the time:", 82, 88},    {1, "Multiply the time:", 82, 101},
    {1, "%", 175, 101},
    {2, "Vertical position", 83, 25},  {2, "Left bound:", 143, 25},
    {2, "Right bound:", 143, 61},      {2, "Alignment:", 143, 100},
    {3, "Brightness:", 84, 36},        {3, "Contrast:", 84, 77},
    {4, "Hue:", 84, 30},               {4, "Saturation:", 84, 57},
    {4, "Intensity:", 84, 84},
    {5, "Red:", 84, 30},               {5, "Green:", 84, 57},
    {5, "Blue:", 84, 84},
    {6, "Sharpen:", 84, 51},           {6, "Smooth:", 84, 79},
    {7, "Zoom Out", 88, 45},           {7, "Zoom In", 220, 45},
    {7, "Position of zoomed area", 137, 69},
    {7, "Width:", 137, 81},            {7, "Height:", 186, 81},
    {7, "X:", 151, 99},                {7, "Y:", 202, 99},
};
// clang-format on

constexpr std::string_view kFontSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                           "20", "22", "24", "26", "28", "36", "48", "72"};
constexpr std::string_view kAlignments[] = {"LEFT", "CENTER", "RIGHT"};

}  // namespace

std::span<const EffectControl> Controls() { return kControls; }

const EffectControl* Find(int id) {
    for (const EffectControl& control : kControls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

std::span<const EffectPageButton> PageButtons() { return kPageButtons; }
std::span<const EffectLabel> Labels() { return kLabels; }
std::span<const std::string_view> FontSizes() { return kFontSizes; }
std::span<const std::string_view> Alignments() { return kAlignments; }

int32_t FieldFromPosition(const EffectControl& bar, int32_t position) {
    const int32_t p = std::clamp(position, bar.minimum, bar.maximum);
    switch (bar.mapping) {
        case EffectMapping::Offset: return p - bar.k;
        case EffectMapping::Reverse: return bar.k - p;
        case EffectMapping::Correction: return p == 0 ? 0 : p + 2;
        case EffectMapping::Direct:
        case EffectMapping::None: return p;
    }
    return p;
}

int32_t PositionFromField(const EffectControl& bar, int32_t value) {
    int64_t p = value;
    switch (bar.mapping) {
        case EffectMapping::Offset: p = int64_t{value} + bar.k; break;
        case EffectMapping::Reverse: p = int64_t{bar.k} - value; break;
        case EffectMapping::Correction: p = value <= 2 ? 0 : int64_t{value} - 2; break;
        case EffectMapping::Direct:
        case EffectMapping::None: break;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(p, bar.minimum, bar.maximum));
}

int32_t ParseNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Held just past the int32 range, so an overlong text still clamps to the right end.
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{1} << 32);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// from_chars and to_chars: the decimal point is '.' whatever the user's locale says.
std::optional<double> ParseReal(std::string_view text) {
    text = text.substr(0, 99);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '+') ++i;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string FormatPercent(double value) {
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (error != std::errc{}) return "0.00";
    return std::string(text, end);
}

}  // namespace effectcontrols
