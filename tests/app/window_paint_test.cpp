#include "app/camera_dlg.h"
#include "window_fixture.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QRgb Grey(int g) {
    return qRgb(g, g, g);
}

QImage Grab(CCameraDlg& dlg) {
    return dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(ShownWindow, BackgroundIsTheDialogColour) {
    const QImage shot = Grab(Dlg());
    // Beside the scroll bar's right end, and the last row under it.
    for (QPoint p :
         {QPoint(45, 500), QPoint(300, 500), QPoint(640, 605), QPoint(300, 613), QPoint(0, 613)})
        EXPECT_EQ(shot.pixel(p), Grey(249)) << p.x() << "," << p.y();
}

TEST_F(ShownWindow, PanelIsFilledWithBevelRingsAtItsEdges) {
    const QImage shot = Grab(Dlg());
    // x = 100 and y = 560 lie between cells, clear of their frames.
    for (int i = 0; i < 8; ++i) {
        const QRgb ring = Grey(67 + 4 * i);
        EXPECT_EQ(shot.pixel(100, 519 + i), ring) << "top ring " << i;
        EXPECT_EQ(shot.pixel(100, 597 - i), ring) << "bottom ring " << i;
    }
    // The outermost right ring, x = 641, falls just outside the window.
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(shot.pixel(641 - i, 560), Grey(67 + 4 * i)) << "right ring " << i;
    // The left edge starts two pixels outside the window: rings 2 to 7 show.
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(shot.pixel(i - 2, 560), Grey(67 + 4 * i)) << "left ring " << i;
    for (QPoint p : {QPoint(6, 527), QPoint(633, 589), QPoint(100, 560), QPoint(620, 540)})
        EXPECT_EQ(shot.pixel(p), Grey(99)) << p.x() << "," << p.y();
    EXPECT_EQ(shot.pixel(100, 518), Grey(249));
}

TEST_F(ShownWindow, EmptyCellsAndTheirFramesAreThePanelGrey) {
    const QImage shot = Grab(Dlg());
    for (int k = 0; k < 7; ++k) {
        const RECT& rc = Dlg().m_rcSlot[k];
        EXPECT_EQ(shot.pixel(rc.left, rc.top), Grey(99)) << k;
        EXPECT_EQ(shot.pixel(rc.right - 1, rc.bottom - 1), Grey(99)) << k;
        EXPECT_EQ(shot.pixel(rc.left - 4, rc.top - 4), Grey(99)) << k << " frame over the bevel";
    }
}

TEST_F(ShownWindow, SelectedSlotIsFramedInBlueOnTheNextPaint) {
    Dlg().m_nFirstVisible = 3;
    Dlg().m_marks[3 + 1] = 1;
    const QImage shot = Grab(Dlg());
    // The second cell, {108, 529, 180, 583}, in a ring four pixels wide:
    // 104..107 left of it and above, 180..183 right of it and below.
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(shot.pixel(104 + d, 525 + d), qRgb(0, 192, 255)) << d;
        EXPECT_EQ(shot.pixel(180 + d, 583 + d), qRgb(0, 192, 255)) << d;
        EXPECT_EQ(shot.pixel(140, 525 + d), qRgb(0, 192, 255)) << d;
    }
    EXPECT_EQ(shot.pixel(103, 539), Grey(99));
    EXPECT_EQ(shot.pixel(184, 587), Grey(99));
    EXPECT_EQ(shot.pixel(21, 528), Grey(99)) << "the first cell's frame";
}

TEST_F(ShownWindow, MinimisedWindowDrawsOnlyItsIconCentred) {
    Dlg().setWindowState(Qt::WindowMinimized);
    QImage own(Dlg().size(), QImage::Format_RGB32);
    own.fill(Qt::red);
    // The window's own painting, without its controls.
    Dlg().render(&own, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    EXPECT_EQ(own.pixel(100, 560), Grey(249)) << "no panel";
    EXPECT_EQ(own.pixel(5, 5), Grey(249));
    const int x = (Dlg().width() - 32 + 1) / 2;
    const int y = (Dlg().height() - 32 + 1) / 2;
    int iconPixels = 0;
    for (int dy = 0; dy < 32; ++dy)
        for (int dx = 0; dx < 32; ++dx)
            iconPixels += own.pixel(x + dx, y + dy) != Grey(249) ? 1 : 0;
    EXPECT_GT(iconPixels, 400);
    for (QPoint p : {QPoint(x - 1, y + 16), QPoint(x + 32, y + 16), QPoint(x + 16, y - 1),
                     QPoint(x + 16, y + 32)})
        EXPECT_EQ(own.pixel(p), Grey(249)) << p.x() << "," << p.y();
}

} // namespace
