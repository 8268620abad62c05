// The fast mode's cut: the demuxer of a copy graph is sought to the fragment, so the copy
// holds that stretch only; only a demuxer that cannot seek is refused with the warning.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

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

std::vector<std::string> ElementNames(GstElement* graph) {
    std::vector<std::string> names;
    GstIterator* it = gst_bin_iterate_elements(GST_BIN(graph));
    gst_iterator_foreach(
        it,
        [](const GValue* item, gpointer out) {
            static_cast<std::vector<std::string>*>(out)->emplace_back(
                GST_ELEMENT_NAME(g_value_get_object(item)));
        },
        &names);
    gst_iterator_free(it);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(BypassFilterTest, OnlyADemuxerWhoseSourceCannotSeekGetsTheWarning) {
    const std::string input = env_.Path("input.avi");
    media::AviSpec spec;
    spec.seconds = 1.0, spec.width = 64, spec.height = 48;
    spec.audio = media::AudioCodec::None;
    std::string error;
    ASSERT_TRUE(media::MakeAvi(input, spec, &error)) << error;
    // A pipe holding the whole file: the demuxer reads it, but nothing upstream can seek.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const std::string bytes = TempEnvironment::ReadFile(input);
    ASSERT_LT(bytes.size(), 60000u) << "the pipe must take the file without a reader";
    ASSERT_EQ(write(pipeEnds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(pipeEnds[1]);

    const std::string source = "filesrc location=\"" + input + "\" ! ";
    struct Case {
        std::string graph;
        FastCut cut;
    };
    const Case cases[] = {
        {source + "decodebin ! fakesink", FastCut::NothingToCut},
        {source + "parsebin ! fakesink", FastCut::NothingToCut},
        {"videotestsrc ! fakesink", FastCut::NothingToCut},
        {"fdsrc fd=" + std::to_string(pipeEnds[0]) + " ! avidemux ! image/jpeg ! fakesink", FastCut::Unsupported},
    };
    for (const Case& c : cases) {
        messages_.shown.clear();
        media::ElementRef graph(gst_parse_launch(c.graph.c_str(), nullptr));
        ASSERT_TRUE(graph) << c.graph;
        const std::vector<std::string> elements = ElementNames(graph.get());
        EXPECT_EQ(BypassFilterClass(GST_BIN(graph.get()), true, 0.2, 0.6, 0), c.cut) << c.graph;
        std::vector<std::string> after = ElementNames(graph.get());
        EXPECT_TRUE(std::includes(after.begin(), after.end(), elements.begin(), elements.end()))
            << c.graph << ": nothing is removed";
        GstState state = GST_STATE_VOID_PENDING;
        gst_element_get_state(graph.get(), &state, nullptr, 0);
        EXPECT_EQ(state, GST_STATE_NULL) << c.graph;
        if (c.cut == FastCut::Unsupported) {
            ASSERT_EQ(messages_.shown.size(), 1u) << c.graph;
            EXPECT_EQ(messages_.shown[0].caption, kFastModeCaption);
            EXPECT_EQ(messages_.shown[0].text, kFastModeWarning);
        } else {
            EXPECT_TRUE(messages_.shown.empty()) << c.graph;
        }
        media::ForceNull(graph.get());
    }
    close(pipeEnds[0]);
}

}  // namespace
