// The file class opens by mode keywords that callers pass as text: a keyword read wrongly
// would truncate a file that was to be read, or read one that was to be replaced.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

#include "common/FileAccess.h"
#include "support/TempEnvironment.h"

namespace {

using F = FileAccess;

TEST(FileAccess, ModeKeywordsAreSubstringsAndLaterHitsWin) {
    struct Case {
        const char* mode;
        uint32_t access, share, disposition, attributes;
    };
    const Case cases[] = {
        {"SharedForReading AlwaysCreate ReadWrite", F::kGenericRead | F::kGenericWrite, 1,
         F::kCreateAlways, F::kAttributeNormal},
        {"ReadOnly", F::kGenericRead, 0, F::kOpenExisting, 0},
        {"", 0, 0, F::kOpenExisting, 0},
        {"SharedForReadingWriting", 0, 3, F::kOpenExisting, 0},
        {"SharedForWriting SharedForReading", 0, 2, F::kOpenExisting, 0},  // table order, not text order
        {"WriteOnly New", F::kGenericWrite, 0, F::kCreateNew, F::kAttributeNormal},
        {"New AlwaysCreate", 0, 0, F::kCreateAlways, F::kAttributeNormal},
        {"ReadOnly WriteOnly", F::kGenericRead, 0, F::kOpenExisting, 0},
        {"ReadWrite ReadOnly", F::kGenericRead | F::kGenericWrite, 0, F::kOpenExisting, 0},
        {"NewsReadOnlyish", F::kGenericRead, 0, F::kCreateNew, F::kAttributeNormal},  // inside words
        {"Renewal", 0, 0, F::kOpenExisting, 0},  // "new" in lower case is no keyword
        {"readonly", 0, 0, F::kOpenExisting, 0},                 // case-sensitive
    };
    for (const Case& c : cases) {
        const F::OpenParams p = F::ParseMode(c.mode);
        EXPECT_EQ(p.access, c.access) << c.mode;
        EXPECT_EQ(p.share, c.share) << c.mode;
        EXPECT_EQ(p.disposition, c.disposition) << c.mode;
        EXPECT_EQ(p.flagsAndAttributes, c.attributes) << c.mode;
    }
}

class FileAccessTest : public TempFolderTest {};

TEST_F(FileAccessTest, WritesAndReadsWholeRecordsAndReportsShortOnes) {
    const std::string path = env_.Path("records.bin");
    {
        FileAccess file;
        ASSERT_EQ(file.Open(path.c_str(), "SharedForReading AlwaysCreate ReadWrite"), 1);
        EXPECT_EQ(file.Write("0123456789", 10), 1);
        EXPECT_EQ(file.Close(), 1);
        EXPECT_EQ(file.Close(), 1);  // idempotent
        EXPECT_EQ(file.Write("x", 1), 0);
    }
    FileAccess file;
    ASSERT_EQ(file.Open(path.c_str(), "ReadOnly"), 1);
    EXPECT_EQ(file.Size(), 10);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 6), 1);
    EXPECT_EQ(std::string(buffer, 6), "012345");
    EXPECT_EQ(file.Read(buffer, 6), 0);  // only 4 bytes left
    EXPECT_EQ(file.Write("x", 1), 0);    // opened for reading
}

TEST_F(FileAccessTest, DispositionsDecideWhatAnExistingFileMeans) {
    const std::string path = env_.Path("d.bin");
    FileAccess file;
    EXPECT_EQ(file.Open(path.c_str(), "ReadOnly"), 0);  // open existing: not there
    EXPECT_FALSE(file.IsOpen());

    TempEnvironment::WriteFile(path, "keep");
    EXPECT_EQ(file.Open(path.c_str(), "WriteOnly New"), 0);  // create new: already there
    EXPECT_EQ(TempEnvironment::ReadFile(path), "keep");

    ASSERT_EQ(file.Open(path.c_str(), "WriteOnly AlwaysCreate"), 1);
    file.Close();
    EXPECT_EQ(TempEnvironment::ReadFile(path), "");  // replaced
}

TEST_F(FileAccessTest, ASecondOpenFailsAndLeavesTheFirstFileOpen) {
    const std::string first = env_.Path("first.bin");
    const std::string second = env_.Path("second.bin");
    FileAccess file;
    ASSERT_EQ(file.Open(first.c_str(), "AlwaysCreate ReadWrite"), 1);
    const int handle = file.Params().handle;
    EXPECT_EQ(file.Open(second.c_str(), "AlwaysCreate ReadWrite"), 0);
    EXPECT_FALSE(TempEnvironment::Exists(second));
    EXPECT_EQ(file.Params().handle, handle);
    EXPECT_EQ(file.Write("ab", 2), 1);
    file.Close();
    EXPECT_EQ(TempEnvironment::ReadFile(first), "ab");
}

TEST_F(FileAccessTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
    const std::string fifo = env_.Path("job.spf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char* mode;
    };
    const Case cases[] = {
        {fifo, "ReadOnly"},  // no writer: a blocking open would wait for ever
        {fifo, "ReadWrite"},
        {fifo, "SharedForReading AlwaysCreate ReadWrite"},
        {env_.Root(), "ReadOnly"},
        {"/dev/zero", "ReadOnly"},  // would feed a reader without end
    };
    for (const Case& c : cases) {
        auto opened = std::async(std::launch::async, [&] {
            FileAccess file;
            return std::make_pair(file.Open(c.path.c_str(), c.mode), file.IsOpen());
        });
        if (opened.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // lets the open return
            opened.wait();
            if (writer >= 0) ::close(writer);
            ADD_FAILURE() << c.path << " " << c.mode << ": the open blocked";
            continue;
        }
        const auto [result, isOpen] = opened.get();
        EXPECT_EQ(result, 0) << c.path << " " << c.mode;
        EXPECT_FALSE(isOpen) << c.path << " " << c.mode;
    }
}

}  // namespace
