// Tests that need real X11 rely on this launcher giving them a working display.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "support/Xvfb.h"

namespace {

// A plain connection to the display's socket; -1 when there is none to connect to.
int ConnectTo(const std::string& display) {
    const std::string path = "/tmp/.X11-unix/X" + display.substr(1);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TEST(Xvfb, StartsAServerThatAcceptsClientsAndStopsIt) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    Display* display = XOpenDisplay(xvfb.Display().c_str());
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(DisplayWidth(display, DefaultScreen(display)), 1280);
    EXPECT_EQ(DisplayHeight(display, DefaultScreen(display)), 1024);
    XCloseDisplay(display);

    // A client connected before the stop sees its connection end. (A new connection would
    // not tell: another test's server may take the freed display number at once.)
    const int client = ConnectTo(xvfb.Display());
    ASSERT_GE(client, 0);
    xvfb.Stop();
    pollfd ended{client, POLLIN, 0};
    ASSERT_EQ(poll(&ended, 1, 30000), 1);
    char byte;
    EXPECT_LE(recv(client, &byte, 1, 0), 0);
    close(client);
}
