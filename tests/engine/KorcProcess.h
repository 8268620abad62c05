#pragma once

// korc run as the player runs it: a job file, the program started on it with its pages
// answered by a script, and what it said and how it ended.

#include <cstdint>
#include <string>
#include <vector>

#include "common/JobFile.h"

class QProcess;

struct JobFragment {
    std::string path;
    int32_t start = 0;
    int32_t end = 0;
};

// A job file's bytes for the fragments, with the default effects and the subtitle file.
std::string JobBytes(JobKind kind, const std::vector<JobFragment>& fragments,
                     const std::string& subtitlesPath = {});

struct KorcRun {
    bool finished = false;  // false: still running at the timeout, and then killed
    int exitCode = -1;
    std::string errors;  // standard error, where the messages go
};

// Starts korc on the job file as the player does, offscreen, its messages on standard error
// and its pages answered by the script file.
void StartKorc(QProcess& korc, const std::string& job, const std::string& script);

// Writes the job file's bytes and the page script (one step a line) into folder, under the
// name, and runs korc on them, for at most timeoutMs: generous, as a job under the
// sanitizers on a busy machine runs many times slower than alone.
KorcRun RunKorc(const std::string& folder, const std::string& name, const std::string& jobBytes,
                const std::vector<std::string>& script, int timeoutMs = 240000);
