#pragma once
// A private bus standing in for the system bus, with python3-dbusmock's logind
// template on it: what a test needs to send the program sleep and wake-up
// signals. Debian's own python3 is the one that has the dbusmock module.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QVariant>

#include <memory>

class LogindMock {
public:
    LogindMock() = default;
    ~LogindMock();
    LogindMock(const LogindMock&) = delete;
    LogindMock& operator=(const LogindMock&) = delete;

    // Starts the bus and the mock and waits until logind's name is on the bus.
    // Sets DBUS_SYSTEM_BUS_ADDRESS of this process to the bus, so
    // QDBusConnection::systemBus() and child processes reach it. Records a test
    // failure and returns false when either does not come up.
    bool Start();
    void Stop();

    // The bus address, as DBUS_SYSTEM_BUS_ADDRESS takes it.
    const QByteArray& Address() const { return m_address; }

    // logind's PrepareForSleep with one argument of the given D-Bus signature,
    // sent by the mock under logind's name. Records a failure and returns false
    // when the mock refuses the call.
    bool EmitPrepareForSleep(const QString& signature, const QVariant& value);

    // The "sleep" inhibitors in "delay" mode logind holds now, by who took
    // them; -1 (and a recorded failure) when the mock does not answer.
    int SleepDelays(const QString& who);

private:
    QByteArray m_address;
    std::unique_ptr<QProcess> m_pBus;
    std::unique_ptr<QProcess> m_pLogind;
};
