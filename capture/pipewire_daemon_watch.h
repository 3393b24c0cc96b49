#pragma once
// Follows the PipeWire daemon this process reaches: says when it goes away and
// when a daemon listens again (a restart after an upgrade, or of the user's
// session services). The watch holds a connection of its own on which it
// never speaks; the daemon's end closing is the sign it has gone. While none
// listens it tries to connect once a second.

#include "capture/pipewire_connection.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>

class CPipeWireDaemonWatch final : public QObject {
public:
    // Both run on the thread that made the watch, which needs an event loop.
    CPipeWireDaemonWatch(std::function<void()> onGone, std::function<void()> onBack);

    // A daemon listened at the last look.
    bool Connected() const { return m_pConnection != nullptr; }

private:
    bool Connect();
    void OnReadable();
    void Retry();

    std::function<void()> m_onGone;
    std::function<void()> m_onBack;
    std::unique_ptr<CPipeWireConnection> m_pConnection;
    std::unique_ptr<QSocketNotifier> m_pNotifier; // on m_pConnection's descriptor
    QTimer m_retry;
};
