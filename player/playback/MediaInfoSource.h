#pragma once

// What the media information box needs of the video window: the probed facts, the graph,
// the rectangles it centres on, and the video window's place on top once it hides in full
// screen. The player's is the video window's adapter; tests give their own.

#include <gst/gst.h>

#include <QRect>

#include "player/playback/MediaInfoTexts.h"

class IMediaInfoSource {
public:
    virtual ~IMediaInfoSource() = default;
    virtual MediaInfoFacts Facts() const = 0;
    // The playbin, or null when no graph is built. Borrowed.
    virtual GstElement* Graph() const = 0;
    virtual QRect VideoWindowRect() const = 0;
    virtual QRect MainWindowRect() const = 0;
    virtual QRect DesktopRect() const = 0;
    virtual void AfterToolHidden() = 0;
};
