#include <gtest/gtest.h>

#include "player/options/MimeAppsList.h"

namespace {

constexpr char kGroup[] = "Default Applications";

TEST(MimeAppsList, EditsChangeOnlyTheirOwnLineAndKeepEveryOtherByteIncludingLineEndings) {
    const struct {
        const char* name;
        std::string before;
        bool set;  // else remove
        std::string after;
    } cases[] = {
        {"rewritten in place, CRLF kept",
         "# mine\r\n[Added Associations]\r\naudio/mpeg=x.desktop;\r\n[Default Applications]\r\n"
         "audio/mpeg = other.desktop;\r\nvideo/mp4=y.desktop;\r\n",
         true,
         "# mine\r\n[Added Associations]\r\naudio/mpeg=x.desktop;\r\n[Default Applications]\r\n"
         "audio/mpeg=kalvor.desktop;\r\nvideo/mp4=y.desktop;\r\n"},
        {"added after the group's last entry, before its blank lines and the next group",
         "[Default Applications]\nvideo/mp4=y.desktop;\n\n\n[Removed "
         "Associations]\naudio/mpeg=z;\n",
         true,
         "[Default Applications]\nvideo/mp4=y.desktop;\naudio/mpeg=kalvor.desktop;\n\n\n"
         "[Removed Associations]\naudio/mpeg=z;\n"},
        {"group added at the end of a file without a final newline",
         "[Added Associations]\nvideo/mp4=y.desktop;", true,
         "[Added Associations]\nvideo/mp4=y.desktop;\n\n[Default "
         "Applications]\naudio/mpeg=kalvor.desktop;\n"},
        {"empty file", "", true, "[Default Applications]\naudio/mpeg=kalvor.desktop;\n"},
        {"a longer key and a comment are other keys",
         "[Default Applications]\n#audio/mpeg=c;\naudio/mpegurl=u;\n", true,
         "[Default Applications]\n#audio/mpeg=c;\naudio/mpegurl=u;\naudio/mpeg=kalvor.desktop;\n"},
        {"removed from every occurrence of the group, nowhere else",
         "[Default Applications]\naudio/mpeg=a;\n[Added Associations]\naudio/mpeg=b;\n"
         "[Default Applications]\naudio/mpeg=c;\nx/y=d;",
         false,
         "[Default Applications]\n[Added Associations]\naudio/mpeg=b;\n[Default "
         "Applications]\nx/y=d;"},
    };
    for (const auto& c : cases) {
        MimeAppsList list(c.before);
        if (c.set)
            list.SetValue(kGroup, "audio/mpeg", "kalvor.desktop;");
        else
            EXPECT_TRUE(list.RemoveKey(kGroup, "audio/mpeg")) << c.name;
        EXPECT_EQ(list.Text(), c.after) << c.name;
        EXPECT_EQ(MimeAppsList(c.before).Text(), c.before)
            << c.name << ": unedited text comes back whole";
    }
}

TEST(MimeAppsList, AValueIsTheFirstEntryOfItsGroupOnly) {
    const MimeAppsList list(
        "[Added Associations]\naudio/ogg=added;\n[Default Applications]\naudio/mpeg= first; \r\n"
        "audio/mpeg=second;\n[Default Applications]\nvideo/mp4=later;\n");
    EXPECT_EQ(list.Value(kGroup, "audio/mpeg"), "first;");
    EXPECT_EQ(list.Value(kGroup, "video/mp4"), "later;");
    EXPECT_EQ(list.Value(kGroup, "audio/ogg"), std::nullopt);
    EXPECT_EQ(list.Value("Added Associations", "audio/ogg"), "added;");
}

}  // namespace
