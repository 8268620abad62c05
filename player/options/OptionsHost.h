#pragma once

// What the options dialog needs of the main window: the settings record, its folders, the
// global hot keys, the skin switch and the window stacking. The main window implements it.

#include <string>

#include "player/settings/PlayerSettings.h"

class IOptionsHost {
public:
    virtual ~IOptionsHost() = default;

    virtual PlayerSettings& Settings() = 0;
    // What the record does not hold itself, for the image written to options.cfg.
    virtual SettingsLiveState LiveState() = 0;
    virtual std::string ProgramFolder() = 0;
    virtual std::string UserConfigFolder() = 0;
    // The user's application-data folder: skins the user installs go below it.
    virtual std::string AppDataFolder() = 0;

    // Suspended: the keys-suspended flag set and the global hook removed; resumed: the flag
    // cleared and the hook installed for the main window again.
    virtual void SuspendHotKeys(bool suspended) = 0;

    // The package of the skin shown now.
    virtual std::string CurrentSkinPackage() = 0;
    // Start-up's change-skin routine: frees the shown skin, makes the tooltips and display
    // texts again, unpacks and loads the package, then redraws and places the windows.
    // False when the package did not load (the loader has said why).
    virtual bool ChangeSkin(const std::string& package) = 0;
    // The exit sequence, for when no skin can be shown any more.
    virtual void ExitPlayer() = 0;

    // After Apply: main and movie windows topmost by alwaysOnTop, the tip window topmost.
    virtual void RestoreZOrder() = 0;
    // Each time OK or Cancel closed the dialog; in full screen the main window then puts
    // itself and the movie window back on top with inactive frames.
    virtual void AfterOptionsClosed() = 0;
    // The pointer over the dialog keeps the full-screen cursor shown.
    virtual void KeepCursorShown() = 0;
    virtual void ShowHelp(int contextId) = 0;
};
