#pragma once

// Reads korc's job file into the job object and the run's state.

#include <string>
#include <vector>

class JobObject;
struct WizardState;

enum class JobLoad { Loaded, NotAJobFile, CannotOpen, Malformed };

// The command line is korc's arguments joined with single blanks: the job file's path,
// blanks and all. Only a path holding ".spf" or ".SPF" is taken.
std::string KorcCommandLine(const std::vector<std::string>& args);

// Fills state (header, effect block, records, kind, owner window, fragment table) and job
// (logo, subtitles, and the last record as the current fragment). Anything but Loaded
// leaves nothing to run, and why (when given) then says what was wrong, for the user.
JobLoad LoadJobFile(const std::string& commandLine, JobObject& job, WizardState& state,
                    std::string* why = nullptr);
