#pragma once

// What a skin's "skin.ini" says: positions, kinds, colours, bitmap names and fonts. Parsing
// starts from the defaults every time, so nothing carries over from the skin before.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int kFixedButtons = 7;  // Previous, Play, Pause, Stop, Open, Next, Exit
inline constexpr int kMaxExtraButtons = 35;
inline constexpr int kMaxSkinButtons = kFixedButtons + kMaxExtraButtons;
inline constexpr int kSkinTexts = 6;
inline constexpr int kMenuColors = 7;
inline constexpr int kMaxPlayerCommand = 52;

enum class SeekKind : int32_t {
    Horizontal = 1,
    Vertical = 2,
    HorizontalBitmap = 3,
    VerticalBitmap = 4
};
enum class VolumeKind : int32_t { Line = -1, HorizontalKnob = 1, VerticalKnob = 2 };

struct SkinPoint {
    int32_t x = -1;
    int32_t y = -1;
    friend bool operator==(const SkinPoint&, const SkinPoint&) = default;
};

struct SkinFontSpec {
    std::string face = "Sans";  // at most 31 characters
    int32_t size = 8;           // points
    int32_t weight = 400;       // 400 "N", 700 "B", 0 anything else
    friend bool operator==(const SkinFontSpec&, const SkinFontSpec&) = default;
};

struct SkinDescription {
    int32_t mainAnyShape = 0;
    int32_t buttonAnyShape = 0;
    // Colours as written in the file: 0xRRGGBB (see ColorRef).
    uint32_t mainTransColor = 0xFF00FF;
    uint32_t buttonTransColor = 0xFF00FF;
    uint32_t posBackColor = 0x404040;
    uint32_t posForeColor = 0xC0C0C0;
    uint32_t fontColor = 0xFFFFFF;
    uint32_t volumeColor = 0xC0C0C0;
    uint32_t playLBG = 0xFFFFFF;                     // tooltip and playlist background
    uint32_t playLTX = 0x000000;                     // tooltip and playlist text
    uint32_t playLCR = 0xC0C0C0;                     // playlist highlight
    uint32_t playLBR = 0x808080;                     // playlist frame shading end
    std::array<uint32_t, kMenuColors> menuColors{};  // kept; nothing uses them

    // Fixed buttons 0..6, then extra buttons 7..41.
    std::array<SkinPoint, kMaxSkinButtons> buttons{};
    std::array<int32_t, kMaxSkinButtons> commands{};  // PlayerCommand of extra buttons
    int32_t extrNum = 0;                              // 0..35

    std::array<SkinPoint, kSkinTexts> texts{};
    int32_t txt1MaxSize = 0;
    std::array<SkinFontSpec, kSkinTexts> fonts{};

    std::array<int32_t, 4> trackBar{};  // x, y, width, height
    SeekKind trackKind = SeekKind::Horizontal;
    std::string trackBitmap;

    VolumeKind volumeKind = VolumeKind::Line;
    std::array<int32_t, 4> volume{};  // x0, y0, end, and y1 for the line kind
    std::string volumeBtn;            // prefix of the knob bitmaps

    std::array<int32_t, 4> about{};  // left, top, right, bottom

    static SkinDescription Parse(std::string_view text);
    // 0xRRGGBB as written in skin.ini to COLORREF 0x00BBGGRR.
    static uint32_t ColorRef(uint32_t rrggbb);

    friend bool operator==(const SkinDescription&, const SkinDescription&) = default;
};
