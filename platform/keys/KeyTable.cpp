#include "platform/keys/KeyTable.h"

#include <X11/keysym.h>

#include <array>

namespace keytable {
namespace {

constexpr size_t kCapacity = 160;

struct Built {
    std::array<KeyRow, kCapacity> rows{};
    size_t count = 0;

    constexpr void Add(uint16_t vk, int qtKey, bool keypad, uint32_t keysym, CaptureGroup group,
                       std::string_view name) {
        KeyRow& row = rows[count++];
        row = KeyRow{vk, qtKey, keypad, keysym, group, {}};
        for (size_t i = 0; i < name.size() && i + 1 < sizeof row.name; ++i) row.name[i] = name[i];
    }
};

constexpr Built Build() {
    using enum CaptureGroup;
    Built b;
    // The 52 keys the hot-key list accepts with any modifiers.
    b.Add(vk::Space, Qt::Key_Space, false, XK_space, Keys, "Space");
    for (int i = 0; i < 10; ++i) {
        const char digit[] = {char('0' + i)};
        b.Add(vk::Digit0 + i, Qt::Key_0 + i, false, XK_0 + i, Keys, {digit, 1});
    }
    for (int i = 0; i < 26; ++i) {
        const char letter[] = {char('A' + i)};
        b.Add(vk::LetterA + i, Qt::Key_A + i, false, XK_A + i, Keys, {letter, 1});
    }
    for (int i = 0; i < 10; ++i) {
        const char name[] = {'N', 'U', 'M', 'P', 'A', 'D', char('0' + i)};
        b.Add(vk::Numpad0 + i, Qt::Key_0 + i, true, XK_KP_0 + i, Keys, {name, 7});
    }
    b.Add(vk::Multiply, Qt::Key_Asterisk, true, XK_KP_Multiply, Keys, "*");
    b.Add(vk::Add, Qt::Key_Plus, true, XK_KP_Add, Keys, "+");
    b.Add(vk::Subtract, Qt::Key_Minus, true, XK_KP_Subtract, Keys, "-");
    b.Add(vk::Decimal, Qt::Key_Period, true, XK_KP_Decimal, Keys, ".");
    b.Add(vk::Divide, Qt::Key_Slash, true, XK_KP_Divide, Keys, "/");

    // The navigation keys, which the hot-key list takes only with Alt; the keypad's copies
    // (NumLock off) are the same keys.
    struct Nav {
        uint16_t vk;
        int qtKey;
        uint32_t keysym, keypadKeysym;
        std::string_view name;
    };
    constexpr Nav kNavigation[] = {
        {vk::Prior, Qt::Key_PageUp, XK_Prior, XK_KP_Prior, "PageUp"},
        {vk::Next, Qt::Key_PageDown, XK_Next, XK_KP_Next, "PageDown"},
        {vk::End, Qt::Key_End, XK_End, XK_KP_End, "End"},
        {vk::Home, Qt::Key_Home, XK_Home, XK_KP_Home, "Home"},
        {vk::Left, Qt::Key_Left, XK_Left, XK_KP_Left, "Left"},
        {vk::Up, Qt::Key_Up, XK_Up, XK_KP_Up, "Up"},
        {vk::Right, Qt::Key_Right, XK_Right, XK_KP_Right, "Right"},
        {vk::Down, Qt::Key_Down, XK_Down, XK_KP_Down, "Down"},
    };
    for (const Nav& n : kNavigation) b.Add(n.vk, n.qtKey, false, n.keysym, NavigationWithAlt, n.name);
    for (const Nav& n : kNavigation) b.Add(n.vk, n.qtKey, true, n.keypadKeysym, NavigationWithAlt, n.name);

    // Keys the other key handlers use, and the modifiers themselves.
    b.Add(vk::Back, Qt::Key_Backspace, false, XK_BackSpace, NoCapture, "");
    b.Add(vk::Tab, Qt::Key_Tab, false, XK_Tab, NoCapture, "");
    b.Add(vk::Return, Qt::Key_Return, false, XK_Return, NoCapture, "");
    b.Add(vk::Return, Qt::Key_Enter, true, XK_KP_Enter, NoCapture, "");
    b.Add(vk::Shift, Qt::Key_Shift, false, XK_Shift_L, NoCapture, "");
    b.Add(vk::Shift, Qt::Key_Shift, false, XK_Shift_R, NoCapture, "");
    b.Add(vk::Control, Qt::Key_Control, false, XK_Control_L, NoCapture, "");
    b.Add(vk::Control, Qt::Key_Control, false, XK_Control_R, NoCapture, "");
    b.Add(vk::Menu, Qt::Key_Alt, false, XK_Alt_L, NoCapture, "");
    b.Add(vk::Menu, Qt::Key_Alt, false, XK_Alt_R, NoCapture, "");
    b.Add(vk::LWin, Qt::Key_Super_L, false, XK_Super_L, NoCapture, "");
    b.Add(vk::RWin, Qt::Key_Super_R, false, XK_Super_R, NoCapture, "");
    b.Add(vk::Apps, Qt::Key_Menu, false, XK_Menu, NoCapture, "");
    b.Add(vk::Pause, Qt::Key_Pause, false, XK_Pause, NoCapture, "");
    b.Add(vk::Capital, Qt::Key_CapsLock, false, XK_Caps_Lock, NoCapture, "");
    b.Add(vk::NumLock, Qt::Key_NumLock, false, XK_Num_Lock, NoCapture, "");
    b.Add(vk::Scroll, Qt::Key_ScrollLock, false, XK_Scroll_Lock, NoCapture, "");
    b.Add(vk::Escape, Qt::Key_Escape, false, XK_Escape, NoCapture, "");
    b.Add(vk::Snapshot, Qt::Key_Print, false, XK_Print, NoCapture, "");
    b.Add(vk::Insert, Qt::Key_Insert, false, XK_Insert, NoCapture, "");
    b.Add(vk::Insert, Qt::Key_Insert, true, XK_KP_Insert, NoCapture, "");
    b.Add(vk::Delete, Qt::Key_Delete, false, XK_Delete, NoCapture, "");
    b.Add(vk::Delete, Qt::Key_Delete, true, XK_KP_Delete, NoCapture, "");
    for (int i = 0; i < 24; ++i) b.Add(vk::F1 + i, Qt::Key_F1 + i, false, XK_F1 + i, NoCapture, "");
    return b;
}

constexpr Built kBuilt = Build();

const KeyRow* FindVk(uint16_t key) {
    for (const KeyRow& row : Rows()) {
        if (row.vk == key) return &row;
    }
    return nullptr;
}

}  // namespace

std::span<const KeyRow> Rows() { return {kBuilt.rows.data(), kBuilt.count}; }

uint16_t FromKeysym(uint32_t keysym) {
    if (keysym >= XK_a && keysym <= XK_z) keysym -= XK_a - XK_A;
    if (keysym == 0) return 0;
    for (const KeyRow& row : Rows()) {
        if (row.keysym == keysym) return row.vk;
    }
    return 0;
}

uint16_t FromQtKey(int qtKey, bool keypad) {
    if (qtKey == 0) return 0;
    for (const KeyRow& row : Rows()) {
        if (row.qtKey == qtKey && row.keypad == keypad) return row.vk;
    }
    if (keypad) return FromQtKey(qtKey, false);
    return 0;
}

uint32_t KeysymOf(uint16_t key) {
    const KeyRow* row = FindVk(key);
    return row ? row->keysym : 0;
}

int QtKeyOf(uint16_t key) {
    const KeyRow* row = FindVk(key);
    return row ? row->qtKey : 0;
}

bool IsKeypadInQt(uint16_t key) {
    const KeyRow* row = FindVk(key);
    return row && row->keypad;
}

std::string_view NameOf(uint16_t key) {
    const KeyRow* row = FindVk(key);
    return row ? std::string_view(row->name) : std::string_view();
}

CaptureGroup GroupOf(uint16_t key) {
    const KeyRow* row = FindVk(key);
    return row ? row->group : CaptureGroup::NoCapture;
}

uint32_t ModifierOf(uint16_t key) {
    switch (key) {
        case vk::Shift: return kShiftBit;
        case vk::Control: return kCtrlBit;
        case vk::Menu: return kAltBit;
        case vk::LWin:
        case vk::RWin: return kWinBit;
        default: return 0;
    }
}

uint32_t ModifierBits(Qt::KeyboardModifiers modifiers) {
    uint32_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= kShiftBit;
    if (modifiers & Qt::ControlModifier) bits |= kCtrlBit;
    if (modifiers & Qt::AltModifier) bits |= kAltBit;
    if (modifiers & Qt::MetaModifier) bits |= kWinBit;  // the Windows key on X11
    return bits;
}

uint32_t HotKeyCodeFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    const uint16_t key = FromQtKey(qtKey, modifiers & Qt::KeypadModifier);
    if (key == 0) return 0;
    // A modifier key's own press does not count itself, as in the hot-key library.
    return key | (ModifierBits(modifiers) & ~ModifierOf(key));
}

}  // namespace keytable
