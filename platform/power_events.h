#pragma once
// System suspend and resume, as the power broadcasts the main window acts on.
// logind announces both with its PrepareForSleep signal on the system bus:
// true just before the machine sleeps, false once it has woken up.
// Without a system bus (or without logind) no event ever comes.

#include "platform/win_types.h"

#include <QDBusConnection>
#include <QObject>

// WM_POWERBROADCAST and the two wParam values the program handles.
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT PBT_APMSUSPEND = 4;
constexpr UINT PBT_APMRESUMEAUTOMATIC = 18;

class CPowerEvents : public QObject {
    Q_OBJECT

public:
    explicit CPowerEvents(QObject* parent = nullptr);

    // Subscribes to PrepareForSleep from logind on the system bus. FALSE when
    // there is no system bus to listen on; nothing else is affected.
    BOOL Connect();
    // The same on a given connection (tests use a private bus).
    BOOL Connect(QDBusConnection bus);

signals:
    // PBT_APMSUSPEND or PBT_APMRESUMEAUTOMATIC, delivered on the thread this
    // object lives on (the UI thread in the program).
    void powerBroadcast(UINT wParam);

private slots:
    void OnPrepareForSleep(bool bStart);
};
