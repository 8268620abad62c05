#pragma once

// The scroll bar's down arrow, at the bottom of the column right of the list.

#include "player/playlist/XCListCtrlScrollArrow.h"

class XCListCtrlScrollDown : public XCListCtrlScrollArrow {
    Q_OBJECT
public:
    explicit XCListCtrlScrollDown(QWidget* parent);
    void Place() override;

protected:
    void ScrollOneLine() override;
};
