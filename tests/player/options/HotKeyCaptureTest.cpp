#include <gtest/gtest.h>

#include "platform/keys/KeyTable.h"
#include "player/options/HotKeyCapture.h"

namespace {

constexpr uint32_t S = keytable::kShiftBit, C = keytable::kCtrlBit, A = keytable::kAltBit,
                   W = keytable::kWinBit;

TEST(HotKeyCapture, TheTablesDecideWhichKeysAreTakenWithWhichModifiersAndHowTheyRead) {
    const struct {
        uint16_t vk;
        uint32_t mods;
        int32_t code;          // 0: nothing captured
        const char* captured;  // text while capturing
        const char* loaded;    // text of the next showing
    } cases[] = {
        {'A', C, 0x20041, "Ctrl + A", "Ctrl + A"},
        {vk::Left, A, 0x40025, "Alt + Left", "Alt + Left"},
        {vk::Left, 0, 0, "", ""},
        {vk::Prior, C, 0, "", ""},  // navigation keys only with Alt
        {vk::Prior, S | A, 0x50021, "Shift + Alt + PageUp", "Shift + Alt + PageUp"},
        {'5', S | C | A | W, 0xF0035, "Shift + Ctrl + Win + Alt + 5",
         "Shift + Ctrl + Alt + Win + 5"},
        {vk::Numpad0 + 5, 0, 0x65, "NUMPAD5", "NUMPAD5"},
        {'8', S, 0x10038, "Shift + 8", "Shift + 8"},
        {vk::Space, 0, 0x20, "Space", "Space"},
        {vk::Divide, A, 0x4006F, "Alt + /", "Alt + /"},
        {vk::F1, 0, 0, "", ""},
        {0, C, 0, "", ""},
    };
    for (const auto& c : cases) {
        HotKeyCapture capture;
        int32_t none[kHotKeySlots] = {};
        capture.Load(none);
        std::string text = "unchanged";
        EXPECT_EQ(capture.Capture(3, c.vk, c.mods, text), c.code != 0) << c.captured;
        EXPECT_EQ(capture.Code(3), c.code) << std::hex << c.vk;
        if (c.code) {
            EXPECT_EQ(text, c.captured);
            EXPECT_EQ(hotkeys::LoadText(c.code), c.loaded);
        } else {
            EXPECT_EQ(text, "unchanged");
        }
    }
}

TEST(HotKeyCapture, ACodeHeldByAnySlotIsRefusedAndBackspaceClears) {
    int32_t keys[kHotKeySlots] = {};
    keys[0] = 0x20041;
    keys[5] = 0x40025;
    HotKeyCapture capture;
    capture.Load(keys);
    std::string text;
    EXPECT_FALSE(capture.Capture(1, 'A', C, text));       // another slot's
    EXPECT_FALSE(capture.Capture(5, vk::Left, A, text));  // its own
    EXPECT_FALSE(capture.Capture(-1, 'B', C, text));      // no row
    EXPECT_FALSE(capture.Capture(kHotKeySlots, 'B', C, text));
    EXPECT_TRUE(capture.Capture(0, vk::Back, C, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(capture.Code(0), 0);
    EXPECT_TRUE(capture.Capture(1, 'A', C, text));  // free again
    int32_t stored[kHotKeySlots] = {};
    capture.Store(stored);
    EXPECT_EQ(stored[1], 0x20041);
    EXPECT_EQ(stored[5], 0x40025);
    EXPECT_EQ(stored[0], 0);
    // The settings' media keys have no name in the capture tables and show empty.
    EXPECT_EQ(hotkeys::LoadText(0xB3), "");
    EXPECT_EQ(std::string(hotkeys::kActionNames[17]), " Close Kalvor");
}

}  // namespace
