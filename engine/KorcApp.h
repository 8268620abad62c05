#pragma once

// korc's entry: one job per run, read from the job file named on the command line.

#include <functional>
#include <string>
#include <vector>

class JobObject;
struct WizardState;

// Carries out a loaded job: pages, graph, progress, output.
class IJobRunner {
public:
    virtual ~IJobRunner() = default;
    // Returns the process's exit code: 0 for a job done, stopped or cancelled by the user.
    virtual int RunJob(JobObject& job, WizardState& state) = 0;
};

// Exit codes besides 0 (a job done, stopped by the user, or cancelled on a page).
// No job file, one that cannot be read whole, or a job of an unknown kind.
inline constexpr int kExitNoJob = 1;
inline constexpr int kExitNoRunner = 2;   // no job runner was given
inline constexpr int kExitJobFailed = 3;  // the job failed; the failure was reported in a box
inline constexpr int kExitNotBuilt = 4;   // a kind whose graph this build does not have

class CKORCApp {
public:
    // refused, when given, also tells the user why a job file was not taken (standard error
    // always does): a program started from a desktop has no terminal to read.
    explicit CKORCApp(IJobRunner* runner, std::function<void(const std::string& why)> refused = {})
        : runner_(runner), refused_(std::move(refused)) {}

    // args: the tokens after the program's name. Returns the process's exit code.
    int InitInstance(const std::vector<std::string>& args);

private:
    IJobRunner* runner_;
    std::function<void(const std::string&)> refused_;
};
