#pragma once

// korc's entry: one job per run, read from the job file named on the command line.

#include <string>
#include <vector>

class JobObject;
struct WizardState;

// Carries out a loaded job: pages, graph, progress, output.
class IJobRunner {
public:
    virtual ~IJobRunner() = default;
    // Returns the process's exit code: 0 for a job done or stopped by the user.
    virtual int RunJob(JobObject& job, WizardState& state) = 0;
};

// Exit codes of a run that never reached a job.
inline constexpr int kExitNoJob = 1;        // no job file, or one that cannot be read whole
inline constexpr int kExitNoRunner = 2;     // this build cannot run jobs

class CKORCApp {
public:
    explicit CKORCApp(IJobRunner* runner) : runner_(runner) {}

    // args: the tokens after the program's name. Returns the process's exit code.
    int InitInstance(const std::vector<std::string>& args);

private:
    IJobRunner* runner_;
};
