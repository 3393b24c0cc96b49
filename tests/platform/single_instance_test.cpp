#include "platform/single_instance.h"

#include "tests/support/temp_dir.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <unistd.h>

namespace {

// A name of its own for each test, so no test sees another's lock.
QString TestName() {
    return QStringLiteral("vizor-%1")
        .arg(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
}

// Runs the probe to its end and returns what it printed, line by line.
QStringList RunProbe(const QStringList& arguments, int* pExitStatus = nullptr) {
    QProcess probe;
    probe.start(QStringLiteral(PROBE_PATH), arguments);
    EXPECT_TRUE(probe.waitForFinished(60000));
    if (pExitStatus)
        *pExitStatus = probe.exitStatus();
    return QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(InstanceLock, FirstStartIsPrimarySecondIsNot) {
    CSingleInstance first(TestName());
    CSingleInstance second(TestName());

    EXPECT_EQ(first.CreateInstanceLock(), TRUE);
    EXPECT_EQ(second.CreateInstanceLock(), FALSE);

    EXPECT_EQ(QFileInfo(first.LockFilePath()).absolutePath(),
              QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).absolutePath());
    EXPECT_TRUE(first.LockFilePath().endsWith(TestName() + ".lock"));
    EXPECT_TRUE(QFileInfo::exists(first.LockFilePath()));
}

TEST(InstanceLock, ReleasedLockMakesTheNextStartPrimary) {
    auto first = std::make_unique<CSingleInstance>(TestName());
    ASSERT_EQ(first->CreateInstanceLock(), TRUE);
    first->ReleaseInstanceLock();
    first->ReleaseInstanceLock(); // twice is harmless
    EXPECT_EQ(CSingleInstance(TestName()).CreateInstanceLock(), TRUE);

    ASSERT_EQ(first->CreateInstanceLock(), TRUE);
    first.reset(); // the destructor gives the lock back too
    EXPECT_EQ(CSingleInstance(TestName()).CreateInstanceLock(), TRUE);
}

TEST(InstanceLock, LockOfACrashedInstanceDoesNotBlockANewStart) {
    int nExitStatus = QProcess::NormalExit;
    const QStringList said = RunProbe({TestName(), QStringLiteral("crash")}, &nExitStatus);
    ASSERT_EQ(said, QStringList{QStringLiteral("primary")});
    ASSERT_EQ(nExitStatus, QProcess::CrashExit);

    CSingleInstance next(TestName());
    ASSERT_TRUE(QFileInfo::exists(next.LockFilePath())) << "the crashed process left its lock";
    ASSERT_TRUE(QFileInfo::exists(next.ServerPath())) << "and its socket";
    EXPECT_EQ(next.CreateInstanceLock(), TRUE);

    // The left-over socket file is replaced, so activation still reaches us.
    QSignalSpy activated(&next, &CSingleInstance::activationRequested);
    CSingleInstance secondStart(TestName());
    EXPECT_EQ(secondStart.SendActivation(), TRUE);
    EXPECT_TRUE(activated.wait(5000));
}

TEST(InstanceLock, LockThatCannotBeMadeLetsTheProgramRun) {
    // A folder that does not exist: like a mutex that fails for another reason
    // than "already exists", the process runs as the primary instance.
    CSingleInstance instance(QStringLiteral("no-such-folder/") + TestName());
    EXPECT_EQ(instance.CreateInstanceLock(), TRUE);
    EXPECT_FALSE(QFileInfo::exists(instance.LockFilePath()));
}

TEST(InstanceLock, WithoutRuntimeFolderTheTempFolderIsUsedPerUser) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    TempDir missing;
    for (const QByteArray& value : {QByteArray(), QByteArray((missing / "gone").c_str())}) {
        if (value.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", value);
        CSingleInstance instance(TestName());
        EXPECT_EQ(QFileInfo(instance.LockFilePath()).absolutePath(),
                  QDir(QDir::tempPath()).absolutePath());
        EXPECT_TRUE(instance.LockFilePath().endsWith(QStringLiteral("-%1.lock").arg(getuid())));
        EXPECT_EQ(instance.CreateInstanceLock(), TRUE);
    }
    qputenv("XDG_RUNTIME_DIR", saved);
}

TEST(Activation, SecondStartBringsTheRunningInstanceForward) {
    CSingleInstance running(TestName());
    ASSERT_EQ(running.CreateInstanceLock(), TRUE);
    QSignalSpy activated(&running, &CSingleInstance::activationRequested);

    CSingleInstance secondStart(TestName());
    ASSERT_EQ(secondStart.CreateInstanceLock(), FALSE);
    EXPECT_EQ(secondStart.SendActivation(), TRUE);

    EXPECT_TRUE(activated.wait(5000));
    EXPECT_EQ(activated.count(), 1);
}

// The launch's tokens reach the running instance as they were; a token that
// could break the line or is not text is dropped, the activation still comes.
TEST(Activation, SecondStartsTokensTravelWithTheMessage) {
    CSingleInstance running(TestName());
    ASSERT_EQ(running.CreateInstanceLock(), TRUE);
    QSignalSpy activated(&running, &CSingleInstance::activationRequested);
    CSingleInstance secondStart(TestName());

    const ActivationTokens both{"wl-7f3e", "launcher-42-host_TIME123456"};
    const ActivationTokens unusable{QByteArray("a\tb"), QByteArray("caf\xc3\xa9_TIME5")};
    for (const ActivationTokens& sent : {both, ActivationTokens{}, unusable}) {
        ASSERT_EQ(secondStart.SendActivation(2000, sent), TRUE);
        ASSERT_TRUE(activated.wait(5000));
    }
    ASSERT_EQ(activated.count(), 3);
    EXPECT_EQ(activated[0][0].value<ActivationTokens>(), both);
    EXPECT_EQ(activated[1][0].value<ActivationTokens>(), ActivationTokens{});
    EXPECT_EQ(activated[2][0].value<ActivationTokens>(), ActivationTokens{});

    EXPECT_EQ(StartupIdTime("launcher-42-host_TIME123456"), 123456u);
    for (const char* id : {"no-time", "x_TIME", "x_TIME0", "x_TIME12a", "x_TIME4294967296"})
        EXPECT_EQ(StartupIdTime(id), std::nullopt) << id;
}

TEST(Activation, NothingRunningMeansNotDelivered) {
    CSingleInstance secondStart(TestName());
    EXPECT_EQ(secondStart.SendActivation(200), FALSE);
}

TEST(Activation, OtherMessagesAreIgnored) {
    CSingleInstance running(TestName());
    ASSERT_EQ(running.CreateInstanceLock(), TRUE);
    QSignalSpy activated(&running, &CSingleInstance::activationRequested);

    for (const char* text :
         {"Orvel special service extra\n", "orvel special service\n", "Orvel special service"}) {
        QLocalSocket client;
        client.connectToServer(running.ServerPath());
        ASSERT_TRUE(client.waitForConnected(2000));
        client.write(text);
        ASSERT_TRUE(client.waitForBytesWritten(2000));
        client.disconnectFromServer();
    }
    EXPECT_FALSE(activated.wait(500));

    // The genuine message after all that still works.
    CSingleInstance secondStart(TestName());
    EXPECT_EQ(secondStart.SendActivation(), TRUE);
    EXPECT_TRUE(activated.wait(5000));
    EXPECT_EQ(activated.count(), 1);
}

TEST(ManyStarts, TwentySimultaneousStartsMakeExactlyOnePrimary) {
    constexpr int STARTS = 20;
    TempDir dir;
    const QString goFile = QString::fromStdString(dir / "go");
    std::vector<std::unique_ptr<QProcess>> probes;
    for (int i = 0; i < STARTS; ++i) {
        auto probe = std::make_unique<QProcess>();
        probe->start(QStringLiteral(PROBE_PATH),
                     {TestName(), "hold", goFile, QString::number(STARTS - 1), "30000"});
        probes.push_back(std::move(probe));
    }
    // Everyone is up and polling before anyone may take the lock.
    for (auto& probe : probes) {
        while (!probe->canReadLine())
            ASSERT_TRUE(probe->waitForReadyRead(60000));
        ASSERT_EQ(probe->readLine(), "ready\n");
    }
    WriteFileBytes(goFile.toStdString(), "");

    int nPrimary = 0, nSecondary = 0, nDelivered = 0;
    QString primaryEnd;
    for (auto& probe : probes) {
        ASSERT_TRUE(probe->waitForFinished(60000));
        const QStringList said =
            QString::fromUtf8(probe->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(said.isEmpty());
        if (said[0] == "primary") {
            ++nPrimary;
            primaryEnd = said.value(1);
        } else if (said[0] == "secondary") {
            ++nSecondary;
            nDelivered += said.value(1) == "delivered";
        }
    }
    EXPECT_EQ(nPrimary, 1);
    EXPECT_EQ(nSecondary, STARTS - 1);
    EXPECT_EQ(nDelivered, STARTS - 1);
    EXPECT_EQ(primaryEnd, QStringLiteral("activations %1").arg(STARTS - 1));
}

} // namespace
