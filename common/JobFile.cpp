#include "common/JobFile.h"

#include <cmath>
#include <cstring>
#include <limits>

int32_t JobSeconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    constexpr double kMin = std::numeric_limits<int32_t>::min();
    constexpr double kMax = std::numeric_limits<int32_t>::max();
    if (seconds <= kMin) return std::numeric_limits<int32_t>::min();
    if (seconds >= kMax) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(seconds));
}

std::string JobFileBytes(JobFile& job) {
    job.header.fragmentCount = static_cast<int32_t>(job.fragments.size());
    std::string bytes;
    bytes.reserve(sizeof job.header + sizeof job.effects + job.fragments.size() * sizeof(JobFragmentRecord));
    bytes.append(reinterpret_cast<const char*>(&job.header), sizeof job.header);
    bytes.append(reinterpret_cast<const char*>(&job.effects), sizeof job.effects);
    for (const JobFragmentRecord& record : job.fragments)
        bytes.append(reinterpret_cast<const char*>(&record), sizeof record);
    return bytes;
}

JobReadError ReadJobRecords(std::string_view bytes, JobFile& job) {
    job = JobFile{};
    // Takes the next record whole, or nothing.
    auto take = [&bytes](void* record, size_t size) {
        if (bytes.size() < size) return false;
        std::memcpy(record, bytes.data(), size);
        bytes.remove_prefix(size);
        return true;
    };
    if (!take(&job.header, sizeof job.header)) return JobReadError::ShortHeader;
    job.header.subtitlesPath[kJobPathSize - 1] = '\0';
    job.header.logoPath[kJobPathSize - 1] = '\0';
    if (!take(&job.effects, sizeof job.effects)) return JobReadError::ShortEffects;
    SanitizeEffectParams(job.effects);
    const int32_t count = job.header.fragmentCount;
    if (count < 0) return JobReadError::BadCount;
    if (count > kMaxJobFragments) return JobReadError::TooManyFragments;
    if (bytes.size() < static_cast<size_t>(count) * sizeof(JobFragmentRecord))
        return JobReadError::ShortFragments;
    job.fragments.resize(static_cast<size_t>(count));
    for (JobFragmentRecord& record : job.fragments) {
        take(&record, sizeof record);
        record.path[kJobPathSize - 1] = '\0';
    }
    return JobReadError::None;
}

std::string JobReadErrorText(JobReadError error, int32_t fragmentCount) {
    const std::string count = std::to_string(fragmentCount);
    switch (error) {
        case JobReadError::None: return {};
        case JobReadError::ShortHeader: return "it ends inside its header";
        case JobReadError::ShortEffects: return "it ends inside its effect block";
        case JobReadError::BadCount: return "its fragment count " + count + " is negative";
        case JobReadError::TooManyFragments:
            return "its fragment count " + count + " is over the limit of " +
                   std::to_string(kMaxJobFragments);
        case JobReadError::ShortFragments: return "it is too short for its " + count + " fragments";
    }
    return {};
}
