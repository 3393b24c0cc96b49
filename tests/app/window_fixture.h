#pragma once
// A main window set up as the program starts it (dialog colours, the start-up
// sequence) and shown on the offscreen screen.

#include "app/camera_dlg.h"
#include "ui/dialog_colours.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class ShownWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_pDlg = std::make_unique<CCameraDlg>();
        SetDialogBkColor();
        m_pDlg->OnInitDialog();
        m_pDlg->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pDlg.get()));
    }

    CCameraDlg& Dlg() { return *m_pDlg; }

    std::unique_ptr<CCameraDlg> m_pDlg;
};

inline bool SameImage(const QPixmap& a, const QPixmap& b) {
    return !a.isNull() && !b.isNull() && a.toImage() == b.toImage();
}
