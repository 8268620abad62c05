#include "engine/JobRunner.h"

#include <gst/gst.h>

#include <cstdio>

#include "engine/AudioJob.h"
#include "engine/ExtractVideoJob.h"
#include "engine/GraphError.h"
#include "engine/JobObject.h"
#include "engine/JobSteps.h"
#include "engine/MergeVideoJob.h"
#include "engine/MixJob.h"
#include "engine/OutputFile.h"
#include "engine/StillImage.h"
#include "engine/WizardState.h"
#include "platform/media/GstInit.h"

namespace {

constexpr char kNoMediaCaption[] = "Warning!";
constexpr char kNoMediaText[] = "Please, install DirectX.";

int ExitCodeOf(JobEnd end) {
    switch (end) {
        case JobEnd::Done:
        case JobEnd::Stopped:
        case JobEnd::Cancelled:
            return 0;
        case JobEnd::NoStream:
        case JobEnd::Failed:
            break;
    }
    return kExitJobFailed;
}

bool HasDecoders() {
    media::InitGStreamer();
    GstElementFactory* decoders = gst_element_factory_find("decodebin");
    if (decoders) gst_object_unref(decoders);
    return decoders != nullptr;
}

// Among decoders of equal rank the decoding bins take the first by name, for MPEG audio
// libav's: mpg123 decodes the same sound in a fraction of its time and without loading
// libav's many libraries, which a job that decodes nothing else never needs.
void PreferMpegAudioDecoder() {
    GstPluginFeature* mpg123 = gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec");
    if (!mpg123) return;
    if (gst_plugin_feature_get_rank(mpg123) < GST_RANK_SECONDARY)
        gst_plugin_feature_set_rank(mpg123, GST_RANK_SECONDARY);
    gst_object_unref(mpg123);
}

}  // namespace

void CJobRunner::Prologue(const JobObject& job, WizardState& state) {
    state.withAudio = 1;
    state.chosenAudioFormat = -1;
    state.chosenAudioCodec = -1;
    state.chosenVideoCodec = -1;
    state.accepted = state.back = 0;
    state.jobFailed = 0;
    const std::string& input = job.paths[0];
    const size_t slash = input.rfind('/');
    if (state.outputFolder.empty() && slash != std::string::npos)
        state.outputFolder = input.substr(0, slash);
    state.startSeconds = job.start;
    state.endSeconds = job.end;
}

int CJobRunner::RunJob(JobObject& job, WizardState& state) {
    const int32_t kind = state.jobKind;
    if (kind < kFirstJobKind || kind > kLastJobKind) {
        std::fprintf(stderr, "korc: the job file names job kind %d, which korc does not know\n",
                     static_cast<int>(kind));
        return kExitNoJob;
    }
    // The media framework and its decoders are what every job reads with; its editing library
    // starts only for a job that builds a timeline.
    if (!HasDecoders()) {
        ShowOwnedWarning(state.ownerWindow, kNoMediaCaption, kNoMediaText);
        return kExitJobFailed;
    }
    PreferMpegAudioDecoder();
    Prologue(job, state);
    int code = kExitJobFailed;
    switch (static_cast<JobKind>(kind)) {
        case JobKind::ExtractImage:
            code = ExtractImage(job, state);
            break;
        case JobKind::ExtractAudio:
        case JobKind::MergeAudio:
            code = ExitCodeOf(CAudioJob(job, state, pages_, catalogue_).Run());
            break;
        case JobKind::MergeVideo:
            code = ExitCodeOf(CMergeVideoJob(job, state, pages_, catalogue_).Run());
            break;
        case JobKind::ExtractVideo:
            code = ExitCodeOf(CExtractVideoJob(job, state, pages_, catalogue_).Run());
            break;
        case JobKind::MixVideoAudio:
            code = ExitCodeOf(CMixJob(job, state, pages_, catalogue_).Run());
            break;
    }
    job.Finish();
    return code;
}

int CJobRunner::ExtractImage(const JobObject& job, WizardState& state) {
    do {
        if (pages_.ShowPage(WizardPageId::ExtractImage, state) != PageResult::Accepted) return 0;
    } while (!MayReplaceOutput(job, state, state.imageOutputPath));
    for (const std::string& input : {job.paths[0], job.logoPath, job.subtitlesPath}) {
        if (IsSameFile(state.imageOutputPath, input)) {
            ReportGraphError(state.ownerWindow, kSameFileText + state.imageOutputPath);
            return kExitJobFailed;
        }
    }
    StillImageRequest request;
    request.inputPath = job.paths[0];
    request.outputPath = state.imageOutputPath;
    request.seconds = job.end;
    request.format = state.jpegFlag == 1 ? StillFormat::Jpeg : StillFormat::Bmp;
    request.quality = state.imageQuality;
    return ExtractImageJob(job, state, request) ? 0 : kExitJobFailed;
}
