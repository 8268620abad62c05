#pragma once

// Starts the disk on an output's bytes while the job still writes, so that the sync before the
// output is kept (OutputFile::Commit) has only the last of them to wait for.

#include <gst/gst.h>

#include <cstdint>

class WriteBack {
public:
    // How much is written between two starts.
    static constexpr uint64_t kStepBytes = 1024 * 1024;

    explicit WriteBack(int fd) : fd_(fd) {}

    // Called after each piece written to the file, from one thread at a time.
    void Written(uint64_t bytes);

    // The same for a writer element (fdsink) over fd: counted at its input, for as long as it
    // lives.
    static void Watch(GstElement* writer, int fd);

private:
    int fd_;
    uint64_t pending_ = 0;
};
