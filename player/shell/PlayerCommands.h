#pragma once

// The arithmetic behind the main window's commands, apart from the window: the command
// codes, volume steps, forward and rewind targets, the play-range marks and where the
// options dialog and the effect controls go.

#include <QRect>

#include <optional>
#include <string>

#include "common/WinRect.h"

enum FixedButton : int {
    kButtonPrevious = 0,
    kButtonPlay = 1,
    kButtonPause = 2,
    kButtonStop = 3,
    kButtonOpen = 4,
    kButtonNext = 5,
    kButtonExit = 6,
};

// The extra command codes that do something; the others of 1..52 do nothing.
enum PlayerCommand : int {
    kCommandOptions = 1,
    kCommandPlaylist = 2,
    kCommandSubtitles = 3,
    kCommandHide = 6,
    kCommandWizard = 20,
    kCommandFullScreen = 23,
    kCommandVolumeUp = 30,
    kCommandVolumeDown = 31,
    kCommandForward = 48,
    kCommandRewind = 49,
    kCommandEffectControls = 50,
    kCommandRangeStart = 51,
    kCommandRangeEnd = 52,
};

namespace playercommands {

// One hundredth up or down, rounded to hundredths and kept in 0..1; nothing when the volume
// is at that end already.
std::optional<double> VolumeUp(double volume);
std::optional<double> VolumeDown(double volume);

// Where forward goes: step seconds on, at most the duration; nothing when the duration is
// not known.
std::optional<double> ForwardTarget(double position, double step, double duration);
double RewindTarget(double position, double step);

struct Range {
    double start = 0.0;
    double end = 0.0;
};
// The range after its start is set at position (a start past the end moves both).
Range WithStart(Range range, double position);
// The range after its end is set at position (a start past it goes back to 0).
Range WithEnd(Range range, double position);
// "HH:MM:SS - HH:MM:SS".
std::string RangeText(const Range& range);

// A dialog of the given size centred on the main window, kept on the desktop (rectangles
// with exclusive right and bottom edges). The options dialog is 355 x 400 and the effect
// controls 400 x 220 at the font their pages were drawn for; larger fonts make them larger.
QRect OptionsPlacement(const WinRect& main, const WinRect& desktop, QSize size);
QRect EffectControlsPlacement(const WinRect& main, const WinRect& desktop, QSize size);

}  // namespace playercommands
