#pragma once

// One playlist or wizard entry: a media file and its play range. Also the record a job
// thread receives: it copies entries on the user-interface thread and never reads a list.

#include <string>

struct MediaEntry {
    std::string path;
    double begin = 0.0;  // seconds; 0 = from the start of the file
    // Seconds: > 0 the end of the range (the length unless the user set a range);
    // kEndUnprobed or kEndUnknown otherwise.
    double end = -1.0;

    static constexpr double kEndUnprobed = -1.0;
    static constexpr double kEndUnknown = -2.0;  // probing found no length

    friend bool operator==(const MediaEntry&, const MediaEntry&) = default;
};
