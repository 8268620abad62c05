#pragma once

// Signals turned into calls on the thread that made the object, in its event loop, where
// what they start may save files and close windows. The handler only writes the signal's
// number to a pipe.

#include <QObject>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QSocketNotifier;

class SignalWatch : public QObject {
public:
    // onSignal runs once per signal received, with its number; program names the program in
    // what goes to stderr. One object at a time.
    SignalWatch(std::initializer_list<int> signalNumbers, std::function<void(int)> onSignal,
                const char* program, QObject* parent = nullptr);
    // Puts the handlers that were there before back, then closes the pipe.
    ~SignalWatch() override;

    // False (said on stderr) when the pipe or a handler could not be set up.
    bool Active() const { return active_; }

private:
    void ReadPipe();

    std::vector<int> signals_;
    std::function<void(int)> onSignal_;
    int readFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool active_ = false;
};
