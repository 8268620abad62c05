#pragma once

// The scroll bar's up arrow, at the top of the column right of the list.

#include "player/playlist/XCListCtrlScrollArrow.h"

class XCListCtrlScrollUp : public XCListCtrlScrollArrow {
    Q_OBJECT
public:
    explicit XCListCtrlScrollUp(QWidget* parent);
    void Place() override;

protected:
    void ScrollOneLine() override;
};
