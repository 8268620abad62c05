#pragma once

// The two audio jobs: extract an audio fragment of one input (kind 2), or merge the audio of
// every fragment one after the other (kind 5), into a WAV file, or into MP3 inside a RIFF
// WAVE file under the ".mp3" name. Each is a short list of steps: probe, pages, output
// check, timeline, back end, run, end.

#include <memory>
#include <string>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/FragmentPlan.h"
#include "engine/JobSteps.h"
#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/WavDest.h"
#include "engine/WizardState.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/MediaDet.h"
#include "platform/editing/Timeline.h"

class JobObject;

inline constexpr char kNoAudioText[] = "Audio stream was not found!";
inline constexpr char kNoStreamCaption[] = "Warning";
inline constexpr char kSameFileText[] = "The output file is one of the job's inputs: ";

// The PCM the audio group carries: the format chosen for the encoder, else the probed
// source's rate and channels, else 44,100 Hz stereo.
AudioFormat AudioGroupFormat(const WizardState& state);

class CAudioJob {
public:
    CAudioJob(const JobObject& job, WizardState& state, IPageDriver& pages,
              const CodecCatalogue& catalogue);
    ~CAudioJob();

    JobEnd Run();
    // The file the job wrote (or would write), once the pages are done.
    const std::string& OutputPath() const { return finalPath_; }

private:
    bool Merge() const;
    JobEnd Probe();
    JobEnd ShowPages();
    bool CheckOutput();
    bool BuildTimeline();
    bool BuildBackEnd();
    JobEnd RunGraph();
    JobEnd Fail(const std::string& text);

    const JobObject& job_;
    WizardState& state_;
    IPageDriver& pages_;
    const CodecCatalogue& catalogue_;

    std::vector<InputFragment> inputs_;
    std::vector<editing::MediaDetFacts> facts_;
    // The checked file of each fragment, open until the graph is gone.
    std::vector<std::shared_ptr<const RegularFile>> files_;
    std::vector<double> lengths_;
    FragmentPlan plan_;
    std::string finalPath_;
    // Declared so that the graph goes first: the writer and the file outlive its threads.
    OutputFile output_;
    WavDest writer_;
    editing::Timeline timeline_;
    media::ElementRef compressor_;
    std::unique_ptr<editing::GroupRender> engine_;
};
