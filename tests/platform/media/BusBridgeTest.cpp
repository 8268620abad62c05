// Bus messages reach the user-interface thread only as posted events, tagged with their
// pipeline's generation, and nothing is posted once the bridge is gone.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <thread>
#include <vector>

#include "platform/media/BusBridge.h"
#include "platform/media/BusEvent.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"
#include "support/QtApp.h"

namespace {

class Receiver : public QObject {
public:
    struct Seen {
        uint64_t generation;
        GstMessageType type;
        bool onMainThread;
    };
    std::vector<Seen> seen;

    bool event(QEvent* event) override {
        if (event->type() != media::BusEvent::EventType()) return QObject::event(event);
        const auto* bus = static_cast<media::BusEvent*>(event);
        seen.push_back({bus->Generation(), GST_MESSAGE_TYPE(bus->Message()),
                        QThread::currentThread() == QCoreApplication::instance()->thread()});
        return true;
    }
};

media::ElementRef Pipeline(const char* description) {
    media::InitGStreamer();
    return media::ElementRef(gst_parse_launch(description, nullptr));
}

TEST(BusBridge, PostsTheMaskedMessagesOfAStreamingThreadToTheUserInterfaceThread) {
    Receiver receiver;
    auto pipeline = Pipeline("videotestsrc num-buffers=5 ! fakesink sync=false");
    const uint64_t generation = media::BusBridge::NextGeneration();
    media::BusBridge bridge(pipeline.get(), &receiver, generation,
                            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_TRUE(media::ChangeState(pipeline.get(), GST_STATE_PLAYING));
    ASSERT_TRUE(qttest::WaitUntil([&] { return !receiver.seen.empty(); }, 5000));
    qttest::Pump(50);
    media::ForceNull(pipeline.get());

    ASSERT_EQ(receiver.seen.size(), 1u);  // state changes and the like are not posted
    EXPECT_EQ(receiver.seen[0].type, GST_MESSAGE_EOS);
    EXPECT_EQ(receiver.seen[0].generation, generation);
    EXPECT_TRUE(receiver.seen[0].onMainThread);
}

TEST(BusBridge, NothingIsPostedAfterTheBridgeIsDestroyed) {
    Receiver receiver;
    auto pipeline = Pipeline("fakesrc ! fakesink");
    {
        media::BusBridge bridge(pipeline.get(), &receiver, 1, GST_MESSAGE_ANY);
        gst_element_post_message(pipeline.get(), gst_message_new_eos(GST_OBJECT(pipeline.get())));
    }
    // Posting from several threads after destruction must neither crash nor deliver.
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 50; ++j)
                gst_element_post_message(pipeline.get(),
                                         gst_message_new_eos(GST_OBJECT(pipeline.get())));
        });
    }
    for (auto& thread : threads) thread.join();
    qttest::Pump(30);
    EXPECT_EQ(receiver.seen.size(), 1u);
}

}  // namespace
