// korc's jobs timed as whole processes beside ffmpeg doing the same job: each program started
// as a user starts it, in alternating rounds after a warm-up, the medians compared and the two
// outputs checked alike with ffprobe, so that a ratio is one of the same work.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/JobFile.h"

// One program run: its arguments (the first is the program), what it adds to the environment
// ("NAME=value") and the file it writes, removed before every run.
struct ProgramRun {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    std::string output;
};

// The wall and processor seconds of one run; wall < 0 when the run failed.
struct RunTimes {
    double wall = -1.0;
    double cpu = 0.0;
};

// Runs the program to its end, its output streams into the file errors (when not empty).
RunTimes TimeRun(const ProgramRun& run, const std::string& errors = {});

// The path of a program found on PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

// korc as the player starts it, on a job file written into folder under name, with its pages
// answered by the script (one step a line) on Qt's offscreen platform. The program is the
// build's own, or the one the environment variable KORC names (to set builds side by side).
ProgramRun KorcRun(const std::string& folder, const std::string& name, JobFile job,
                   const std::vector<std::string>& script, const std::string& output);

// ffmpeg quiet, never asking, writing over its output: the arguments follow these.
ProgramRun FfmpegRun(const std::string& ffmpeg, const std::vector<std::string>& arguments,
                     const std::string& output);

// A job done by korc and by the tool; goal: the most korc may take, as a multiple of the
// tool's time.
struct Race {
    std::string job;
    ProgramRun korc;
    ProgramRun tool;
    double goal = 1.2;
};

// Whether the two files hold the same streams: kinds, codecs, sizes, sample rates and channels
// alike, lengths within a frame or two (a tenth of a second of sound); the differences in why.
bool SameStreams(const std::string& ffprobe, const std::string& a, const std::string& b,
                 std::string* why);

// Runs every race: a warm-up of each program, then rounds in which the two take turns to go
// first. Prints per race the median seconds of each, the median of the rounds' ratios beside
// the goal and the verdict of ffprobe on the outputs, then the tools' commands. False when a
// run failed or two outputs differ: such a ratio is not one of the same work.
bool RunRaces(const std::vector<Race>& races, int rounds, const std::string& ffprobe,
              const std::string& folder);

// The rounds a bench asks for on its command line (at least 5).
int RoundsArgument(int argc, char** argv, int index);

// ffmpeg and ffprobe on PATH; nothing, said for the bench, when either is missing.
struct BenchTools {
    std::string ffmpeg;
    std::string ffprobe;
};
std::optional<BenchTools> FindTools(const char* bench);

// A job file of the kind for the fragments, with the player's default effects.
JobFile BenchJob(JobKind kind, const std::vector<JobFragmentRecord>& fragments);

// The bench's exit code: the folder is removed when the outputs were alike, and kept to be
// looked at (and said so) when they differed.
int EndBench(const std::string& folder, bool same);

double Median(std::vector<double> values);
