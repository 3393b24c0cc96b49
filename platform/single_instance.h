#pragma once
// The single-instance rule. A lock file named after the program marks the
// running instance, the way a named mutex would; a local socket of the same
// name carries the activation message from a second start to the running
// one, which then comes to the front. The message line may carry the second
// start's activation tokens, tab-separated after the message, so that the
// desktop lets the running window come forward.
//
// Both live in $XDG_RUNTIME_DIR (private to the user, emptied at log-out). Without
// it they go to the temp folder, named with the user id so that two users
// on one machine do not shut each other out.

#include "platform/activation_tokens.h"
#include "platform/win_types.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// The system-wide names: the lock, and the activation message.
inline constexpr const char* SINGLE_INSTANCE_NAME = "Nimbrel Vizor webcam";
inline constexpr const char* ACTIVATE_MESSAGE = "Orvel special service";

class CSingleInstance : public QObject {
    Q_OBJECT

public:
    // name: SINGLE_INSTANCE_NAME in the program; tests pass their own.
    explicit CSingleInstance(const QString& name = QString::fromUtf8(SINGLE_INSTANCE_NAME),
                             QObject* parent = nullptr);
    ~CSingleInstance() override;

    // Takes the lock. TRUE: this is the primary instance; it now listens for
    // activation messages. FALSE: another running instance holds the lock. A
    // lock left by an instance that has died is cleared and taken; a lock that
    // cannot be made at all (folder missing or read-only) lets this process run
    // as the primary instance, without the rule.
    BOOL CreateInstanceLock();

    // Second start: sends the activation message, with the tokens the second
    // start was launched with, to the running instance, trying for up to
    // timeoutMs while that instance may still be starting. TRUE once the
    // message has been handed over.
    BOOL SendActivation(int timeoutMs = 2000, const ActivationTokens& tokens = {});

    // Gives the lock back and stops listening. Safe to call more than once;
    // the destructor calls it.
    void ReleaseInstanceLock();

    const QString& LockFilePath() const { return m_strLockPath; }
    const QString& ServerPath() const { return m_strServerPath; }

    // The folder the lock and the socket go into.
    static QString RuntimeFolder();

signals:
    // A second start asked this instance to come to the front, with the
    // tokens it carried (empty when it had none). Emitted on the thread this
    // object lives on.
    void activationRequested(const ActivationTokens& tokens);

private:
    void StartListening();
    void OnNewConnection();
    void ReadActivation(QLocalSocket* socket);

    QString m_strLockPath;
    QString m_strServerPath;
    std::unique_ptr<QLockFile> m_pLock;
    std::unique_ptr<QLocalServer> m_pServer;
};
