// korc's error box: a report from a streaming thread must neither build widgets there nor
// hold that thread, and the box must sit on the player's window. This program runs on a
// private X server of its own.

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "engine/GraphError.h"
#include "platform/media/GstInit.h"
#include "platform/media/GstRef.h"
#include "platform/media/StateWait.h"
#include "platform/ui/MessageSink.h"
#include "support/QtApp.h"
#include "support/Xvfb.h"

namespace {

bool g_haveX = false;
std::string g_xError;

struct ThreadSink : IMessageSink {
    ThreadSink() { SetMessageSink(this); }
    ~ThreadSink() override { SetMessageSink(nullptr); }
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text, MessageIcon,
                       MessageButtons) override {
        std::lock_guard lock(mutex);
        shown.push_back(caption + ": " + text);
        onUiThread.push_back(QThread::currentThread() == qApp->thread());
        return MessageAnswer::Ok;
    }
    size_t Count() {
        std::lock_guard lock(mutex);
        return shown.size();
    }
    std::mutex mutex;
    std::vector<std::string> shown;
    std::vector<bool> onUiThread;
};

// A splice that fails inside pad-added reports from the streaming thread.
struct FailingSplice {
    static void OnPadAdded(GstElement*, GstPad*, gpointer self) {
        auto* splice = static_cast<FailingSplice*>(self);
        ReportGraphError(0, "Cannot connect d:src_0 to sink:sink: the formats do not match");
        std::lock_guard lock(splice->mutex);
        splice->returned = true;
        splice->done.notify_all();
    }
    bool WaitReturned() {
        std::unique_lock lock(mutex);
        return done.wait_for(lock, std::chrono::seconds(10), [this] { return returned; });
    }
    std::mutex mutex;
    std::condition_variable done;
    bool returned = false;
};

TEST(GraphError, AReportFromAStreamingThreadReturnsAtOnceAndIsShownOnTheUiThread) {
    media::InitGStreamer();
    ThreadSink sink;
    media::ElementRef graph(gst_parse_launch("videotestsrc num-buffers=5 ! decodebin name=d", nullptr));
    ASSERT_TRUE(graph);
    media::ElementRef decoder(gst_bin_get_by_name(GST_BIN(graph.get()), "d"));
    FailingSplice splice;
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(FailingSplice::OnPadAdded), &splice);
    gst_element_set_state(graph.get(), GST_STATE_PAUSED);
    // The user-interface thread is not serving events here, as while it waits on the graph.
    const bool returned = splice.WaitReturned();
    media::ForceNull(graph.get());
    ASSERT_TRUE(returned) << "the streaming thread waited on the box";
    EXPECT_EQ(sink.Count(), 0u) << "shown on the streaming thread";

    ASSERT_TRUE(qttest::WaitUntil([&] { return sink.Count() == 1; }));
    EXPECT_EQ(sink.shown[0], "Kalvor: Cannot connect d:src_0 to sink:sink: the formats do not match");
    EXPECT_TRUE(sink.onUiThread[0]);
}

uint32_t TransientFor(uint32_t window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1), nullptr);
    uint32_t owner = 0;
    if (reply && xcb_get_property_value_length(reply) == 4) {
        owner = *static_cast<uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return owner;
}

// Answers the first warning box that appears, noting what its window is transient for.
class BoxWatcher {
public:
    BoxWatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (!box || !box->isVisible()) continue;
                qttest::Pump(20);
                transientFor = TransientFor(static_cast<uint32_t>(box->winId()));
                text = box->text().toStdString();
                caption = box->windowTitle().toStdString();
                answered = true;
                box->accept();
                timer_.stop();
                return;
            }
        });
        timer_.start(20);
    }
    std::atomic<bool> answered{false};
    uint32_t transientFor = 0;
    std::string text, caption;

private:
    QTimer timer_;
};

TEST(GraphError, TheBoxIsTransientForTheOwnerWindowFromAnyThread) {
    if (!g_haveX) GTEST_SKIP() << "no X server: " << g_xError;
    QWidget player;  // stands in for the player's wizard window in the other process
    player.show();
    const uint32_t playerId = static_cast<uint32_t>(player.winId());
    constexpr uint32_t kStale = 0x3FFFFFF0u;

    struct Case {
        const char* what;
        uint32_t owner;
        bool fromOtherThread;
    };
    const Case cases[] = {
        {"on the user-interface thread", playerId, false},
        {"from another thread", playerId, true},
        {"for a window that is gone", kStale, false},
    };
    for (const Case& c : cases) {
        BoxWatcher watcher;
        if (c.fromOtherThread) {
            std::thread([&] { ReportGraphError(c.owner, c.what); }).join();
        } else {
            ReportGraphError(c.owner, c.what);
        }
        ASSERT_TRUE(qttest::WaitUntil([&] { return watcher.answered.load(); })) << c.what;
        EXPECT_EQ(watcher.text, c.what);
        EXPECT_EQ(watcher.caption, "Kalvor");
        if (c.owner == playerId) {
            EXPECT_EQ(watcher.transientFor, playerId) << c.what;
        } else {
            EXPECT_NE(watcher.transientFor, kStale) << c.what;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Xvfb xvfb;
    g_haveX = xvfb.Start(1024, 768, &g_xError);
    if (g_haveX) {
        setenv("DISPLAY", xvfb.Display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    unsetenv("KALVOR_MESSAGES");  // the real boxes
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
