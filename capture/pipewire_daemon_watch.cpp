#include "capture/pipewire_daemon_watch.h"

#include "platform/trace.h"

#include <sys/socket.h>

#include <cerrno>

namespace {
constexpr int DAEMON_RETRY_MS = 1000;
} // namespace

CPipeWireDaemonWatch::CPipeWireDaemonWatch(std::function<void()> onGone,
                                           std::function<void()> onBack)
    : m_onGone(std::move(onGone)), m_onBack(std::move(onBack)) {
    m_retry.setInterval(DAEMON_RETRY_MS);
    connect(&m_retry, &QTimer::timeout, this, &CPipeWireDaemonWatch::Retry);
    if (!Connect())
        m_retry.start();
}

bool CPipeWireDaemonWatch::Connect() {
    m_pConnection = CPipeWireConnection::Open();
    if (!m_pConnection)
        return false;
    m_pNotifier = std::make_unique<QSocketNotifier>(m_pConnection->Fd(), QSocketNotifier::Read);
    connect(m_pNotifier.get(), &QSocketNotifier::activated, this,
            &CPipeWireDaemonWatch::OnReadable);
    return true;
}

void CPipeWireDaemonWatch::OnReadable() {
    char discard[256];
    const ssize_t n = recv(m_pConnection->Fd(), discard, sizeof discard, MSG_DONTWAIT);
    // Whatever the daemon says to a client that never introduced itself is
    // of no interest; only the end of the connection is.
    if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR)))
        return;
    Trace("PipeWire daemon gone");
    // The notifier is the sender of this call: it goes when the call is over.
    m_pNotifier->setEnabled(false);
    m_pNotifier.release()->deleteLater();
    m_pConnection.reset();
    m_retry.start();
    m_onGone();
}

void CPipeWireDaemonWatch::Retry() {
    if (!Connect())
        return;
    Trace("PipeWire daemon listens");
    m_retry.stop();
    m_onBack();
}
