// A job that needs no timeline feature reads its one span plainly instead of through a
// timeline, and must write the file the timeline would: the same streams, as long, starting
// with a key frame, with the same pictures and sound. Each job runs through korc both ways on
// media as users have them (key frames 3 s apart with B-frames, MP3 at 48 kHz, mono, a size
// that is no multiple of 16, sound that ends before the span does) and the two files are
// compared.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <sstream>

#include "DecodedOutput.h"
#include "KorcProcess.h"
#include "WavBytes.h"
#include "engine/JobSteps.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

constexpr int kRate = 25;  // frames per second of the inputs

// The caps of each stream the AVI demuxer finds in the file, in its order.
std::vector<std::string> AviStreams(const std::string& path) {
    struct Found {
        std::mutex mutex;
        std::condition_variable changed;
        std::vector<std::string> streams;
        bool all = false;
    } found;
    GstElement* pipeline = gst_parse_launch(
        ("filesrc location=\"" + path + "\" ! avidemux name=d").c_str(), nullptr);
    if (!pipeline) return {};
    GstElement* demuxer = gst_bin_get_by_name(GST_BIN(pipeline), "d");
    g_signal_connect(demuxer, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer to) {
                         GstCaps* caps = gst_pad_get_current_caps(pad);
                         if (!caps) caps = gst_pad_query_caps(pad, nullptr);
                         gchar* text = gst_caps_to_string(caps);
                         auto* f = static_cast<Found*>(to);
                         std::lock_guard lock(f->mutex);
                         f->streams.push_back(text);
                         g_free(text);
                         gst_caps_unref(caps);
                     }),
                     &found);
    g_signal_connect(demuxer, "no-more-pads", G_CALLBACK(+[](GstElement*, gpointer to) {
                         auto* f = static_cast<Found*>(to);
                         std::lock_guard lock(f->mutex);
                         f->all = true;
                         f->changed.notify_all();
                     }),
                     &found);
    // The demuxer's own thread reads the header and adds the pads.
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    {
        std::unique_lock lock(found.mutex);
        found.changed.wait_for(lock, std::chrono::seconds(30), [&] { return found.all; });
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(demuxer);
    gst_object_unref(pipeline);
    std::lock_guard lock(found.mutex);
    return found.streams;
}

// korc's messages among GStreamer's log lines.
std::string Said(const std::string& errors) {
    std::istringstream lines(errors);
    std::string said;
    for (std::string line; std::getline(lines, line);)
        if (line.find("Kalvor:") != std::string::npos || line.find("korc:") != std::string::npos)
            said += line + "\n";
    return said;
}

// Whether the loader's log shows korc itself opening the library. The first process in the
// log is korc; a helper it starts logs under its own number (GStreamer's plugin scanner, which
// opens every plugin's libraries when korc finds no registry in a fresh cache folder).
bool KorcLoaded(const std::string& errors, const std::string& library) {
    std::istringstream lines(errors);
    std::string korc;
    for (std::string line; std::getline(lines, line);) {
        const size_t digits = line.find_first_not_of(" \t");
        const size_t colon = line.find(':', digits);
        if (digits == std::string::npos || colon == std::string::npos || colon == digits ||
            line.find_first_not_of("0123456789", digits) != colon)
            continue;
        const std::string process = line.substr(digits, colon - digits);
        if (korc.empty()) korc = process;
        if (process == korc && line.find("file=" + library, colon) != std::string::npos)
            return true;
    }
    return false;
}

// Root mean square of the samples in each tenth of a second.
std::vector<float> Loudness(const std::vector<float>& samples) {
    std::vector<float> levels;
    const size_t step = kDecodedAudioRate / 10;
    for (size_t at = 0; at + step <= samples.size(); at += step) {
        double sum = 0;
        for (size_t i = at; i < at + step; ++i) sum += double(samples[i]) * samples[i];
        levels.push_back(float(std::sqrt(sum / double(step))));
    }
    return levels;
}

// Root mean square of the difference of two series in each stretch of step values: of two
// sounds in each tenth of a second, or of their loudness levels one by one.
std::vector<double> Difference(const std::vector<float>& a, const std::vector<float>& b,
                               size_t step = kDecodedAudioRate / 10) {
    std::vector<double> levels;
    for (size_t at = 0; at + step <= std::min(a.size(), b.size()); at += step) {
        double sum = 0;
        for (size_t i = at; i < at + step; ++i) sum += double(a[i] - b[i]) * (a[i] - b[i]);
        levels.push_back(std::sqrt(sum / double(step)));
    }
    return levels;
}

// Sets a variable of korc's environment (inherited from this process) while it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) { setenv(name, value, 1); }
    ~ScopedVariable() { unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
};

struct Case {
    const char* name;  // of the output, without its extension
    JobKind kind;
    std::vector<JobFragment> fragments;
    std::vector<std::string> script;  // after the name step
    const char* extension;
    double seconds;  // of the output's video; 0 for a sound-only output
    int exitCode = 0;
};

