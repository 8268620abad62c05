#pragma once

// The main window's view of the video window: what start-up, the skinned surface and the
// display timer ask of it. The player's one is MoviePlayback; tests put a recorder in.

#include <QWidget>

class IPlaybackWindow {
public:
    virtual ~IPlaybackWindow() = default;
    // The window the player's later windows take as their parent.
    virtual QWidget* Widget() = 0;
    virtual int InitGraph() = 0;
    virtual int SetVolume(double volume) = 0;
    virtual int SetPosition(double seconds) = 0;
    virtual double GetPosition() = 0;
    // The open medium's length in seconds; 0 when unknown or nothing is open.
    virtual double Duration() = 0;
};
