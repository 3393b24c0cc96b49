#pragma once
// System suspend and resume, as the power broadcasts the main window acts on.
// logind announces both with its PrepareForSleep signal on the system bus:
// true just before the machine sleeps, false once it has woken up.
// Without a system bus (or without logind) no event ever comes.
//
// logind sends the signal and goes on to sleep without waiting for anyone,
// unless a program holds a delay inhibitor: then it waits until the program
// closes the inhibitor's file descriptor (at most InhibitDelayMaxSec, 5 s by
// default). So the suspend handler runs while the machine is still awake, the
// inhibitor is held from Connect on and released once the suspend has been
// handled: by the process's exit in the program, or right after the signal
// when the receiver goes on. It is taken again on resume.

#include "platform/win_types.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

// WM_POWERBROADCAST and the two wParam values the program handles.
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT PBT_APMSUSPEND = 4;
constexpr UINT PBT_APMRESUMEAUTOMATIC = 18;

class CPowerEvents : public QObject {
    Q_OBJECT

public:
    explicit CPowerEvents(QObject* parent = nullptr);

    // Subscribes to PrepareForSleep from logind on the system bus and asks
    // logind for the sleep delay inhibitor (the answer comes later; a refusal
    // is traced and changes nothing else). FALSE when there is no system bus
    // to listen on; nothing else is affected.
    BOOL Connect();
    // The same on a given connection (tests use a private bus).
    BOOL Connect(QDBusConnection bus);

signals:
    // PBT_APMSUSPEND or PBT_APMRESUMEAUTOMATIC, delivered on the thread this
    // object lives on (the UI thread in the program).
    void powerBroadcast(UINT wParam);

private slots:
    void OnPrepareForSleep(bool bStart);

private:
    void TakeSleepDelay();

    QDBusConnection m_bus{QString()};
    // The inhibitor: logind waits for this descriptor to close before the
    // machine sleeps. Closed on destruction and by the process's exit; the
    // descriptor is close-on-exec, so no program started from here keeps it.
    QDBusUnixFileDescriptor m_sleepDelay;
    bool m_bDelayRequested = false;
    // Between PrepareForSleep(true) and (false).
    bool m_bSuspended = false;
};
