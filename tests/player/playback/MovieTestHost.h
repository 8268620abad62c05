#pragma once

// What the tests of the video window share: a host without a main window that keeps the
// settings and counts its calls, and the renderers the graph is built with. No test may
// need a sound card: the sound always goes to a fake sink.

#include <QCoreApplication>
#include <QThread>
#include <cstring>
#include <string>

#include "player/playback/MovieHost.h"
#include "player/playback/SinkFactory.h"
#include "player/playback/SystemSinks.h"

class TestMovieHost : public IMovieHost {
public:
    TestMovieHost() { std::strcpy(settings.audioDevice, "AUTODETECT"); }

    PlayerSettings settings{};
    bool enabled = true;
    bool endOnMainThread = false;
    int enableCalls = 0, rangeTimerStops = 0, endsOfMedia = 0;

    PlayerSettings& Settings() override { return settings; }
    void EnableMainWindow(bool enable) override {
        enabled = enable;
        ++enableCalls;
    }
    void StopRangeEndTimer() override { ++rangeTimerStops; }
    void AfterEndOfMedia() override {
        ++endsOfMedia;
        endOnMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    }
};

// Sinks that run against the clock like the real ones; nobody pulls most samples, so the
// app sink must neither stall nor wait for them at the end.
class ClockedAppSinks : public ISinkFactory {
public:
    GstElement* CreateVideoRenderer() override {
        return gst_parse_launch("appsink sync=1 max-buffers=1 drop=1 wait-on-eos=0", nullptr);
    }
    GstElement* CreateAudioSink(const std::string&) override {
        return gst_parse_launch("fakesink sync=1", nullptr);
    }
};

// The system's renderer, drawing into the window on the X server.
class SilentWindowSinks : public CSystemSinks {
public:
    GstElement* CreateAudioSink(const std::string&) override {
        return gst_element_factory_make("fakesink", nullptr);
    }
};
