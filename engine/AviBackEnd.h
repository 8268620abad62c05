#pragma once

// The back end of the jobs that write an AVI: "KRAvi Mux Filter" into "KRFile Writer", which
// writes to the job's output file. Raw video enters through the effects splice (when it would
// change a picture) and the chosen encoder (24-bit RGB frames without one), raw audio through the chosen format and encoder
// (16-bit PCM without one); a compressed stream is muxed as it is.

#include <gst/gst.h>

#include <string>

#include "engine/CodecCatalogue.h"
#include "engine/GraphHelpers.h"
#include "engine/JobObject.h"
#include "engine/PageDriver.h"
#include "engine/WizardState.h"
#include "platform/editing/GroupRender.h"
#include "platform/media/GstRef.h"

inline constexpr char kAviMuxName[] = "KRAvi Mux Filter";
inline constexpr char kFileWriterName[] = "KRFile Writer";
inline constexpr char kVideoCompressorName[] = "KRVideo Compressor";
inline constexpr char kAudioCompressorName[] = "KRAudio Compressor";

// The sound without an encoder reaches the muxer a second at a time: the muxer writes each
// buffer as a chunk, and a second is the interleave the output is made with. Links pcm into
// the chunker and returns its output; empty when it cannot be built.
media::PadRef ChunkedPcm(GstBin* graph, GstPad* pcm, std::string* error);

class AviBackEnd {
public:
    // Adds the muxer and the writer to the graph; fd stays the caller's and must stay open
    // until the graph is down. A file that is kept goes to the disk as it is written; a
    // temporary one read back and dropped need not.
    bool Attach(GstBin* graph, int fd, std::string* error, bool kept = true);
    GstElement* Mux() const { return mux_.get(); }

    // Each links its stream into a new input of the muxer. The subtitle frame rate and clock
    // offset go to the effects element (InsertSubtitleFilter).
    LinkOutcome LinkVideo(GstPad* raw, media::ElementRef encoder, const JobObject& job,
                          const WizardState& state, double subtitleFrameRate,
                          double subtitleClockOffset);
    LinkOutcome LinkCopy(GstPad* compressed);
    // Builds the audio path up to the muxer now and returns its input, so that a stream
    // which appears only once the graph runs finds the muxer already complete.
    media::PadRef PrepareAudio(media::ElementRef encoder, const WizardState& state,
                               std::string* error);

    // Links the timeline's video group (0) through the chosen video encoder and, withAudio,
    // its audio group (1) through the audio encoder (16-bit PCM without one). An encoder
    // with settings of its own has them shown by the pages before anything is linked.
    LinkOutcome LinkGroups(const editing::GroupRender& engine, const JobObject& job,
                           WizardState& state, const CodecCatalogue& catalogue, IPageDriver& pages,
                           double subtitleFrameRate, double subtitleClockOffset, bool withAudio,
                           media::ElementRef audioEncoder);

private:
    media::PadRef MuxInput(GstPad* peer, const char* kind);

    GstBin* graph_ = nullptr;
    media::ElementRef mux_;
    media::ElementRef writer_;
};
