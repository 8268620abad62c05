#pragma once

// Test programs that need Qt link ktest_qt_main: its main() makes one QApplication on the
// "offscreen" platform (unless QT_QPA_PLATFORM says otherwise) before the tests run.

#include <functional>

namespace qttest {

// Runs the event loop until done() is true or timeoutMs has passed; returns done(). The
// default is generous: a wait ends with its event, and a busy machine can take long for it.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 30000);
// Processes pending events for about ms milliseconds, and at least once.
void Pump(int ms);

}  // namespace qttest
