// The job file is the whole hand-over from the player to korc: what one writes the other
// must read back exactly, and a damaged file must be refused, never half-used.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "common/JobFile.h"
#include "support/TempEnvironment.h"

namespace {

class JobFileTest : public TempFolderTest {
protected:
    std::string Path() const { return env_.Path("KORCP.SPF"); }

    void Write(JobFile& job) { TempEnvironment::WriteFile(Path(), JobFileBytes(job)); }
    JobReadError Read(JobFile& job) {
        return ReadJobRecords(TempEnvironment::ReadFile(Path()), job);
    }
    static JobFile Sample(JobKind kind, int fragments) {
        JobFile job;
        job.header.kind = static_cast<int32_t>(kind);
        std::strcpy(job.header.subtitlesPath, "/s/movie.srt");
        std::strcpy(job.header.logoPath, "/l/logo.bmp");
        job.header.logoX = 125;
        job.header.logoY = 875;
        job.header.ownerWindow = 0x3A00007;
        job.effects = DefaultEffectParams();
        job.effects.hue = 42;
        job.effects.timeMultiplier = 1.25;
        for (int i = 0; i < fragments; ++i) {
            JobFragmentRecord record{};
            record.startSeconds = i * 10;
            record.endSeconds = i * 10 + 7;
            const std::string path = "/media/clip " + std::to_string(i) + ".avi";
            std::memcpy(record.path, path.data(), path.size());
            job.fragments.push_back(record);
        }
        return job;
    }
};

TEST_F(JobFileTest, EveryKindRoundTripsExactlyWithOneAndManyFragments) {
    for (int32_t kind = kFirstJobKind; kind <= kLastJobKind; ++kind) {
        for (int count : {1, 37}) {
            JobFile written = Sample(static_cast<JobKind>(kind), count);
            Write(written);
            EXPECT_EQ(TempEnvironment::ReadFile(Path()).size(), 6304u + 440u + 3008u * count);
            JobFile read;
            ASSERT_EQ(Read(read), JobReadError::None);
            EXPECT_EQ(std::memcmp(&read.header, &written.header, sizeof read.header), 0);
            EXPECT_EQ(read.header.fragmentCount, count);
            EXPECT_EQ(std::memcmp(&read.effects, &written.effects, sizeof read.effects), 0);
            ASSERT_EQ(read.fragments.size(), written.fragments.size());
            for (size_t i = 0; i < read.fragments.size(); ++i) {
                EXPECT_EQ(std::memcmp(&read.fragments[i], &written.fragments[i], sizeof(JobFragmentRecord)), 0);
            }
        }
    }
}

// The fields' offsets inside each block are pinned at compile time; the blocks' order, the
// count and the zeroed reserve are not.
TEST_F(JobFileTest, TheBlocksFollowEachOtherWithTheCountOfTheFragments) {
    JobFile job = Sample(JobKind::MixVideoAudio, 2);
    Write(job);
    const std::string bytes = TempEnvironment::ReadFile(Path());
    auto i32 = [&](size_t at) {
        int32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    EXPECT_EQ(i32(4), 2);
    EXPECT_EQ(bytes.substr(6020, 284), std::string(284, '\0'));
    EXPECT_EQ(i32(6304), 42);  // the effect block's hue
    const size_t second = 6304 + 440 + 3008;
    EXPECT_EQ(i32(second), 10);
    EXPECT_EQ(i32(second + 4), 17);
    EXPECT_EQ(bytes.substr(second + 8, 16), "/media/clip 1.av");
}

TEST_F(JobFileTest, DamagedFilesAndOversizedCountsAreRefusedBeforeAnyRecordIsRead) {
    JobFile good = Sample(JobKind::MergeAudio, 2);
    Write(good);
    const std::string bytes = TempEnvironment::ReadFile(Path());
    auto withCount = [&](int32_t count, size_t records = 2) {
        std::string copy = bytes;
        std::memcpy(copy.data() + 4, &count, 4);
        copy.resize(6304 + 440 + 3008 * records);
        return copy;
    };
    struct Case {
        const char* what;
        std::string bytes;
        JobReadError error;
        size_t recordsRead;
    };
    const Case cases[] = {
        {"empty", "", JobReadError::ShortHeader, 0},
        {"header only", bytes.substr(0, 6304), JobReadError::ShortEffects, 0},
        {"count 3 with 2 records", withCount(3), JobReadError::ShortFragments, 0},
        {"count 5000 with 2 records", withCount(5000), JobReadError::ShortFragments, 0},
        {"record cut short", bytes.substr(0, bytes.size() - 1), JobReadError::ShortFragments, 0},
        {"count -1", withCount(-1), JobReadError::BadCount, 0},
        {"huge count", withCount(std::numeric_limits<int32_t>::max()), JobReadError::TooManyFragments, 0},
        {"5001 records all there", withCount(5001, 5001), JobReadError::TooManyFragments, 0},
        {"5000 records all there", withCount(5000, 5000), JobReadError::None, 5000},
        {"count 0", withCount(0), JobReadError::None, 0},
        {"count 1 and a stray record", withCount(1), JobReadError::None, 1},
    };
    for (const Case& c : cases) {
        TempEnvironment::WriteFile(Path(), c.bytes);
        JobFile read;
        EXPECT_EQ(Read(read), c.error) << c.what;
        EXPECT_EQ(read.fragments.size(), c.recordsRead) << c.what;
    }
}

TEST_F(JobFileTest, UnterminatedTextsAndWildEffectsAreMadeSafe) {
    JobFile job = Sample(JobKind::ExtractVideo, 1);
    std::memset(job.header.subtitlesPath, 'S', kJobPathSize);
    std::memset(job.header.logoPath, 'L', kJobPathSize);
    std::memset(job.fragments[0].path, 'P', kJobPathSize);
    job.effects.contrast = 1000;
    job.effects.fontFaceWide = 0xBADF00D;
    Write(job);
    JobFile read;
    ASSERT_EQ(Read(read), JobReadError::None);
    EXPECT_EQ(std::strlen(read.header.subtitlesPath), kJobPathSize - 1);
    EXPECT_EQ(std::strlen(read.header.logoPath), kJobPathSize - 1);
    EXPECT_EQ(std::strlen(read.fragments[0].path), kJobPathSize - 1);
    EXPECT_EQ(read.effects.contrast, 32);
    EXPECT_EQ(read.effects.fontFaceWide, 0u);
}

TEST(JobSeconds, TruncatesTowardZeroWithinInt32) {
    EXPECT_EQ(JobSeconds(12.9), 12);
    EXPECT_EQ(JobSeconds(30.5), 30);
    EXPECT_EQ(JobSeconds(-1.0), -1);
    EXPECT_EQ(JobSeconds(-2.7), -2);
    EXPECT_EQ(JobSeconds(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(JobSeconds(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(JobSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(JobSeconds(std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::max());
}

}  // namespace
