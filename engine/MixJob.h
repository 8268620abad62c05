#pragma once

// The mix job (kind 6): the audio of every fragment laid over each other from the same start
// and, when a video is wanted and present, the first video fragment's picture under them, as
// an AVI; without video the mixed audio alone as WAV, or MP3 inside a RIFF WAVE file under
// the ".mp3" name. The output lasts as long as the longest fragment.

#include <memory>
#include <string>
#include <vector>

#include "engine/AudioJob.h"
#include "engine/AviBackEnd.h"
#include "engine/CodecCatalogue.h"
#include "engine/FragmentPlan.h"
#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/WavDest.h"
#include "engine/WizardState.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/MediaDet.h"
#include "platform/editing/Timeline.h"

class JobObject;

class CMixJob {
public:
    CMixJob(const JobObject& job, WizardState& state, IPageDriver& pages,
            const CodecCatalogue& catalogue);
    ~CMixJob();

    JobEnd Run();

private:
    bool NeedsBackground() const;
    bool WithVideo() const { return state_.mixVideo == 1 && videoInput_ >= 0; }
    JobEnd Probe();
    JobEnd ShowPages();
    bool CheckOutput();
    bool BuildTimeline();
    bool BuildAviBackEnd();
    bool BuildAudioBackEnd();
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
    int videoInput_ = -1;  // the first fragment with video
    double videoFrameRate_ = 0.0;
    FragmentPlan plan_;
    std::string finalPath_;
    // Declared so that the graph goes first: the writer and the file outlive its threads.
    OutputFile output_;
    WavDest writer_;
    editing::Timeline timeline_;
    media::ElementRef audioEncoder_;
    std::unique_ptr<editing::GroupRender> engine_;
    AviBackEnd backEnd_;
};
