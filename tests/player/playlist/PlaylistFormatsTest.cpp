// Playlist files must come back as they were written, and files written by other players
// (LF lines, no final line break, tags only some of them use) must load without losing the
// short last entry or reading a key out of the middle of a path.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/playlist/PlaylistFormats.h"

namespace {

using Entries = std::vector<MediaEntry>;
using playlistformat::Kind;

Entries Read(Kind kind, std::string_view text) {
    return kind == Kind::M3u ? playlistformat::ReadM3u(text) : playlistformat::ReadPls(text);
}
std::string Write(Kind kind, const Entries& entries) {
    return kind == Kind::M3u ? playlistformat::WriteM3u(entries)
                             : playlistformat::WritePls(entries);
}

TEST(PlaylistFormats, BothFormatsGiveBackPathsAndRangesAsWrittenWithCrLfLines) {
    const Entries entries = {
        {"/media/My Films/Film 1 (final).avi", 12.5, 60.0},
        {"/media/Musik/Größe — ♪ ünï.mp3", 0.0, -1.0},  // not probed: the path alone
        {"/media/no length.ogg", 0.0, -2.0},            // probed, no length
        {"/media/a=b/B1=E1 #EXTE:5.wav", 90.05, 3600.0},
        {" leading and trailing blanks ", 0.25, 7200.5},
    };
    for (Kind kind : {Kind::M3u, Kind::Pls}) {
        const std::string text = Write(kind, entries);
        EXPECT_EQ(Read(kind, text), entries) << text;
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            ASSERT_EQ(text[at - 1], '\r') << at;
        EXPECT_TRUE(text.ends_with("\r\n"));
    }
}

TEST(PlaylistFormats, WrittenLinesFollowTheFormatsLineForLine) {
    // A path holding a zero byte would be read back as another file: it is not written.
    const Entries entries = {{"/m/a.avi", 12.5, 60.0},
                             {"/m/b.avi", 0.0, -1.0},
                             {std::string("/m/x\0/y.avi", 11), 0.0, -1.0},
                             {"c.avi", 0.0, -2.0}};
    EXPECT_EQ(playlistformat::WriteM3u(entries),
              "#EXTM3U\r\n"
              "#EXTB:12.500000\r\n#EXTE:60.000000\r\n#EXTINF:60,a.avi\r\n/m/a.avi\r\n"
              "/m/b.avi\r\n"
              "#EXTB:0.000000\r\n#EXTE:-2.000000\r\n#EXTINF:-2,\r\nc.avi\r\n");
    EXPECT_EQ(playlistformat::WritePls(entries),
              "[playlist]\r\n"
              "File1=/m/a.avi\r\nTitle1=a.avi\r\nLength1=60\r\nB1=12.500000\r\nE1=60.000000\r\n"
              "File2=/m/b.avi\r\n"
              "File3=c.avi\r\nLength3=-2\r\nB3=0.000000\r\nE3=-2.000000\r\n"
              "NumberOfEntries=3\r\nVersion=2\r\n");
}

TEST(PlaylistFormats, RangeNumbersAreWrittenAndReadWithoutTheLocale) {
    const struct {
        double value;
        const char* text;
    } written[] = {
        {1.5, "1.500000"},       {90.05, "90.050000"},
        {-2.0, "-2.000000"},     {0.0, "0.000000"},
        {0.9999996, "1.000000"}, {59.9999999, "60.000000"},
        {-0.25, "-0.250000"},    {1e10 + 0.5, "10000000000.500000"},
    };
    for (const auto& c : written)
        EXPECT_EQ(playlistformat::FormatSeconds(c.value), c.text) << c.value;

    const struct {
        const char* text;
        std::optional<double> value;
    } read[] = {
        {"12.5", 12.5},        {" +3", 3.0},          {"-2.000000", -2.0}, {"7,5", 7.0},
        {"1e3", 1000.0},       {"abc", std::nullopt}, {"", std::nullopt},  {"1e999", std::nullopt},
        {"nan", std::nullopt}, {"inf", std::nullopt},
    };
    for (const auto& c : read) EXPECT_EQ(playlistformat::ParseNumber(c.text), c.value) << c.text;
}

TEST(PlaylistFormats, FilesFromOtherPlayersAndDamagedFilesReadAsTheirLinesSay) {
    const struct {
        const char* what;
        Kind kind;
        std::string text;
        Entries expected;
    } cases[] = {
        {"LF lines, a short last line without line break",
         Kind::M3u,
         "#EXTM3U\n#EXTINF:95,Title\nsub/a.avi\n\nb.mp3",
         {{"sub/a.avi", 0, 95}, {"b.mp3", 0, -1}}},
        {"CR LF with blank lines and a byte-order mark",
         Kind::M3u,
         "\xEF\xBB\xBF#EXTM3U\r\n\r\n/a.avi\r\n\r\n",
         {{"/a.avi", 0, -1}}},
        {"tags belong to the next path only",
         Kind::M3u,
         "#EXTM3U\n#EXTE:50\n/a\n/b\n",
         {{"/a", 0, 50}, {"/b", 0, -1}}},
        {"an end tag beats the length; an end of 0 does not",
         Kind::M3u,
         "#EXTM3U\n#EXTINF:95,T\n#EXTE:60.5\n/a\n#EXTE:0\n#EXTINF:95,T\n/b\n#EXTINF:-1,T\n/c\n",
         {{"/a", 0, 60.5}, {"/b", 0, 95}, {"/c", 0, -1}}},
        {"a tag inside a path is part of the path",
         Kind::M3u,
         "#EXTM3U\n/x#EXTE:5.avi\n",
         {{"/x#EXTE:5.avi", 0, -1}}},
        {"values no row can hold",
         Kind::M3u,
         "#EXTM3U\n#EXTB:-5\n#EXTE:1e999\n/a\n#EXTE:-7\n/b\n",
         {{"/a", 0, -1}, {"/b", 0, -1}}},
        {"an overlong line is no path and takes its tags along",
         Kind::M3u,
         "#EXTM3U\n#EXTE:9\n/" + std::string(5000, 'x') + "\n/ok\n",
         {{"/ok", 0, -1}}},
        {"no header", Kind::M3u, "/a.avi\n/b.avi\n", {}},
        {"PLS keys count at the start of a line only",
         Kind::Pls,
         "[playlist]\nFile1=/m/B1=7/E1=8.avi\nTitle1=My E1=8 "
         "B1=7\nFile2=/n.avi\nB2=3\nE2=9\nLength2=1",
         {{"/m/B1=7/E1=8.avi", 0, -1}, {"/n.avi", 3, 9}}},
        {"PLS length alone, LF lines, keys in any order",
         Kind::Pls,
         "[playlist]\nLength1=120\nFile1=a.avi\nTitle1=x\nFile2=b.avi\nLength2=-1\nNumberOfEntries="
         "2",
         {{"a.avi", 0, 120}, {"b.avi", 0, -1}}},
        {"PLS numbering stops at the first gap",
         Kind::Pls,
         "[playlist]\r\nFile1=/a\r\nFile3=/c\r\n",
         {{"/a", 0, -1}}},
        {"PLS without File1", Kind::Pls, "[playlist]\nFile2=/b\n", {}},
        {"file addresses are decoded; one on another host is no path of ours",
         Kind::M3u,
         "#EXTM3U\nfile:///m/My%20Film%e2%99%aa.avi\nFILE://localhost/m/100%25%2\n"
         "file://server/m/x.avi\nfile:relative.avi\n",
         {{"/m/My Film\xE2\x99\xAA.avi", 0, -1},
          {"/m/100%%2", 0, -1},
          {"file:relative.avi", 0, -1}}},
        {"PLS file addresses with their ranges",
         Kind::Pls,
         "[playlist]\nFile1=file:///m/a%23b.avi\nE1=9\nFile2=/c.avi\n",
         {{"/m/a#b.avi", 0, 9}, {"/c.avi", 0, -1}}},
        {"a zero byte in a path refuses that entry, whole or decoded",
         Kind::M3u,
         std::string("#EXTM3U\n#EXTE:5\n/m/second.avi\0/../../secret/report.doc.avi\n", 59) +
             "file:///m/a%00/../b.avi\n/m/ok.avi\n",
         {{"/m/ok.avi", 0, -1}}},
        {"PLS: a zero byte refuses the entry, the next one still loads",
         Kind::Pls,
         std::string("[playlist]\nFile1=/m/a.avi\0/x.avi\nFile2=/m/b.avi\n", 48),
         {{"/m/b.avi", 0, -1}}},
        {"PLS entry numbers beyond any list",
         Kind::Pls,
         "[playlist]\nFile1=/a\nFile99999999999=/b\nB4294967297=5\n",
         {{"/a", 0, -1}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.kind, c.text), c.expected) << c.what;
}

TEST(PlaylistFormats, TheKindComesFromTheLastPathComponentCaseIgnored) {
    const struct {
        const char* path;
        std::optional<Kind> kind;
    } cases[] = {
        {"/p/list.pls", Kind::Pls},      {"/p/x.PLS", Kind::Pls},        {"list.M3u", Kind::M3u},
        {"/p/a.m3u/list", std::nullopt}, {"/p.pls/list", std::nullopt},  {"/p/list", std::nullopt},
        {"/p/list.txt", std::nullopt},   {"/p/list.m3u8", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(playlistformat::KindOfPath(c.path), c.kind) << c.path;
}

}  // namespace
