#pragma once
// A main window run the way the program runs it (DoModal: the single-instance
// check, the start-up, the modal loop, the teardown) in a home of its own with
// the built-in test camera. The test acts from inside the modal loop; a
// window still open after 20 seconds is a failure and is cancelled, so a test
// never hangs.

#include "app/camera_dlg.h"
#include "window_fixture.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

class WindowLife : public WindowHome {
protected:
    // DoModal's result. whileRunning runs once, inside the modal loop, when
    // the window is shown and active; it is expected to end the window.
    int RunModal(CCameraDlg& dlg, const std::function<void()>& whileRunning) {
        QTimer::singleShot(0, &dlg, [&dlg, whileRunning] {
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dlg));
            whileRunning();
        });
        QTimer::singleShot(20000, &dlg, [&dlg] {
            ADD_FAILURE() << "the window did not end";
            dlg.reject();
        });
        return dlg.DoModal();
    }
};
