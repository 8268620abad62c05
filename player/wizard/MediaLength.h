#pragma once

// The length of a fragment's file, for trimming: through MediaProbe, bounded.
// Tests count or replace the lookups.

#include <string>

class IMediaLength {
public:
    virtual ~IMediaLength() = default;
    // Seconds; -1 when the file gives no length.
    virtual double Length(const std::string& path) = 0;
};

class MediaLength : public IMediaLength {
public:
    explicit MediaLength(int timeoutMs = 3000) : timeoutMs_(timeoutMs) {}
    double Length(const std::string& path) override;

private:
    int timeoutMs_;
};
