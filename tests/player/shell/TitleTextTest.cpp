// The title of the current file as the skin's title area shows it.

#include <gtest/gtest.h>

#include "player/shell/TitleText.h"

namespace {

// Every character is 10 pixels wide, however many bytes it takes.
int Width(const std::string& text) {
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    return characters * 10;
}

TEST(TitleTextTest, ALongTitleIsCutToItsShareOfTheWidthEndingInDots) {
    const struct {
        std::string title;
        int maxWidth;
        std::string fitted;
    } cases[] = {
        {"short.avi", 90, "short.avi"},
        {"abcdefghij", 100, "abcdefghij"},
        {"abcdefghij", 99, "abcdef..."},  // n = 10 * 99 / 100 = 9
        {"abcdefghij", 50, "ab..."},
        {"abcdefghij", 30, "..."},
        {"abcdefghij", 20, ".."},  // fewer than three: dots only
        {"abcdefghij", 10, "."},
        {"abcdefghij", 9, ""},
        {"abcdefghij", 0, ""},
        {"abcdefghij", -40, ""},
        // Cut between characters, never inside one.
        {"\xc3\xa9t\xc3\xa9-\xe6\x97\xa5\xe6\x9c\xac.avi", 60, "\xc3\xa9t\xc3\xa9..."},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe6\x97\xa5\xe6\x9c\xac", 40, "\xe6\x97\xa5..."},
    };
    for (const auto& c : cases) EXPECT_EQ(titletext::Fit(c.title, c.maxWidth, Width), c.fitted) << c.title << " " << c.maxWidth;
}

TEST(TitleTextTest, TheFileTitleIsTheNameAfterTheLastSlashWithinTheTitleBytes) {
    EXPECT_EQ(titletext::FileTitle("/home/u/Movies/a b.avi"), "a b.avi");
    EXPECT_EQ(titletext::FileTitle("plain.avi"), "plain.avi");
    EXPECT_EQ(titletext::FileTitle("/dir/"), "");
    EXPECT_EQ(titletext::FileTitle("C:\\films\\x.avi"), "C:\\films\\x.avi");  // a backslash is a character
    // A name longer than the title's bytes is cut on a character boundary.
    std::string name;
    for (int i = 0; i < 200; ++i) name += "\xc3\xa9";
    const std::string title = titletext::FileTitle("/m/" + name);
    EXPECT_EQ(title.size(), 268u);
    EXPECT_EQ(title, name.substr(0, 268));
}

}  // namespace
