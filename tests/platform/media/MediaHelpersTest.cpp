// The small helpers the graphs are built with: pad lookups and bounded state changes.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/PadLookup.h"
#include "platform/media/StateWait.h"

namespace {

using media::PadDirection;

TEST(PadLookup, FindsFirstFreeAndConnectedPadsByDirection) {
    media::InitGStreamer();
    media::ElementRef bin(gst_parse_launch("fakesrc name=a ! tee name=t ! fakesink", nullptr));
    GstElement* tee = gst_bin_get_by_name(GST_BIN(bin.get()), "t");
    media::ElementRef teeRef(tee);  // takes the reference gst_bin_get_by_name gave
    media::PadRef spare(gst_element_request_pad_simple(tee, "src_%u"));

    media::PadRef input = media::FindPin(tee, PadDirection::Input);
    ASSERT_TRUE(input);
    EXPECT_EQ(GST_PAD_DIRECTION(input.get()), GST_PAD_SINK);

    media::PadRef linked = media::FindConnectedPin(tee, PadDirection::Output);
    media::PadRef free = media::FindFreePin(tee, PadDirection::Output);
    ASSERT_TRUE(linked && free);
    EXPECT_TRUE(gst_pad_is_linked(linked.get()));
    EXPECT_EQ(free.get(), spare.get());
    EXPECT_FALSE(media::FindFreePin(tee, PadDirection::Input));
    EXPECT_FALSE(media::FindPin(nullptr, PadDirection::Input));
    gst_element_release_request_pad(tee, spare.get());
}

TEST(StateWait, ReportsFailureAndReachesNull) {
    media::InitGStreamer();
    media::ElementRef good(gst_parse_launch("fakesrc ! fakesink", nullptr));
    EXPECT_TRUE(media::ChangeState(good.get(), GST_STATE_PAUSED, 2000));
    media::ForceNull(good.get());
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(good.get(), &state, nullptr, 0);
    EXPECT_EQ(state, GST_STATE_NULL);

    media::ElementRef bad(gst_parse_launch("filesrc location=/nonexistent/x ! fakesink", nullptr));
    EXPECT_FALSE(media::ChangeState(bad.get(), GST_STATE_PAUSED, 2000));
    media::ForceNull(bad.get());
}

}  // namespace
