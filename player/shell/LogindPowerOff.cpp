#include "player/shell/LogindPowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

void LogindPowerOff::PowerOff() {
    QDBusConnection bus = busAddress_.empty()
                              ? QDBusConnection::systemBus()
                              : QDBusConnection::connectToBus(QString::fromStdString(busAddress_), "kalvor-power");
    if (!bus.isConnected()) {
        qWarning("Kalvor: no system bus, the computer was not switched off");
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                                       "org.freedesktop.login1.Manager", "PowerOff");
    call << true;  // interactive: logind may ask for authorisation
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), nullptr);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [](QDBusPendingCallWatcher* done) {
        const QDBusPendingReply<> reply = *done;
        if (reply.isError())
            qWarning("Kalvor: the computer was not switched off: %s", qUtf8Printable(reply.error().message()));
        done->deleteLater();
    });
}
