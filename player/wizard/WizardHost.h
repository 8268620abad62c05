#pragma once

// What the wizard needs of the main window, and nothing more: the settings record, help,
// where the main window is, and what a job takes from the player.

#include <QRect>
#include <string>

#include "common/EffectParams.h"

struct PlayerSettings;

class IWizardHost {
public:
    virtual ~IWizardHost() = default;
    virtual PlayerSettings& Settings() = 0;
    // Opens the help file at a context.
    virtual void ShowHelp(int context) = 0;
    // The main window's frame and the available area of its screen, in screen pixels.
    virtual QRect MainWindowRect() = 0;
    virtual QRect DesktopRect() = 0;
    // The pointer is over the wizard: the video's cursor-hide countdown stops.
    virtual void KeepCursorShown() = 0;
    // A job's share of the player: the subtitle file loaded for playback (empty when
    // none), the video window's live effect block, and the two folders.
    virtual std::string SubtitlesPath() = 0;
    virtual EffectParams Effects() = 0;
    virtual std::string AppDataFolder() = 0;
    virtual std::string ProgramFolder() = 0;
};
