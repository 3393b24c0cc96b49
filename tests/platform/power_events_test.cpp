#include "platform/power_events.h"

#include "tests/support/logind_mock.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The system bus is a private one with python3-dbusmock's logind on it.
class PowerEvents : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pLogind = std::make_unique<LogindMock>();
        s_bRunning = s_pLogind->Start();
    }

    static void TearDownTestSuite() { s_pLogind.reset(); }

    void SetUp() override { ASSERT_TRUE(s_bRunning) << "no logind mock on a private bus"; }

    static void EmitFromLogind(const QString& signature, const QVariant& value) {
        s_pLogind->EmitPrepareForSleep(signature, value);
    }

    static std::unique_ptr<LogindMock> s_pLogind;
    static bool s_bRunning;
};

std::unique_ptr<LogindMock> PowerEvents::s_pLogind;
bool PowerEvents::s_bRunning = false;

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

// logind waits for a delay inhibitor's holder before the machine sleeps: held
// from the subscription on, given back once the suspend has been handled (a
// receiver that goes on must not hold the sleep up), taken again on wake-up.
TEST_F(PowerEvents, SleepDelayIsHeldUntilTheSuspendIsHandledAndTakenAgainOnResume) {
    const QString who = QStringLiteral("Nimbrel Vizor webcam");
    auto delays = [&](int nWanted) {
        return QTest::qWaitFor([&] { return s_pLogind->SleepDelays(who) == nWanted; }, 5000);
    };
    int nDelaysAtSuspend = -1;
    {
        CPowerEvents events;
        ASSERT_EQ(events.Connect(), TRUE);
        ASSERT_TRUE(delays(1)) << "no delay inhibitor while running";
        QObject::connect(&events, &CPowerEvents::powerBroadcast, &events, [&](UINT wParam) {
            if (wParam == PBT_APMSUSPEND)
                nDelaysAtSuspend = s_pLogind->SleepDelays(who);
        });
        QSignalSpy spy(&events, &CPowerEvents::powerBroadcast);

        EmitFromLogind(QStringLiteral("b"), true);
        ASSERT_TRUE(spy.wait(5000));
        EXPECT_EQ(nDelaysAtSuspend, 1) << "the sleep was not held while the suspend ran";
        EXPECT_TRUE(delays(0)) << "still held after the suspend was handled";

        EmitFromLogind(QStringLiteral("b"), false);
        ASSERT_TRUE(spy.wait(5000));
        EXPECT_TRUE(delays(1)) << "not taken again on resume";
        // A second resume does not take a second one.
        EmitFromLogind(QStringLiteral("b"), false);
        ASSERT_TRUE(spy.wait(5000));
        QTest::qWait(300);
        EXPECT_EQ(s_pLogind->SleepDelays(who), 1);
    }
    EXPECT_TRUE(delays(0)) << "the inhibitor outlived its owner";
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
