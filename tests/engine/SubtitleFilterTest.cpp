// The effects element spliced into a job's video: the job's effect block with filter mode
// 1, subtitles on only with a file, and, when the splice fails, the video linked around it.

#include <gtest/gtest.h>

#include <string>

#include "CapturedMessages.h"
#include "engine/GraphHelpers.h"
#include "engine/SubtitleFilter.h"
#include "platform/media/GstInit.h"
#include "platform/media/StateWait.h"
#include "support/TempEnvironment.h"

namespace {

class SubtitleFilterTest : public TempFolderTest {
protected:
    SubtitleInsert Insert(const char* upstreamDescription, double frameRate = 25.0) {
        media::InitGStreamer();
        const std::string description =
            std::string(upstreamDescription) + " ! identity name=up  fakesink name=down";
        graph_ = media::ElementRef(gst_parse_launch(description.c_str(), nullptr));
        upstream_ = GetPin(Named("up").get(), PadDirection::Output);
        downstream_ = GetPin(Named("down").get(), PadDirection::Input);
        return InsertSubtitleFilter(job_, state_, GST_BIN(graph_.get()), upstream_.get(),
                                    downstream_.get(), frameRate);
    }
    media::ElementRef Named(const char* name) {
        return media::ElementRef(gst_bin_get_by_name(GST_BIN(graph_.get()), name));
    }
    // Runs the graph to its end; false on an error or after a few seconds.
    bool RunsToEnd() {
        if (!media::ChangeState(graph_.get(), GST_STATE_PLAYING, 5000)) return false;
        media::BusRef bus(gst_element_get_bus(graph_.get()));
        media::MessageRef message(gst_bus_timed_pop_filtered(
            bus.get(), 10 * GST_SECOND,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
        media::ForceNull(graph_.get());
        return message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
    }

    JobObject job_;
    WizardState state_;
    media::ElementRef graph_;
    media::PadRef upstream_, downstream_;
};

TEST_F(SubtitleFilterTest, PushesTheJobsBlockWithFilterModeOneAndSubtitlesOnlyWithAFile) {
    for (const bool withFile : {false, true}) {
        CapturedMessages messages;
        state_.effects = DefaultEffectParams();
        state_.effects.invert = 1;
        state_.effects.filterMode = 0;
        job_.subtitlesPath = withFile ? env_.Path("film.srt") : "";
        if (withFile)
            TempEnvironment::WriteFile(job_.subtitlesPath,
                                       "1\n00:00:00,000 --> 00:00:01,000\nHi\n");
        ASSERT_EQ(Insert("videotestsrc num-buffers=5", 29.97), SubtitleInsert::Inserted);

        media::ElementRef effects = Named(kEffectsFilterName);
        ASSERT_TRUE(effects && Named(kSubtitleConverterName));
        int invert = 0, filterMode = 0, subtitleMode = 0;
        double frameRate = 0;
        gchar* file = nullptr;
        g_object_get(effects.get(), "invert", &invert, "filter-mode", &filterMode, "subtitle-mode",
                     &subtitleMode, "frame-rate", &frameRate, "subtitle-file", &file, nullptr);
        EXPECT_EQ(invert, 1);
        EXPECT_EQ(filterMode, 1);
        EXPECT_EQ(subtitleMode, withFile ? 0 : 2);
        EXPECT_EQ(std::string(file ? file : ""), job_.subtitlesPath);
        g_free(file);
        EXPECT_DOUBLE_EQ(frameRate, 29.97);
        // Running to the end needs both spliced elements linked.
        EXPECT_TRUE(RunsToEnd());
        EXPECT_TRUE(messages.shown.empty());
    }
}

// A coded picture neither the converter nor the effects element can take: the splice fails
// once, loudly, and the job's video goes straight on.
TEST_F(SubtitleFilterTest, AFailedSpliceLinksAroundTheFilter) {
    CapturedMessages messages;
    EXPECT_EQ(Insert("videotestsrc num-buffers=3 ! jpegenc"), SubtitleInsert::Bypassed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Kalvor");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(Named(kEffectsFilterName));
    EXPECT_FALSE(Named(kSubtitleConverterName));
    media::PadRef peer(gst_pad_get_peer(upstream_.get()));
    EXPECT_EQ(peer.get(), downstream_.get());
    EXPECT_EQ(RemoveUnconnectedFilters(GST_BIN(graph_.get())), 0) << "nothing left behind";
    EXPECT_TRUE(RunsToEnd());
}

}  // namespace
