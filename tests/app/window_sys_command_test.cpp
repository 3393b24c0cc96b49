#include "app/camera_dlg.h"
#include "window_fixture.h"

#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// System commands reaching the shown window. The window's own handling runs
// modal boxes; a timer records each one that opens and closes it again.
class WindowSysCommand : public ShownWindow {
protected:
    QStringList Send(UINT nID) {
        QStringList opened;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, &Dlg(), [&opened, this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != &Dlg()) {
                opened << QString::fromUtf8(modal->metaObject()->className());
                modal->close();
            }
        });
        closer.start();
        Dlg().OnSysCommand(nID);
        closer.stop();
        return opened;
    }
};

TEST_F(WindowSysCommand, AboutFamilyOpensTheAboutBoxWhateverItsLowBits) {
    for (UINT nID : {0x0010u, 0x0013u, 0x001Fu}) {
        SCOPED_TRACE(nID);
        EXPECT_EQ(Send(nID), QStringList{QStringLiteral("CAboutDlg")});
        EXPECT_TRUE(Dlg().isVisible());
    }
    EXPECT_TRUE(Send(0x0020u).isEmpty()) << "the next family is not the About box";
}

// Counts the moments the window is maximised: the window undoes a maximise
// as soon as it happens, so only the state change shows it.
class MaximiseWatch : public QObject {
public:
    explicit MaximiseWatch(QWidget& window) { window.installEventFilter(this); }
    int m_nMaximised = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange &&
            static_cast<QWidget*>(watched)->isMaximized())
            ++m_nMaximised;
        return false;
    }
};

TEST_F(WindowSysCommand, ExactMaximizeIsSwallowedOtherMaximizesAreUndone) {
    const QRect before = Dlg().geometry();
    MaximiseWatch watch(Dlg());
    EXPECT_TRUE(Send(SC_MAXIMIZE).isEmpty());
    EXPECT_EQ(watch.m_nMaximised, 0) << "the exact id never reaches the default processing";
    // Maximise from a caption double-click carries low bits: the default
    // processing maximises, and the window takes its one size back.
    EXPECT_TRUE(Send(0xF032u).isEmpty());
    EXPECT_EQ(watch.m_nMaximised, 1);
    EXPECT_FALSE(Dlg().isMaximized());
    EXPECT_EQ(Dlg().size(), before.size());
    EXPECT_TRUE(Dlg().isVisible());
}

TEST_F(WindowSysCommand, OtherCommandsGetTheDefaultProcessingLowBitsAndAll) {
    EXPECT_TRUE(Send(0xF022u).isEmpty()); // minimise
    EXPECT_TRUE(Dlg().isMinimized());
    EXPECT_TRUE(Send(0xF122u).isEmpty()); // restore
    EXPECT_FALSE(Dlg().isMinimized());
    EXPECT_TRUE(Dlg().isVisible());
    EXPECT_TRUE(Send(0xF062u).isEmpty()); // close
    EXPECT_FALSE(Dlg().isVisible());
}

} // namespace
