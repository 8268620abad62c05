#pragma once

// The small file class both programs share: a file is opened by a path and a string of
// mode keywords, whole records are written (the player) or read (korc), and the file is
// closed. Results are 1 for success and 0 for failure.

#include <cstdint>

class FileAccess {
public:
    // Values of the mode keywords, kept as parsed; share modes have no meaning on Linux.
    static constexpr uint32_t kShareRead = 1;
    static constexpr uint32_t kShareWrite = 2;
    static constexpr uint32_t kGenericWrite = 0x40000000;
    static constexpr uint32_t kGenericRead = 0x80000000;
    static constexpr uint32_t kCreateNew = 1;
    static constexpr uint32_t kCreateAlways = 2;
    static constexpr uint32_t kOpenExisting = 3;
    static constexpr uint32_t kAttributeNormal = 0x80;

    struct OpenParams {
        int32_t isWin9x = 0;
        uint32_t access = 0;
        uint32_t share = 0;
        uint32_t disposition = kOpenExisting;
        uint32_t flagsAndAttributes = 0;
        int handle = -1;  // file descriptor
    };

    FileAccess();
    ~FileAccess();  // closes a file that is still open
    FileAccess(const FileAccess&) = delete;
    FileAccess& operator=(const FileAccess&) = delete;

    // 0 when the file cannot be opened, is not a regular file (errno EINVAL, or EISDIR for
    // a folder), or this object already has one open. Never blocks on a FIFO.
    int Open(const char* path, const char* mode);
    // Move exactly n bytes; 1 only when all of them moved.
    int Write(const void* data, int32_t n);
    int Read(void* data, int32_t n);
    // Closes the file; harmless on an object that is not open.
    int Close();

    bool IsOpen() const { return isOpen_ == 1; }
    // The open file's length in bytes; -1 when none is open.
    int64_t Size() const;
    const OpenParams& Params() const { return params_; }

    // The mode keywords' values, without opening anything.
    static OpenParams ParseMode(const char* mode);
    static int IsWin9xPlatform() { return 0; }

private:
    OpenParams params_;
    int32_t isOpen_ = 0;
};
