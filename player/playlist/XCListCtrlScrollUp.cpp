#include "player/playlist/XCListCtrlScrollUp.h"

#include "player/playlist/XCListCtrl.h"

XCListCtrlScrollUp::XCListCtrlScrollUp(QWidget* parent)
    : XCListCtrlScrollArrow(parent, scrollskin::kUpNormal, scrollskin::kUpPressed) {}

void XCListCtrlScrollUp::Place() {
    PlaceAt(Geometry().UpRect());
    update();
}

void XCListCtrlScrollUp::ScrollOneLine() { listCtrl_->ScrollLineUp(); }
