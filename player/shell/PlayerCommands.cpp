#include "player/shell/PlayerCommands.h"

#include <algorithm>
#include <cmath>

#include "common/FormatTime.h"

namespace playercommands {

namespace {

// Steps of 0.01 added in floating point drift (0.07 + 0.01 is not 0.08); the stored volume
// stays on whole hundredths so that the bottom step reaches true silence.
double Hundredths(double volume) { return std::clamp(std::round(volume * 100.0) / 100.0, 0.0, 1.0); }

double Sane(double value) { return std::isfinite(value) ? value : 0.0; }

int ClampX(int x, int width, const WinRect& desktop) {
    if (desktop.right < x + width) x = desktop.right - width;
    if (x < desktop.left) x = desktop.left;
    return x;
}

}  // namespace

std::optional<double> VolumeUp(double volume) {
    volume = std::clamp(Sane(volume), 0.0, 1.0);
    if (volume >= 1.0) return std::nullopt;
    return volume <= 0.99 ? Hundredths(volume + 0.01) : 1.0;
}

std::optional<double> VolumeDown(double volume) {
    volume = std::clamp(Sane(volume), 0.0, 1.0);
    if (volume <= 0.0) return std::nullopt;
    return volume >= 0.01 ? Hundredths(volume - 0.01) : 0.0;
}

std::optional<double> ForwardTarget(double position, double step, double duration) {
    if (!std::isfinite(duration) || duration <= 0.0) return std::nullopt;
    const double target = Sane(position) + step;
    return target < duration ? std::max(target, 0.0) : duration;
}

double RewindTarget(double position, double step) {
    const double target = Sane(position) - step;
    return target > 0.0 ? target : 0.0;
}

Range WithStart(Range range, double position) {
    if (position < range.end) {
        range.start = position;
    } else {
        range.start = range.end = position;
    }
    return range;
}

Range WithEnd(Range range, double position) {
    if (!(range.start < position)) range.start = 0.0;
    range.end = position;
    return range;
}

std::string RangeText(const Range& range) { return FormatTime(range.start) + " - " + FormatTime(range.end); }

// Near the bottom the dialogs keep 40 pixels clear of the desktop's edge.
constexpr int kBottomClearance = 40;

QRect OptionsPlacement(const WinRect& main, const WinRect& desktop, QSize size) {
    const int w = size.width(), h = size.height();
    const int x = ClampX(main.Width() / 2 + main.left - w / 2, w, desktop);
    int y = main.Height() / 2 + main.top - h / 2;
    const int firstY = y;
    if (desktop.bottom < main.Height() / 2 + main.top + h / 2 + kBottomClearance)
        y = desktop.bottom - h - kBottomClearance;
    if (firstY < desktop.top) y = desktop.top;
    return QRect(x, y, w, h);
}

QRect EffectControlsPlacement(const WinRect& main, const WinRect& desktop, QSize size) {
    const int w = size.width(), h = size.height();
    const int x = ClampX(main.Width() / 2 + main.left - w / 2, w, desktop);
    const int half = main.Height() / 2;
    const int y = desktop.bottom < half + main.top + h + kBottomClearance ? half + main.top - h
                                                                          : half + main.top;
    return QRect(x, y, w, h);
}

}  // namespace playercommands
