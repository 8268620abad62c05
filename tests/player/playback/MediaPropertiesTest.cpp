// The media information box formats the probed facts of real files, centres itself inside
// the desktop, and lists only the graph's linked leaf elements, holding them exactly while
// they are listed.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <map>
#include <set>

#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/MediaProbe.h"
#include "platform/media/StateWait.h"
#include "player/playback/MediaProperties.h"
#include "support/MediaGenerator.h"
#include "support/TempEnvironment.h"

namespace {

// The box's view of a file, as the video window fills it from the probe.
MediaInfoFacts FromProbe(const media::MediaFacts& probed) {
    MediaInfoFacts facts;
    facts.duration = probed.duration;
    for (const media::StreamFacts& s : probed.streams) {
        if (s.kind == media::StreamKind::Video) {
            facts.hasVideo = true;
            facts.width = s.width, facts.height = s.height, facts.frameRate = s.frameRate;
            facts.fourCC = s.fourCC, facts.bitCount = s.bitDepth;
        } else if (s.kind == media::StreamKind::Audio) {
            facts.sampleRate = s.sampleRate, facts.channels = s.channels, facts.bitRate = s.bitRate;
        }
    }
    return facts;
}

struct Source : IMediaInfoSource {
    MediaInfoFacts facts;
    GstElement* graph = nullptr;
    int hidden = 0;
    MediaInfoFacts Facts() const override { return facts; }
    GstElement* Graph() const override { return graph; }
    QRect VideoWindowRect() const override { return {100, 100, 640, 480}; }
    QRect MainWindowRect() const override { return {1000, 600, 300, 100}; }
    QRect DesktopRect() const override { return {0, 0, 1280, 800}; }
    void AfterToolHidden() override { ++hidden; }
};

TEST(MediaInfoTexts, FormatsLengthRateFourCCDepthAndAudio) {
    MediaInfoFacts f;
    f.hasVideo = true, f.duration = 90.5, f.frameRate = 25, f.width = 320, f.height = 240;
    f.fourCC = 'M' | 'J' << 8 | 'P' << 16 | 'G' << 24, f.bitCount = 24;
    f.sampleRate = 44100, f.channels = 1, f.bitRate = 128000;
    MediaInfoTexts t = mediainfo::Format(f);
    EXPECT_EQ(t.streamLength, "2262 Frames (00:01:30)");
    EXPECT_EQ(t.frameRate, "25.000 fps (40 ms)");
    EXPECT_EQ(t.fourCC, "MJPG (4D4A5047)");
    EXPECT_EQ(t.depth, "24 Bits (True Color)");
    EXPECT_EQ(t.channels, "1 (Mono)");
    EXPECT_EQ(t.bitRate, "125 kBits/s");

    f.duration = 3725, f.frameRate = 0, f.fourCC = 0x0A003159, f.bitCount = 12, f.channels = 6;
    t = mediainfo::Format(f);
    EXPECT_EQ(t.streamLength, "0 Frames (01:02:05)");
    EXPECT_EQ(t.frameRate, "0.000 fps (0 ms)");
    EXPECT_EQ(t.fourCC, "Y1   (59310A)");
    EXPECT_EQ(t.depth, "12 Bits (4096 colors)");
    EXPECT_EQ(t.channels, "6");
    f.bitCount = 15;
    EXPECT_EQ(mediainfo::Format(f).depth, "15 Bits ");
}

TEST(MediaInfoTexts, TheBoxCentresOnItsAnchorInsideTheDesktop) {
    const QRect desktop(0, 0, 1280, 800);
    const QSize box(300, 400);
    const struct {
        QRect anchor;
        QPoint expected;
    } cases[] = {
        {{100, 100, 640, 480}, {270, 140}},
        {{1100, 100, 400, 300}, {980, 50}},  // held at the right edge
        {{-300, 100, 200, 300}, {0, 50}},    // and at the left edge
        {{100, 500, 640, 400}, {270, 360}},  // 40 pixels clear of the bottom
        {{100, -600, 200, 200}, {50, 0}},    // never above the top
    };
    for (const auto& c : cases)
        EXPECT_EQ(mediainfo::Place(c.anchor, box, desktop), c.expected) << c.anchor.x();
}

class MediaPropertiesTest : public TempFolderTest {};

TEST_F(MediaPropertiesTest, AGeneratedMjpegAviAndAWavShowTheirProbedFacts) {
    const std::string avi = env_.Path("clip.avi"), wav = env_.Path("tone.wav");
    ASSERT_TRUE(media::MakeAvi(avi, {.seconds = 1.0}));
    ASSERT_TRUE(media::MakeWav(wav, {.seconds = 1.0, .rate = 44100, .channels = 2}));
    media::MediaProbe probe;
    media::MediaFacts probed;
    Source source;
    CMediaProperties box(&source);

    ASSERT_TRUE(probe.Probe(avi, probed)) << probe.LastError();
    source.facts = FromProbe(probed);
    box.ShowMediaInfo();
    EXPECT_EQ(box.ValueText(1187), "320x240");
    EXPECT_EQ(box.ValueText(1188), "25.000 fps (40 ms)");
    EXPECT_EQ(box.ValueText(1189), "MJPG (4D4A5047)");
    EXPECT_EQ(box.ValueText(1186), "25 Frames (00:00:01)");
    EXPECT_EQ(box.pos(),
              mediainfo::Place(source.VideoWindowRect(), box.size(), source.DesktopRect()));

    ASSERT_TRUE(probe.Probe(wav, probed)) << probe.LastError();
    source.facts = FromProbe(probed);
    box.ShowMediaInfo();
    for (int id : {1186, 1187, 1188, 1189, 1190})
        EXPECT_EQ(box.ValueText(id), "Not available") << id;
    EXPECT_EQ(box.ValueText(1193), "2 (Stereo)");
    EXPECT_EQ(box.ValueText(1192), "44100 Hz");
    EXPECT_EQ(box.pos(),
              mediainfo::Place(source.MainWindowRect(), box.size(), source.DesktopRect()));
    EXPECT_TRUE(box.isVisible());
}

// A playbin on the file, playing into fake sinks.
media::ElementRef PlayingGraph(const std::string& path) {
    media::InitGStreamer();
    media::ElementRef graph(gst_element_factory_make("playbin", nullptr));
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    g_object_set(graph.get(), "uri", uri, "video-sink",
                 gst_element_factory_make("fakesink", nullptr), "audio-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    g_free(uri);
    EXPECT_TRUE(media::ChangeState(graph.get(), GST_STATE_PLAYING));
    return graph;
}

int RefCount(GstElement* element) { return GST_OBJECT_REFCOUNT_VALUE(element); }

TEST_F(MediaPropertiesTest, APlayingFilesListHoldsOnlyLinkedLeafElementsAndLetsThemGo) {
    const std::string avi = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(avi, {.seconds = 2.0}));
    media::ElementRef graph = PlayingGraph(avi);
    Source source;
    source.graph = graph.get();
    CMediaProperties box(&source);

    box.ShowMediaInfo();
    const FilterPageList& list = box.Filters();
    ASSERT_GT(list.Count(), 0u);
    EXPECT_LE(list.Count(), FilterPageList::kMaximum);
    EXPECT_EQ(box.FilterBox()->count(), int(list.Count()));
    for (size_t i = 0; i < list.Count(); ++i) {
        GstElement* e = list.Element(i);
        EXPECT_FALSE(GST_IS_BIN(e)) << list.Name(i);
        EXPECT_FALSE(GST_OBJECT_FLAG_IS_SET(e, GST_ELEMENT_FLAG_SOURCE)) << list.Name(i);
        bool linked = false;
        for (GList* pad = e->sinkpads; pad; pad = pad->next)
            linked |= gst_pad_is_linked(GST_PAD(pad->data));
        EXPECT_TRUE(linked) << list.Name(i);
    }

    media::ForceNull(graph.get());
}

// Queue threads take passing references even in a paused playbin, so the list's own are
// counted in a prerolled chain without queues: one each whatever the number of refills,
// none after release.
TEST_F(MediaPropertiesTest, TheListHoldsOneReferenceEachAndNoneOnceReleased) {
    media::InitGStreamer();
    media::ElementRef graph(gst_parse_launch(
        "videotestsrc name=src ! videoconvert name=a ! videobalance name=b ! fakesink name=c",
        nullptr));
    ASSERT_TRUE(media::ChangeState(graph.get(), GST_STATE_PAUSED));
    // A message on the bus holds its element, and the prerolled graph may still post one
    // whenever its thread gets to it: the bus takes none, so the counts stay put.
    media::BusRef bus(gst_element_get_bus(graph.get()));
    gst_bus_set_flushing(bus.get(), TRUE);
    Source source;
    source.graph = graph.get();
    CMediaProperties box(&source);
    std::map<GstElement*, int> baseline;
    for (const char* name : {"src", "a", "b", "c"}) {
        GstElement* e = gst_bin_get_by_name(GST_BIN(graph.get()), name);
        baseline[e] = RefCount(e) - 1;
        gst_object_unref(e);
    }
    box.ListFilterPages();
    box.ListFilterPages();
    box.ListFilterPages();
    std::set<std::string> names;
    for (size_t i = 0; i < box.Filters().Count(); ++i) {
        GstElement* e = box.Filters().Element(i);
        names.insert(box.Filters().Name(i));
        EXPECT_EQ(RefCount(e), baseline.at(e) + 1) << box.Filters().Name(i);
    }
    EXPECT_EQ(names, (std::set<std::string>{"a", "b", "c"})) << "the source has no sink pad";
    box.ReleaseFilters();
    for (const auto& [element, count] : baseline) EXPECT_EQ(RefCount(element), count);
    media::ForceNull(graph.get());
}

TEST_F(MediaPropertiesTest, PropertiesOpensTheSelectedElementAndNothingWithAnEmptyList) {
    Source source;
    CMediaProperties box(&source);
    std::vector<GstElement*> opened;
    box.SetPropertyOpener([&](GstElement* e, QWidget*) { opened.push_back(e); });
    box.ShowMediaInfo();
    box.OpenProperties();
    EXPECT_TRUE(opened.empty());

    const std::string avi = env_.Path("clip.avi");
    ASSERT_TRUE(media::MakeAvi(avi, {.seconds = 2.0}));
    media::ElementRef graph = PlayingGraph(avi);
    source.graph = graph.get();
    box.ShowMediaInfo();
    ASSERT_GT(box.FilterBox()->count(), 1);
    emit box.FilterBox()->activated(1);
    box.OpenProperties();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], box.Filters().Element(1));

    // The graph goes while an element's settings are open: they close without writing.
    box.SetPropertyOpener({});
    CMediaProperties defaults(&source);
    defaults.ShowMediaInfo();
    QTimer::singleShot(50, [&] { defaults.ReleaseFilters(); });
    QTimer::singleShot(3000, [&] {
        for (auto* open : defaults.findChildren<QDialog*>()) open->done(QDialog::Accepted);
    });
    bool closedByRelease = false;
    QTimer::singleShot(40, [&] {
        for (auto* open : defaults.findChildren<QDialog*>()) {
            QObject::connect(open, &QDialog::finished,
                             [&](int result) { closedByRelease = result == QDialog::Rejected; });
        }
    });
    defaults.OpenProperties();
    EXPECT_TRUE(closedByRelease);
    EXPECT_EQ(defaults.Filters().Count(), 0u);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(source.hidden, 1);
    box.ReleaseFilters();
    media::ForceNull(graph.get());
}

}  // namespace
