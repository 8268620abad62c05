#pragma once

// Watches every key press and release on the X server through a RECORD context, on a
// thread of its own with connections of its own. Nothing is grabbed, so the focused window
// still gets its keys. Each press goes through the key table and the repeat tracking and
// reaches the sink, on that thread, as hot-key messages.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class RecordListener {
public:
    using Sink = std::function<void(uint32_t code, int kind)>;

    explicit RecordListener(Sink sink);
    ~RecordListener();
    RecordListener(const RecordListener&) = delete;
    RecordListener& operator=(const RecordListener&) = delete;

    // Connects to $DISPLAY and starts watching; returns once the server has begun the stream,
    // so every key pressed afterwards is seen. False with the reason when the server cannot
    // be reached, has no RECORD extension or does not begin the stream in time.
    bool Start(std::string* error);
    // Wakes the thread and waits a bounded time for it to end. No sink call starts after
    // this returns, even when the thread is late.
    void Stop();
    // False once the thread has ended (stopped, or the server's stream closed).
    bool Running() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    std::thread thread_;
    bool started_ = false;  // one watch per object
};
