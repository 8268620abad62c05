// An output is a file the user goes on to share, copy and play from other accounts: it
// must get the mode any new file of theirs gets, not the private mode of a temporary file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/OutputFile.h"
#include "support/TempEnvironment.h"

namespace {

class OutputFileTest : public TempFolderTest {};

TEST_F(OutputFileTest, AKeptOutputHasTheModeTheUmaskGivesNewFiles) {
    const mode_t before = ::umask(022);
    for (const mode_t mask : {mode_t{022}, mode_t{002}, mode_t{027}, mode_t{0}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        ::umask(mask);
        const std::string path = env_.Path("out" + std::to_string(mask) + ".avi");
        OutputFile output;
        std::string error;
        ASSERT_TRUE(output.Create(path, &error)) << error;
        ASSERT_EQ(::write(output.Fd(), "RIFF", 4), 4);
        ASSERT_TRUE(output.Commit(&error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
        EXPECT_EQ(::umask(mask), mask) << "the umask is left as it was";
    }
    ::umask(before);
}

}  // namespace
