// The progress dialog on real pipelines made from generated media: a run reaches "Done"
// with the whole output and hands the effects element its clock; an output that cannot be
// written, or a write that fails mid-run, is one error box and the failed state, never
// "100% complete"; a user's stop leaves a file that still probes with a duration.

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <set>
#include <string>

#include "CapturedMessages.h"
#include "engine/ProgressDialog.h"
#include "engine/SubtitleFilter.h"
#include "engine/WizardPage.h"
#include "kalvorvt/GstKalvorVT.h"
#include "platform/media/GstInit.h"
#include "platform/media/MediaProbe.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

class ProgressDialogTest : public TempFolderTest {
protected:
    void SetUp() override {
        media::InitGStreamer();
        RegisterKalvorVTStatic();
        state_.jobKind = 4;  // a merge: the effects element follows the output's time
        state_.stepCaption = "Kalvor Wizard - Media Processing";
    }

    // A re-encoding job on a generated AVI; sync paces it at the speed of its clock.
    media::ElementRef MakeGraph(double seconds, const std::string& output, bool paced,
                                int width = 160, int height = 120) {
        const std::string input = env_.Path("input.avi");
        media::AviSpec spec;
        spec.seconds = seconds, spec.width = width, spec.height = height;
        spec.audio = media::AudioCodec::None;
        std::string error;
        EXPECT_TRUE(media::MakeAvi(input, spec, &error)) << error;
        const std::string description =
            "filesrc location=\"" + input +
            "\" ! avidemux ! jpegdec ! videoconvert ! kalvorvt name=" + kEffectsFilterName +
            " ! videoconvert ! jpegenc ! avimux name=mux ! filesink location=\"" + output +
            "\" sync=" + (paced ? "true" : "false");
        GError* parseError = nullptr;
        media::ElementRef pipeline(gst_parse_launch(description.c_str(), &parseError));
        EXPECT_TRUE(pipeline && !parseError) << (parseError ? parseError->message : "");
        if (parseError) g_error_free(parseError);
        state_.startSeconds = 0;
        state_.endSeconds = seconds;
        state_.destination = output;
        return pipeline;
    }

    static std::string Text(QWidget* dialog, int id) {
        if (auto* label = dialog->findChild<QLabel*>(ControlName(id)))
            return label->text().toStdString();
        return dialog->findChild<QPushButton*>(ControlName(id))->text().toStdString();
    }

    // An AVI the muxer finished: its RIFF size covers the whole file and it has its index.
    static bool FinishedAvi(const std::string& path) {
        const std::string bytes = TempEnvironment::ReadFile(path);
        if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return false;
        const auto* size = reinterpret_cast<const unsigned char*>(bytes.data() + 4);
        const uint32_t riff = size[0] | size[1] << 8 | size[2] << 16 | uint32_t{size[3]} << 24;
        return riff == bytes.size() - 8 && bytes.find("idx1") != std::string::npos;
    }

    static double Duration(const std::string& path) {
        media::MediaProbe probe;
        media::MediaFacts facts;
        return probe.Probe(path, facts) ? facts.duration : -1.0;
    }

    WizardState state_;
};

TEST_F(ProgressDialogTest, ARunReachesDoneAndClosesItself) {
    CapturedMessages messages;
    const std::string output = env_.Path("merged.avi");
    media::ElementRef pipeline = MakeGraph(2.0, output, true);
    ASSERT_TRUE(pipeline);
    state_.autoClose = 1;
    // As for every AVI output, the muxer's position measures what was written.
    media::ElementRef mux(gst_bin_get_by_name(GST_BIN(pipeline.get()), "mux"));
    CProgressDialog dialog(state_, {pipeline.get(), mux.get()});
    dialog.show();
    EXPECT_EQ(dialog.windowTitle().toStdString(), state_.stepCaption);
    EXPECT_EQ(Text(&dialog, kButtonForward), "Cancel");
    EXPECT_EQ(Text(&dialog, kDestinationText), output);
    EXPECT_EQ(Text(&dialog, kSavedText), "Saved: 0 of 2 seconds");
    EXPECT_EQ(state_.accepted, 1) << "running";

    std::set<std::string> percents;
    ASSERT_TRUE(qttest::WaitUntil(
        [&] {
            percents.insert(Text(&dialog, kPercentText));
            return !dialog.isVisible();
        },
        20000));
    EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Finished);
    EXPECT_TRUE(percents.count("50% complete")) << "the percentage follows the output";
    EXPECT_EQ(Text(&dialog, kPercentText), "100% complete");
    EXPECT_EQ(Text(&dialog, kSavedText), "Saved: 2 of 2 seconds");
    EXPECT_EQ(Text(&dialog, kButtonForward), "Done");
    EXPECT_EQ(dialog.findChild<QProgressBar*>(ControlName(kProgressBar))->value(), 2);
    EXPECT_EQ(state_.accepted, 0);
    EXPECT_EQ(state_.jobFailed, 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(FinishedAvi(output));
    EXPECT_NEAR(Duration(output), 2.0, 0.2);
}

