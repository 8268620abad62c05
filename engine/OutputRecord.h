#pragma once

// A note, in the private temporary folder, of an output file korc is writing under a hidden
// temporary name: while the run lives it holds a lock on the note, so that a later run can
// tell the notes of killed runs and remove the half-written files they name.

#include <string>

class OutputRecord {
public:
    OutputRecord() = default;
    ~OutputRecord();  // drops the note
    OutputRecord(const OutputRecord&) = delete;
    OutputRecord& operator=(const OutputRecord&) = delete;

    // Notes the file; nothing is noted (and the file is written all the same) when there is
    // no private temporary folder.
    void Note(const std::string& temporaryPath);
    void Drop();

    // Removes the files of notes no live run holds, and those notes. Returns how many files
    // went. Only a regular file of the hidden temporary form, owned by this user, is removed.
    static int RemoveStale();

private:
    std::string path_;  // of the note
    int fd_ = -1;       // open, locked, while the file is being written
};
