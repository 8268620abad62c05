#pragma once

// The wizard's eight time edits as text: a time split into hours, minutes, seconds and a
// six-digit fraction, read back from what the user typed, and the trim a typed range
// makes on a fragment.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TimeFieldTexts {
    std::string hours;     // at least two digits
    std::string minutes;   // two digits
    std::string seconds;   // two digits
    std::string fraction;  // exactly six digits: the microseconds
};

// The largest value one field reads as; longer digit runs saturate here.
inline constexpr int64_t kTimeFieldMax = 999999999;
// Only this many characters of a field are read.
inline constexpr size_t kTimeFieldChars = 29;

// A fraction that rounds up to a whole second carries into the seconds (and on), so
// 5.9999996 reads 00:00:06.000000, never 00:00:05.000000. Nothing for a negative or
// non-finite time or one too large for whole seconds.
std::optional<TimeFieldTexts> SplitTimeFields(double seconds);

// The leading digits of a field as a whole number; 0 when it starts with none.
int64_t ReadTimeField(std::string_view text);
// The value of "0." followed by the fraction field's leading digits.
double ReadFractionField(std::string_view text);
// hours x 3600 + minutes x 60 + seconds + the fraction.
double JoinTimeFields(std::string_view hours, std::string_view minutes, std::string_view seconds,
                      std::string_view fraction);

struct TrimmedRange {
    double begin;
    double end;
};

// The range a typed begin and end give a fragment whose file lasts length seconds
// (negative: unknown). Nothing when end <= begin. An end past the length becomes the
// length; a begin after the new end becomes 0.
std::optional<TrimmedRange> TrimFragment(double begin, double end, double length);
