#pragma once

// The scroll bar's track between the arrows: the skin's track tile repeated down its
// height, rebuilt whenever the list's height changes. A click on it does nothing.

#include "player/playlist/XCListCtrlScrollPart.h"

class XCListCtrlScrollLine : public XCListCtrlScrollPart {
    Q_OBJECT
public:
    explicit XCListCtrlScrollLine(QWidget* parent);

    void SetScrollSkin(const QImage& skin) override;
    // Places the track, then tiles it to its new height.
    void Place() override;
    // Builds the track image: tiles from the top, the last one clipped.
    void RetileTrack();

    const QImage& TileImage() const { return tileImage_; }

private:
    QImage tileImage_;
};
