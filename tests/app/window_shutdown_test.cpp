#include "app/camera_dlg.h"
#include "platform/single_instance.h"
#include "settings_writes.h"
#include "window_life.h"

#include <QSignalSpy>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr const char* COUNTER_KEY = "SOFTWARE\\NV_VizorDesk";

// What the window left behind once DoModal has returned.
void ExpectFullTeardown(CCameraDlg& dlg) {
    EXPECT_EQ(dlg.m_graph.m_pGraph, nullptr) << "the preview is stopped";
    EXPECT_EQ(dlg.m_pPhotos, nullptr) << "the photo records are freed";
    EXPECT_EQ(dlg.m_pDecodeBuffer, nullptr) << "the work buffer is freed";
    CSingleInstance next;
    EXPECT_EQ(next.CreateInstanceLock(), TRUE) << "the instance lock is given back";
}

// The two ways the user ends the window, and how often each stores the
// counter: the close button runs OnClose and OnDestroy, Escape only OnDestroy.
class WindowShutdown : public WindowLife {};

TEST_F(WindowShutdown, CloseButtonStoresTheCounterTwiceWithTheSameValue) {
    CCameraDlg dlg;
    std::unique_ptr<SettingsWrites> writes;
    int nWritesByClose = -1;
    long long nStoredByClose = -1;
    const int nResult = RunModal(dlg, [&] {
        writes = std::make_unique<SettingsWrites>();
        // A counter the window holds but has not stored yet.
        dlg.m_nCapTimes = 7;
        // What the window system does for the caption's close button.
        dlg.windowHandle()->close();
        nWritesByClose = writes->Count();
        nStoredByClose = StoredNumber(COUNTER_KEY, g_strPicturesPath);
    });

    EXPECT_EQ(nResult, QDialog::Rejected);
    EXPECT_EQ(nWritesByClose, 1) << "OnClose stores the counter";
    EXPECT_EQ(nStoredByClose, 7);
    ASSERT_TRUE(writes);
    EXPECT_EQ(writes->Count(), 2) << "OnDestroy stores it once more";
    EXPECT_EQ(StoredNumber(COUNTER_KEY, g_strPicturesPath), 7);
    ExpectFullTeardown(dlg);
}

TEST_F(WindowShutdown, EscapeStoresTheCounterOnce) {
    CCameraDlg dlg;
    std::unique_ptr<SettingsWrites> writes;
    int nWritesByEscape = -1;
    const int nResult = RunModal(dlg, [&] {
        writes = std::make_unique<SettingsWrites>();
        dlg.m_nCapTimes = 7;
        QTest::keyClick(KeyTarget(dlg), Qt::Key_Escape);
        nWritesByEscape = writes->Count();
    });

    EXPECT_EQ(nResult, QDialog::Rejected);
    EXPECT_EQ(nWritesByEscape, 0) << "Escape cancels without a close";
    ASSERT_TRUE(writes);
    EXPECT_EQ(writes->Count(), 1) << "only OnDestroy stores the counter";
    EXPECT_EQ(StoredNumber(COUNTER_KEY, g_strPicturesPath), 7);
    ExpectFullTeardown(dlg);
}

TEST_F(WindowShutdown, AWindowThatEndsCanBeStartedAgainAsTheRunningInstance) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        CCameraDlg dlg;
        RunModal(dlg, [&] {
            EXPECT_EQ(dlg.m_bPrimaryInstance, 1);
            EXPECT_NE(dlg.m_graph.m_pGraph, nullptr) << "the preview runs";
            dlg.windowHandle()->close();
        });
    }
}

// A second start while one runs: it ends at once and leaves no trace.
class SecondStart : public WindowLife {};

TEST_F(SecondStart, EndsWithoutShowingWritingOrStartingAnything) {
    CSingleInstance running;
    ASSERT_EQ(running.CreateInstanceLock(), TRUE);
    QSignalSpy activated(&running, &CSingleInstance::activationRequested);
    // The running instance's settings, which the second start must not touch.
    CRegistryAccess store;
    const DWORD nCounter = 42;
    store.WriteValue(HKEY_CURRENT_USER, COUNTER_KEY, Pictures(), REG_DWORD, &nCounter, 4);
    const std::string before = ReadFileBytes(RegistryFilePath());
    SettingsWrites writes;

    CCameraDlg dlg;
    int nShows = 0;
    struct : QObject {
        int* pShows = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Show)
                ++*pShows;
            return false;
        }
    } shows;
    shows.pShows = &nShows;
    dlg.installEventFilter(&shows);

    EXPECT_EQ(dlg.DoModal(), QDialog::Rejected);

    EXPECT_EQ(dlg.m_bPrimaryInstance, 0);
    EXPECT_EQ(nShows, 0) << "nothing is shown";
    EXPECT_EQ(writes.Count(), 0) << "no setting is written";
    EXPECT_EQ(ReadFileBytes(RegistryFilePath()), before);
    EXPECT_FALSE(FileExists(Pictures())) << "the start-up never ran";
    EXPECT_EQ(dlg.m_pGraphService, nullptr) << "no preview is started";
    EXPECT_EQ(dlg.m_graph.m_pGraph, nullptr);
    EXPECT_TRUE(activated.count() > 0 || activated.wait(5000))
        << "the running instance is asked to come to the front";
    EXPECT_TRUE(m_questions.empty());
}

TEST_F(SecondStart, BringsTheRunningWindowToTheFront) {
    CCameraDlg first;
    ASSERT_EQ(first.OnCreate(), TRUE);
    first.OnInitDialog();
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&first));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    CCameraDlg second;
    EXPECT_EQ(second.DoModal(), QDialog::Rejected);

    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &first; }, 5000))
        << "the running window is active again";
    EXPECT_FALSE(first.windowFlags() & Qt::WindowStaysOnTopHint)
        << "it does not stay above other windows";

    // A minimised window is brought forward but stays minimised.
    first.showMinimized();
    ASSERT_TRUE(first.isMinimized());
    QSignalSpy activated(first.m_mutex.get(), &CSingleInstance::activationRequested);
    CCameraDlg third;
    EXPECT_EQ(third.DoModal(), QDialog::Rejected);
    ASSERT_TRUE(activated.count() > 0 || activated.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(first.isMinimized());
    first.OnDestroy();
}

} // namespace
