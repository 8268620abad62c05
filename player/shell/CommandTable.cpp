#include "player/shell/CommandTable.h"

#include <utility>

#include "player/shell/PlayerCommands.h"

namespace commandtable {
namespace {

using Operation = void (ICommandTarget::*)();

constexpr Operation kButtons[] = {
    &ICommandTarget::PlayPrevious,     // kButtonPrevious
    &ICommandTarget::PlaySelected,     // kButtonPlay
    &ICommandTarget::TogglePause,      // kButtonPause
    &ICommandTarget::StopPlayback,     // kButtonStop
    &ICommandTarget::OpenMediaDialog,  // kButtonOpen
    &ICommandTarget::PlayNext,         // kButtonNext
    &ICommandTarget::ExitPlayer,       // kButtonExit
};
static_assert(std::size(kButtons) == kButtonExit + 1);

constexpr std::pair<int, Operation> kCommands[] = {
    {kCommandOptions, &ICommandTarget::ShowOptions},
    {kCommandPlaylist, &ICommandTarget::TogglePlaylistWindow},
    {kCommandSubtitles, &ICommandTarget::OpenSubtitlesDialog},
    {kCommandHide, &ICommandTarget::ToggleHidden},
    {kCommandWizard, &ICommandTarget::ShowWizard},
    {kCommandFullScreen, &ICommandTarget::ToggleVideoFullScreen},
    {kCommandVolumeUp, &ICommandTarget::VolumeUp},
    {kCommandVolumeDown, &ICommandTarget::VolumeDown},
    {kCommandForward, &ICommandTarget::Forward},
    {kCommandRewind, &ICommandTarget::Rewind},
    {kCommandEffectControls, &ICommandTarget::ShowEffectControls},
    {kCommandRangeStart, &ICommandTarget::MarkRangeStart},
    {kCommandRangeEnd, &ICommandTarget::MarkRangeEnd},
};

}  // namespace

void Run(ICommandTarget& target, int button, int code) {
    if (button < 0) return;
    if (button < static_cast<int>(std::size(kButtons))) return (target.*kButtons[button])();
    for (const auto& [command, operation] : kCommands)
        if (command == code) return (target.*operation)();
}

}  // namespace commandtable