TEST_F(ProgressDialogTest, AnOutputThatCannotBeWrittenIsOneErrorBoxAndAFailure) {
    TempEnvironment::WriteFile(env_.Path("plain-file"), "x");
    for (const std::string& output :
         {env_.Path("plain-file/out.avi"), env_.Path("no-such-folder/out.avi")}) {
        SCOPED_TRACE(output);
        CapturedMessages messages;
        WizardState state;
        state_ = state;
        state_.jobKind = 4;
        media::ElementRef pipeline = MakeGraph(2.0, output, false);
        ASSERT_TRUE(pipeline);
        CProgressDialog dialog(state_, {pipeline.get(), nullptr});
        dialog.show();
        ASSERT_TRUE(qttest::WaitUntil([&] { return dialog.Run().Outcome().has_value(); }));
        qttest::Pump(300);  // room for a second report, which must not come

        EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Failed);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Kalvor");
        EXPECT_FALSE(messages.shown[0].text.empty());
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
        EXPECT_EQ(state_.jobFailed, 1);
        EXPECT_EQ(state_.accepted, 0);
        EXPECT_NE(Text(&dialog, kPercentText), "100% complete");
        EXPECT_TRUE(dialog.isVisible()) << "the user closes it";
        dialog.findChild<QPushButton*>(ControlName(kButtonForward))->click();
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST_F(ProgressDialogTest, AWriteThatFailsMidRunIsOneErrorBoxAndAFailure) {
    CapturedMessages messages;
    const std::string output = env_.Path("full.avi");
    media::ElementRef pipeline = MakeGraph(4.0, output, false, 320, 240);
    ASSERT_TRUE(pipeline);
    CProgressDialog dialog(state_, {pipeline.get(), nullptr});
    TempEnvironment::WithFileSizeLimit(64 * 1024, [&] {
        dialog.show();
        return qttest::WaitUntil([&] { return dialog.Run().Outcome().has_value(); }, 20000);
    });
    qttest::Pump(300);
    EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Failed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Kalvor");
    EXPECT_EQ(state_.jobFailed, 1);
    EXPECT_NE(Text(&dialog, kPercentText), "100% complete");
}

GstPadProbeReturn DropCaps(GstPad*, GstPadProbeInfo* info, gpointer) {
    return GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_CAPS ? GST_PAD_PROBE_DROP
                                                                            : GST_PAD_PROBE_OK;
}

// "Internal data stream error" alone says nothing a user can act on: the element that would
// not take its format is named, whether it refused the format handed to it or had nothing
// in common with what it could be given.
TEST_F(ProgressDialogTest, AFormatNotTakenIsReportedWithTheElementThatRefusedIt) {
    struct Case {
        const char* what;
        const char* graph;
        const char* says;
    };
    const Case cases[] = {
        {"handed over and refused",
         "videotestsrc num-buffers=5 ! video/x-raw,width=64,height=48 ! videoconvert "
         "name=refuser ! fakesink",
         "refused the format it was given: video/x-raw"},
        {"nothing in common",
         "videotestsrc num-buffers=5 ! video/x-raw,width=64,height=48 ! jpegenc ! appsink "
         "name=refuser",
         "takes nothing of what it was offered: image/jpeg"},
    };
    for (const Case& c : cases) {
        CapturedMessages messages;
        media::ElementRef pipeline(gst_parse_launch(c.graph, nullptr));
        ASSERT_TRUE(pipeline) << c.what;
        media::ElementRef refuser(gst_bin_get_by_name(GST_BIN(pipeline.get()), "refuser"));
        // Linked first, then made to refuse: the refusal comes only when the stream runs.
        if (GST_IS_APP_SINK(refuser.get())) {
            media::CapsRef png(gst_caps_from_string("image/png"));
            g_object_set(refuser.get(), "caps", png.get(), nullptr);
        } else {
            media::PadRef sink(gst_element_get_static_pad(refuser.get(), "sink"));
            gst_pad_add_probe(sink.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, DropCaps, nullptr,
                              nullptr);
        }
        WizardState state;
        CProgressDialog dialog(state, {pipeline.get(), nullptr});
        dialog.show();
        ASSERT_TRUE(qttest::WaitUntil([&] { return dialog.Run().Outcome().has_value(); }, 10000));
        EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Failed) << c.what;
        ASSERT_EQ(messages.shown.size(), 1u) << c.what;
        const std::string& text = messages.shown[0].text;
        EXPECT_NE(text.find("\"refuser\" ("), std::string::npos) << c.what << ": " << text;
        EXPECT_NE(text.find(c.says), std::string::npos) << c.what << ": " << text;
    }
}

