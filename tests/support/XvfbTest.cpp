// Tests that need real X11 rely on this launcher giving them a working display.

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "support/Xvfb.h"

TEST(Xvfb, StartsAServerThatAcceptsClientsAndStopsIt) {
    Xvfb xvfb;
    KALVOR_REQUIRE_XVFB(xvfb);
    Display* display = XOpenDisplay(xvfb.Display().c_str());
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(DisplayWidth(display, DefaultScreen(display)), 1280);
    EXPECT_EQ(DisplayHeight(display, DefaultScreen(display)), 1024);
    XCloseDisplay(display);

    const std::string name = xvfb.Display();
    xvfb.Stop();
    EXPECT_EQ(XOpenDisplay(name.c_str()), nullptr);
}
