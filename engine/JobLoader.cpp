#include "engine/JobLoader.h"

#include <algorithm>

#include "common/JobFile.h"
#include "engine/JobObject.h"
#include "engine/WizardState.h"
#include "platform/system/RegularFile.h"

std::string KorcCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0) line += ' ';
        line += args[i];
    }
    return line;
}

JobLoad LoadJobFile(const std::string& commandLine, JobObject& job, WizardState& state,
                    std::string* why) {
    auto fail = [why](JobLoad load, std::string text) {
        if (why) *why = std::move(text);
        return load;
    };
    if (commandLine.empty()) return fail(JobLoad::NotAJobFile, "no job file was given");
    if (commandLine.find(".spf") == std::string::npos && commandLine.find(".SPF") == std::string::npos) {
        return fail(JobLoad::NotAJobFile, commandLine + " is not a job file (.spf)");
    }
    RegularFile file(commandLine);
    if (!file.IsOpen())
        return fail(JobLoad::CannotOpen,
                    "cannot open the job file " + commandLine + ": " + file.Refusal());
    std::string bytes(std::min<uint64_t>(file.Size(), kMaxJobFileBytes), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    JobFile read;
    const JobReadError error = ReadJobRecords(bytes, read);
    if (error != JobReadError::None) {
        return fail(JobLoad::Malformed, "the job file " + commandLine + " is damaged: " +
                                            JobReadErrorText(error, read.header.fragmentCount));
    }

    state.header = read.header;
    state.effects = read.effects;
    state.fragmentRecords = std::move(read.fragments);
    state.ownerWindow = state.header.ownerWindow;
    state.jobKind = state.header.kind;
    job.logoPath = state.header.logoPath;
    job.subtitlesPath = state.header.subtitlesPath;
    job.logoX = state.header.logoX;
    job.logoY = state.header.logoY;
    for (const JobFragmentRecord& record : state.fragmentRecords) {
        job.paths[0] = record.path;
        job.start = record.startSeconds;
        job.end = record.endSeconds;
        job.AddInputFragment(state);
    }
    return JobLoad::Loaded;
}

int JobObject::AddInputFragment(WizardState& state) const {
    state.inputFragments.push_back(InputFragment{paths[0], start, end});
    return 0;
}
