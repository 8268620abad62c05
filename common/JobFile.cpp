#include "common/JobFile.h"

#include <cmath>
#include <limits>

#include "common/FileAccess.h"

int32_t JobSeconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    if (seconds <= kMin) return std::numeric_limits<int32_t>::min();
    if (seconds >= kMax) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(seconds));
}

int WriteJobRecords(FileAccess& file, JobFile& job) {
    job.header.fragmentCount = static_cast<int32_t>(job.fragments.size());
    if (!file.Write(&job.header, sizeof job.header)) return 0;
    if (!file.Write(&job.effects, sizeof job.effects)) return 0;
    for (const JobFragmentRecord& record : job.fragments) {
        if (!file.Write(&record, sizeof record)) return 0;
    }
    return 1;
}

JobReadError ReadJobRecords(FileAccess& file, JobFile& job) {
    job = JobFile{};
    if (!file.Read(&job.header, sizeof job.header)) return JobReadError::ShortHeader;
    job.header.subtitlesPath[kJobPathSize - 1] = '\0';
    job.header.logoPath[kJobPathSize - 1] = '\0';
    if (!file.Read(&job.effects, sizeof job.effects)) return JobReadError::ShortEffects;
    SanitizeEffectParams(job.effects);
    if (job.header.fragmentCount < 0) return JobReadError::BadCount;
    // Records are read one by one, so a huge count in a short file costs nothing.
    for (int32_t i = 0; i < job.header.fragmentCount; ++i) {
        JobFragmentRecord record;
        if (!file.Read(&record, sizeof record)) return JobReadError::ShortFragments;
        record.path[kJobPathSize - 1] = '\0';
        job.fragments.push_back(record);
    }
    return JobReadError::None;
}
