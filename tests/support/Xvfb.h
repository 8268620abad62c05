#pragma once

// A private X server for the few tests that need real X11 (overlays, hot keys, display
// modes). Start() picks a free display itself; the server ends with the object.

#include <string>

class Xvfb {
public:
    Xvfb() = default;
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // False (with the reason) when Xvfb cannot start; tests then skip with that reason.
    bool Start(int width = 1280, int height = 1024, std::string* error = nullptr);
    void Stop();
    // ":N", for DISPLAY.
    const std::string& Display() const { return display_; }

private:
    int pid_ = -1;
    std::string display_;
};

// For a test body: starts Xvfb and sets DISPLAY, or skips the test with the reason.
#define KALVOR_REQUIRE_XVFB(xvfb)                                         \
    do {                                                                   \
        std::string xvfbError_;                                            \
        if (!(xvfb).Start(1280, 1024, &xvfbError_))                        \
            GTEST_SKIP() << "Xvfb could not start: " << xvfbError_;        \
        setenv("DISPLAY", (xvfb).Display().c_str(), 1);                    \
    } while (0)
