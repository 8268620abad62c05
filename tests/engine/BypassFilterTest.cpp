// The fast mode's cut: the demuxer of a copy graph is sought to the fragment, so the copy
// holds that stretch only; a graph without a demuxer is refused with the warning.

#include <gtest/gtest.h>

#include <string>

#include "CapturedMessages.h"
#include "engine/BypassFilter.h"
#include "platform/media/GstInit.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/StateWait.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class BypassFilterTest : public TempFolderTest {
protected:
    void SetUp() override { media::InitGStreamer(); }
    CapturedMessages messages_;
};

TEST_F(BypassFilterTest, CopiesOnlyTheFragment) {
    const std::string input = env_.Path("input.avi"), output = env_.Path("cut.avi");
    media::AviSpec spec;
    spec.seconds = 3.0, spec.width = 160, spec.height = 120;
    spec.audio = media::AudioCodec::None;
    std::string error;
    ASSERT_TRUE(media::MakeAvi(input, spec, &error)) << error;

    media::ElementRef graph(gst_parse_launch(("filesrc location=\"" + input +
                                              "\" ! avidemux ! queue ! image/jpeg ! avimux ! "
                                              "filesink location=\"" +
                                              output + "\"")
                                                 .c_str(),
                                             nullptr));
    ASSERT_TRUE(graph);
    struct Down {  // streaming threads left running would hold the program at exit
        GstElement* graph;
        ~Down() { media::ForceNull(graph); }
    } down{graph.get()};
    EXPECT_EQ(BypassFilterClass(GST_BIN(graph.get()), false, 1.0, 2.0, 0), FastCut::NotAsked);
    ASSERT_EQ(BypassFilterClass(GST_BIN(graph.get()), true, 1.0, 2.0, 0), FastCut::Sought);
    ASSERT_TRUE(media::ChangeState(graph.get(), GST_STATE_PLAYING, 5000));
    media::BusRef bus(gst_element_get_bus(graph.get()));
    media::MessageRef end(gst_bus_timed_pop_filtered(
        bus.get(), 10 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    ASSERT_TRUE(end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS);
    EXPECT_TRUE(messages_.shown.empty());

    media::MediaProbe probe;
    media::MediaFacts facts;
    ASSERT_TRUE(probe.Probe(output, facts)) << probe.LastError();
    EXPECT_NEAR(facts.duration, 1.0, 0.1) << "every JPEG frame is a key frame";
}

TEST_F(BypassFilterTest, AGraphWithoutADemuxerIsRefused) {
    media::ElementRef graph(gst_parse_launch("videotestsrc ! fakesink", nullptr));
    EXPECT_EQ(BypassFilterClass(GST_BIN(graph.get()), true, 1.0, 2.0, 0), FastCut::Unsupported);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].caption, kFastModeCaption);
    EXPECT_EQ(messages_.shown[0].text, kFastModeWarning);
}

}  // namespace
