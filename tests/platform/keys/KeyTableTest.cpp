#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <set>
#include <string>

#include "platform/keys/KeyTable.h"

namespace {

using keytable::CaptureGroup;

TEST(KeyTable, MapsKeysBothWaysBetweenQtX11AndVirtualKeys) {
    struct Case {
        uint16_t vk;
        int qtKey;
        bool keypad;
        uint32_t keysym;
        const char* name;
        CaptureGroup group;
    };
    const Case cases[] = {
        {0x20, Qt::Key_Space, false, XK_space, "Space", CaptureGroup::Keys},
        {0x37, Qt::Key_7, false, XK_7, "7", CaptureGroup::Keys},
        {0x5A, Qt::Key_Z, false, XK_Z, "Z", CaptureGroup::Keys},
        {0x67, Qt::Key_7, true, XK_KP_7, "NUMPAD7", CaptureGroup::Keys},
        {0x6A, Qt::Key_Asterisk, true, XK_KP_Multiply, "*", CaptureGroup::Keys},
        {0x6D, Qt::Key_Minus, true, XK_KP_Subtract, "-", CaptureGroup::Keys},
        {0x6F, Qt::Key_Slash, true, XK_KP_Divide, "/", CaptureGroup::Keys},
        {0x21, Qt::Key_PageUp, false, XK_Prior, "PageUp", CaptureGroup::NavigationWithAlt},
        {0x22, Qt::Key_PageDown, false, XK_Next, "PageDown", CaptureGroup::NavigationWithAlt},
        {0x25, Qt::Key_Left, false, XK_Left, "Left", CaptureGroup::NavigationWithAlt},
        {0x74, Qt::Key_F5, false, XK_F5, "", CaptureGroup::NoCapture},
        {0x2E, Qt::Key_Delete, false, XK_Delete, "", CaptureGroup::NoCapture},
        {0x0D, Qt::Key_Return, false, XK_Return, "", CaptureGroup::NoCapture},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        EXPECT_EQ(keytable::FromQtKey(c.qtKey, c.keypad), c.vk);
        EXPECT_EQ(keytable::FromKeysym(c.keysym), c.vk);
        EXPECT_EQ(keytable::QtKeyOf(c.vk), c.qtKey);
        EXPECT_EQ(keytable::IsKeypadInQt(c.vk), c.keypad);
        EXPECT_EQ(keytable::KeysymOf(c.vk), c.keysym);
        EXPECT_EQ(keytable::NameOf(c.vk), c.name);
        EXPECT_EQ(keytable::GroupOf(c.vk), c.group);
    }
}

TEST(KeyTable, FoldsTheOtherFormsOfAKeyOntoOneVirtualKey) {
    struct Case {
        int qtKey;
        bool keypad;
        uint32_t keysym;
        uint16_t vk;
    };
    const Case cases[] = {
        {Qt::Key_A, false, XK_a, 0x41},             // a letter in either case
        {Qt::Key_Insert, true, XK_KP_Insert, 0x2D}, // keypad 0 with NumLock off
        {Qt::Key_Left, true, XK_KP_Left, 0x25},
        {Qt::Key_Enter, true, XK_KP_Enter, 0x0D},
        {Qt::Key_Shift, false, XK_Shift_R, 0x10},
        {Qt::Key_Alt, false, XK_Alt_R, 0x12},
        // Not keys of the table: the main keyboard's asterisk is not the keypad's.
        {Qt::Key_Asterisk, false, XK_asterisk, 0},
        {Qt::Key_Exclam, false, XK_exclam, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keysym);
        EXPECT_EQ(keytable::FromQtKey(c.qtKey, c.keypad), c.vk);
        EXPECT_EQ(keytable::FromKeysym(c.keysym), c.vk);
    }
}

TEST(KeyTable, EveryFormLeadsBackToItsOwnRowAndTheCaptureTablesHaveTheirSizes) {
    std::set<uint16_t> keys, navigation;
    std::set<std::string> names;
    for (const keytable::KeyRow& row : keytable::Rows()) {
        SCOPED_TRACE(row.vk);
        EXPECT_EQ(keytable::FromKeysym(row.keysym), row.vk);
        EXPECT_EQ(keytable::FromQtKey(row.qtKey, row.keypad), row.vk);
        EXPECT_LE(row.vk, 0xFF);
        if (row.group == CaptureGroup::Keys) keys.insert(row.vk);
        if (row.group == CaptureGroup::NavigationWithAlt) navigation.insert(row.vk);
        if (row.group != CaptureGroup::NoCapture) {
            EXPECT_NE(row.name[0], '\0');
            names.insert(row.name);
        }
    }
    EXPECT_EQ(keys.size(), 52u);
    EXPECT_EQ(navigation.size(), 8u);
    EXPECT_EQ(names.size(), 60u);
}

TEST(KeyTable, BuildsHotKeyCodesFromQtPressesWithTheModifierBits) {
    struct Case {
        int qtKey;
        Qt::KeyboardModifiers modifiers;
        uint32_t code;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::ControlModifier, 0x20041},
        {Qt::Key_Left, Qt::AltModifier, 0x40025},
        {Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier, 0x30074},
        {Qt::Key_3, Qt::KeypadModifier | Qt::MetaModifier, 0x80063},
        {Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier | Qt::AltModifier, 0x5006B},
        {Qt::Key_Control, Qt::ControlModifier | Qt::ShiftModifier, 0x10011},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.qtKey);
        EXPECT_EQ(keytable::HotKeyCodeFromQt(c.qtKey, c.modifiers), c.code);
    }
}

}  // namespace
