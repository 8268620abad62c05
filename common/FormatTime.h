#pragma once

// The time text of a playlist or wizard row: hours, minutes and seconds of at least two
// digits each, joined by ":" (hours keep every digit beyond two), whole seconds truncated.

#include <string>

// Eight blanks stand for "no time": a negative value (an unprobed or unknown length), a NaN,
// an infinity, or a value too large for whole seconds in 64 bits.
std::string FormatTime(double seconds);
