// Fixed fields must never turn a long path into a different, shorter one, nor let a
// reader run past the field.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/system/FixedText.h"

namespace {

TEST(FixedText, PathsThatDoNotFitAreRefusedAndLeaveTheFieldAlone) {
    char field[8];
    ASSERT_TRUE(fixedtext::SetPath(field, "/a/b/cd"));  // 7 bytes + zero: fits exactly
    EXPECT_STREQ(field, "/a/b/cd");

    EXPECT_FALSE(fixedtext::SetPath(field, "/a/b/cde"));
    EXPECT_STREQ(field, "/a/b/cd");
    EXPECT_FALSE(fixedtext::SetPath(field, std::string_view("/a\0/etc", 7)));
    EXPECT_STREQ(field, "/a/b/cd");

    ASSERT_TRUE(fixedtext::SetPath(field, ""));
    for (char c : field) EXPECT_EQ(c, '\0');  // no stale tail behind a shorter path
}

TEST(FixedText, DisplayTextIsCutOnACharacterBoundary) {
    struct Case {
        const char* text;
        const char* stored;
    };
    const Case cases[] = {
        {"Kalvor", "Kalv"},
        {"abc\xC3\xA9", "abc"},          // é would need bytes 4-5
        {"ab\xC3\xA9z", "ab\xC3\xA9"},  // é fits whole
        {"\xE2\x82\xAC\xE2\x82\xAC", "\xE2\x82\xAC"},  // one euro sign of two
        {"abc", "abc"},
    };
    for (const Case& c : cases) {
        char field[5];
        std::memset(field, '#', sizeof field);
        fixedtext::SetDisplay(field, c.text);
        EXPECT_STREQ(field, c.stored) << c.text;
    }
}

TEST(FixedText, ReadersStopAtTheFieldsEnd) {
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(fixedtext::Read(field), "abcd");
    fixedtext::Terminate(field);
    EXPECT_STREQ(field, "abc");
    const char early[6] = {'x', '\0', 'y', 'z', 0, 0};
    EXPECT_EQ(fixedtext::Read(early), "x");
}

}  // namespace
