#include "ui/key_forward_controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SeenKey {
    QEvent::Type type;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat;
    int count;
    quint32 scanCode;
};

// Stands in for the main window: records every key event it gets.
class KeyRecorder : public QWidget {
public:
    std::vector<SeenKey> keys;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            keys.push_back({event->type(), key->key(), key->modifiers(), key->isAutoRepeat(),
                            key->count(), key->nativeScanCode()});
            return true;
        }
        return QWidget::event(event);
    }
};

class KeyForwarding : public ::testing::Test {
protected:
    void SetUp() override { g_pMainDlg = &m_main; }
    void TearDown() override { g_pMainDlg = nullptr; }

    void Deliver(QWidget& control, QEvent::Type type, int key, bool autoRepeat,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(type, key, modifiers, 0x4d, 0x27, 0, QString(), autoRepeat, 1);
        QApplication::sendEvent(&control, &event);
    }

    // Keys reach the control as they would in a running window, so the
    // control's parent is the main window.
    KeyRecorder m_main;
};

TEST_F(KeyForwarding, KeyDownsArePostedOnceEachAfterTheControl) {
    CKeyForwardScrollBar bar(&m_main);
    CKeyForwardStatic cell(&m_main);
    for (QWidget* control : {static_cast<QWidget*>(&bar), static_cast<QWidget*>(&cell)}) {
        m_main.keys.clear();
        Deliver(*control, QEvent::KeyPress, Qt::Key_Right, false, Qt::ShiftModifier);
        Deliver(*control, QEvent::KeyPress, Qt::Key_Right, true, Qt::ShiftModifier);
        EXPECT_TRUE(m_main.keys.empty()) << "posted, not sent nor passed up";
        QApplication::processEvents();
        ASSERT_EQ(m_main.keys.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(m_main.keys[i].type, QEvent::KeyPress);
            EXPECT_EQ(m_main.keys[i].key, Qt::Key_Right);
            EXPECT_EQ(m_main.keys[i].modifiers, Qt::ShiftModifier);
            EXPECT_EQ(m_main.keys[i].count, 1);
            EXPECT_EQ(m_main.keys[i].scanCode, 0x4du);
        }
        EXPECT_FALSE(m_main.keys[0].autoRepeat);
        EXPECT_TRUE(m_main.keys[1].autoRepeat);
    }
}

TEST_F(KeyForwarding, KeyUpsAreNotForwarded) {
    CKeyForwardScrollBar bar(&m_main);
    CKeyForwardStatic cell(&m_main);
    Deliver(bar, QEvent::KeyRelease, Qt::Key_Left, false);
    Deliver(cell, QEvent::KeyRelease, Qt::Key_Left, false);
    // What the controls pass up on their own arrives at once; nothing may
    // follow it through the queue.
    const size_t passedUp = m_main.keys.size();
    QApplication::processEvents();
    EXPECT_EQ(m_main.keys.size(), passedUp);
    for (const SeenKey& key : m_main.keys)
        EXPECT_NE(key.type, QEvent::KeyPress);
}

TEST_F(KeyForwarding, TheScrollBarStillHandlesItsKeys) {
    CKeyForwardScrollBar bar(&m_main);
    bar.setRange(0, 10);
    bar.setValue(5);
    Deliver(bar, QEvent::KeyPress, Qt::Key_Home, false);
    EXPECT_EQ(bar.value(), 0);
    QApplication::processEvents();
    ASSERT_EQ(m_main.keys.size(), 1u);
    EXPECT_EQ(m_main.keys[0].key, Qt::Key_Home);
}

TEST(ThumbnailCell, ShowsItsPictureOrTheEmptyGrey) {
    CKeyForwardStatic cell;
    QImage empty = cell.GetImage().toImage();
    ASSERT_EQ(empty.size(), QSize(72, 54));
    for (QPoint p : {QPoint(0, 0), QPoint(71, 53), QPoint(36, 27)})
        EXPECT_EQ(empty.pixel(p), qRgb(99, 99, 99));

    QImage picture(72, 54, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    cell.ShowPicture(picture);
    EXPECT_EQ(cell.GetImage().toImage().pixel(5, 5), qRgb(10, 200, 30));
    cell.ShowPicture(QImage());
    EXPECT_EQ(cell.GetImage().toImage().pixel(5, 5), qRgb(99, 99, 99));
}

} // namespace
