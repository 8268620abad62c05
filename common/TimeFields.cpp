#include "common/TimeFields.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string_view Head(std::string_view text) {
    return text.substr(0, std::min(text.size(), kTimeFieldChars));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<TimeFieldTexts> SplitTimeFields(double seconds) {
    constexpr double kLimit = 9.0e15;  // whole microseconds still fit 64 bits exactly enough
    if (!(seconds >= 0.0) || !(seconds < kLimit)) return std::nullopt;
    auto whole = static_cast<int64_t>(seconds);
    auto micro = static_cast<int64_t>(std::llround((seconds - static_cast<double>(whole)) * 1e6));
    if (micro >= 1000000) {
        whole += micro / 1000000;
        micro %= 1000000;
    }
    char text[32];
    TimeFieldTexts fields;
    std::snprintf(text, sizeof text, "%02lld", static_cast<long long>(whole / 3600));
    fields.hours = text;
    std::snprintf(text, sizeof text, "%02lld", static_cast<long long>(whole % 3600 / 60));
    fields.minutes = text;
    std::snprintf(text, sizeof text, "%02lld", static_cast<long long>(whole % 60));
    fields.seconds = text;
    std::snprintf(text, sizeof text, "%06lld", static_cast<long long>(micro));
    fields.fraction = text;
    return fields;
}

int64_t ReadTimeField(std::string_view text) {
    int64_t value = 0;
    for (const char c : Head(text)) {
        if (!IsDigit(c)) break;
        value = value * 10 + (c - '0');
        if (value >= kTimeFieldMax) return kTimeFieldMax;
    }
    return value;
}

double ReadFractionField(std::string_view text) {
    std::string number = "0.";
    for (const char c : Head(text)) {
        if (!IsDigit(c)) break;
        number += c;
    }
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

double JoinTimeFields(std::string_view hours, std::string_view minutes, std::string_view seconds,
                      std::string_view fraction) {
    return static_cast<double>(ReadTimeField(hours)) * 3600.0 +
           static_cast<double>(ReadTimeField(minutes)) * 60.0 +
           static_cast<double>(ReadTimeField(seconds)) + ReadFractionField(fraction);
}

std::optional<TrimmedRange> TrimFragment(double begin, double end, double length) {
    if (!(end > begin)) return std::nullopt;
    TrimmedRange range{begin, end};
    if (length >= 0.0 && range.end > length) range.end = length;
    if (!(range.begin <= range.end)) range.begin = 0.0;
    return range;
}
