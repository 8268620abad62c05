#include "player/playlist/XCListCtrlScrollDown.h"

#include "player/playlist/XCListCtrl.h"

XCListCtrlScrollDown::XCListCtrlScrollDown(QWidget* parent)
    : XCListCtrlScrollArrow(parent, scrollskin::kDownNormal, scrollskin::kDownPressed) {}

void XCListCtrlScrollDown::Place() {
    PlaceAt(Geometry().DownRect());
    update();
}

void XCListCtrlScrollDown::ScrollOneLine() { listCtrl_->ScrollLineDown(); }
