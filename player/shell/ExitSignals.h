#pragma once

// SIGINT, SIGTERM and SIGHUP end the player through its exit sequence. The handler only
// writes the signal's number to a pipe; the pipe's reader runs on the thread that made this
// object, in its event loop, where the exit may save files and close windows.

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

class ExitSignals : public QObject {
    Q_OBJECT
public:
    // onSignal runs once per signal received, with its number. One object at a time.
    explicit ExitSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
    // Puts the handlers that were there before back, then closes the pipe.
    ~ExitSignals() override;

    // False (said on stderr) when the pipe or a handler could not be set up.
    bool Active() const { return active_; }

private:
    void ReadPipe();

    std::function<void(int)> onSignal_;
    int readFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool active_ = false;
};
