#pragma once

// The effect controls' pages as data: every control with its page, its place in dialog
// units, the range of its position or text, the field it drives, how a position maps to
// the field, and the effect code it applies. The dialog places, fills, clamps and maps its
// controls from this one table.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/EffectParams.h"

enum class EffectControlKind {
    Bar,          // horizontal scroll bar
    VerticalBar,  // vertical scroll bar
    TimeSlider,   // a slider whose every user move counts, page steps too
    ZoomBar,      // the zoom bar: the area follows the position
    Edit,         // a number beside a bar, or a zoom edit
    PercentEdit,  // the time multiplier in percent, two decimals
    Check,        // a check box toggling its field
    PushCheck,    // B, I, U: push buttons that stay down
    BlurCheck,    // BLUR and BLUR x 2: a value of the blur field each
    Rate2425,     // the "24/25" check box
    FaceList,
    SizeBox,
    AlignmentList,
    ColorButton,
    VerticalSpin,
    HorizontalSpin,
};

// How a bar position p becomes the field's value.
enum class EffectMapping {
    None,        // the control does not map a position
    Direct,      // field := p
    Offset,      // field := p - k
    Reverse,     // field := k - p
    Correction,  // field := p + 2, except p = 0 gives 0
};

struct EffectControl {
    int id;
    EffectControlKind kind;
    int page;                  // 1..8
    int x, y, width, height;   // dialog units
    bool shown;                // false for the controls a page keeps hidden
    int32_t minimum, maximum;  // the position's range (bars) or the text's range (edits)
    std::string_view field;    // the EffectParams member; empty when none or several
    int32_t code;              // the effect code applied after a change; 0 for none
    EffectMapping mapping;
    int32_t k;              // the constant of Offset and Reverse; the value of BlurCheck
    int buddy;              // a bar's edit, an edit's bar; 0 for none
    bool editShowsValue;    // an edit holding the field's value rather than the position
    std::string_view text;  // the caption of buttons and check boxes
};

struct EffectPageButton {
    int page;
    int id;
    std::string_view text;
};

struct EffectLabel {
    int page;
    std::string_view text;
    int x, y;  // dialog units
};

namespace effectcontrols {

inline constexpr int kFirstPage = 1;
inline constexpr int kPageCount = 8;
inline constexpr int kInitialPage = 3;
inline constexpr int kHelpContext = 3;
// The panel the "Effect controls" command shows, in pixels, at the base units of the font
// the pages were laid out for; the panel grows with the label font's own base units.
inline constexpr int kPanelWidth = 400;
inline constexpr int kPanelHeight = 220;
inline constexpr int kBaseUnitWidth = 6;
inline constexpr int kBaseUnitHeight = 13;

inline constexpr int kFaceList = 1048;
inline constexpr int kSizeBox = 1050;
inline constexpr int kTimeSlider = 1054;
inline constexpr int kTimeEdit = 1057;
inline constexpr int kMultiplierEdit = 1059;
inline constexpr int kRate2425 = 1062;
inline constexpr int kColorButton = 1001;
inline constexpr int kAlignmentList = 1030;
inline constexpr int kZoomBar = 1102;
inline constexpr int kZoomX = 1110;
inline constexpr int kZoomY = 1111;
inline constexpr int kZoomWidth = 1104;
inline constexpr int kZoomHeight = 1105;
inline constexpr int kVerticalSpin = 1117;
inline constexpr int kHorizontalSpin = 1118;
inline constexpr int kBlur = 1089;
inline constexpr int kBlurTwice = 1090;

inline constexpr std::string_view kCaption = "Effect Controls";
inline constexpr std::string_view kResetTip = "Reset settings";
inline constexpr std::string_view kRate2425Text = "104.17";
inline constexpr double kRate2425Multiplier = 1.0417;

std::span<const EffectControl> Controls();
const EffectControl* Find(int id);
std::span<const EffectPageButton> PageButtons();
std::span<const EffectLabel> Labels();
// The size box's list and the alignment list.
std::span<const std::string_view> FontSizes();
std::span<const std::string_view> Alignments();

// The field a position gives, and the position that shows a field's value (held within
// the bar's range).
int32_t FieldFromPosition(const EffectControl& bar, int32_t position);
int32_t PositionFromField(const EffectControl& bar, int32_t value);

// A typed number: leading blanks, a sign and digits, as the old edits read them; the rest
// is ignored and no digits read as 0.
int32_t ParseNumber(std::string_view text);
// A typed real number, or nothing when the text does not start with one.
std::optional<double> ParseReal(std::string_view text);
// value with exactly two decimals ("-" for a negative value, "0" before the point).
std::string FormatPercent(double value);

}  // namespace effectcontrols
