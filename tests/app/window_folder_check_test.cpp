#include "app/camera_dlg.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QTimerEvent>

#include <gtest/gtest.h>

namespace {

// The folder checks of a running window (the poll timer's tick and every
// activation change) against photos another program puts into the pictures
// folder.
class WindowFolderCheck : public ShownWindowWithPhotos {
protected:
    WindowFolderCheck() : ShownWindowWithPhotos(2) {}

    void SetUp() override {
        ShownWindowWithPhotos::SetUp();
        ASSERT_NE(Dlg().m_nFolderPollTimer, 0);
        // One check, so the window knows the folder as it is now.
        Tick();
        ASSERT_EQ(Dlg().m_nPhotoCount, 2);
    }

    // What another program does: a whole new photo in the folder.
    void AddPhoto(int n) { WritePhoto(Pictures() + "/" + PictureName(n)); }

    // One tick of the poll timer, as the event loop delivers it.
    void Tick() {
        QTimerEvent tick(Dlg().m_nFolderPollTimer);
        QCoreApplication::sendEvent(&Dlg(), &tick);
    }

    // The user turns to another window, then back.
    void Deactivate() {
        m_other.show();
        m_other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_other));
    }

    QWidget m_other;
};

TEST_F(WindowFolderCheck, PollTimerShowsANewPhotoWithinTwoSeconds) {
    AddPhoto(7);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Dlg().m_nPhotoCount == 3; }, 3000));
    EXPECT_TRUE(std::string(Dlg().m_pPhotos[2].szPath).ends_with("/" + PictureName(7)))
        << Dlg().m_pPhotos[2].szPath;
}

TEST_F(WindowFolderCheck, LeavingAndReturningToTheWindowEachCheck) {
    AddPhoto(7);
    Deactivate();
    EXPECT_EQ(Dlg().m_nPhotoCount, 3) << "turning away checks";
    AddPhoto(8);
    Activate();
    EXPECT_EQ(Dlg().m_nPhotoCount, 4) << "coming back checks";
}

TEST_F(WindowFolderCheck, UnchangedFolderKeepsTheStripAsItIs) {
    ClickSlot(1);
    ASSERT_EQ(Dlg().m_nAnchor, 1);
    Tick();
    Deactivate();
    Activate();
    EXPECT_EQ(Dlg().m_nMarked, 1) << "no rebuild, the selection stays";
    EXPECT_EQ(Dlg().m_marks[1], 1);
}

TEST_F(WindowFolderCheck, SkippedWhileASaveOrDeletionRunsAndDoneAfter) {
    Dlg().m_sync_dir_status = 1;
    AddPhoto(7);
    Tick();
    Deactivate();
    Activate();
    EXPECT_EQ(Dlg().m_nPhotoCount, 2) << "neither the timer nor activation rebuilds";

    Dlg().m_sync_dir_status = 0;
    Tick();
    EXPECT_EQ(Dlg().m_nPhotoCount, 3) << "the next check shows the photo";
}

} // namespace
