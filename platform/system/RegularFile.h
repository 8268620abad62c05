#pragma once

// The one way both programs open an outside file for reading. The open never waits (a FIFO
// or a device under the name is refused, never read), only a regular file within the size
// bound is taken, and the descriptor stays open: whoever reads next (a parser, a probe, a
// graph's file source) reads the very file that was checked, through Descriptor() or
// Location(), whatever the name stands for by then.

#include <cstddef>
#include <cstdint>
#include <string>

class RegularFile {
public:
    enum class Status { Ok, Absent, Refused, Failed };
    static constexpr uint64_t kAnySize = UINT64_MAX;

    RegularFile() = default;
    // Absent when nothing is under the name, Refused when it is no regular file or larger
    // than maxBytes, Failed when the system refuses the open (Refusal() says why).
    explicit RegularFile(const std::string& path, uint64_t maxBytes = kAnySize);
    ~RegularFile();
    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;

    bool IsOpen() const { return fd_ >= 0; }
    Status Result() const { return status_; }
    const std::string& Refusal() const { return refusal_; }
    int Descriptor() const { return fd_; }
    uint64_t Size() const { return size_; }  // as it was at the open
    // A name of the checked file for readers in this process, and the same as a URI.
    std::string Location() const;
    std::string Uri() const;

    // Up to size bytes from where the last read ended; fewer only at the end or on a fault.
    size_t Read(void* buffer, size_t size);
    // The rest of the file: Refused when it has grown past the bound since the open, Failed
    // on a fault. bytes is empty unless Ok.
    Status ReadAll(std::string& bytes);
    // The descriptor, for a reader that closes it itself; this object is closed afterwards.
    int Release();

    // A small file read whole; error (when given) says why, with the path, unless Ok or Absent.
    static Status ReadWhole(const std::string& path, uint64_t maxBytes, std::string& bytes,
                            std::string* error = nullptr);

private:
    void Close();

    int fd_ = -1;
    Status status_ = Status::Absent;
    uint64_t size_ = 0;
    uint64_t bound_ = kAnySize;
    std::string refusal_;
};
