// The helpers the graphs are built with: pad lookups, bounded state changes, and the bus
// bridge, which hands messages to the user-interface thread only as posted events tagged with
// their pipeline's generation, and posts nothing once it is gone.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/media/BusBridge.h"
#include "platform/media/BusEvent.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/PadLookup.h"
#include "platform/media/StateWait.h"
#include "support/QtApp.h"

namespace {

using media::PadDirection;

media::ElementRef Pipeline(const char* description) {
    media::InitGStreamer();
    return media::ElementRef(gst_parse_launch(description, nullptr));
}

TEST(PadLookup, FindsFirstFreeAndConnectedPadsByDirection) {
    auto bin = Pipeline("fakesrc name=a ! tee name=t ! fakesink");
    media::ElementRef tee(gst_bin_get_by_name(GST_BIN(bin.get()), "t"));
    media::PadRef spare(gst_element_request_pad_simple(tee.get(), "src_%u"));
    media::PadRef input = media::FindPin(tee.get(), PadDirection::Input);
    media::PadRef linked = media::FindConnectedPin(tee.get(), PadDirection::Output);
    media::PadRef free = media::FindFreePin(tee.get(), PadDirection::Output);
    ASSERT_TRUE(input && linked && free);
    EXPECT_EQ(GST_PAD_DIRECTION(input.get()), GST_PAD_SINK);
    EXPECT_TRUE(gst_pad_is_linked(linked.get()));
    EXPECT_EQ(free.get(), spare.get());
    EXPECT_FALSE(media::FindFreePin(tee.get(), PadDirection::Input));
    EXPECT_FALSE(media::FindPin(nullptr, PadDirection::Input));
    gst_element_release_request_pad(tee.get(), spare.get());
}

TEST(StateWait, ReportsFailureAndReachesNull) {
    auto good = Pipeline("fakesrc ! fakesink");
    EXPECT_TRUE(media::ChangeState(good.get(), GST_STATE_PAUSED, 2000));
    media::ForceNull(good.get());
    EXPECT_EQ(GST_STATE(good.get()), GST_STATE_NULL);
    auto bad = Pipeline("filesrc location=/nonexistent/x ! fakesink");
    EXPECT_FALSE(media::ChangeState(bad.get(), GST_STATE_PAUSED, 2000));
    media::ForceNull(bad.get());
}

// Records each bus event: generation, message type, and whether it came on the main thread.
class Receiver : public QObject {
public:
    std::vector<std::tuple<uint64_t, GstMessageType, bool>> seen;

    bool event(QEvent* event) override {
        if (event->type() != media::BusEvent::EventType()) return QObject::event(event);
        const auto* bus = static_cast<media::BusEvent*>(event);
        seen.emplace_back(bus->Generation(), GST_MESSAGE_TYPE(bus->Message()),
                          QThread::currentThread() == QCoreApplication::instance()->thread());
        return true;
    }
};

TEST(BusBridge, PostsTheMaskedMessagesOfAStreamingThreadToTheUserInterfaceThread) {
    Receiver receiver;
    auto pipeline = Pipeline("videotestsrc num-buffers=5 ! fakesink sync=false");
    const uint64_t generation = media::BusBridge::NextGeneration();
    media::BusBridge bridge(pipeline.get(), &receiver, generation,
                            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_TRUE(media::ChangeState(pipeline.get(), GST_STATE_PLAYING));
    ASSERT_TRUE(qttest::WaitUntil([&] { return !receiver.seen.empty(); }));
    qttest::Pump(50);
    media::ForceNull(pipeline.get());
    // Only the end: state changes and the like are not posted.
    EXPECT_EQ(receiver.seen, (decltype(receiver.seen){{generation, GST_MESSAGE_EOS, true}}));
}

TEST(BusBridge, NothingIsPostedAfterTheBridgeIsDestroyed) {
    Receiver receiver;
    auto pipeline = Pipeline("fakesrc ! fakesink");
    auto postEnd = [&] {
        gst_element_post_message(pipeline.get(), gst_message_new_eos(GST_OBJECT(pipeline.get())));
    };
    {
        media::BusBridge bridge(pipeline.get(), &receiver, 1, GST_MESSAGE_ANY);
        postEnd();
    }
    // Posting from several threads after destruction must neither crash nor deliver.
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int j = 0; j < 50; ++j) postEnd();
        });
    for (auto& thread : threads) thread.join();
    qttest::Pump(30);
    EXPECT_EQ(receiver.seen.size(), 1u);
}

}  // namespace
