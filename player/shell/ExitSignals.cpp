#include "player/shell/ExitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

// The write end, for the handler; -1 while no object is set up.
volatile sig_atomic_t gWriteFd = -1;
struct sigaction gPrevious[kSignals.size()];

// Only async-signal-safe calls here. A full pipe drops the byte: an exit is on its way.
extern "C" void OnExitSignal(int number) {
    const int saved = errno;
    const int fd = gWriteFd;
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(number);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

ExitSignals::ExitSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    int fds[2];
    if (gWriteFd >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "Kalvor: the exit signals cannot be watched\n");
        return;
    }
    readFd_ = fds[0];
    gWriteFd = fds[1];
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ExitSignals::ReadPipe);
    struct sigaction action {};
    action.sa_handler = OnExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    active_ = true;
    for (size_t i = 0; i < kSignals.size(); ++i)
        if (::sigaction(kSignals[i], &action, &gPrevious[i]) != 0) active_ = false;
    if (!active_)
        std::fprintf(stderr, "Kalvor: a signal handler could not be set: %s\n",
                     std::strerror(errno));
}

ExitSignals::~ExitSignals() {
    if (readFd_ < 0) return;
    for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    notifier_.reset();
    const int writeFd = gWriteFd;
    gWriteFd = -1;
    ::close(writeFd);
    ::close(readFd_);
}

void ExitSignals::ReadPipe() {
    unsigned char bytes[16];
    const ssize_t count = ::read(readFd_, bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i)
        if (onSignal_) onSignal_(bytes[i]);
}
