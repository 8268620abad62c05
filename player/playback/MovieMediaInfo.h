#pragma once

// The video window's media information box: the box itself, fed from the window's probed
// facts and graph. The element list follows the graph: it is let go when the graph is
// released and listed again after each open while the box is shown.

#include <memory>

#include "player/playback/KalvorMovie.h"
#include "player/playback/MediaInfoSource.h"
#include "player/playback/MediaProperties.h"

class MovieMediaInfo : public IMediaInfoSource, public IMediaInfoBox {
public:
    MovieMediaInfo(CKalvorMovie& movie, PlayerSettings& settings);
    ~MovieMediaInfo() override;

    CMediaProperties& Box() { return *box_; }

    void ShowMediaInfo() override { box_->ShowMediaInfo(); }
    void GraphReleased() override { box_->ReleaseFilters(); }
    void MediaOpened() override;

    MediaInfoFacts Facts() const override;
    GstElement* Graph() const override;
    QRect VideoWindowRect() const override;
    QRect MainWindowRect() const override;
    QRect DesktopRect() const override;
    void AfterToolHidden() override;

private:
    CKalvorMovie& movie_;
    PlayerSettings& settings_;
    std::unique_ptr<CMediaProperties> box_;
};
