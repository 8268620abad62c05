#include "player/playlist/XCListCtrlScrollThumb.h"

#include <QMouseEvent>

#include "player/playlist/XCListCtrl.h"

XCListCtrlScrollThumb::XCListCtrlScrollThumb(QWidget* parent) : XCListCtrlScrollPart(parent) {}

void XCListCtrlScrollThumb::SetScrollSkin(const QImage& skin) {
    Place();
    normalImage_ = scrollskin::Cut(skin, scrollskin::kThumbNormal, scrollskin::kThumbHeight);
    pressedImage_ = scrollskin::Cut(skin, scrollskin::kThumbPressed, scrollskin::kThumbHeight);
    Show(dragging_ ? pressedImage_ : normalImage_);
}

void XCListCtrlScrollThumb::Place() {
    if (!listCtrl_) return;
    const playlistframe::ScrollGeometry bar = Geometry();
    const int top = bar.ThumbTop(listCtrl_->ScrollPos(), listCtrl_->ScrollLimit());
    PlaceAt(
        WinRect{bar.Left(), top, bar.Left() + scrollskin::kWidth, top + scrollskin::kThumbHeight});
}

void XCListCtrlScrollThumb::RepositionThumb() {
    Place();
    update();
}

void XCListCtrlScrollThumb::StartDrag(const QPoint& point) {
    Show(pressedImage_);
    dragging_ = true;
    pressY_ = point.y();
}

void XCListCtrlScrollThumb::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) StartDrag(event->position().toPoint());
}

void XCListCtrlScrollThumb::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) StartDrag(event->position().toPoint());
}

void XCListCtrlScrollThumb::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton) || !listCtrl_) return;
    const int wanted = y() + (event->position().toPoint().y() - pressY_);
    const int limit = listCtrl_->ScrollLimit();
    const playlistframe::ThumbStep step = playlistframe::DragThumb(Geometry(), y(), wanted, limit);
    if (step.top != y()) move(x(), step.top);
    if (!step.moved) return;
    listCtrl_->SetScrollPos(step.scrollPos);
    listCtrl_->EnsureTopIndex();
}

void XCListCtrlScrollThumb::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Show(normalImage_);
    const bool dragged = dragging_;
    dragging_ = false;
    if (dragged && listCtrl_) listCtrl_->ProbeAfterThumbDrag();
}
