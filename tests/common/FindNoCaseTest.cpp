// The filter's search folds A-Z only and reports the first match; korc uses it too.

#include <gtest/gtest.h>

#include "common/FindNoCase.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

struct Case {
    const char* text;
    const char* pattern;
    size_t expected;
};

TEST(FindNoCase, FindsTheFirstMatchIgnoringTheCaseOfAsciiLettersOnly) {
    const Case cases[] = {
        {"/films/movie.avi", "AVI", 13},
        {"/films/MOVIE.avi", "movie", 7},
        {"abcabc", "CA", 2},  // first of two
        {"aab", "ab", 1},     // a failed start is retried one later
        {"abc", "", 0},       // empty pattern: the start
        {"", "", 0},
        {"", "a", kNone},       // empty text
        {"ab", "abc", kNone},   // pattern longer than the text
        {"Ä.mp3", "ä", kNone},  // only A-Z fold: UTF-8 bytes stay as they are
        {"Ä.mp3", "Ä", 0},
        {"[x]", "{X}", kNone},  // '[' is not a folded '{'
        {"/demo.avi", "/mo", kNone},
        {"/movie.avi", "/mo", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindNoCase(c.text, c.pattern), c.expected) << c.text << " / " << c.pattern;
    }
}

}  // namespace
