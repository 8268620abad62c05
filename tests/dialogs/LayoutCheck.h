#pragma once

// What a user sees wrong on a dialog page, found from the widgets themselves: two shown
// controls drawn over each other, a control that sticks out of the window or box it sits
// in, and a text that needs more room than its control gives it, measured with the
// control's own font and the style's text rectangles.

#include <QFont>
#include <QRect>
#include <QString>
#include <string>
#include <vector>

class QWidget;

// A text the window paints itself: it must fit room and must not run under a control.
struct PaintedText {
    QString text;
    QRect room;  // window coordinates
    QFont font;
    int flags;   // Qt alignment flags the text is drawn with
};

// Every fault of the window as it would show now, one line each.
std::vector<std::string> LayoutFaults(const QWidget& window,
                                      const std::vector<PaintedText>& painted = {});
