#include "platform/system/SignalWatch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

// The write end, for the handler; -1 while no object is set up.
volatile sig_atomic_t gWriteFd = -1;
// What each signal had before; indexed by signal number.
struct sigaction gPrevious[NSIG];

// Only async-signal-safe calls here. A full pipe drops the byte: the same signal is on its way.
extern "C" void OnWatchedSignal(int number) {
    const int saved = errno;
    const int fd = gWriteFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(std::initializer_list<int> signalNumbers,
                         std::function<void(int)> onSignal, const char* program, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    int fds[2];
    if (gWriteFd >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "%s: the signals cannot be watched\n", program);
        return;
    }
    readFd_ = fds[0];
    gWriteFd = fds[1];
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatch::ReadPipe);
    struct sigaction action {};
    action.sa_handler = OnWatchedSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    active_ = true;
    for (int number : signalNumbers) {
        if (number <= 0 || number >= NSIG) continue;
        if (::sigaction(number, &action, &gPrevious[number]) != 0) {
            active_ = false;
            continue;
        }
        signals_.push_back(number);
    }
    if (!active_)
        std::fprintf(stderr, "%s: a signal handler could not be set: %s\n", program,
                     std::strerror(errno));
}

SignalWatch::~SignalWatch() {
    if (readFd_ < 0) return;
    for (int number : signals_) ::sigaction(number, &gPrevious[number], nullptr);
    notifier_.reset();
    const int writeFd = gWriteFd;
    gWriteFd = -1;
    ::close(writeFd);
    ::close(readFd_);
}

void SignalWatch::ReadPipe() {
    unsigned char bytes[16];
    const ssize_t count = ::read(readFd_, bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i)
        if (onSignal_) onSignal_(bytes[i]);
}
