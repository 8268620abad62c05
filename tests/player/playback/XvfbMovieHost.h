#pragma once

// What the X tests of the video window share: a Qt application on the X server, a host with
// default settings and no main window, and the system's renderer with a silent audio sink
// (there is no sound card).

#include <QApplication>
#include <cstring>
#include <string>

#include "player/playback/KalvorMovie.h"
#include "player/playback/SystemSinks.h"

// Sets the xcb platform before the application starts, since Qt reads it only then.
class XcbApplication {
public:
    explicit XcbApplication(const char* name)
        : name_(name), argv_{name_.data(), nullptr}, application_(XcbArgc(argc_), argv_) {}

private:
    static int& XcbArgc(int& argc) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return argc;
    }
    int argc_ = 1;
    std::string name_;
    char* argv_[2];
    QApplication application_;
};

class TestMovieHost : public IMovieHost {
public:
    TestMovieHost() { std::strcpy(settings.audioDevice, "AUTODETECT"); }
    PlayerSettings settings{};
    PlayerSettings& Settings() override { return settings; }
    void EnableMainWindow(bool) override {}
    void StopRangeEndTimer() override {}
    void AfterEndOfMedia() override {}
};

class SilentWindowSinks : public CSystemSinks {
public:
    GstElement* CreateAudioSink(const std::string&) override {
        return gst_element_factory_make("fakesink", nullptr);
    }
};
