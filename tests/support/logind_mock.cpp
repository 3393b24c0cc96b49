#include "tests/support/logind_mock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace {
const QString LOGIN1_SERVICE = QStringLiteral("org.freedesktop.login1");
const QString LOGIN1_PATH = QStringLiteral("/org/freedesktop/login1");
} // namespace

LogindMock::~LogindMock() {
    Stop();
}

bool LogindMock::Start() {
    m_pBus = std::make_unique<QProcess>();
    m_pBus->start(QStringLiteral("dbus-daemon"),
                  {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (!m_pBus->waitForStarted(10000)) {
        ADD_FAILURE() << "dbus-daemon did not start";
        return false;
    }
    while (!m_pBus->canReadLine()) {
        if (!m_pBus->waitForReadyRead(10000)) {
            ADD_FAILURE() << "dbus-daemon printed no address";
            return false;
        }
    }
    m_address = m_pBus->readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address);

    m_pLogind = std::make_unique<QProcess>();
    m_pLogind->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_pLogind->start(QStringLiteral("/usr/bin/python3"),
                     {"-m", "dbusmock", "--template", "logind"});
    if (!m_pLogind->waitForStarted(10000)) {
        ADD_FAILURE() << "the logind mock did not start";
        return false;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        ADD_FAILURE() << "the private bus does not answer";
        return false;
    }
    const QDeadlineTimer deadline(20000);
    while (!bus.interface()->isServiceRegistered(LOGIN1_SERVICE)) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "the logind mock did not come up";
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

void LogindMock::Stop() {
    for (auto* process : {&m_pLogind, &m_pBus}) {
        if (*process) {
            (*process)->terminate();
            (*process)->waitForFinished(5000);
            process->reset();
        }
    }
}

bool LogindMock::EmitPrepareForSleep(const QString& signature, const QVariant& value) {
    QDBusMessage call = QDBusMessage::createMethodCall(LOGIN1_SERVICE, LOGIN1_PATH,
                                                       QStringLiteral("org.freedesktop.DBus.Mock"),
                                                       QStringLiteral("EmitSignal"));
    call << QStringLiteral("org.freedesktop.login1.Manager") << QStringLiteral("PrepareForSleep")
         << signature << QVariantList{value};
    const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        ADD_FAILURE() << qPrintable(reply.errorMessage());
        return false;
    }
    return true;
}

int LogindMock::SleepDelays(const QString& who) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        LOGIN1_SERVICE, LOGIN1_PATH, QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("ListInhibitors"));
    const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        ADD_FAILURE() << "ListInhibitors: " << qPrintable(reply.errorMessage());
        return -1;
    }
    // a(ssssuu): what, who, why, mode, uid, pid.
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    int nCount = 0;
    list.beginArray();
    while (!list.atEnd()) {
        QString what, owner, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> owner >> why >> mode >> uid >> pid;
        list.endStructure();
        if (what == QLatin1String("sleep") && mode == QLatin1String("delay") && owner == who)
            ++nCount;
    }
    list.endArray();
    return nCount;
}
