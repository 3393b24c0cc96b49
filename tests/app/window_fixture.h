#pragma once
// A main window set up as the program starts it (dialog colours, the start-up
// sequence) and shown on the offscreen screen, in a home of its own with the
// built-in test camera. Questions are answered No and popup menus closed, so
// a click on a button never waits for a person.

#include "app/camera_dlg.h"
#include "platform/message_box.h"
#include "test_photos.h"
#include "tests/support/temp_dir.h"
#include "ui/dialog_colours.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
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

    void TearDown() override {
        m_pDlg.reset();
        SetMessageBoxHook({});
    }

    std::string Pictures() const { return m_home / "Pictures"; }

    // The window as the program starts it; how long its start took, without
    // the wait for the screen.
    qint64 StartWindow() {
        QElapsedTimer timer;
        timer.start();
        m_pDlg = std::make_unique<CCameraDlg>();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        return timer.elapsed();
    }

    // The same, and on the screen.
    void StartShownWindow() {
        StartWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
    }

    // True when a call queued now runs within timeoutMs: the window is not
    // stuck in anything.
    bool Answers(int timeoutMs) {
        bool ran = false;
        QMetaObject::invokeMethod(
            m_pDlg.get(), [&] { ran = true; }, Qt::QueuedConnection);
        return QTest::qWaitFor([&] { return ran; }, timeoutMs);
    }

    // Where a key typed now goes: the focused control of the window, or the
    // window itself.
    static QWidget* KeyTarget(QWidget& window) {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->window() == &window ? focus : &window;
    }

    CCameraDlg& Dlg() { return *m_pDlg; }

    TempDir m_home;
    std::vector<MessageBoxRequest> m_questions;
    std::unique_ptr<CCameraDlg> m_pDlg;
};

class ShownWindow : public WindowHome {
protected:
    void SetUp() override {
        WindowHome::SetUp();
        m_closePopups.setInterval(50);
        QObject::connect(&m_closePopups, &QTimer::timeout, &m_closePopups, [] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popup->close();
        });
        m_closePopups.start();
        StartShownWindow();
    }

    void TearDown() override {
        m_closePopups.stop();
        WindowHome::TearDown();
    }

    QTimer m_closePopups;
};

// The shown window with photos Picture 0000.jpg .. (photos - 1) in its
// pictures folder, put there before it starts.
class ShownWindowWithPhotos : public ShownWindow {
protected:
    explicit ShownWindowWithPhotos(int photos) : m_nPhotos(photos) {}

    void SetUp() override {
        WritePhotos(Pictures(), m_nPhotos);
        ShownWindow::SetUp();
        ASSERT_EQ(Dlg().m_nPhotoCount, m_nPhotos);
    }

    // The window made the active one, as when the user turns to it.
    void Activate() {
        Dlg().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Dlg()));
    }

    QPoint SlotCentre(int k) {
        const RECT& rc = Dlg().m_rcSlot[k];
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }

    void Click(QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(&Dlg(), Qt::LeftButton, modifiers, point);
    }
    void ClickSlot(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Click(SlotCentre(k), modifiers);
    }

    // The photos marked in the strip, in order.
    std::vector<int> Marked() {
        std::vector<int> marked;
        for (int i = 0; i < PHOTO_CAPACITY; ++i)
            if (Dlg().m_marks[i])
                marked.push_back(i);
        return marked;
    }

    const int m_nPhotos;
};

inline bool SameImage(const QPixmap& a, const QPixmap& b) {
    return !a.isNull() && !b.isNull() && a.toImage() == b.toImage();
}
