#include "player/playlist/XCListCtrlScrollArrow.h"

#include <QMouseEvent>

XCListCtrlScrollArrow::XCListCtrlScrollArrow(QWidget* parent, int normalY, int pressedY)
    : XCListCtrlScrollPart(parent), normalY_(normalY), pressedY_(pressedY) {}

void XCListCtrlScrollArrow::SetScrollSkin(const QImage& skin) {
    Place();
    normalImage_ = scrollskin::Cut(skin, normalY_, scrollskin::kArrowHeight);
    pressedImage_ = scrollskin::Cut(skin, pressedY_, scrollskin::kArrowHeight);
    Show(normalImage_);
}

void XCListCtrlScrollArrow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Show(pressedImage_);
    if (listCtrl_) ScrollOneLine();
}

// A quick second press arrives as a double-click in place of its press: it is a click too.
void XCListCtrlScrollArrow::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void XCListCtrlScrollArrow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Show(normalImage_);
}
