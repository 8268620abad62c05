#include "engine/SubtitleFilter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "kalvorvt/EffectProcessor.h"
#include "kalvorvt/EffectPush.h"
#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"

namespace {

// korc pushes filter mode 1 whatever the block holds (PushJobEffectBlock).
constexpr int32_t kJobFilterMode = 1;

void Remove(GstBin* graph, media::ElementRef& element) {
    if (!element) return;
    gst_element_set_state(element.get(), GST_STATE_NULL);
    gst_bin_remove(graph, element.get());
    element.Reset();
}

// Unlinks the pad and drops a converter the splice had put behind it.
void Detach(GstBin* graph, GstPad* pad) {
    media::PadRef peer(gst_pad_get_peer(pad));
    if (!peer) return;
    if (GST_PAD_IS_SRC(pad)) gst_pad_unlink(pad, peer.get());
    else gst_pad_unlink(peer.get(), pad);
    media::ElementRef left(gst_pad_get_parent_element(peer.get()));
    if (left && !HasConnectedPin(left.get(), PadDirection::Input) &&
        !HasConnectedPin(left.get(), PadDirection::Output))
        Remove(graph, left);
}

// Moves the stream time of the segments through a pad by a fixed amount (nanoseconds): only
// the element between the two shifts sees it, as frame times count nowhere else.
GstPadProbeReturn ShiftStreamTime(GstPad*, GstPadProbeInfo* info, gpointer shift) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) return GST_PAD_PROBE_OK;
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format != GST_FORMAT_TIME) return GST_PAD_PROBE_OK;
    GstSegment shifted = *segment;
    const gint64 by = *static_cast<const gint64*>(shift);
    shifted.time = by < 0 && shifted.time < guint64(-by) ? 0 : shifted.time + by;
    GstEvent* replacement = gst_event_new_segment(&shifted);
    gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
    gst_event_unref(event);
    GST_PAD_PROBE_INFO_DATA(info) = replacement;
    return GST_PAD_PROBE_OK;
}

void AddShift(GstPad* pad, gint64 by) {
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, ShiftStreamTime, new gint64(by),
                      [](gpointer data) { delete static_cast<gint64*>(data); });
}

// Builds the splice; on failure returns the reason and leaves the caller to undo it.
std::string Splice(const JobObject& job, const WizardState& state, GstBin* graph, GstPad* upstream,
                   GstPad* downstream, double frameRate, double clockOffset,
                   media::ElementRef& converter, media::ElementRef& effects) {
    std::string error;
    RegisterKalvorVTStatic();
    effects = AddFilter(graph, kKalvorVTFactory, kEffectsFilterName, &error);
    if (!effects) return error;
    std::unique_ptr<IKalvorVT> control = CKalvorVTControl::ForElement(effects.get());
    if (!control) return "The effects element has no control interface.";
    converter = AddFilter(graph, "videoconvert", kSubtitleConverterName, &error);
    if (!converter) return error;
    PushJobEffectBlock(*control, state.effects, frameRate, job.subtitlesPath);

    media::PadRef effectsIn = GetFreePin(effects.get(), PadDirection::Input);
    media::PadRef effectsOut = GetFreePin(effects.get(), PadDirection::Output);
    media::PadRef converterIn = GetFreePin(converter.get(), PadDirection::Input);
    media::PadRef converterOut = GetFreePin(converter.get(), PadDirection::Output);
    if (!effectsIn || !effectsOut || !converterIn || !converterOut)
        return "The effects element has no free pins.";
    if (const auto shift = gint64(std::llround(clockOffset * GST_SECOND)); shift != 0) {
        AddShift(effectsIn.get(), shift);
        AddShift(effectsOut.get(), -shift);
    }

    if (ConnectDirect(upstream, converterIn.get())) {
        if (LinkOutcome link = ConnectIntelligent(graph, converterOut.get(), effectsIn.get()); !link)
            return link.error;
    } else {
        // The converter cannot take this picture: it would only sit unlinked.
        Remove(graph, converter);
        if (LinkOutcome link = ConnectIntelligent(graph, upstream, effectsIn.get()); !link)
            return link.error;
    }
    if (LinkOutcome link = ConnectIntelligent(graph, effectsOut.get(), downstream); !link)
        return link.error;
    return {};
}

}  // namespace

bool JobChangesPictures(const JobObject& job, const WizardState& state) {
    if (!job.subtitlesPath.empty()) return true;
    const int width = std::max(state.width, 1), height = std::max(state.height, 1);
    return !EffectProcessor::Build(state.effects, kJobFilterMode, width, height)->Neutral();
}

SubtitleInsert InsertSubtitleFilter(const JobObject& job, const WizardState& state, GstBin* graph,
                                    GstPad* upstream, GstPad* downstream, double frameRate,
                                    double clockOffset) {
    if (!graph || !upstream || !downstream) return SubtitleInsert::Failed;
    media::ElementRef converter, effects;
    const std::string error =
        Splice(job, state, graph, upstream, downstream, frameRate, clockOffset, converter, effects);
    if (error.empty()) return SubtitleInsert::Inserted;

    ReportGraphError(state.ownerWindow, error);
    // Without effects the job still writes its video: link around the splice.
    Remove(graph, effects);
    Remove(graph, converter);
    Detach(graph, upstream);
    Detach(graph, downstream);
    if (LinkOutcome link = ConnectIntelligent(graph, upstream, downstream); !link) {
        ReportGraphError(state.ownerWindow, link.error);
        return SubtitleInsert::Failed;
    }
    return SubtitleInsert::Bypassed;
}
