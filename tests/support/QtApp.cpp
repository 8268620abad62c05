#include "support/QtApp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace qttest {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// At least once: a thread held up past ms before its first round still delivers what was
// posted before the call.
void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    } while (timer.elapsed() < ms);
}

}  // namespace qttest
