#include "player/wizard/JobStarter.h"

#include <QMetaObject>

#include <algorithm>

#include "platform/system/AtomicFile.h"
#include "platform/system/FixedText.h"
#include "platform/system/Paths.h"
#include "platform/system/ProcessLauncher.h"
#include "platform/ui/MessageSink.h"

namespace {

constexpr char kCaption[] = "Kalvor";
constexpr char kEngineName[] = "korc";

JobOutcome Refuse(std::string message) { return JobOutcome{false, {}, std::move(message)}; }

std::string PathTooLong(const std::string& path) { return "The path is too long for a job:\n" + path; }

// Fills the records; a path that does not fit its field refuses the whole job, and so does
// a job korc's fragment table cannot hold.
bool BuildJob(const JobSnapshot& snapshot, JobFile& job, std::string& message) {
    const std::vector<JobEntry> rows = RowsForJob(snapshot.kind, snapshot.entries, snapshot.firstSelected);
    if (rows.size() > static_cast<size_t>(kMaxJobFragments)) {
        message = "A job can take at most " + std::to_string(kMaxJobFragments) + " fragments; this one has " +
                  std::to_string(rows.size()) + ".";
        return false;
    }
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
    for (const JobEntry& entry : rows) {
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
    if (RowsForJob(snapshot.kind, snapshot.entries, snapshot.firstSelected).empty()) return false;
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
    if (!outcome.ok) ShowMessage(owner_ ? owner_->Window() : nullptr, kCaption, outcome.message, MessageIcon::Warning);
    busy_ = false;
    if (owner_) owner_->EnableJobButtons(1);
    emit JobFinished(outcome.ok);
}

JobOutcome JobStarter::WriteJobAndLaunch(const JobSnapshot& snapshot, IProcessLauncher& launcher) {
    JobFile job;
    std::string message;
    if (!BuildJob(snapshot, job, message)) return Refuse(message);

    const std::string jobPath = paths::Join(snapshot.appDataFolder, kJobFileName);
    // korc must never see a half-written job.
    const std::string bytes = JobFileBytes(job);
    if (!paths::EnsureFolder(snapshot.appDataFolder) || !atomicfile::Write(jobPath, bytes.data(), bytes.size())) {
        return Refuse("Can't write the job file " + jobPath + ".");
    }
    const std::string program = paths::Join(snapshot.programFolder, kEngineName);
    if (!launcher.StartDetached(program, {jobPath})) return Refuse("Can't start " + program + ".");
    return JobOutcome{true, jobPath, {}};
}
