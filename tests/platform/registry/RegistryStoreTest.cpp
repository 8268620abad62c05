#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/registry/RegistryStore.h"
#include "tests/support/TempEnvironment.h"

namespace {

using Values = std::map<std::string, std::string>;

TEST(RegistryStoreText, AwkwardKeysAndValuesComeBackUnchanged) {
    const Values values = {
        {"audio/mpeg/Kalvor_Back", "other.desktop;"},
        {"a=b", "c=d"},
        {"back\\slash", "line\nbreak\r"},
        {"empty", ""},
        {"\\=", "=\\"},
    };
    const std::string text = RegistryStore::Serialize(values);
    Values parsed;
    ASSERT_TRUE(RegistryStore::Parse(text, parsed));
    EXPECT_EQ(parsed, values);
    // One line per value, whatever the values hold.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST(RegistryStoreText, MalformedLinesAreRefused) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"k=v\n", true},       {"k=v", true},    // last line without a newline
        {"\n\nk=v\n\n", true},                   // blank lines
        {"novalue\n", false},  {"=v\n", false},  // empty key
        {"k\\x=v\n", false},                     // unknown escape
        {"k=v\\\n", false},                      // dangling escape
        {"k\\=v\n", false},                      // the only '=' escaped
    };
    for (const auto& c : cases) {
        Values parsed;
        EXPECT_EQ(RegistryStore::Parse(c.text, parsed), c.ok) << c.text;
    }
}

class RegistryStoreFile : public TempFolderTest {};

TEST_F(RegistryStoreFile, ValuesSurviveASaveAndAFreshLoadInANewFolder) {
    const std::string path = env_.Path("deep/er/registry");
    RegistryStore store(path);
    ASSERT_TRUE(store.Load());  // absent: empty
    EXPECT_TRUE(store.Values().empty());
    ASSERT_TRUE(store.Set("video/mp4/Kalvor_Back", "a.desktop;b.desktop;"));
    ASSERT_TRUE(store.Set("x", "1"));
    EXPECT_TRUE(store.Remove("x"));
    EXPECT_FALSE(store.Remove("x"));
    ASSERT_TRUE(store.Save());

    RegistryStore again(path);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.Values(), (Values{{"video/mp4/Kalvor_Back", "a.desktop;b.desktop;"}}));
}

TEST_F(RegistryStoreFile, OversizedKeysAndValuesAreRefusedWhole) {
    RegistryStore store(env_.Path("registry"));
    EXPECT_FALSE(store.Set("", "v"));
    EXPECT_FALSE(store.Set(std::string(RegistryStore::kMaxKeyBytes + 1, 'k'), "v"));
    EXPECT_FALSE(store.Set("k", std::string(RegistryStore::kMaxValueBytes + 1, 'v')));
    EXPECT_TRUE(store.Set(std::string(RegistryStore::kMaxKeyBytes, 'k'),
                          std::string(RegistryStore::kMaxValueBytes, 'v')));
    EXPECT_EQ(store.Values().size(), 1u);
}

TEST_F(RegistryStoreFile, AFileThatIsNoRegularFileOrTooLargeOrDamagedLoadsNothing) {
    const std::string fifo = env_.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = env_.Path("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string large = env_.Path("large");
    TempEnvironment::WriteFile(large, "k=" + std::string(RegistryStore::kMaxFileBytes, 'v') + "\n");
    const std::string damaged = env_.Path("damaged");
    TempEnvironment::WriteFile(damaged, "good=1\nbad\n");

    for (const std::string& path : {fifo, folder, large, damaged}) {
        RegistryStore store(path);
        ASSERT_TRUE(store.Set("stale", "1"));
        std::string error;
        EXPECT_FALSE(store.Load(&error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_TRUE(store.Values().empty()) << path;
    }
}

TEST_F(RegistryStoreFile, ASaveThatCannotReplaceTheFileFailsAndLeavesItsPlaceAsItWas) {
    // A folder where the file should be: no rename can replace it, not even as root.
    const std::string path = env_.Path("registry");
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    TempEnvironment::WriteFile(path + "/inside", "kept");
    RegistryStore store(path);
    ASSERT_TRUE(store.Set("new", "2"));
    std::string error;
    EXPECT_FALSE(store.Save(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(TempEnvironment::ReadFile(path + "/inside"), "kept");
    // And a folder that cannot be made.
    TempEnvironment::WriteFile(env_.Path("plain"), "x");
    RegistryStore below(env_.Path("plain/registry"));
    EXPECT_FALSE(below.Save());
}

}  // namespace
