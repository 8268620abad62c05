#include "player/playback/VideoCommands.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/ProgramIcons.h"

namespace videocommands {

namespace {

using K = Kind;
namespace icons = programicons;
// Extra commands of the main window (button 7).
constexpr int kExtra = 7;

constexpr Command kCommands[] = {
    {kPlay, "Play", K::Execute, 1, 1, 0, icons::kPlay},
    {kStop, "Stop", K::Execute, 3, 1, 0, icons::kStop},
    {kPause, "Pause", K::Execute, 2, 1, 0, icons::kPause},
    {kNext, "Next", K::Execute, 5, 1, 0, icons::kNext},
    {kPrevious, "Previous", K::Execute, 0, 1, 0, icons::kPrevious},
    {kBegin, "BEGIN", K::Execute, kExtra, 51, 0, icons::kRangeBegin},
    {kEnd, "END", K::Execute, kExtra, 52, 0, icons::kRangeEnd},
    {kOpen, "Open...", K::Execute, 4, 1, 0, icons::kOpen},
    {kLoadSubtitles, "Load subtitles", K::Execute, kExtra, 3, 0, icons::kSubtitles},
    {kFullscreen, "Fullscreen", K::Execute, kExtra, 23, 0},
    {kAspectMenu, "Aspect ratio", K::SubMenu, 0, 0, 0},
    {kOriginal, "Original", K::Aspect, 0, 0, 0},
    {kWide, "16:9", K::Aspect, 1, 0, 0},
    {kStandard, "4:3", K::Aspect, 2, 0, 0},
    {kCustom, "Custom", K::Aspect, 4, 0, 0},
    {kFitToScreen, "Fit to screen", K::Aspect, 3, 0, 0},
    {kQuarterSize, "1/4 size", K::Zoom, 1, 4, 0},
    {kHalfSize, "1/2 size", K::Zoom, 1, 2, 0},
    {kSourceSize, "Source size", K::Zoom, 1, 1, 0},
    {kDoubleSize, "2x size", K::Zoom, 2, 1, 0},
    {kTripleSize, "3x size", K::Zoom, 3, 1, 0},
    {kQuadrupleSize, "4x size", K::Zoom, 4, 1, 0},
    {kEffectControls, "Effect controls", K::Execute, kExtra, 50, 0},
    {kOptions, "Options", K::Execute, kExtra, 1, 0, icons::kOptions},
    {kRateMenu, "Playback rate", K::SubMenu, 0, 0, 0},
    {kHalfRate, "0.5x", K::RateSet, 0, 0, 0.5},
    {kNormalRate, "1x", K::RateSet, 0, 0, 1.0},
    {kDoubleRate, "2x", K::RateSet, 0, 0, 2.0},
    {kFasterRate, "Increase by 10%", K::RateScale, 0, 0, 1.10},
    {kSlowerRate, "Decrease by 10%", K::RateScale, 0, 0, 0.90},
    {kProperties, "Properties", K::Properties, 0, 0, 0},
    {kExit, "Exit", K::Execute, 6, 1, 0, icons::kExit},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

const Command* Find(int32_t id) {
    for (const Command& command : kCommands)
        if (command.id == id) return &command;
    return nullptr;
}

int32_t AspectItem(int32_t aspectMode) {
    for (const Command& command : kCommands)
        if (command.kind == Kind::Aspect && command.a == aspectMode) return command.id;
    return kFitToScreen;
}

std::optional<double> RateAfter(const Command& command, double current) {
    double next = 0.0;
    if (command.kind == Kind::RateSet)
        next = command.value;
    else if (command.kind == Kind::RateScale)
        next = (std::isfinite(current) ? current : 1.0) * command.value;
    else
        return std::nullopt;
    return std::clamp(next, kMinRate, kMaxRate);
}

}  // namespace videocommands