// The two outputs of a case alike: the same streams, as long, from a key frame, frame for frame
// the same pictures, and the same sound.
void ExpectAlike(const Case& c, const std::string& plain, const std::string& timeline) {
    if (c.seconds > 0) {
        EXPECT_EQ(AviStreams(plain), AviStreams(timeline));
        const std::vector<Packet> p = DemuxedVideo(plain), t = DemuxedVideo(timeline);
        EXPECT_EQ(p.size(), size_t(std::lround(c.seconds * kRate)));
        ASSERT_EQ(p.size(), t.size());
        ASSERT_FALSE(p.empty());
        EXPECT_TRUE(p[0].key);
        EXPECT_TRUE(t[0].key);
        // Another picture would differ by tens.
        const std::vector<Packet> pp = DecodedPictures(plain), tp = DecodedPictures(timeline);
        ASSERT_EQ(pp.size(), tp.size());
        for (size_t f = 0; f < pp.size(); ++f) {
            EXPECT_LT(PictureDistance(pp[f], tp[f]), 2.0) << "frame " << f;
            if (PictureDistance(pp[f], tp[f]) >= 2.0) break;
        }
    } else if (std::string(c.extension) == ".wav") {
        const WavBytes p = WavBytes::Parse(TempEnvironment::ReadFile(plain)),
                       t = WavBytes::Parse(TempEnvironment::ReadFile(timeline));
        EXPECT_TRUE(p.riff);
        EXPECT_EQ(std::tie(p.tag, p.channels, p.sampleRate, p.bitsPerSample, p.dataBytes),
                  std::tie(t.tag, t.channels, t.sampleRate, t.bitsPerSample, t.dataBytes));
    }
    // As long within a video frame, and the same sound throughout. Resampled sound may differ
    // by a fraction of a sample (about 0.05 for a tone of 1,320 Hz); a sample early or late
    // makes 0.1. The timeline's encoder is restarted at every join, which dips the sound there
    // and moves what follows by about 2 ms, so where the output is MP3 the loudness is compared
    // instead (sound against silence differs by tenths).
    const std::vector<float> p = DecodedAudio(plain), t = DecodedAudio(timeline);
    ASSERT_FALSE(p.empty());
    EXPECT_NEAR(double(p.size()), double(t.size()), kDecodedAudioRate / kRate);
    const bool mp3 = std::string(c.extension) == ".mp3";
    const std::vector<double> difference =
        mp3 ? Difference(Loudness(p), Loudness(t), 1) : Difference(p, t);
    for (size_t i = 0; i < difference.size(); ++i) {
        EXPECT_LT(difference[i], mp3 ? 0.15 : 0.07) << "at " << double(i) / 10 << " s";
        if (difference[i] >= (mp3 ? 0.15 : 0.07)) break;
    }
}

class PlainSpanJobTest : public TempFolderTest {
protected:
    // Runs the case's job, the timeline's output under the name with "-timeline" added; the
    // output's path, or empty when korc did not end as the case expects.
    std::string Run(const Case& c, bool timeline) {
        const std::string name = std::string(c.name) + (timeline ? "-timeline" : "");
        std::vector<std::string> script = {"name " + name};
        script.insert(script.end(), c.script.begin(), c.script.end());
        std::optional<ScopedVariable> forced;
        if (timeline) forced.emplace(kTimelineVariable, "1");
        // GStreamer's log of the elements made tells which way the job went: a timeline is
        // read through the editing library's composition. The loader's log tells whether the
        // library was loaded at all.
        const ScopedVariable log("GST_DEBUG", "GST_ELEMENT_FACTORY:4");
        const ScopedVariable loaded("LD_DEBUG", "files");
        const KorcRun run = RunKorc(env_.Root(), name, JobBytes(c.kind, c.fragments), script);
        EXPECT_TRUE(run.finished) << name << ": korc did not end";
        EXPECT_EQ(run.exitCode, c.exitCode) << name << ": " << Said(run.errors);
        EXPECT_EQ(run.errors.find("\"nlecomposition\"") != std::string::npos, timeline) << name;
        EXPECT_EQ(KorcLoaded(run.errors, "libges-"), timeline) << name;
        return run.finished && run.exitCode == c.exitCode ? env_.Path(name + c.extension)
                                                          : std::string();
    }
};

