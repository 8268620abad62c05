#include "player/shell/HKTip.h"

CHKTip::CHKTip(QWidget* parent)
    : QDialog(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    hide();
}

CHKTip::~CHKTip() = default;
