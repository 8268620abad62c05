#pragma once

// The player's video window behind the main window's interface to it.

#include <memory>

#include "player/playback/KalvorMovie.h"
#include "player/shell/PlaybackWindow.h"

class MoviePlayback : public IPlaybackWindow {
public:
    // The video window is a window of its own, owned by (transient for) owner.
    MoviePlayback(IMovieHost& host, QWidget* owner) : movie_(host, owner) {}

    CKalvorMovie& Movie() { return movie_; }

    QWidget* Widget() override { return &movie_; }
    int InitGraph() override { return movie_.InitGraph(); }
    int SetVolume(double volume) override { return movie_.SetVolume(volume); }
    int SetPosition(double seconds) override { return movie_.SetPosition(seconds); }
    double GetPosition() override { return movie_.GetPosition(); }
    double Duration() override { return movie_.duration; }

private:
    CKalvorMovie movie_;
};
