#include "krkeys/RecordListener.h"

// Ours before X11's: its macros (None, Bool) clash with names in Qt's and our headers.
#include "krkeys/HotKeyTracker.h"
#include "platform/keys/KeyTable.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr int kIdlePollMs = 1000;
constexpr auto kEndOfDataWait = std::chrono::milliseconds(1000);
constexpr auto kStartWait = std::chrono::seconds(3);
constexpr auto kStopWait = std::chrono::seconds(3);

}  // namespace

struct RecordListener::State {
    explicit State(Sink s) : sink(std::move(s)) {}
    ~State() {
        if (wakeFd >= 0) close(wakeFd);
    }

    void OnPress(uint8_t keycode) {
        const HotKeyTracker::Messages messages = tracker.Press(keycode, VirtualKeyOf(keycode));
        for (const HotKeyTracker::Message& m : messages) {
            std::lock_guard lock(sinkMutex);
            if (!muted) sink(m.code, m.kind);
        }
        // Reading the control connection's events lets Xlib notice keyboard map changes.
        while (XPending(control) > 0) {
            XEvent ignored;
            XNextEvent(control, &ignored);
        }
    }

    // The key's unshifted symbol in the first group, so Shift+1 is '1' with Shift and the
    // letters stay Latin; the keypad follows NumLock as it does for the focused window.
    uint16_t VirtualKeyOf(uint8_t keycode) {
        unsigned consumed = 0;
        KeySym sym = NoSymbol;
        XkbLookupKeySym(control, keycode, 0, &consumed, &sym);
        if (IsKeypadKey(sym) && numLockMask != 0) {
            XkbStateRec state{};
            if (XkbGetState(control, XkbUseCoreKbd, &state) == Success &&
                (state.locked_mods & numLockMask) != 0) {
                XkbLookupKeySym(control, keycode, numLockMask, &consumed, &sym);
            }
        }
        return keytable::FromKeysym(static_cast<uint32_t>(sym));
    }

    static void OnIntercept(XPointer closure, XRecordInterceptData* data) {
        State* self = reinterpret_cast<State*>(closure);
        if (data->category == XRecordStartOfData) {
            std::lock_guard lock(self->doneMutex);
            self->recording = true;
            self->doneChanged.notify_all();
        } else if (data->category == XRecordEndOfData) {
            self->endOfData = true;
        } else if (data->category == XRecordFromServer && data->data && data->data_len >= 1) {
            const int type = data->data[0] & 0x7F;
            const uint8_t keycode = data->data[1];
            if (type == KeyPress) self->OnPress(keycode);
            if (type == KeyRelease) self->tracker.Release(keycode);
        }
        XRecordFreeData(data);
    }

    void Run();
    void Finish();

    Display* control = nullptr;  // context set-up, key lookups and the disable request
    Display* data = nullptr;     // carries the recorded stream and nothing else
    XRecordContext context = 0;
    unsigned numLockMask = 0;
    int wakeFd = -1;
    bool endOfData = false;
    HotKeyTracker tracker;

    Sink sink;
    std::mutex sinkMutex;  // Stop's mute against a sink call in progress
    bool muted = false;

    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool recording = false;  // the server has begun the stream
    bool done = false;
};

void RecordListener::State::Run() {
    if (XRecordEnableContextAsync(data, context, &State::OnIntercept, reinterpret_cast<XPointer>(this))) {
        for (;;) {
            // Handles whatever Xlib has read already before waiting on the socket again.
            XRecordProcessReplies(data);
            pollfd fds[2] = {{ConnectionNumber(data), POLLIN, 0}, {wakeFd, POLLIN, 0}};
            const int ready = poll(fds, 2, kIdlePollMs);
            if (ready < 0 && errno != EINTR) break;
            if (fds[1].revents != 0) break;
            if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
        }
    }
    Finish();
}

void RecordListener::State::Finish() {
    // The disable request must come from another connection; the stream then ends with an
    // end-of-data reply, after which the data connection is an ordinary one again.
    XRecordDisableContext(control, context);
    XFlush(control);
    const auto deadline = std::chrono::steady_clock::now() + kEndOfDataWait;
    while (!endOfData) {
        XRecordProcessReplies(data);
        if (endOfData) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd = {ConnectionNumber(data), POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        if ((fd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
    }
    XRecordFreeContext(control, context);
    // Closing waits for the server's answer on the connection; without the end of the stream
    // that answer may never come, so such a connection is left to the process's end.
    if (endOfData) XCloseDisplay(data);
    data = nullptr;
    XCloseDisplay(control);
    control = nullptr;

    std::lock_guard lock(doneMutex);
    done = true;
    doneChanged.notify_all();
}

RecordListener::RecordListener(Sink sink) : state_(std::make_shared<State>(std::move(sink))) {}

RecordListener::~RecordListener() { Stop(); }

bool RecordListener::Start(std::string* error) {
    auto fail = [&](const char* reason) {
        if (error) *error = reason;
        if (state_->data) XCloseDisplay(state_->data);
        if (state_->control) XCloseDisplay(state_->control);
        state_->data = state_->control = nullptr;
        return false;
    };
    if (started_) return fail("already started");
    started_ = true;
    State& s = *state_;
    s.control = XOpenDisplay(nullptr);
    s.data = XOpenDisplay(nullptr);
    if (!s.control || !s.data) return fail("cannot open the X display");
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(s.control, &major, &minor)) return fail("the X server has no RECORD extension");

    XRecordRange* range = XRecordAllocRange();
    if (!range) return fail("out of memory");
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    s.context = XRecordCreateContext(s.control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!s.context) return fail("cannot create a RECORD context");
    s.numLockMask = XkbKeysymToModifiers(s.control, XK_Num_Lock);
    // The context must exist on the server before the data connection enables it.
    XSync(s.control, False);

    s.wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.wakeFd < 0) {
        XRecordFreeContext(s.control, s.context);
        return fail("cannot create the wake-up descriptor");
    }
    thread_ = std::thread([state = state_] { state->Run(); });
    // Keys pressed once this returns are seen: wait for the server to begin the stream.
    std::unique_lock lock(s.doneMutex);
    if (!s.doneChanged.wait_for(lock, kStartWait, [&] { return s.recording || s.done; }) || s.done) {
        lock.unlock();
        Stop();
        if (error) *error = "the X server did not begin the key stream";
        return false;
    }
    return true;
}

void RecordListener::Stop() {
    if (!thread_.joinable()) return;
    State& s = *state_;
    {
        std::lock_guard lock(s.sinkMutex);
        s.muted = true;
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(s.wakeFd, &one, sizeof one);
    bool finished = false;
    {
        std::unique_lock lock(s.doneMutex);
        finished = s.doneChanged.wait_for(lock, kStopWait, [&] { return s.done; });
    }
    // A thread stuck on a server that stopped answering keeps its own reference to the
    // state and is left behind rather than waited for.
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

bool RecordListener::Running() const {
    if (!thread_.joinable()) return false;
    std::lock_guard lock(state_->doneMutex);
    return !state_->done;
}
