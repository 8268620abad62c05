#include "platform/media/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDebug>

namespace media {
namespace {

const char kService[] = "org.freedesktop.ScreenSaver";
const char kPath[] = "/org/freedesktop/ScreenSaver";
const char kInterface[] = "org.freedesktop.ScreenSaver";

bool SessionBusUsable() {
    if (QDBusConnection::sessionBus().isConnected()) return true;
    static bool noted = false;
    if (!noted) {
        noted = true;
        qInfo("Kalvor: no D-Bus session bus; the screen saver is not held off during videos");
    }
    return false;
}

}  // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent) : QObject(parent) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    if (hasCookie_) SendUnInhibit(cookie_);
}

void ScreenSaverInhibitor::Inhibit() {
    if (wanted_) return;
    wanted_ = true;
    if (pending_ || hasCookie_ || !SessionBusUsable()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << QStringLiteral("Kalvor") << QStringLiteral("Playing a video");
    // Asynchronous: an absent or slow service must not hold up opening a file.
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    pending_ = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &ScreenSaverInhibitor::OnInhibitReply);
}

void ScreenSaverInhibitor::Release() {
    wanted_ = false;
    if (hasCookie_) {
        hasCookie_ = false;
        SendUnInhibit(cookie_);
    }
}

void ScreenSaverInhibitor::OnInhibitReply(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    pending_ = false;
    QDBusPendingReply<uint32_t> reply = *watcher;
    if (reply.isError()) return;
    if (wanted_) {
        cookie_ = reply.value();
        hasCookie_ = true;
    } else {
        SendUnInhibit(reply.value());  // released while the call was on its way
    }
}

void ScreenSaverInhibitor::SendUnInhibit(uint32_t cookie) {
    if (!QDBusConnection::sessionBus().isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
    call << cookie;
    QDBusConnection::sessionBus().send(call);
}

}  // namespace media
