// The graph operations every job builds on: pins found by direction (a muxer's requested
// too), pruning what is left unlinked, links that insert converters only where formats
// differ, and the one error box.

#include <gtest/gtest.h>

#include <string>

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

int CountOf(GstElement* bin, const std::string& factory) {
    int count = 0;
    for (GList* item = GST_BIN_CHILDREN(bin); item; item = item->next)
        count += factory == GST_OBJECT_NAME(gst_element_get_factory(GST_ELEMENT(item->data)));
    return count;
}

TEST(GraphHelpers, PinsByDirectionAndTheMuxersRequestedInputs) {
    media::ElementRef bin = Parse(
        "fakesrc ! identity name=i ! fakesink  videotestsrc name=v  audiotestsrc name=a  avimux "
        "name=m");
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
    EXPECT_FALSE(GetFreePin(mux.get(), PadDirection::Input, videoIn.get())) << "wrong direction";
}

TEST(GraphHelpers, RemovesOnlyElementsWithNoLinkedPin) {
    media::ElementRef bin =
        Parse("fakesrc ! identity ! fakesink  identity name=alone1  queue name=alone2  fakesink");
    EXPECT_EQ(RemoveUnconnectedFilters(GST_BIN(bin.get())), 3);
    EXPECT_EQ(CountOf(bin.get(), "identity"), 1);
    EXPECT_EQ(CountOf(bin.get(), "fakesink"), 1);
    EXPECT_EQ(RemoveUnconnectedFilters(GST_BIN(bin.get())), 0);
}

TEST(GraphHelpers, ConnectIntelligentInsertsConvertersOnlyWhereFormatsDiffer) {
    const struct {
        const char* upstream;  // linked to "identity name=out", left unlinked from "in"
        const char* input;     // caps of the capsfilter "in"
        bool linked;
        int videoconverts, audioconverts, audioresamples;
    } cases[] = {
        {"videotestsrc ! video/x-raw,format=I420", "video/x-raw,format=I420", true, 0, 0, 0},
        {"videotestsrc ! video/x-raw,format=BGRx", "video/x-raw,format=I420", true, 1, 0, 0},
        {"audiotestsrc ! audio/x-raw,rate=8000", "audio/x-raw,rate=44100", true, 0, 1, 1},
        {"videotestsrc ! video/x-raw", "audio/x-raw", false, 0, 0, 0},
        {"videotestsrc ! jpegenc", "image/png", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const std::string description = std::string(c.upstream) +
                                        " ! identity name=out  capsfilter name=in caps=" + c.input +
                                        " ! fakesink";
        media::ElementRef bin = Parse(description.c_str());
        media::ElementRef out = Child(bin.get(), "out"), in = Child(bin.get(), "in");
        media::PadRef from = GetPin(out.get(), PadDirection::Output);
        media::PadRef to = GetPin(in.get(), PadDirection::Input);
        const LinkOutcome outcome = ConnectIntelligent(GST_BIN(bin.get()), from.get(), to.get());
        EXPECT_EQ(outcome.ok, c.linked) << description << outcome.error;
        EXPECT_EQ(outcome.error.empty(), c.linked) << description;
        EXPECT_EQ(gst_pad_is_linked(to.get()), c.linked) << description;
        EXPECT_EQ(CountOf(bin.get(), "videoconvert"), c.videoconverts) << description;
        EXPECT_EQ(CountOf(bin.get(), "audioconvert"), c.audioconverts) << description;
        EXPECT_EQ(CountOf(bin.get(), "audioresample"), c.audioresamples) << description;
    }
}

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
