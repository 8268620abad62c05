#include "player/wizard/JobStarter.h"

#include <unistd.h>

#include <QMetaObject>

#include <algorithm>
#include <cstdio>

#include "common/FileAccess.h"
#include "platform/system/FixedText.h"
#include "platform/system/Paths.h"
#include "platform/system/ProcessLauncher.h"
#include "platform/ui/MessageSink.h"

namespace {

constexpr char kCaption[] = "Kalvor";
constexpr char kJobFileMode[] = "SharedForReading AlwaysCreate ReadWrite";
constexpr char kEngineName[] = "korc";

JobOutcome Refuse(std::string message) { return JobOutcome{false, {}, std::move(message)}; }

std::string PathTooLong(const std::string& path) { return "The path is too long for a job:\n" + path; }

// Fills the records; a path that does not fit its field refuses the whole job.
bool BuildJob(const JobSnapshot& snapshot, JobFile& job, std::string& message) {
    job.header.kind = static_cast<int32_t>(snapshot.kind);
    if (JobTakesSubtitles(snapshot.kind) && !fixedtext::SetPath(job.header.subtitlesPath, snapshot.subtitlesPath)) {
        message = PathTooLong(snapshot.subtitlesPath);
        return false;
    }
    if (snapshot.logoEnabled) {
        if (!fixedtext::SetPath(job.header.logoPath, snapshot.logoPath)) {
            message = PathTooLong(snapshot.logoPath);
            return false;
        }
        job.header.logoX = std::clamp(snapshot.logoX, 0, 1000);
        job.header.logoY = std::clamp(snapshot.logoY, 0, 1000);
    }
    job.header.ownerWindow = snapshot.ownerWindow;
    job.effects = snapshot.effects;
    job.effects.fontFaceWide = 0;
    for (const JobEntry& entry : snapshot.entries) {
        JobFragmentRecord record{};
        record.startSeconds = JobSeconds(entry.begin);
        record.endSeconds = JobSeconds(entry.end);
        if (!fixedtext::SetPath(record.path, entry.path)) {
            message = PathTooLong(entry.path);
            return false;
        }
        job.fragments.push_back(record);
    }
    return true;
}

// korc must never see a half-written job: the records go to a private name first.
bool WriteJobFile(const std::string& jobPath, JobFile& job) {
    const std::string temp = jobPath + "." + std::to_string(getpid()) + ".tmp";
    FileAccess file;
    if (!file.Open(temp.c_str(), kJobFileMode)) return false;
    const bool written = WriteJobRecords(file, job) == 1;
    const bool closed = file.Close() == 1;
    if (written && closed && std::rename(temp.c_str(), jobPath.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

}  // namespace

std::vector<JobEntry> RowsForJob(JobKind kind, const std::vector<JobEntry>& rows, int firstSelected) {
    if (!IsSingleFragmentJob(kind)) return rows;
    if (firstSelected < 0 || firstSelected >= static_cast<int>(rows.size())) return {};
    return {rows[static_cast<size_t>(firstSelected)]};
}

JobStarter::JobStarter(IJobOwner* owner, IProcessLauncher& launcher, QObject* parent)
    : QObject(parent), owner_(owner), launcher_(launcher) {}

JobStarter::~JobStarter() {
    if (worker_.joinable()) worker_.join();
}

bool JobStarter::Start(JobSnapshot snapshot) {
    helpContext_ = static_cast<int32_t>(snapshot.kind) + 9;
    if (snapshot.entries.empty()) return false;
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true)) return false;
    if (owner_) owner_->EnableJobButtons(0);
    if (worker_.joinable()) worker_.join();  // the previous job has finished: busy was clear
    worker_ = std::thread([this, snapshot = std::move(snapshot)] {
        const JobOutcome outcome = WriteJobAndLaunch(snapshot, launcher_);
        QMetaObject::invokeMethod(this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
    });
    return true;
}

void JobStarter::Finish(const JobOutcome& outcome) {
    if (!outcome.ok) ShowMessage(nullptr, kCaption, outcome.message, MessageIcon::Warning);
    busy_ = false;
    if (owner_) owner_->EnableJobButtons(1);
    emit JobFinished(outcome.ok);
}

JobOutcome JobStarter::WriteJobAndLaunch(const JobSnapshot& snapshot, IProcessLauncher& launcher) {
    JobFile job;
    std::string message;
    if (!BuildJob(snapshot, job, message)) return Refuse(message);

    const std::string jobPath = paths::Join(snapshot.appDataFolder, kJobFileName);
    if (!paths::EnsureFolder(snapshot.appDataFolder) || !WriteJobFile(jobPath, job)) {
        return Refuse("Can't write the job file " + jobPath + ".");
    }
    const std::string program = paths::Join(snapshot.programFolder, kEngineName);
    if (!launcher.StartDetached(program, {jobPath})) return Refuse("Can't start " + program + ".");
    return JobOutcome{true, jobPath, {}};
}
