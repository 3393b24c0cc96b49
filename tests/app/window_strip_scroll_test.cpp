// Every way the strip's scroll bar can be moved, on the shown window: the
// bar, the strip's first photo and the cells never disagree, and the next
// arrow click steps from where the strip is.

#include "app/camera_dlg.h"
#include "library/strip_selection.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

constexpr int PHOTOS = 20;
constexpr int SCROLL_MAX = PHOTOS - 7;
constexpr int START = 5;

class WindowStripScroll : public ShownWindowWithPhotos {
protected:
    WindowStripScroll() : ShownWindowWithPhotos(PHOTOS) {}

    void SetUp() override {
        ShownWindowWithPhotos::SetUp();
        // The bar's own menu is answered here, not closed.
        m_closePopups.stop();
        Activate();
    }

public:
    // The ways the table below moves the bar.
    QScrollBar& Bar() { return Dlg().m_sbStrip; }

    int GreyOfFirstCell() {
        const QImage cell = Dlg().m_stcThumb[0].GetImage().toImage();
        return cell.isNull() ? -1 : qGray(cell.pixel(cell.width() / 2, cell.height() / 2));
    }

    // Opens the bar's context menu at x and chooses the item of that text.
    void ChooseFromMenu(const QString& text, int x) {
        QTimer answer;
        answer.setInterval(20);
        bool bChosen = false;
        QObject::connect(&answer, &QTimer::timeout, &Dlg(), [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions()) {
                if (action->text() == text) {
                    menu->setActiveAction(action);
                    bChosen = true;
                }
            }
            QTest::keyClick(menu, bChosen ? Qt::Key_Return : Qt::Key_Escape);
            answer.stop();
        });
        answer.start();
        const QPoint at(x, Bar().height() / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, Bar().mapToGlobal(at));
        QApplication::sendEvent(&Bar(), &event);
        EXPECT_TRUE(bChosen) << "no menu item " << text.toStdString();
    }

    void Wheel(int delta) {
        const QPointF at(Bar().width() / 2.0, Bar().height() / 2.0);
        QWheelEvent event(at, Bar().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Bar(), &event);
    }

    void Key(Qt::Key key) {
        Bar().setFocus();
        QTest::keyClick(&Bar(), key);
        QCoreApplication::sendPostedEvents();
    }

    void Click(int x) {
        QTest::mouseClick(&Bar(), Qt::LeftButton, Qt::NoModifier, QPoint(x, Bar().height() / 2));
    }
};

TEST_F(WindowStripScroll, EveryWayTheBarMovesMovesTheStripWithIt) {
    struct Way {
        const char* name;
        std::function<void(WindowStripScroll&)> move;
        int expected;
    };
    const auto menu = [](const char* text, int x = 300) {
        return [=](WindowStripScroll& t) { t.ChooseFromMenu(QString::fromLatin1(text), x); };
    };
    const auto key = [](Qt::Key k) { return [=](WindowStripScroll& t) { t.Key(k); }; };
    // The edges are neither a step nor a thumb position: the strip stays.
    const Way ways[] = {
        {"menu: Scroll here, far right", menu("Scroll here", 2000), SCROLL_MAX},
        {"menu: Scroll here, far left", menu("Scroll here", 0), 0},
        {"menu: Left edge", menu("Left edge"), START},
        {"menu: Right edge", menu("Right edge"), START},
        {"menu: Page left", menu("Page left"), 0},
        {"menu: Page right", menu("Page right"), START + 7},
        {"menu: Scroll left", menu("Scroll left"), START - 1},
        {"menu: Scroll right", menu("Scroll right"), START + 1},
        {"wheel away", [](WindowStripScroll& t) { t.Wheel(120); }, START - 3},
        {"wheel towards", [](WindowStripScroll& t) { t.Wheel(-120); }, START + 3},
        {"key Left", key(Qt::Key_Left), START - 1},
        {"key Right", key(Qt::Key_Right), START + 1},
        {"key Up", key(Qt::Key_Up), START - 1},
        {"key Down", key(Qt::Key_Down), START + 1},
        {"key Page Up", key(Qt::Key_PageUp), 0},
        {"key Page Down", key(Qt::Key_PageDown), START + 7},
        {"key Home", key(Qt::Key_Home), START},
        {"key End", key(Qt::Key_End), START},
        {"left arrow", [](WindowStripScroll& t) { t.Click(3); }, START - 1},
        {"right arrow", [](WindowStripScroll& t) { t.Click(t.Bar().width() - 3); }, START + 1},
        {"groove right of the thumb", [](WindowStripScroll& t) { t.Click(t.Bar().width() - 30); },
         START + 7},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Dlg().m_pLibrary->OnHScrollCode(SB_THUMBPOSITION, START);
        ASSERT_EQ(Bar().value(), START);
        way.move(*this);
        EXPECT_EQ(Dlg().m_nFirstVisible, way.expected);
        EXPECT_EQ(Bar().value(), Dlg().m_nFirstVisible) << "the bar and the strip apart";
        EXPECT_NEAR(GreyOfFirstCell(), PhotoGrey(Dlg().m_nFirstVisible), 4) << "the cells stayed";
        Bar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const int next = std::min(way.expected + 1, SCROLL_MAX);
        EXPECT_EQ(Dlg().m_nFirstVisible, next) << "the next arrow click";
        EXPECT_EQ(Bar().value(), next);
    }
    EXPECT_EQ(Dlg().m_nAnchor, -1) << "nothing was selected by the keys";
}

} // namespace
