#include "engine/SubtitleFilter.h"

#include <memory>
#include <string>

#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "kalvorvt/EffectPush.h"
#include "kalvorvt/GstKalvorVT.h"
#include "kalvorvt/KalvorVTControl.h"

namespace {

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

// Builds the splice; on failure returns the reason and leaves the caller to undo it.
std::string Splice(const JobObject& job, const WizardState& state, GstBin* graph,
                   GstPad* upstream, GstPad* downstream, double frameRate,
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

SubtitleInsert InsertSubtitleFilter(const JobObject& job, const WizardState& state, GstBin* graph,
                                    GstPad* upstream, GstPad* downstream, double frameRate) {
    if (!graph || !upstream || !downstream) return SubtitleInsert::Failed;
    media::ElementRef converter, effects;
    const std::string error =
        Splice(job, state, graph, upstream, downstream, frameRate, converter, effects);
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
