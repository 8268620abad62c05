#pragma once

// The job file "KORCP.SPF" that the player writes and korc reads: a JobHeader, the effect
// block, then one JobFragmentRecord per input fragment, little-endian, back to back, with
// no magic or version. The layouts are the hand-over between the two programs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/EffectParams.h"

inline constexpr char kJobFileName[] = "KORCP.SPF";

enum class JobKind : int32_t {
    ExtractImage = 1,
    ExtractAudio = 2,
    ExtractVideo = 3,
    MergeVideo = 4,
    MergeAudio = 5,
    MixVideoAudio = 6,
};
inline constexpr int32_t kFirstJobKind = 1;
inline constexpr int32_t kLastJobKind = 6;

// Kinds 1 to 3 take one fragment (the selected row); 4 to 6 every row.
constexpr bool IsSingleFragmentJob(JobKind kind) { return static_cast<int32_t>(kind) <= 3; }
// Kinds 3, 4 and 6 carry the player's subtitle file.
constexpr bool JobTakesSubtitles(JobKind kind) {
    return kind == JobKind::ExtractVideo || kind == JobKind::MergeVideo || kind == JobKind::MixVideoAudio;
}

inline constexpr size_t kJobPathSize = 3000;
// korc's fragment table holds this many; a larger job is refused by both programs.
inline constexpr int32_t kMaxJobFragments = 5000;

struct JobHeader {
    int32_t kind;
    int32_t fragmentCount;
    char subtitlesPath[kJobPathSize];
    char logoPath[kJobPathSize];
    int32_t logoX;  // tenths of a percent of the frame width, 0..1000
    int32_t logoY;
    uint32_t ownerWindow;  // the player window's X11 id; korc's dialogs are transient for it
    uint8_t reserved[284];
};
static_assert(sizeof(JobHeader) == 6304);
static_assert(offsetof(JobHeader, kind) == 0);
static_assert(offsetof(JobHeader, fragmentCount) == 4);
static_assert(offsetof(JobHeader, subtitlesPath) == 8);
static_assert(offsetof(JobHeader, logoPath) == 3008);
static_assert(offsetof(JobHeader, logoX) == 6008);
static_assert(offsetof(JobHeader, logoY) == 6012);
static_assert(offsetof(JobHeader, ownerWindow) == 6016);
static_assert(offsetof(JobHeader, reserved) == 6020);

struct JobFragmentRecord {
    int32_t startSeconds;  // whole seconds, truncated toward zero
    int32_t endSeconds;
    char path[kJobPathSize];
};
static_assert(sizeof(JobFragmentRecord) == 3008);
static_assert(offsetof(JobFragmentRecord, startSeconds) == 0);
static_assert(offsetof(JobFragmentRecord, endSeconds) == 4);
static_assert(offsetof(JobFragmentRecord, path) == 8);

struct JobFile {
    JobHeader header{};
    EffectParams effects{};
    std::vector<JobFragmentRecord> fragments;
};

// Seconds as the job file keeps them: clamped into int32, then truncated toward zero.
int32_t JobSeconds(double seconds);

// The file's bytes: the three records back to back; header.fragmentCount is set from
// fragments.
std::string JobFileBytes(JobFile& job);

enum class JobReadError { None, ShortHeader, ShortEffects, BadCount, TooManyFragments, ShortFragments };

// The most of a job file that is ever read: what follows the largest table is never looked at.
inline constexpr size_t kMaxJobFileBytes =
    sizeof(JobHeader) + sizeof(EffectParams) + size_t(kMaxJobFragments) * sizeof(JobFragmentRecord);

// Reads a job file's bytes into job, checking them: the header and effect block whole, a
// count from 0 to kMaxJobFragments whose records the bytes hold (checked before any record
// is read); texts are terminated and the effect block is brought into range. On an error
// job holds what was read up to it.
JobReadError ReadJobRecords(std::string_view bytes, JobFile& job);

// What is wrong with a file that gave the error, for the user.
std::string JobReadErrorText(JobReadError error, int32_t fragmentCount);
