#pragma once

// What a global hot key runs: the settings' 18 hot-key slots, looked up in a fixed order,
// one-shot slots on a first press and the stepping slots (volume, seek) on every repeat.

#include <cstdint>
#include <optional>

#include "player/settings/PlayerSettings.h"

namespace hotkeys {

enum class Run : uint8_t {
    Command,       // ExecuteCommand(button, code)
    FrontCommand,  // the main window to the front, then the command
    CycleRepeat,   // repeatMode 0 -> 1 -> 2 -> 0
    Exit,
};

// The status message shown after the action.
enum class Status : uint8_t { None, TitleAndTime, Volume, Repeat };

struct Action {
    int slot;
    Run run;
    int button;  // 0..6 a fixed button, 7 the extra command in code
    int code;
    Status status;
};

// The first slot, in lookup order for the message's kind (0 a first press, 1 the press
// again or a repeat), whose key equals code; nothing for code 0 or no match.
std::optional<Action> ActionFor(const PlayerSettings& settings, uint32_t code, intptr_t kind);

}  // namespace hotkeys
