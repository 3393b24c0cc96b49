#include "platform/single_instance.h"

#include "platform/trace.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <unistd.h>

namespace {

QByteArray ActivationLine(const ActivationTokens& tokens) {
    QByteArray line(ACTIVATE_MESSAGE);
    for (const QByteArray& field : ActivationTokenFields(tokens))
        line += '\t' + field;
    return line + '\n';
}

// A line longer than the message and its two tokens is not the message; a
// peer that sends more than this without a line end, or keeps the connection
// idle, is dropped.
constexpr qint64 MAX_LINE = 512;
constexpr int IDLE_CONNECTION_MS = 5000;
constexpr int RETRY_MS = 50;

} // namespace

CSingleInstance::CSingleInstance(const QString& name, QObject* parent) : QObject(parent) {
    const QString folder = RuntimeFolder();
    QString base = folder + QLatin1Char('/') + name;
    if (folder != qEnvironmentVariable("XDG_RUNTIME_DIR"))
        base += QStringLiteral("-%1").arg(getuid());
    m_strLockPath = base + QStringLiteral(".lock");
    m_strServerPath = base + QStringLiteral(".socket");
}

CSingleInstance::~CSingleInstance() {
    ReleaseInstanceLock();
}

QString CSingleInstance::RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QFileInfo info(runtime);
        if (info.isDir() && info.isWritable())
            return runtime;
    }
    return QDir::tempPath();
}

BOOL CSingleInstance::CreateInstanceLock() {
    if (m_pLock)
        return TRUE;
    auto lock = std::make_unique<QLockFile>(m_strLockPath);
    // The running instance holds its lock for hours: only a lock whose owner
    // process is gone counts as stale, never an old one.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        m_pLock = std::move(lock);
        StartListening();
        return TRUE;
    }
    if (lock->error() == QLockFile::LockFailedError)
        return FALSE;
    // Like a named mutex that cannot be created: run, without the rule.
    Trace("instance lock %s not available (error %d), running as primary",
          qUtf8Printable(m_strLockPath), static_cast<int>(lock->error()));
    return TRUE;
}

void CSingleInstance::StartListening() {
    // We hold the lock, so a socket file left here belongs to an instance that
    // died without cleaning up, and would make listen() fail.
    QLocalServer::removeServer(m_strServerPath);
    m_pServer = std::make_unique<QLocalServer>();
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer.get(), &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    if (!m_pServer->listen(m_strServerPath)) {
        Trace("activation server %s: %s", qUtf8Printable(m_strServerPath),
              qUtf8Printable(m_pServer->errorString()));
        m_pServer.reset();
    }
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadActivation(socket); });
        QTimer::singleShot(IDLE_CONNECTION_MS, socket, [socket] { socket->abort(); });
        // A second start may have written its message and gone already.
        ReadActivation(socket);
    }
}

void CSingleInstance::ReadActivation(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MAX_LINE + 1);
        if (!line.endsWith('\n'))
            continue;
        QList<QByteArray> fields = line.chopped(1).split('\t');
        if (fields.takeFirst() != ACTIVATE_MESSAGE)
            continue;
        const ActivationTokens tokens = ActivationTokensFromFields(fields);
        socket->disconnectFromServer();
        // Queued, so whatever the receiver does (even releasing this object's
        // server and its sockets) happens after this socket's signal returns.
        QMetaObject::invokeMethod(
            this, [this, tokens] { emit activationRequested(tokens); }, Qt::QueuedConnection);
        return;
    }
    if (socket->bytesAvailable() > MAX_LINE)
        socket->abort();
}

BOOL CSingleInstance::SendActivation(int timeoutMs, const ActivationTokens& tokens) {
    const QDeadlineTimer deadline(timeoutMs);
    const QByteArray message = ActivationLine(tokens);
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_strServerPath);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            socket.write(message);
            while (socket.bytesToWrite() > 0 &&
                   socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            }
            const bool bSent = socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (bSent)
                return TRUE;
        }
        // The running instance may have taken the lock but not be listening
        // yet.
        if (deadline.remainingTime() <= RETRY_MS)
            break;
        QThread::msleep(RETRY_MS);
    }
    Trace("activation message not delivered to %s", qUtf8Printable(m_strServerPath));
    return FALSE;
}

void CSingleInstance::ReleaseInstanceLock() {
    // Stop listening first: close() removes the socket file, which by then
    // could belong to a new instance if the lock were already given back.
    if (m_pServer) {
        m_pServer->close();
        m_pServer.reset();
    }
    if (m_pLock) {
        m_pLock->unlock();
        m_pLock.reset();
    }
}
