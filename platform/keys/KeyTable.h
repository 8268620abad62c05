#pragma once

// The one table between keys as Qt and X11 report them and the key codes the player stores
// and compares: Windows virtual-key numbers, plus modifier bits in a HotKeyCode. Every key
// handler, the hot-key library and the options dialog look keys up here, so a stored hot key
// means the same key everywhere.

#include <Qt>

#include <cstdint>
#include <span>
#include <string_view>

namespace vk {

inline constexpr uint16_t Back = 0x08;
inline constexpr uint16_t Tab = 0x09;
inline constexpr uint16_t Return = 0x0D;
inline constexpr uint16_t Shift = 0x10;
inline constexpr uint16_t Control = 0x11;
inline constexpr uint16_t Menu = 0x12;  // Alt
inline constexpr uint16_t Pause = 0x13;
inline constexpr uint16_t Capital = 0x14;
inline constexpr uint16_t Escape = 0x1B;
inline constexpr uint16_t Space = 0x20;
inline constexpr uint16_t Prior = 0x21;
inline constexpr uint16_t Next = 0x22;
inline constexpr uint16_t End = 0x23;
inline constexpr uint16_t Home = 0x24;
inline constexpr uint16_t Left = 0x25;
inline constexpr uint16_t Up = 0x26;
inline constexpr uint16_t Right = 0x27;
inline constexpr uint16_t Down = 0x28;
inline constexpr uint16_t Snapshot = 0x2C;
inline constexpr uint16_t Insert = 0x2D;
inline constexpr uint16_t Delete = 0x2E;
inline constexpr uint16_t Digit0 = 0x30;  // '0'..'9'
inline constexpr uint16_t LetterA = 0x41;  // 'A'..'Z'
inline constexpr uint16_t LWin = 0x5B;
inline constexpr uint16_t RWin = 0x5C;
inline constexpr uint16_t Apps = 0x5D;
inline constexpr uint16_t Numpad0 = 0x60;  // ..Numpad9 = 0x69
inline constexpr uint16_t Multiply = 0x6A;
inline constexpr uint16_t Add = 0x6B;
inline constexpr uint16_t Subtract = 0x6D;
inline constexpr uint16_t Decimal = 0x6E;
inline constexpr uint16_t Divide = 0x6F;
inline constexpr uint16_t F1 = 0x70;  // ..F24 = 0x87
inline constexpr uint16_t NumLock = 0x90;
inline constexpr uint16_t Scroll = 0x91;

}  // namespace vk

namespace keytable {

// HotKeyCode: the virtual-key number in the low 16 bits, OR these for the modifiers held.
inline constexpr uint32_t kShiftBit = 0x10000;
inline constexpr uint32_t kCtrlBit = 0x20000;
inline constexpr uint32_t kAltBit = 0x40000;
inline constexpr uint32_t kWinBit = 0x80000;

// Where the hot-key capture accepts a key: the plain keys, the navigation keys only with Alt.
enum class CaptureGroup : uint8_t { NoCapture, Keys, NavigationWithAlt };

struct KeyRow {
    uint16_t vk;
    int qtKey;       // Qt::Key
    bool keypad;     // Qt reports the key with Qt::KeypadModifier
    uint32_t keysym;
    CaptureGroup group;
    char name[9];    // shown in the hot-key list; empty for keys it never shows
};

// Every row; a key with several X or Qt forms has one row per form, its main form first.
std::span<const KeyRow> Rows();

// 0 when the key has no virtual-key number. Letters map the same in either case.
uint16_t FromKeysym(uint32_t keysym);
// A keypad key without a keypad row of its own (Insert on the keypad) maps as the plain key.
uint16_t FromQtKey(int qtKey, bool keypad);

// The main X and Qt form of a virtual key; 0 when unknown.
uint32_t KeysymOf(uint16_t vk);
int QtKeyOf(uint16_t vk);
bool IsKeypadInQt(uint16_t vk);

std::string_view NameOf(uint16_t vk);
CaptureGroup GroupOf(uint16_t vk);

// The HotKeyCode bit that a modifier key itself stands for; 0 for other keys.
uint32_t ModifierOf(uint16_t vk);
uint32_t ModifierBits(Qt::KeyboardModifiers modifiers);
// A Qt key press as a HotKeyCode; 0 when the key has no virtual-key number.
uint32_t HotKeyCodeFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

}  // namespace keytable
