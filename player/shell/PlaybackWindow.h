#pragma once

// The main window's view of the video window: what start-up, the commands, the play
// sequencing, the skinned surface and the display timer ask of it. The player's one is
// MoviePlayback; tests put a recorder in.

#include <QWidget>

#include <string>

class IPlaybackWindow {
public:
    virtual ~IPlaybackWindow() = default;
    // The window the player's later windows take as their parent.
    virtual QWidget* Widget() = 0;
    virtual int InitGraph() = 0;
    virtual int ReleaseGraph() = 0;
    virtual int CreateGraph() = 0;
    // The exit's: playback stops and the graph goes for good.
    virtual int CloseGraph() = 0;
    // Opens path in the graph made by CreateGraph; 1 on success, 0 when it cannot be played.
    // The graph is left stopped.
    virtual int OpenMedia(const std::string& path) = 0;
    virtual int Play() = 0;
    virtual int TogglePause() = 0;
    virtual int Stop() = 0;
    virtual int SetVolume(double volume) = 0;
    virtual int SetPosition(double seconds) = 0;
    virtual double GetPosition() = 0;
    // The open medium's length in seconds; 0 when unknown or nothing is open. A length
    // that was unknown is asked again.
    virtual double Duration() = 0;
    // Why the last open failed, as the media framework put it; empty when it gave no word.
    virtual std::string FailureReason() { return {}; }
    virtual bool Paused() = 0;
    virtual bool HasVideo() = 0;
    virtual bool HasMedia() = 0;
    virtual int LoadSubtitles(const std::string& path) = 0;
    // The subtitle file shown now; empty when none (a new medium starts with none).
    virtual std::string SubtitlesPath() = 0;
    // What the end of the medium does (pause, then the play sequencing); the play range's
    // end runs it too.
    virtual int EndOfMedia() = 0;
};
