#pragma once

// Hands a wizard job to korc: on a worker thread, writes the job file from a copy of the
// rows taken on the user-interface thread, then starts korc with the file's path. One job
// is prepared at a time; a failure is shown to the user and korc is then not started.

#include <QObject>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "common/EffectParams.h"
#include "common/JobFile.h"

class IProcessLauncher;
class QWidget;

// One wizard row as a job takes it.
struct JobEntry {
    std::string path;
    double begin = 0.0;
    double end = -1.0;
};

// Everything a job reads, copied on the user-interface thread before the worker starts.
struct JobSnapshot {
    JobKind kind = JobKind::ExtractImage;
    std::vector<JobEntry> entries;  // the wizard list's rows, in list order
    int firstSelected = -1;         // the first selected row; -1 when none is
    std::string subtitlesPath;      // the subtitle file loaded for playback; empty when none
    bool logoEnabled = false;
    std::string logoPath;
    int32_t logoX = 0;
    int32_t logoY = 0;
    uint32_t ownerWindow = 0;  // the wizard window's X11 id
    EffectParams effects{};
    std::string appDataFolder;
    std::string programFolder;
};

// The rows a job takes: the first selected one for kinds 1 to 3, all of them for 4 to 6.
// Empty when there is nothing to do.
std::vector<JobEntry> RowsForJob(JobKind kind, const std::vector<JobEntry>& rows, int firstSelected);

// The wizard window, for the job buttons it shows and the boxes that belong to it.
class IJobOwner {
public:
    virtual ~IJobOwner() = default;
    // 0 disables the six job buttons, 1 enables them.
    virtual void EnableJobButtons(int flag) = 0;
    // The window that owns a job's message boxes.
    virtual QWidget* Window() = 0;
};

struct JobOutcome {
    bool ok = false;
    std::string jobPath;
    std::string message;  // what the user is told when !ok
};

class JobStarter : public QObject {
    Q_OBJECT
public:
    JobStarter(IJobOwner* owner, IProcessLauncher& launcher, QObject* parent = nullptr);
    ~JobStarter() override;  // waits for a job being written

    // Starts the job's worker; false when another job is being prepared or the snapshot
    // holds no row for the job (RowsForJob). The help context follows the kind either way.
    bool Start(JobSnapshot snapshot);

    bool IsBusy() const { return busy_; }
    int32_t HelpContext() const { return helpContext_; }

    // The worker's steps, on the calling thread: the job's rows (RowsForJob) written as
    // KORCP.SPF in the application-data folder, whole or not at all, then korc started.
    // A job of more than kMaxJobFragments rows is refused.
    static JobOutcome WriteJobAndLaunch(const JobSnapshot& snapshot, IProcessLauncher& launcher);

signals:
    // On the user-interface thread, after the job was handed over or refused.
    void JobFinished(bool ok);

private:
    void Finish(const JobOutcome& outcome);

    IJobOwner* owner_;
    IProcessLauncher& launcher_;
    std::atomic<bool> busy_{false};
    int32_t helpContext_ = 1;
    std::thread worker_;
};
