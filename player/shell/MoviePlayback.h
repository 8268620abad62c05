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
    int ReleaseGraph() override { return movie_.ReleaseGraph(); }
    int CreateGraph() override { return movie_.CreateGraph(); }
    int CloseGraph() override { return movie_.CloseGraph(); }
    int OpenMedia(const std::string& path) override {
        movie_.mediaPath = path;
        return movie_.OpenMedia();
    }
    int Play() override { return movie_.Play(); }
    int TogglePause() override { return movie_.TogglePause(); }
    int Stop() override { return movie_.Stop(); }
    int SetVolume(double volume) override { return movie_.SetVolume(volume); }
    int SetPosition(double seconds) override { return movie_.SetPosition(seconds); }
    double GetPosition() override { return movie_.GetPosition(); }
    double Duration() override { return movie_.CurrentDuration(); }
    std::string FailureReason() override { return movie_.FailureReason(); }
    bool Paused() override { return movie_.paused != 0; }
    bool HasVideo() override { return movie_.HasVideoWindow() != 0; }
    bool HasMedia() override { return movie_.HasMedia() != 0; }
    int LoadSubtitles(const std::string& path) override { return movie_.LoadSubtitles(path); }
    std::string SubtitlesPath() override { return movie_.subtitlePath; }
    int EndOfMedia() override { return movie_.OnEndOfMedia(); }

private:
    CKalvorMovie movie_;
};
