#include "support/TempEnvironment.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

const char* const kVariables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "TMPDIR",
                                  "XDG_CACHE_HOME"};

}  // namespace

TempEnvironment::TempEnvironment() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && base[0] == '/' ? base : "/tmp") + "/kalvor-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    root_ = pattern;

    const std::string values[] = {ConfigHome(), DataHome(), RuntimeDir(), TmpDir(), CacheHome()};
    for (size_t i = 0; i < std::size(kVariables); ++i) {
        const char* old = std::getenv(kVariables[i]);
        saved_.push_back({kVariables[i], old != nullptr, old ? old : ""});
        // The cache folder is made only by what falls back to it.
        if (values[i] != CacheHome()) std::filesystem::create_directories(values[i]);
        setenv(kVariables[i], values[i].c_str(), 1);
    }
    chmod(RuntimeDir().c_str(), 0700);
}

TempEnvironment::~TempEnvironment() {
    for (const Saved& saved : saved_) {
        if (saved.wasSet) {
            setenv(saved.name.c_str(), saved.value.c_str(), 1);
        } else {
            unsetenv(saved.name.c_str());
        }
    }
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

std::string TempEnvironment::Path(const std::string& name) const { return root_ + "/" + name; }

void TempEnvironment::WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempEnvironment::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool TempEnvironment::Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::vector<std::string> TempEnvironment::Names(const std::string& folder,
                                                const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool TempEnvironment::WithFileSizeLimit(size_t maxBytes, const std::function<bool()>& write) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of killing us
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = maxBytes;
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0) throw std::runtime_error("cannot limit file sizes");
    const bool result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    return result;
}
