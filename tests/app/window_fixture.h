#pragma once
// A main window set up as the program starts it (dialog colours, the start-up
// sequence) and shown on the offscreen screen, in a home of its own with the
// built-in test camera. Questions are answered No and popup menus closed, so
// a click on a button never waits for a person.

#include "app/camera_dlg.h"
#include "platform/message_box.h"
#include "tests/support/temp_dir.h"
#include "ui/dialog_colours.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

// A home of the window's own: pictures, settings, the test camera; questions
// answered No and recorded; the program's dialog colours.
class WindowHome : public ::testing::Test {
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

    // Where a key typed now goes: the focused control of the window, or the
    // window itself.
    static QWidget* KeyTarget(QWidget& window) {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->window() == &window ? focus : &window;
    }

    TempDir m_home;
    std::vector<MessageBoxRequest> m_questions;
};

class ShownWindow : public WindowHome {
protected:
    void SetUp() override {
        WindowHome::SetUp();
        m_pDlg = std::make_unique<CCameraDlg>();
        m_closePopups.setInterval(50);
        QObject::connect(&m_closePopups, &QTimer::timeout, m_pDlg.get(), [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        m_closePopups.start();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
    }

    void TearDown() override {
        m_closePopups.stop();
        m_pDlg.reset();
        WindowHome::TearDown();
    }

    CCameraDlg& Dlg() { return *m_pDlg; }

    QTimer m_closePopups;
    std::unique_ptr<CCameraDlg> m_pDlg;
};

inline bool SameImage(const QPixmap& a, const QPixmap& b) {
    return !a.isNull() && !b.isNull() && a.toImage() == b.toImage();
}
