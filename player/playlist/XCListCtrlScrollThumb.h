#pragma once

// The scroll bar's thumb: placed from the list's top row, and dragged it makes the row at
// its share of the travel the top row. The lengths of the rows brought into view are
// probed once, at the release, not at every move.

#include <QPoint>

#include "player/playlist/XCListCtrlScrollPart.h"

class XCListCtrlScrollThumb : public XCListCtrlScrollPart {
    Q_OBJECT
public:
    explicit XCListCtrlScrollThumb(QWidget* parent);

    void SetScrollSkin(const QImage& skin) override;
    // PlaceScrollThumb: at the list's scroll position.
    void Place() override;
    // Place, then paint.
    void RepositionThumb();

    bool Dragging() const { return dragging_; }
    const QImage& NormalImage() const { return normalImage_; }
    const QImage& PressedImage() const { return pressedImage_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void StartDrag(const QPoint& point);

    QImage normalImage_;
    QImage pressedImage_;
    bool dragging_ = false;
    int pressY_ = 0;  // the press in the thumb's own coordinates
};
