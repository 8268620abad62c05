#include "KorcProcess.h"

#include <QProcess>

#include "engine/ScriptedPageDriver.h"
#include "support/TempEnvironment.h"

std::string JobBytes(JobKind kind, const std::vector<JobFragment>& fragments,
                     const std::string& subtitlesPath) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(kind);
    file.effects = DefaultEffectParams();
    subtitlesPath.copy(file.header.subtitlesPath, sizeof file.header.subtitlesPath - 1);
    for (const JobFragment& fragment : fragments) {
        JobFragmentRecord record{};
        record.startSeconds = fragment.start;
        record.endSeconds = fragment.end;
        fragment.path.copy(record.path, sizeof record.path - 1);
        file.fragments.push_back(record);
    }
    return JobFileBytes(file);
}

void StartKorc(QProcess& korc, const std::string& job, const std::string& script) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("KALVOR_MESSAGES", "stderr");
    environment.insert(kPageScriptVariable, QString::fromStdString(script));
    korc.setProcessEnvironment(environment);
    korc.start(QString(KALVOR_PROGRAM_DIR) + "/korc", {QString::fromStdString(job)});
}

KorcRun RunKorc(const std::string& folder, const std::string& name, const std::string& jobBytes,
                const std::vector<std::string>& script, int timeoutMs) {
    const std::string job = folder + "/" + name + ".spf", steps = folder + "/" + name + ".script";
    TempEnvironment::WriteFile(job, jobBytes);
    std::string text;
    for (const std::string& step : script) text += step + "\n";
    TempEnvironment::WriteFile(steps, text);

    QProcess korc;
    StartKorc(korc, job, steps);
    KorcRun run;
    run.finished = korc.waitForFinished(timeoutMs);
    if (!run.finished) {
        korc.kill();
        korc.waitForFinished(10000);
    } else {
        run.exitCode = korc.exitStatus() == QProcess::NormalExit ? korc.exitCode() : -1;
    }
    run.errors = korc.readAllStandardError().toStdString();
    return run;
}
