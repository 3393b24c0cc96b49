#include "platform/power_events.h"

#include "platform/trace.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString LOGIN1_SERVICE = QStringLiteral("org.freedesktop.login1");
const QString LOGIN1_PATH = QStringLiteral("/org/freedesktop/login1");
const QString LOGIN1_MANAGER = QStringLiteral("org.freedesktop.login1.Manager");
} // namespace

CPowerEvents::CPowerEvents(QObject* parent) : QObject(parent) {}

BOOL CPowerEvents::Connect() {
    return Connect(QDBusConnection::systemBus());
}

BOOL CPowerEvents::Connect(QDBusConnection bus) {
    if (!bus.isConnected()) {
        Trace("no system bus, no power events: %s", qUtf8Printable(bus.lastError().message()));
        return FALSE;
    }
    // The match names logind as the sender, so the bus passes on only the
    // signal logind itself sends, never one another client makes up; the
    // signature "b" lets only the well-formed signal through.
    if (!bus.connect(LOGIN1_SERVICE, LOGIN1_PATH, LOGIN1_MANAGER, QStringLiteral("PrepareForSleep"),
                     QStringLiteral("b"), this, SLOT(OnPrepareForSleep(bool)))) {
        Trace("PrepareForSleep not subscribed: %s", qUtf8Printable(bus.lastError().message()));
        return FALSE;
    }
    m_bus = bus;
    TakeSleepDelay();
    return TRUE;
}

void CPowerEvents::TakeSleepDelay() {
    if (m_sleepDelay.isValid() || m_bDelayRequested)
        return;
    // Asked without blocking: a slow logind must not hold up the window.
    QDBusMessage call =
        QDBusMessage::createMethodCall(LOGIN1_SERVICE, LOGIN1_PATH, LOGIN1_MANAGER, "Inhibit");
    call << QStringLiteral("sleep") << QStringLiteral("Nimbrel Vizor webcam")
         << QStringLiteral("Stopping the camera before the system sleeps")
         << QStringLiteral("delay");
    m_bDelayRequested = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                m_bDelayRequested = false;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
                if (reply.isError()) {
                    Trace("no sleep delay from logind: %s",
                          qUtf8Printable(reply.error().message()));
                    return;
                }
                // logind's answer can come after its PrepareForSleep(true):
                // holding the delay then would keep the machine awake until
                // logind's time-out. Resume asks again.
                if (!m_bSuspended)
                    m_sleepDelay = reply.value();
            });
}

void CPowerEvents::OnPrepareForSleep(bool bStart) {
    m_bSuspended = bStart;
    if (!bStart) {
        TakeSleepDelay();
        emit powerBroadcast(PBT_APMRESUMEAUTOMATIC);
        return;
    }
    // In the program the receiver ends the process: the exit closes the
    // descriptor. A receiver that goes on has done its work when the signal
    // returns, and the machine may sleep now rather than after logind's time-out.
    emit powerBroadcast(PBT_APMSUSPEND);
    m_sleepDelay = QDBusUnixFileDescriptor();
}