GstPadProbeReturn DropEnd(GstPad*, GstPadProbeInfo* info, gpointer) {
    return GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS ? GST_PAD_PROBE_DROP
                                                                           : GST_PAD_PROBE_OK;
}

// A graph that does not come to its end after the stop never had its file finished: that
// is a failure, which the job answers by dropping the file, not a stop that keeps it.
TEST_F(ProgressDialogTest, AGraphThatDoesNotEndAfterTheStopFails) {
    CapturedMessages messages;
    media::ElementRef pipeline(gst_parse_launch(
        "videotestsrc is-live=true ! video/x-raw,width=64,height=48,framerate=25/1 ! "
        "identity name=stuck ! fakesink",
        nullptr));
    ASSERT_TRUE(pipeline);
    media::ElementRef stuck(gst_bin_get_by_name(GST_BIN(pipeline.get()), "stuck"));
    media::PadRef sink(gst_element_get_static_pad(stuck.get(), "sink"));
    gst_pad_add_probe(sink.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, DropEnd, nullptr, nullptr);
    state_.startSeconds = 0;
    state_.endSeconds = 60;
    CProgressDialog dialog(state_, {pipeline.get(), nullptr});
    dialog.show();
    ASSERT_TRUE(qttest::WaitUntil(
        [&] { return dialog.Run().CurrentPhase() == CProgressRun::Phase::Running; }, 5000));
    dialog.findChild<QPushButton*>(ControlName(kButtonForward))->click();  // "Cancel"
    ASSERT_TRUE(qttest::WaitUntil([&] { return dialog.Run().Outcome().has_value(); },
                                  CProgressRun::kStopWaitMs + 10000));
    EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Failed);
    EXPECT_EQ(state_.jobFailed, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("not kept"), std::string::npos) << messages.shown[0].text;
}

TEST_F(ProgressDialogTest, AStopMidRunLeavesAFileThatProbesWithADuration) {
    CapturedMessages messages;
    const std::string output = env_.Path("stopped.avi");
    media::ElementRef pipeline = MakeGraph(10.0, output, true);
    ASSERT_TRUE(pipeline);
    CProgressDialog dialog(state_, {pipeline.get(), nullptr});
    dialog.show();
    ASSERT_TRUE(qttest::WaitUntil(
        [&] { return Text(&dialog, kSavedText) == "Saved: 2 of 10 seconds"; }, 15000));
    dialog.findChild<QPushButton*>(ControlName(kButtonForward))->click();  // "Cancel"
    ASSERT_TRUE(qttest::WaitUntil([&] { return !dialog.isVisible(); }));

    EXPECT_EQ(dialog.Run().Outcome(), ProgressOutcome::Stopped);
    EXPECT_EQ(dialog.result(), kButtonForward);
    EXPECT_EQ(state_.accepted, 1) << "a stopped job is told from a finished one";
    EXPECT_EQ(state_.jobFailed, 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(FinishedAvi(output)) << "the stop let the muxer finish the file";
    const double duration = Duration(output);
    EXPECT_GT(duration, 1.5);
    EXPECT_LT(duration, 9.5) << "short of the whole ten seconds";
}

}  // namespace
