#pragma once

// Steps the korc jobs share: preparing and showing the codec pages, writing their audio as WAV,
// running their graph under the progress dialog, and failing with a report.

#include <gst/gst.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine/CodecCatalogue.h"
#include "engine/OutputFile.h"
#include "engine/PageDriver.h"
#include "engine/WavDest.h"
#include "engine/WizardState.h"
#include "platform/editing/GroupRender.h"
#include "platform/editing/MediaDet.h"
#include "platform/media/GstRef.h"

class JobObject;

// How a job ended: Done and Stopped leave an output; Cancelled leaves nothing and is no
// failure; NoStream and Failed were reported to the user.
enum class JobEnd { Done, Stopped, Cancelled, NoStream, Failed };

// The codec pages' starting values for a job that writes video: full quality, a key frame
// every 60 frames, and no encoder or format chosen, so that the pages choose their defaults.
void ResetVideoEncoderChoice(WizardState& state);

// Shows the audio codec page with the step's caption and default button; the page preselects
// the MP3 encoder when mp3 is set, else PCM.
PageResult ShowAudioCodecPage(IPageDriver& pages, WizardState& state, bool mp3, const char* caption,
                              const char* buttonText);
// Shows the video codec page with the step's caption, preselecting the MPEG-4 encoder.
PageResult ShowVideoCodecPage(IPageDriver& pages, WizardState& state, const char* caption);

// The codec pages a job shows after its first page, read anew each time that page is accepted.
struct CodecSteps {
    bool audio = false;
    bool mp3 = false;
    const char* audioCaption = "";
    const char* audioButton = "";
    bool video = false;
    const char* videoCaption = "";
};

// Shows the job's first page, then its audio and video codec pages in that order; Back goes
// to the page shown before.
JobEnd ShowJobPages(IPageDriver& pages, WizardState& state, WizardPageId first,
                    const std::function<CodecSteps()>& steps);

// Adds the writer over the open file fd under its fixed name, and links the audio at pin
// into it, through the chosen format and the encoder when there is one (added to the graph
// under its fixed name); the error text when a step fails. A failed write names shownPath.
bool AttachAudioWriter(GstBin* graph, media::PadRef pin, const AudioFormat& format,
                       GstElement* encoder, WavDest& writer, int fd, const std::string& shownPath,
                       std::string* error);

// Asks before a file of that name is replaced: true when there is no such file yet, or the
// user agreed to replace it, or it is one of the job's inputs or no plain file (the job
// refuses those itself, with its own message).
bool MayReplaceOutput(const JobObject& job, const WizardState& state, const std::string& path);
// After the user's stop: says how many seconds of output the written file holds, or, with
// an empty path, that nothing was written.
void ReportStop(const WizardState& state, const std::string& path);
// The extension of an audio-only output: what the chosen encoder writes (".mp3" for the MP3
// encoder, ".wav" for anything else), whatever the first page's choice was.
std::string AudioOutputExtension(const WizardState& state, const CodecCatalogue& catalogue);

// Reports the text to the user once, marks the job failed and drops the unfinished output.
JobEnd FailJob(WizardState& state, OutputFile& output, const std::string& text);

inline constexpr char kRunCaption[] = "Kalvor Wizard - Media Processing";

// Runs the graph under the progress dialog with the caption, which counts from progressBase
// of the graph's time and closes itself at the end when autoClose, and brings the graph
// down: its writers are done only then. A failed run marks the job failed and drops the
// output; the caller finishes and commits it otherwise.
// The render, when given, readies the graph first (a plain span is sought to its start).
ProgressOutcome RunJobGraph(IPageDriver& pages, WizardState& state, const ProgressGraph& graph,
                            const std::string& destination, int64_t progressBase,
                            OutputFile& output, const char* caption = kRunCaption,
                            bool autoClose = false, editing::GroupRender* render = nullptr);

// Whether the output can come from the job's one span of a file decoded plainly (SpanRender)
// instead of a timeline: no logo, nothing drawn on the pictures, the file holds one stream of
// each kind the output takes, and its video is not turned by a tag and keeps the file's own
// size and frame rate. Never while korc's environment sets kTimelineVariable (non-empty): then
// every job goes through a timeline, which is what the plain span is checked against.
inline constexpr char kTimelineVariable[] = "KORC_TIMELINE";
bool PlainSpanWillDo(const JobObject& job, const WizardState& state,
                     const editing::MediaDetFacts& file, bool video, bool audio);
