// Help: every context id opens a page that the build ships, at a section the page has.

#include <gtest/gtest.h>

#include "player/shell/HelpOpener.h"
#include "support/TempEnvironment.h"

namespace {

struct RecordingOpener : IUrlOpener {
    std::vector<QUrl> urls;
    bool Open(const QUrl& url) override {
        urls.push_back(url);
        return true;
    }
};

TEST(HelpOpener, EachContextOpensItsShippedPageAtItsSection) {
    const struct {
        int id;
        std::string file, section;
    } cases[] = {
        {1, "index.html", ""},
        {2, "playlist.html", ""},
        {3, "effects.html", ""},
        {4, "options.html", ""},
        {10, "wizard.html", "image"},
        {11, "wizard.html", "audio-fragment"},
        {12, "wizard.html", "video-fragment"},
        {13, "wizard.html", "merge-video"},
        {14, "wizard.html", "merge-audio"},
        {15, "wizard.html", "mix"},
        {16, "wizard.html", "logo"},
        {0, "index.html", ""},  // no page of its own: the main window's
        {9, "index.html", ""},
        {17, "index.html", ""},
    };
    const std::string program = KALVOR_PROGRAM_DIR;
    RecordingOpener opener;
    HelpOpener help(program, &opener);
    for (const auto& c : cases) {
        ASSERT_TRUE(help.Show(c.id));
        const QUrl& url = opener.urls.back();
        const std::string path = program + "/help/" + c.file;
        EXPECT_EQ(url.toLocalFile().toStdString(), path) << c.id;
        EXPECT_EQ(url.fragment().toStdString(), c.section) << c.id;
        const std::string page = TempEnvironment::ReadFile(path);
        ASSERT_FALSE(page.empty()) << path << " is not shipped";
        if (!c.section.empty()) {
            EXPECT_NE(page.find("id=\"" + c.section + "\""), std::string::npos)
                << path << "#" << c.section;
        }
    }
}

}  // namespace
