#include "platform/editing/RenderEngine.h"

#include <ges/ges.h>

#include "platform/editing/EditingInit.h"
#include "platform/media/StateWait.h"

namespace editing {

RenderEngine::RenderEngine() {
    if (InitEditing()) pipeline_ = media::ElementRef(gst_pipeline_new("korc-graph"));
}

RenderEngine::~RenderEngine() {
    // The graph is never left running: its threads would outlive the timeline's objects.
    if (pipeline_) media::ForceNull(pipeline_.get());
}

bool RenderEngine::ConnectFrontEnd(Timeline& timeline, std::string* error) {
    auto fail = [&](const char* text) {
        if (error) *error = text;
        return false;
    };
    if (!pipeline_) return fail("The editing library cannot be started.");
    if (timeline_) return fail("The graph already holds a timeline.");
    if (!timeline.Element() || timeline.GroupCount() == 0)
        return fail("The timeline has no output group.");
    // Sources placed before the commit are what the timeline's compositions hold.
    ges_timeline_commit_sync(timeline.Get());
    if (!gst_bin_add(GST_BIN(pipeline_.get()), timeline.Element()))
        return fail("Cannot add the timeline to the graph.");
    timeline_ = &timeline;
    return true;
}

media::PadRef RenderEngine::GroupOutputPin(int group) const {
    if (!timeline_) return {};
    GESTrack* track = timeline_->Group(group);
    if (!track) return {};
    return media::PadRef::Share(ges_timeline_get_pad_for_track(timeline_->Get(), track));
}

}  // namespace editing
