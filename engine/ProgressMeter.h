#pragma once

// What the progress display shows for a position of the running graph: seconds of output
// written out of the span and the percentage.
// Spans of zero or below show 0 % while running; nothing here divides by the span unless
// it is above zero.

#include <cstdint>
#include <string>

class ProgressMeter {
public:
    // start, end: the job's span in source seconds; baseNs: the position that counts as 0 s.
    ProgressMeter(double start, double end, int64_t baseNs);

    // (int)(end - start), or 0 for a span that is not above zero.
    int32_t Total() const { return total_; }
    // Whole seconds of output at the position; from the span on it shows 98.5 % of the span,
    // so that only the graph's end shows it whole.
    int32_t Elapsed(int64_t positionNs) const;

    std::string SavedText(int32_t elapsed) const;    // "Saved: 3 of 10 seconds"
    std::string PercentText(int32_t elapsed) const;  // "30% complete"
    static std::string DoneText() { return "100% complete"; }

private:
    double span_;  // end - start; may be zero, negative or not a number
    int64_t baseNs_;
    int32_t total_;
};
