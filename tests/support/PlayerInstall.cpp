#include "support/PlayerInstall.h"

#include <filesystem>

PlayerFolders InstallPlayer(const TempEnvironment& env, const PlayerSettings& installed) {
    TempEnvironment::WriteFile(
        env.Path("program/options.cfg"),
        std::string(reinterpret_cast<const char*>(&installed), sizeof installed));
    std::filesystem::create_directories(env.Path("program/skins"));
    std::filesystem::copy_file(std::string(KALVOR_PROGRAM_DIR) + "/skins/Default.krs",
                               env.Path("program/skins/Default.krs"));
    return PlayerFolders{env.Path("program"), env.ConfigHome() + "/Kalvor",
                         env.DataHome() + "/Kalvor", env.RuntimeDir()};
}

// The platform is chosen before the application is made.
static std::string OnXcb(const std::string& name) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    return name;
}

XcbApplication::XcbApplication(const std::string& name)
    : name_(OnXcb(name)),
      argv_{name_.data(), nullptr},
      application_(argc_, argv_) {}
