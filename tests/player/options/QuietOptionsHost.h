#pragma once

// The options dialog's main window for tests that only show the dialog: it lends a
// settings record and folders, and every request of the dialog does nothing.

#include <string>

#include "player/options/OptionsHost.h"
#include "player/settings/PlayerSettings.h"

struct QuietOptionsHost : IOptionsHost {
    PlayerSettings settings = InstalledSettings();
    std::string program, config, appData;
    PlayerSettings& Settings() override { return settings; }
    SettingsLiveState LiveState() override { return {}; }
    std::string ProgramFolder() override { return program; }
    std::string UserConfigFolder() override { return config; }
    std::string AppDataFolder() override { return appData; }
    void SuspendHotKeys(bool) override {}
    std::string CurrentSkinPackage() override { return {}; }
    bool ChangeSkin(const std::string&) override { return true; }
    void ExitPlayer() override {}
    void RestoreZOrder() override {}
    void AfterOptionsClosed() override {}
    void KeepCursorShown() override {}
    void ShowHelp(int) override {}
};
