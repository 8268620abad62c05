#include "engine/HeldSeek.h"

#include <memory>
#include <vector>

#include "engine/HeldOutputs.h"
#include "platform/media/StateWait.h"

bool SeekHeld(GstBin* graph, GstElement* reader, GstSeekFlags flags, double start, double end) {
    return SeekAllHeld(graph, {{reader, start, end}}, flags);
}

bool SeekAllHeld(GstBin* graph, const std::vector<HeldSpan>& spans, GstSeekFlags flags) {
    std::vector<std::unique_ptr<HeldOutputs>> outputs;
    outputs.reserve(spans.size());
    for (const HeldSpan& span : spans) outputs.push_back(std::make_unique<HeldOutputs>(span.reader));
    if (gst_element_set_state(GST_ELEMENT(graph), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        return false;
    for (auto& held : outputs)
        if (!held->WaitForAllPads()) return false;
    bool sought = true;
    for (const HeldSpan& span : spans)
        sought = sought && gst_element_seek(span.reader, 1.0, GST_FORMAT_TIME, flags,
                                            GST_SEEK_TYPE_SET,
                                            static_cast<gint64>(span.start * GST_SECOND),
                                            GST_SEEK_TYPE_SET,
                                            static_cast<gint64>(span.end * GST_SECOND));
    for (auto& held : outputs) held->Release();
    return sought && media::WaitForState(GST_ELEMENT(graph));
}
