#include "player/playlist/BusyWait.h"

#include <QApplication>
#include <QKeyEvent>

BusyWait::BusyWait(Status status, std::function<void()> cancel, QObject* parent)
    : QObject(parent), status_(std::move(status)), cancel_(std::move(cancel)) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    qApp->installEventFilter(this);
}

BusyWait::~BusyWait() { Release(); }

void BusyWait::Release() {
    if (!active_) return;
    active_ = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    if (status_) status_("");
}

void BusyWait::SetStatus(const std::string& text) {
    if (active_ && status_) status_(text + " - Esc cancels");
}

void BusyWait::Finish(std::unique_ptr<BusyWait>& busy) {
    if (!busy) return;
    busy->Release();
    busy.release()->deleteLater();
}

bool BusyWait::eventFilter(QObject* watched, QEvent* event) {
    // Used up, so no dialog closes on it.
    if (active_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (cancel_) cancel_();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
