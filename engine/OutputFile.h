#pragma once

// An output file written under a unique temporary name in its own folder and renamed onto
// its name only when the job has written it: a failed job leaves the old file as it was,
// and no other file of the folder is ever touched.

#include <string>

#include "engine/OutputRecord.h"

// True when both paths name the same file: the same device and inode where both exist,
// else the same path once made canonical.
bool IsSameFile(const std::string& a, const std::string& b);

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // removes a temporary file that was not committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // A new empty file beside finalPath. False, with the reason, when none can be made.
    bool Create(const std::string& finalPath, std::string* error);
    int Fd() const { return fd_; }
    const std::string& TemporaryPath() const { return temporary_; }

    // Flushes, closes and renames the file onto the final path; false, with the reason,
    // when that fails (the temporary file is then removed).
    bool Commit(std::string* error);
    // Closes and removes the temporary file.
    void Discard();

private:
    std::string final_;
    std::string temporary_;
    int fd_ = -1;
    OutputRecord record_;  // lets the next run remove the file should this one be killed
};
