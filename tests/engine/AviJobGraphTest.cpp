// A video job's graph built with the helpers from generated media: video through the effects
// splice into the "XviD" encoder, audio through the MP3 format step into the MP3 encoder, both
// into avimux and a file, which must hold both streams for the input's whole length.

#include <gtest/gtest.h>

#include <mutex>
#include <string>

#include "CapturedMessages.h"
#include "SharedCatalogue.h"
#include "engine/CodecCatalogue.h"
#include "engine/EncoderSetup.h"
#include "engine/GraphHelpers.h"
#include "engine/SubtitleFilter.h"
#include "platform/media/ErrorText.h"
#include "platform/media/GstInit.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/StateWait.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

class AviJobGraphTest : public TempFolderTest {
public:
    // Runs on a streaming thread, as linking a decoder's or a timeline's pads does.
    void LinkDecoded(GstPad* pad) {
        media::CapsRef caps(gst_pad_query_caps(pad, nullptr));
        const std::string kind = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
        std::lock_guard lock(mutex_);
        if (kind.rfind("video/", 0) == 0) {
            media::PadRef input = GetPin(videoEncoder_.get(), PadDirection::Input);
            videoLinked_ = InsertSubtitleFilter(job_, state_, GST_BIN(pipeline_.get()), pad,
                                                input.get(), 25.0) == SubtitleInsert::Inserted;
        } else if (kind.rfind("audio/", 0) == 0) {
            audioLinked_ = ConnectThroughAudioFormat(GST_BIN(pipeline_.get()), state_.audioFormat,
                                                     pad, audioEncoder_.get())
                               .ok;
        }
    }

    media::ElementRef Add(const char* factory, const char* name = nullptr) {
        std::string error;
        media::ElementRef element = AddFilter(GST_BIN(pipeline_.get()), factory, name, &error);
        EXPECT_TRUE(element) << error;
        return element;
    }

    std::mutex mutex_;
    JobObject job_;
    WizardState state_;
    media::ElementRef pipeline_, videoEncoder_, audioEncoder_;
    bool videoLinked_ = false, audioLinked_ = false;
};

TEST_F(AviJobGraphTest, WritesBothStreamsForTheWholeLength) {
    CapturedMessages messages;
    const std::string input = env_.Path("input.avi"), output = env_.Path("output.avi");
    media::AviSpec spec;
    spec.seconds = 2.0, spec.width = 160, spec.height = 120;
    std::string error;
    ASSERT_TRUE(media::MakeAvi(input, spec, &error)) << error;

    const CodecCatalogue& catalogue = Catalogue();
    state_.effects = DefaultEffectParams();
    state_.chosenVideoCodec = catalogue.PreferredVideoRow("XviD");
    state_.quality = 80, state_.keyFrameRate = 25;
    state_.chosenAudioCodec = catalogue.PreferredAudioRow("LAME", AudioWriter::Avi);
    state_.mp3SampleRate = 32000, state_.mp3Bitrate = 96, state_.mp3Stereo = 0;

    pipeline_ = media::ElementRef(gst_pipeline_new("job"));
    media::ElementRef source = Add("filesrc"), decoder = Add("decodebin");
    media::ElementRef mux = Add("avimux", "KRAvi Mux Filter");
    media::ElementRef writer = Add("filesink", "KRFile Writer");
    g_object_set(source.get(), "location", input.c_str(), nullptr);
    g_object_set(writer.get(), "location", output.c_str(), nullptr);
    ASSERT_TRUE(gst_element_link(source.get(), decoder.get()));
    ASSERT_TRUE(gst_element_link(mux.get(), writer.get()));

    videoEncoder_ = CreateSelectedVideoCompressor(state_, catalogue);
    audioEncoder_ = CreateSelectedAudioCompressor(state_, catalogue);
    ASSERT_TRUE(videoEncoder_ && audioEncoder_);
    ApplyVideoCompression(state_, catalogue, videoEncoder_.get());
    ApplyAudioFormat(state_, catalogue, audioEncoder_.get());
    for (GstElement* encoder : {videoEncoder_.get(), audioEncoder_.get()}) {
        ASSERT_TRUE(gst_bin_add(GST_BIN(pipeline_.get()), encoder));
        media::PadRef out = GetPin(encoder, PadDirection::Output);
        media::PadRef in = GetFreePin(mux.get(), PadDirection::Input, out.get());
        ASSERT_TRUE(ConnectDirect(out.get(), in.get()));
    }
    g_signal_connect(decoder.get(), "pad-added",
                     G_CALLBACK(+[](GstElement*, GstPad* pad, AviJobGraphTest* self) {
                         self->LinkDecoded(pad);
                     }),
                     this);

    ASSERT_TRUE(media::ChangeState(pipeline_.get(), GST_STATE_PLAYING, 10000));
    media::BusRef bus(gst_element_get_bus(pipeline_.get()));
    media::MessageRef end(gst_bus_timed_pop_filtered(
        bus.get(), 30 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    media::ForceNull(pipeline_.get());
    ASSERT_TRUE(end);
    ASSERT_EQ(GST_MESSAGE_TYPE(end.get()), GST_MESSAGE_EOS) << media::ErrorText(end.get());
    EXPECT_TRUE(videoLinked_);
    EXPECT_TRUE(audioLinked_);
    EXPECT_TRUE(messages.shown.empty());

    media::MediaProbe probe;
    media::MediaFacts facts;
    ASSERT_TRUE(probe.Probe(output, facts)) << probe.LastError();
    ASSERT_EQ(facts.streams.size(), 2u);
    int video = 0, audio = 0;
    for (const auto& stream : facts.streams) {
        if (stream.kind == media::StreamKind::Video) {
            ++video;
            EXPECT_EQ(stream.width, 160);
            EXPECT_EQ(stream.height, 120);
            EXPECT_TRUE(stream.fourCC == media::MakeFourCC('D', 'I', 'V', 'X') ||
                        stream.fourCC == media::MakeFourCC('X', 'V', 'I', 'D') ||
                        stream.fourCC == media::MakeFourCC('F', 'M', 'P', '4'))
                << stream.caps;
        } else if (stream.kind == media::StreamKind::Audio) {
            ++audio;
            EXPECT_EQ(stream.sampleRate, 32000);
            EXPECT_EQ(stream.channels, 1);
        }
    }
    EXPECT_EQ(std::pair(video, audio), std::pair(1, 1));
    EXPECT_NEAR(facts.duration, 2.0, 0.15);
}

}  // namespace
