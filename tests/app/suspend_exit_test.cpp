// The real program in a process of its own, on the offscreen screen with the
// test camera, and a private system bus whose logind announces a system sleep.

#include "platform/single_instance.h"
#include "settings_writes.h"
#include "tests/support/logind_mock.h"
#include "tests/support/temp_dir.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* FLAGS_KEY = "SOFTWARE\\OrvelCam";

class SuspendExit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pLogind = std::make_unique<LogindMock>();
        s_bRunning = s_pLogind->Start();
    }

    static void TearDownTestSuite() { s_pLogind.reset(); }

    void SetUp() override {
        ASSERT_TRUE(s_bRunning) << "no logind mock on a private bus";
        // The program's home, settings and runtime folder are this process's
        // too, so the test reads the same settings and sees the same lock.
        m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        ASSERT_EQ(mkdir(RuntimeFolder().c_str(), 0700), 0);
        setenv("HOME", m_home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_home / ".config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", RuntimeFolder().c_str(), 1);
    }

    void TearDown() override {
        for (auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
        qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    }

    std::string RuntimeFolder() const { return m_home / "run"; }

    QProcess& StartProgram() {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VIZOR_TEST_CAMERA"), QStringLiteral("1"));
        // GLib's slices as plain allocations, so a sanitizer build sees them.
        env.insert(QStringLiteral("G_SLICE"), QStringLiteral("always-malloc"));
        env.insert(QStringLiteral("LSAN_OPTIONS"),
                   QStringLiteral("suppressions=" LSAN_SUPPRESSIONS));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(PROGRAM_PATH), {});
        EXPECT_TRUE(process->waitForStarted(10000));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }

    // True once the program has run its start-up (it resets "WantDel2" near
    // the end, after subscribing to the power events); false when it ended
    // instead or took too long.
    static bool WaitUntilStarted(QProcess& program) {
        const QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            if (StoredNumber(FLAGS_KEY, "WantDel2") == 0)
                return true;
            if (program.waitForFinished(100))
                return false;
        }
        return false;
    }

    // logind says the machine goes to sleep, again every half second while the
    // program still runs (the program may still be subscribing).
    static bool SleepUntilExit(QProcess& program) {
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            s_pLogind->EmitPrepareForSleep(QStringLiteral("b"), true);
            if (program.waitForFinished(500))
                return true;
        }
        return false;
    }

    // Until logind holds nWanted sleep delays of the program; false after 10 s.
    static bool SleepDelaysBecome(int nWanted) {
        const QDeadlineTimer deadline(10000);
        while (s_pLogind->SleepDelays(QStringLiteral("Nimbrel Vizor webcam")) != nWanted) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    static std::string Output(QProcess& program) { return program.readAll().toStdString(); }

    TempDir m_home;
    QByteArray m_savedRuntime;
    std::vector<std::unique_ptr<QProcess>> m_processes;

    static std::unique_ptr<LogindMock> s_pLogind;
    static bool s_bRunning;
};

std::unique_ptr<LogindMock> SuspendExit::s_pLogind;
bool SuspendExit::s_bRunning = false;

TEST_F(SuspendExit, SleepEndsTheProgramWithExitCodeZeroAndTheNextStartIsPrimary) {
    QProcess& first = StartProgram();
    ASSERT_TRUE(WaitUntilStarted(first)) << Output(first);
    EXPECT_TRUE(SleepDelaysBecome(1)) << "logind would not wait for the running program";

    ASSERT_TRUE(SleepUntilExit(first)) << "still running after the sleep signal";
    EXPECT_TRUE(SleepDelaysBecome(0)) << "the exit did not give the sleep delay back";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit) << Output(first);
    EXPECT_EQ(first.exitCode(), 0) << Output(first);
    CSingleInstance lock;
    EXPECT_TRUE(FileExists(lock.LockFilePath().toStdString()))
        << "the lock is left for the next start to clear";

    // A new start takes the left lock and runs as the primary instance: it
    // writes its settings, and it is the one holding the lock.
    ASSERT_EQ(unlink(RegistryFilePath().c_str()), 0);
    QProcess& next = StartProgram();
    ASSERT_TRUE(WaitUntilStarted(next)) << Output(next);
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_EQ(CSingleInstance().CreateInstanceLock(), FALSE) << "the new start holds the lock";

    ASSERT_TRUE(SleepUntilExit(next));
    EXPECT_EQ(next.exitStatus(), QProcess::NormalExit) << Output(next);
    EXPECT_EQ(next.exitCode(), 0) << Output(next);
}

} // namespace
