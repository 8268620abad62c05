#include "support/Xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

constexpr int kStartTimeoutMs = 15000;

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

Xvfb::~Xvfb() { Stop(); }

bool Xvfb::Start(int width, int height, std::string* error) {
    if (pid_ > 0) return true;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return Fail(error, std::strerror(errno));
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(pipeFds[1]);

    const pid_t pid = fork();
    if (pid < 0) return Fail(error, std::strerror(errno));
    if (pid == 0) {
        close(pipeFds[0]);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    pid_ = pid;

    // Xvfb writes the display number it took, then a newline, once it accepts clients.
    std::string number;
    pollfd waiting{pipeFds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&waiting, 1, kStartTimeoutMs) > 0) {
        char buffer[16];
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        number.append(buffer, static_cast<size_t>(got));
    }
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) {
        Stop();
        return Fail(error, "Xvfb did not report a display (is it installed?)");
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    return true;
}

void Xvfb::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    display_.clear();
}
