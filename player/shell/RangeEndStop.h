#pragma once

// Stops the playback at the end of a play range to the hundredth of a second. The display
// tick sees the position come within a second of the range end and arms a countdown of
// the hundredths left; the 10 ms tick counts it down, and the stop comes after that many
// ticks or that much wall-clock time, whichever is first (a loaded machine delays ticks).
// Times are hundredths of a second of a steady clock.

#include <cstdint>

class RangeEndStop {
public:
    // The display tick's check; true when it armed the countdown (start the 10 ms tick).
    // A range end of -1 or -2 (none) or one already passed in this second never arms.
    // rate is the playback rate: at 2.0 the hundredths of the medium pass in half the time.
    bool Check(double rangeEnd, double position, int64_t now, double rate = 1.0);
    // The 10 ms tick; true when the range end is reached (stop the 10 ms tick).
    bool Tick(int64_t now);
    void Disarm() { countdown_ = 0; }
    bool Armed() const { return countdown_ > 0; }
    int64_t Countdown() const { return countdown_; }

private:
    int64_t countdown_ = 0;  // ticks left; 0 = not armed
    int64_t remaining_ = 0;  // hundredths left when armed
    int64_t start_ = 0;      // when armed
};
