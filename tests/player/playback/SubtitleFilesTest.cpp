// The subtitle file beside a media file is found by name alone, the same one on every run,
// and "sub.txt" holds exactly the path and its terminating zero.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "player/playback/SubtitleFiles.h"
#include "support/TempEnvironment.h"

namespace {

class SubtitleFilesTest : public TempFolderTest {
protected:
    // A fresh folder holding the named files; a name ending in '/' is a folder.
    std::string Folder(const std::vector<std::string>& names) {
        const std::string folder = env_.Path("f" + std::to_string(++folders_));
        mkdir(folder.c_str(), 0755);
        for (const std::string& name : names) {
            const std::string path = folder + "/" + name;
            if (name.back() == '/') mkdir(path.c_str(), 0755);
            else TempEnvironment::WriteFile(path, "1\n00:00:01,000 --> 00:00:02,000\nx\n");
        }
        return folder;
    }
    int folders_ = 0;
};

TEST_F(SubtitleFilesTest, FindsTheFirstSubtitleByNameBesideTheMediaFile) {
    const struct {
        std::vector<std::string> files;
        std::string media, found;  // found: "" for none
    } cases[] = {
        {{"film.avi", "film.srt"}, "film.avi", "film.srt"},
        {{"film.avi", "film.txt", "film.sub", "film.srt"}, "film.avi", "film.srt"},
        {{"film.avi", "film.nfo", "film.jpg", "film.avi.bak"}, "film.avi", ""},
        {{"film", "film.SRT"}, "film", "film.SRT"},  // no extension: film.*
        {{"film.avi", "film.en.srt", "film.fr.srt"}, "film.avi", "film.en.srt"},
        {{"film.avi", "other.srt", "films.srt", "Film.srt"}, "film.avi", ""},
        {{"film.avi", "film.srt/", "film.txt"}, "film.avi", "film.txt"},  // a folder is no file
        {{"film.srt"}, "film.srt", ""},  // the media file itself is never its subtitle
    };
    for (const auto& c : cases) {
        const std::string folder = Folder(c.files);
        EXPECT_EQ(subtitles::FindBeside(folder + "/" + c.media),
                  c.found.empty() ? "" : folder + "/" + c.found)
            << c.files.size() << " files, media " << c.media;
    }
    EXPECT_EQ(subtitles::FindBeside("film.avi"), "");  // no folder: nothing is searched
}

TEST_F(SubtitleFilesTest, HandOverHoldsThePathAndItsZeroAndAFailedWriteKeepsTheOldFile) {
    const std::string file = env_.DataHome() + "/Kalvor/sub.txt";
    ASSERT_TRUE(subtitles::WriteHandOver("/media/a long name/film.srt"));
    EXPECT_EQ(TempEnvironment::ReadFile(file), std::string("/media/a long name/film.srt\0", 28));
    ASSERT_TRUE(subtitles::WriteHandOver("/m/b.sub"));  // shorter: nothing of the old is left
    EXPECT_EQ(TempEnvironment::ReadFile(file), std::string("/m/b.sub\0", 9));

    // sub.txt replaced by a folder: the rename must fail and leave it as it was.
    ASSERT_EQ(std::remove(file.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    std::string error;
    EXPECT_FALSE(subtitles::WriteHandOver("/m/c.srt", &error));
    EXPECT_NE(error.find("sub.txt"), std::string::npos) << error;
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

}  // namespace
