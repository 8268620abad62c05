#pragma once

// An arrow of the playlist's scroll bar: each press scrolls the list one line and shows
// the pressed image until the release; holding the button does not repeat.

#include "player/playlist/XCListCtrlScrollPart.h"

class XCListCtrlScrollArrow : public XCListCtrlScrollPart {
    Q_OBJECT
public:
    void SetScrollSkin(const QImage& skin) override;

    const QImage& NormalImage() const { return normalImage_; }
    const QImage& PressedImage() const { return pressedImage_; }

protected:
    // normalY and pressedY: the arrow's two images in the scroll bitmap.
    XCListCtrlScrollArrow(QWidget* parent, int normalY, int pressedY);
    virtual void ScrollOneLine() = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int normalY_;
    int pressedY_;
    QImage normalImage_;
    QImage pressedImage_;
};
