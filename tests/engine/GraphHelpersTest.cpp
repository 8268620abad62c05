// The graph operations every job builds on: pins found by direction (a muxer's requested
// too), pruning what is left unlinked, links that insert converters only where formats
// differ, and the one error box.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CapturedMessages.h"
#include "engine/GraphError.h"
#include "engine/GraphHelpers.h"
#include "platform/media/GstInit.h"

namespace {

media::ElementRef Parse(const char* description) {
    media::InitGStreamer();
    GError* error = nullptr;
    media::ElementRef bin(gst_parse_launch(description, &error));
    EXPECT_EQ(error, nullptr) << (error ? error->message : "");
    if (error) g_error_free(error);
    return bin;
}

media::ElementRef Child(GstElement* bin, const char* name) {
    return media::ElementRef(gst_bin_get_by_name(GST_BIN(bin), name));
}

std::vector<std::string> FactoriesOf(GstElement* bin) {
    std::vector<std::string> names;
    for (GList* item = GST_BIN_CHILDREN(bin); item; item = item->next)
        names.push_back(GST_OBJECT_NAME(gst_element_get_factory(GST_ELEMENT(item->data))));
    return names;
}

int CountOf(const std::vector<std::string>& names, const std::string& name) {
    int count = 0;
    for (const auto& n : names) count += n == name;
    return count;
}

TEST(GraphHelpers, PinsByDirectionAndTheMuxersRequestedInputs) {
    media::ElementRef bin = Parse(
        "fakesrc ! identity name=i ! fakesink  videotestsrc name=v  audiotestsrc name=a  avimux name=m");
    media::ElementRef identity = Child(bin.get(), "i"), mux = Child(bin.get(), "m");
    media::ElementRef video = Child(bin.get(), "v"), audio = Child(bin.get(), "a");

    EXPECT_TRUE(HasConnectedPin(identity.get(), PadDirection::Input));
    EXPECT_TRUE(HasConnectedPin(identity.get(), PadDirection::Output));
    EXPECT_FALSE(HasConnectedPin(audio.get(), PadDirection::Output));
    EXPECT_FALSE(GetFreePin(identity.get(), PadDirection::Output));
    EXPECT_TRUE(GetPin(identity.get(), PadDirection::Output));
    EXPECT_FALSE(GetPin(mux.get(), PadDirection::Input)) << "a plain lookup never requests";

    // Each upstream gets an input of its own kind from the muxer's request templates.
    media::PadRef videoOut = GetPin(video.get(), PadDirection::Output);
    media::PadRef audioOut = GetPin(audio.get(), PadDirection::Output);
    media::PadRef videoIn = GetFreePin(mux.get(), PadDirection::Input, videoOut.get());
    ASSERT_TRUE(videoIn);
    EXPECT_EQ(std::string(GST_PAD_NAME(videoIn.get())).rfind("video_", 0), 0u);
    ASSERT_TRUE(ConnectDirect(videoOut.get(), videoIn.get()));
    media::PadRef audioIn = GetFreePin(mux.get(), PadDirection::Input, audioOut.get());
    ASSERT_TRUE(audioIn);
    EXPECT_EQ(std::string(GST_PAD_NAME(audioIn.get())).rfind("audio_", 0), 0u);
    EXPECT_NE(audioIn.get(), videoIn.get());
    EXPECT_FALSE(GetFreePin(mux.get(), PadDirection::Input, videoIn.get())) << "wrong direction";
}

TEST(GraphHelpers, RemovesOnlyElementsWithNoLinkedPin) {
    media::ElementRef bin =
        Parse("fakesrc ! identity ! fakesink  identity name=alone1  queue name=alone2  fakesink");
    EXPECT_EQ(RemoveUnconnectedFilters(GST_BIN(bin.get())), 3);
    const auto left = FactoriesOf(bin.get());
    EXPECT_EQ(left.size(), 3u);
    EXPECT_EQ(CountOf(left, "identity"), 1);
    EXPECT_EQ(RemoveUnconnectedFilters(GST_BIN(bin.get())), 0);
}

struct LinkCase {
    const char* name;
    const char* description;  // elements "out" and "in" stay unlinked
    bool linked;
    int videoconverts;
    int audioconverts;
    int audioresamples;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class ConnectIntelligentTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ConnectIntelligentTest, InsertsConvertersOnlyWhereFormatsDiffer) {
    const LinkCase& c = GetParam();
    media::ElementRef bin = Parse(c.description);
    media::ElementRef out = Child(bin.get(), "out"), in = Child(bin.get(), "in");
    media::PadRef from = GetPin(out.get(), PadDirection::Output);
    media::PadRef to = GetPin(in.get(), PadDirection::Input);
    const LinkOutcome outcome = ConnectIntelligent(GST_BIN(bin.get()), from.get(), to.get());
    EXPECT_EQ(outcome.ok, c.linked) << outcome.error;
    EXPECT_EQ(outcome.error.empty(), c.linked);
    const auto names = FactoriesOf(bin.get());
    EXPECT_EQ(CountOf(names, "videoconvert"), c.videoconverts);
    EXPECT_EQ(CountOf(names, "audioconvert"), c.audioconverts);
    EXPECT_EQ(CountOf(names, "audioresample"), c.audioresamples);
    EXPECT_EQ(gst_pad_is_linked(to.get()), c.linked);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectIntelligentTest,
    ::testing::Values(
        LinkCase{"SameVideo", "videotestsrc ! video/x-raw,format=I420 ! identity name=out  "
                              "capsfilter name=in caps=video/x-raw,format=I420 ! fakesink",
                 true, 0, 0, 0},
        LinkCase{"VideoFormats", "videotestsrc ! video/x-raw,format=BGRx ! identity name=out  "
                                 "capsfilter name=in caps=video/x-raw,format=I420 ! fakesink",
                 true, 1, 0, 0},
        LinkCase{"AudioRates", "audiotestsrc ! audio/x-raw,rate=8000 ! identity name=out  "
                               "capsfilter name=in caps=audio/x-raw,rate=44100 ! fakesink",
                 true, 0, 1, 1},
        LinkCase{"VideoIntoAudio", "videotestsrc ! video/x-raw ! identity name=out  "
                                   "capsfilter name=in caps=audio/x-raw ! fakesink",
                 false, 0, 0, 0},
        LinkCase{"CodedIntoRaw", "videotestsrc ! jpegenc ! identity name=out  "
                                 "capsfilter name=in caps=image/png ! fakesink",
                 false, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphError, OneWarningCaptionedKalvorEvenForAGoneOwner) {
    CapturedMessages messages;
    ReportGraphError(0, "Internal data stream error.");
    ReportGraphError(0x7FFFFFF0u, "second");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].caption, "Kalvor");
    EXPECT_EQ(messages.shown[0].text, "Internal data stream error.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(messages.shown[1].text, "second");
}

}  // namespace
