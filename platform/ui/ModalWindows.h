#pragma once

// A modal dialog or a menu runs an event loop of its own, and a loop below it cannot end
// while one runs above. Ending a program from inside them closes them first.

class QWidget;

namespace modalwindows {

// Closes the open popup menus and the modal windows above bottom (the owner of the lowest
// loop, which stays), innermost first; a dialog is rejected. Sixteen levels at most.
void CloseAbove(const QWidget* bottom);

}  // namespace modalwindows
