#include "platform/power_events.h"

#include "platform/trace.h"

#include <QDBusError>

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
    return TRUE;
}

void CPowerEvents::OnPrepareForSleep(bool bStart) {
    emit powerBroadcast(bStart ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
}
