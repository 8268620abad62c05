// The shutdown option's call, made on a private message bus to a stand-in for logind: the
// right service, object, interface, method and argument, and no wait on the answer.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>

#include "player/shell/LogindPowerOff.h"
#include "support/QtApp.h"

namespace {

// Answers every call on its path and keeps what it was asked.
class FakeLogind : public QDBusVirtualObject {
public:
    QString interface, member, signature;
    QVariantList arguments;
    int calls = 0;
    bool refuse = false;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        ++calls;
        interface = message.interface();
        member = message.member();
        signature = message.signature();
        arguments = message.arguments();
        connection.send(refuse ? message.createErrorReply("org.freedesktop.DBus.Error.AccessDenied", "no")
                               : message.createReply());
        return true;
    }
};

TEST(LogindPowerOffTest, AsksLogindToPowerOffInteractivelyOnTheBusItIsGiven) {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address"});
    if (!daemon.waitForStarted(5000)) GTEST_SKIP() << "dbus-daemon could not start";
    ASSERT_TRUE(qttest::WaitUntil([&] { return daemon.canReadLine(); }));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();

    QDBusConnection bus = QDBusConnection::connectToBus(address, "fake-logind");
    ASSERT_TRUE(bus.isConnected());
    FakeLogind logind;
    ASSERT_TRUE(bus.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/login1", &logind));

    for (bool refuse : {false, true}) {
        logind.refuse = refuse;
        const int before = logind.calls;
        LogindPowerOff(address.toStdString()).PowerOff();  // a refusal is only logged
        ASSERT_TRUE(qttest::WaitUntil([&] { return logind.calls == before + 1; }));
        EXPECT_EQ(logind.interface, "org.freedesktop.login1.Manager");
        EXPECT_EQ(logind.member, "PowerOff");
        EXPECT_EQ(logind.signature, "b");
        EXPECT_EQ(logind.arguments, QVariantList{true});
        qttest::Pump(50);  // the answer reaches the caller's watcher
    }

    bus.unregisterObject("/org/freedesktop/login1");
    QDBusConnection::disconnectFromBus("fake-logind");
    QDBusConnection::disconnectFromBus("kalvor-power");
    daemon.kill();
    daemon.waitForFinished(5000);
}

}  // namespace
