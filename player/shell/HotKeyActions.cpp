#include "player/shell/HotKeyActions.h"

#include "player/shell/PlayerCommands.h"

namespace hotkeys {

namespace {

using R = Run;
using S = Status;
constexpr int kCommandButton = 7;

// In lookup order: the first press's slots, then the repeating ones.
constexpr Action kFirstPress[] = {
    {0, R::Command, kButtonPlay, 1, S::TitleAndTime},
    {1, R::Command, kButtonStop, 1, S::TitleAndTime},
    {2, R::Command, kButtonPause, 1, S::TitleAndTime},
    {3, R::Command, kButtonNext, 1, S::TitleAndTime},
    {4, R::Command, kButtonPrevious, 1, S::TitleAndTime},
    {5, R::Command, kButtonOpen, 1, S::TitleAndTime},
    {6, R::Command, kCommandButton, kCommandRangeStart, S::TitleAndTime},
    {7, R::Command, kCommandButton, kCommandRangeEnd, S::TitleAndTime},
    {10, R::FrontCommand, kCommandButton, kCommandOptions, S::None},
    {11, R::FrontCommand, kCommandButton, kCommandEffectControls, S::None},
    {14, R::Command, kCommandButton, kCommandSubtitles, S::None},
    {15, R::CycleRepeat, 0, 0, S::Repeat},
    {16, R::Command, kCommandButton, kCommandHide, S::None},
    {17, R::Exit, 0, 0, S::None},
};
constexpr Action kRepeating[] = {
    {12, R::Command, kCommandButton, kCommandVolumeUp, S::Volume},
    {13, R::Command, kCommandButton, kCommandVolumeDown, S::Volume},
    {8, R::Command, kCommandButton, kCommandForward, S::TitleAndTime},
    {9, R::Command, kCommandButton, kCommandRewind, S::TitleAndTime},
};

template <size_t N>
std::optional<Action> Find(const Action (&table)[N], const PlayerSettings& settings,
                           uint32_t code) {
    for (const Action& action : table)
        if (static_cast<uint32_t>(settings.hotKeys[action.slot]) == code) return action;
    return std::nullopt;
}

}  // namespace

std::optional<Action> ActionFor(const PlayerSettings& settings, uint32_t code, intptr_t kind) {
    if (code == 0) return std::nullopt;  // an unassigned slot holds 0
    if (kind == 0) return Find(kFirstPress, settings, code);
    if (kind == 1) return Find(kRepeating, settings, code);
    return std::nullopt;
}

}  // namespace hotkeys
