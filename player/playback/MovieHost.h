#pragma once

// What the video window needs from the main window while it opens and ends media.

#include <cstdio>
#include <string>

#include "player/settings/PlayerSettings.h"

class IMovieHost {
public:
    virtual ~IMovieHost() = default;
    virtual PlayerSettings& Settings() = 0;
    // The main window takes no input while a file is being opened.
    virtual void EnableMainWindow(bool enable) = 0;
    // Stops the play-range end timer and clears its deadline.
    virtual void StopRangeEndTimer() = 0;
    // The medium ended and the graph is paused: the play sequencing chooses what follows
    // (repeat one, next entry, or shutting down after the last).
    virtual void AfterEndOfMedia() = 0;
    // Something the user is told about (why a file stopped, that the sound is off): a line
    // on standard error, and the main window's tip where there is one.
    virtual void ReportProblem(const std::string& text) {
        std::fprintf(stderr, "Kalvor: %s\n", text.c_str());
    }
};
