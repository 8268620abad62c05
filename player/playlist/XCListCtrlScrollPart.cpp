#include "player/playlist/XCListCtrlScrollPart.h"

#include <QPainter>

#include "platform/ui/ColorRef.h"
#include "player/playlist/XCListCtrl.h"

QImage scrollskin::Cut(const QImage& skin, int y, int height) {
    const QRect block(0, y, kWidth, height);
    if (skin.isNull() || !skin.rect().contains(block)) return {};
    return skin.copy(block);
}

XCListCtrlScrollPart::XCListCtrlScrollPart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

XCListCtrlScrollPart::~XCListCtrlScrollPart() = default;

playlistframe::ScrollGeometry XCListCtrlScrollPart::Geometry() const {
    if (!listCtrl_) return {};
    // The list keeps its rectangle and the owner's origin on screen; their difference is
    // the list's place in the owner, whatever the window manager reports meanwhile.
    const QRect list = listCtrl_->ListRect().translated(-listCtrl_->ReferencePoint());
    return {colorref::FromQRect(list)};
}

void XCListCtrlScrollPart::PlaceAt(const WinRect& rect) {
    setGeometry(colorref::ToQRect(rect));
    raise();
}

void XCListCtrlScrollPart::Show(const QImage& image) {
    shown_ = image;
    repaint();
}

void XCListCtrlScrollPart::paintEvent(QPaintEvent*) {
    if (shown_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
}
