#include "platform/power_events.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A private bus standing in as the system bus, with python3-dbusmock's logind
// on it. Debian's own python3 is the one that has the dbusmock module.
class PowerEvents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pBus = std::make_unique<QProcess>();
        s_pBus->start(QStringLiteral("dbus-daemon"),
                      {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        ASSERT_TRUE(s_pBus->waitForStarted(10000));
        while (!s_pBus->canReadLine())
            ASSERT_TRUE(s_pBus->waitForReadyRead(10000)) << "dbus-daemon printed no address";
        const QByteArray address = s_pBus->readLine().trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

        s_pLogind = std::make_unique<QProcess>();
        s_pLogind->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        s_pLogind->start(QStringLiteral("/usr/bin/python3"),
                         {"-m", "dbusmock", "--template", "logind"});
        ASSERT_TRUE(s_pLogind->waitForStarted(10000));

        QDBusConnection bus = QDBusConnection::systemBus();
        ASSERT_TRUE(bus.isConnected());
        const QDeadlineTimer deadline(20000);
        while (!bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.login1"))) {
            ASSERT_FALSE(deadline.hasExpired()) << "the logind mock did not come up";
            QThread::msleep(50);
        }
    }

    static void TearDownTestSuite() {
        for (auto* process : {&s_pLogind, &s_pBus}) {
            if (*process) {
                (*process)->terminate();
                (*process)->waitForFinished(5000);
                process->reset();
            }
        }
    }

    // logind's signal, sent by the mock under logind's name.
    static void EmitFromLogind(const QString& signature, const QVariant& value) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("EmitSignal"));
        call << QStringLiteral("org.freedesktop.login1.Manager")
             << QStringLiteral("PrepareForSleep") << signature << QVariantList{value};
        const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, 5000);
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << qPrintable(reply.errorMessage());
    }

    static std::unique_ptr<QProcess> s_pBus;
    static std::unique_ptr<QProcess> s_pLogind;
};

std::unique_ptr<QProcess> PowerEvents::s_pBus;
std::unique_ptr<QProcess> PowerEvents::s_pLogind;

TEST_F(PowerEvents, SleepAndWakeBecomeSuspendAndResumeOnTheUiThread) {
    CPowerEvents events;
    ASSERT_EQ(events.Connect(), TRUE);
    QList<UINT> received;
    QList<QThread*> threads;
    QObject::connect(&events, &CPowerEvents::powerBroadcast, &events, [&](UINT wParam) {
        received.append(wParam);
        threads.append(QThread::currentThread());
    });
    QSignalSpy spy(&events, &CPowerEvents::powerBroadcast);

    EmitFromLogind(QStringLiteral("b"), true);
    ASSERT_TRUE(spy.wait(5000));
    EmitFromLogind(QStringLiteral("b"), false);
    ASSERT_TRUE(spy.wait(5000));

    EXPECT_EQ(received, (QList<UINT>{PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC}));
    for (QThread* thread : threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST_F(PowerEvents, SignalFromAnotherSenderIsNotAPowerEvent) {
    CPowerEvents events;
    ASSERT_EQ(events.Connect(), TRUE);
    QSignalSpy spy(&events, &CPowerEvents::powerBroadcast);

    // Any client on the bus can send a signal with logind's path and interface.
    QDBusConnection other = QDBusConnection::connectToBus(
        qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS"), QStringLiteral("vizor-impostor"));
    ASSERT_TRUE(other.isConnected());
    QDBusMessage forged = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    forged << true;
    ASSERT_TRUE(other.send(forged));
    EXPECT_FALSE(spy.wait(700));
    QDBusConnection::disconnectFromBus(QStringLiteral("vizor-impostor"));

    // A malformed PrepareForSleep from logind is not one either.
    EmitFromLogind(QStringLiteral("s"), QStringLiteral("true"));
    EXPECT_FALSE(spy.wait(700));
    EXPECT_EQ(spy.count(), 0);
}

TEST(PowerEventsWithoutBus, NoBusMeansNoSubscriptionAndNoEvents) {
    CPowerEvents events;
    QSignalSpy spy(&events, &CPowerEvents::powerBroadcast);
    QDBusConnection none = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/vizor-system-bus"), QStringLiteral("vizor-no-bus"));

    EXPECT_EQ(events.Connect(none), FALSE);
    EXPECT_FALSE(spy.wait(200));
    QDBusConnection::disconnectFromBus(QStringLiteral("vizor-no-bus"));
}

} // namespace