TEST_F(PlainSpanJobTest, APlainSpanWritesTheFileATimelineWould) {
    const std::string camera = env_.Path("camera.avi"), dub = env_.Path("dub.avi"),
                      song = env_.Path("song.mp3"), tone = env_.Path("tone.wav");
    // Key frames at 0, 3, 6 and 9 s; sound to the end, or only to 7 s.
    media::AviSpec spec{.seconds = 12.0,
                        .width = 318,
                        .height = 238,
                        .framesPerSecond = kRate,
                        .video = media::VideoCodec::Mpeg4,
                        .audio = media::AudioCodec::Mp3,
                        .audioRate = 48000,
                        .audioChannels = 2,
                        .keyFrameInterval = 75,
                        .bFrames = 2,
                        .mp3 = media::Mp3Mode::Cbr};
    ASSERT_TRUE(media::MakeAvi(camera, spec));
    spec.audioChannels = 1;
    spec.audioSeconds = 7.0;
    spec.pattern = "ball";
    ASSERT_TRUE(media::MakeAvi(dub, spec));
    // Tones of no whole number of cycles a second: a span that starts a second off differs.
    ASSERT_TRUE(media::MakeMp3(song, {.seconds = 6.0,
                                      .rate = 48000,
                                      .channels = 1,
                                      .frequency = 882.5,
                                      .mp3 = media::Mp3Mode::Vbr}));
    ASSERT_TRUE(media::MakeWav(
        tone, {.seconds = 3.0, .rate = 32000, .channels = 1, .frequency = 1322.5}));

    const std::vector<std::string> slow = {"forward", "forward", "forward"},
                                    wav = {"forward", "row 0", "forward"},
                                    mp3 = {"click 211", "forward", "forward"};
    const Case cases[] = {
        {"video", JobKind::ExtractVideo, {{camera, 4, 8}}, slow, ".avi", 4.0},
        {"merged", JobKind::MergeVideo, {{camera, 7, 10}}, slow, ".avi", 3.0},
        {"sound", JobKind::ExtractAudio, {{camera, 5, 8}}, wav, ".wav", 0.0},
        {"mp3", JobKind::ExtractAudio, {{song, 1, 5}}, mp3, ".mp3", 0.0},
        // Sound fragments one after the other, each of its own rate and channels, the camera's
        // from the middle of a key frame interval.
        {"medley", JobKind::MergeAudio, {{song, 1, 4}, {camera, 4, 7}, {tone, 0, 2}}, wav,
         ".wav", 0.0},
        {"medley-mp3", JobKind::MergeAudio, {{tone, 1, 2}, {song, 0, 3}, {camera, 8, 10}}, mp3,
         ".mp3", 0.0},
        // The sound ends 2 s before the span does: the timeline stops there too, and the job
        // says that an input ended before its fragment did.
        {"dubbed", JobKind::ExtractVideo, {{dub, 4, 9}}, slow, ".avi", 5.0, 3},
        {"short", JobKind::ExtractAudio, {{dub, 5, 9}}, wav, ".wav", 0.0, 3},
        {"short-end", JobKind::MergeAudio, {{song, 1, 3}, {dub, 5, 9}}, wav, ".wav", 0.0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plain = Run(c, false), timeline = Run(c, true);
        if (c.exitCode == 0 && !plain.empty() && !timeline.empty())
            ExpectAlike(c, plain, timeline);
    }
}

// Each fragment of a sound merge starts where the ones before it end, as placed on a timeline:
// a fragment whose sound ends early is filled with silence to its end. (The editing library's
// timeline drops that silence and moves the later fragments forward.)
TEST_F(PlainSpanJobTest, ASoundMergeKeepsEveryFragmentInItsPlace) {
    const std::string dub = env_.Path("dub.avi"), song = env_.Path("song.mp3"),
                      tone = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeAvi(dub, {.seconds = 10.0,
                                     .video = media::VideoCodec::Mpeg4,
                                     .audio = media::AudioCodec::Mp3,
                                     .audioRate = 48000,
                                     .audioChannels = 1,
                                     .audioSeconds = 7.0,
                                     .keyFrameInterval = 75}));
    ASSERT_TRUE(media::MakeMp3(song, {.seconds = 4.0,
                                      .rate = 44100,
                                      .channels = 2,
                                      .frequency = 880,
                                      .mp3 = media::Mp3Mode::Vbr}));
    ASSERT_TRUE(
        media::MakeWav(tone, {.seconds = 3.0, .rate = 32000, .channels = 1, .frequency = 1320}));
    // The dub's sound (440 Hz) to 7 s of its 5..9, then 880 Hz for 2 s, then 1320 Hz for 2 s.
    const Case merge{"placed", JobKind::MergeAudio, {{dub, 5, 9}, {song, 1, 3}, {tone, 0, 2}},
                     {"forward", "row 0", "forward"}, ".wav", 0.0};
    const std::string output = Run(merge, false);
    ASSERT_FALSE(output.empty());
    const std::vector<float> samples = DecodedAudio(output);
    EXPECT_NEAR(double(samples.size()) / kDecodedAudioRate, 8.0, 0.05);
    struct Stretch {
        double from, to, frequency;  // 0: silence
    };
    for (const Stretch s : {Stretch{0.1, 1.9, 440}, Stretch{2.1, 3.9, 0}, Stretch{4.1, 5.9, 880},
                            Stretch{6.1, 7.9, 1320}}) {
        for (const double frequency : {440.0, 880.0, 1320.0})
            EXPECT_EQ(Amplitude(samples, s.from, s.to, frequency) > 0.1, frequency == s.frequency)
                << frequency << " Hz in " << s.from << ".." << s.to << " s";
    }
}

}  // namespace
