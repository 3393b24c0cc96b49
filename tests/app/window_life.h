#pragma once
// A main window run the way the program runs it (DoModal: the single-instance
// check, the start-up, the modal loop, the teardown) in a home of its own with
// the built-in test camera. The test acts from inside the modal loop; a
// window still open after 20 seconds is a failure and is cancelled, so a test
// never hangs. Questions are answered No and recorded.

#include "app/camera_dlg.h"
#include "platform/message_box.h"
#include "tests/support/temp_dir.h"
#include "ui/dialog_colours.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

class WindowLife : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", m_home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_home / ".config").c_str(), 1);
        setenv("VIZOR_TEST_CAMERA", "1", 1);
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            m_questions.push_back(request);
            return IDNO;
        });
        SetDialogBkColor();
    }

    void TearDown() override { SetMessageBoxHook({}); }

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

    // Where a key typed now goes: the focused control of the window, or the
    // window itself.
    static QWidget* KeyTarget(CCameraDlg& dlg) {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->window() == &dlg ? focus : &dlg;
    }

    std::string PicturesFolder() const { return m_home / "Pictures"; }

    TempDir m_home;
    std::vector<MessageBoxRequest> m_questions;
};
