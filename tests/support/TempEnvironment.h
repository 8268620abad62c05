#pragma once

// Every test that touches folders runs inside its own temporary folder: XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_RUNTIME_DIR, TMPDIR and XDG_CACHE_HOME point below it while the test
// runs (the cache folder is not made in advance).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class TempEnvironment {
public:
    TempEnvironment();
    ~TempEnvironment();  // restores the variables and removes the folder
    TempEnvironment(const TempEnvironment&) = delete;
    TempEnvironment& operator=(const TempEnvironment&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& name) const;  // Root()/name
    std::string ConfigHome() const { return Path("config"); }
    std::string DataHome() const { return Path("data"); }
    std::string RuntimeDir() const { return Path("runtime"); }
    std::string TmpDir() const { return Path("tmp"); }
    std::string CacheHome() const { return Path("cache"); }

    // Helpers for test files.
    static void WriteFile(const std::string& path, const std::string& bytes);
    static std::string ReadFile(const std::string& path);
    static bool Exists(const std::string& path);
    // The names in the folder that start with prefix, sorted; "." and ".." are never listed.
    static std::vector<std::string> Names(const std::string& folder,
                                          const std::string& prefix = {});
    // Runs write with files limited to maxBytes, as a full disk would limit them (root
    // included); returns write's result.
    static bool WithFileSizeLimit(size_t maxBytes, const std::function<bool()>& write);

private:
    struct Saved {
        std::string name;
        bool wasSet;
        std::string value;
    };
    std::string root_;
    std::vector<Saved> saved_;
};

// A fixture with a fresh TempEnvironment per test.
class TempFolderTest : public ::testing::Test {
protected:
    TempEnvironment env_;
};
