#include "app/camera_dlg.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QDesktopServices>
#include <QUrl>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Takes the place of the desktop's viewer: records each photo it is asked to
// open.
class ViewerStandIn : public QObject {
    Q_OBJECT

public:
    ViewerStandIn() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~ViewerStandIn() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList m_opened;

public slots:
    void Open(const QUrl& url) { m_opened << url.fileName(); }
};

namespace {

constexpr int PHOTOS = 3;

// Clicks on the strip of a freshly started window with three photos: slots 3
// to 6 are empty.
class WindowClick : public ShownWindowWithPhotos {
protected:
    WindowClick() : ShownWindowWithPhotos(PHOTOS) {}

    // The selection as the strip holds it.
    struct Selection {
        int nCurrent, nAnchor, nMarked;
        std::vector<int> marked;
        bool bDeleteEnabled;
        bool operator==(const Selection&) const = default;
        friend void PrintTo(const Selection& s, std::ostream* os) {
            *os << "current " << s.nCurrent << ", anchor " << s.nAnchor << ", " << s.nMarked
                << " marked {";
            for (int i : s.marked)
                *os << " " << i;
            *os << " }, delete " << (s.bDeleteEnabled ? "enabled" : "disabled");
        }
    };
    Selection Now() {
        return {Dlg().m_nCurrent, Dlg().m_nAnchor, Dlg().m_nMarked, Marked(),
                Dlg().m_btnDelete.isEnabled()};
    }

    // Empty slots, the gap between two slots, and the panel below the strip.
    std::vector<QPoint> PlacesWithoutAPhoto() {
        const RECT& slot0 = Dlg().m_rcSlot[0];
        const RECT& slot1 = Dlg().m_rcSlot[1];
        return {SlotCentre(PHOTOS), SlotCentre(6),
                QPoint((slot0.right + slot1.left) / 2, (slot0.top + slot0.bottom) / 2),
                QPoint(SlotCentre(1).x(), slot0.bottom + 8)};
    }
};

TEST_F(WindowClick, FirstClickAfterStartUpSetsCurrentAndAnchorAndEnablesDelete) {
    EXPECT_EQ(Now(), (Selection{-1, -1, 0, {}, false})) << "nothing selected at start-up";
    ClickSlot(1);
    EXPECT_EQ(Now(), (Selection{1, 1, 1, {1}, true}));
}

TEST_F(WindowClick, FirstClickWithShiftSelectsFromTheClickedPhotoOnly) {
    // The anchor is taken from the click itself, so the range is that photo.
    ClickSlot(2, Qt::ShiftModifier);
    EXPECT_EQ(Dlg().m_nAnchor, 2);
    EXPECT_EQ(Dlg().m_nCurrent, 2);
    EXPECT_EQ(Now().marked, std::vector<int>{2});
    EXPECT_TRUE(Dlg().m_btnDelete.isEnabled());
}

TEST_F(WindowClick, ClickWithoutAPhotoChangesNothing) {
    for (QPoint place : PlacesWithoutAPhoto()) {
        SCOPED_TRACE(testing::Message() << place.x() << "," << place.y());
        Click(place);
        EXPECT_EQ(Now(), (Selection{-1, -1, 0, {}, false})) << "before any selection";
    }
    ClickSlot(0);
    const Selection selected = Now();
    for (QPoint place : PlacesWithoutAPhoto()) {
        SCOPED_TRACE(testing::Message() << place.x() << "," << place.y());
        for (Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
              Qt::KeyboardModifiers(Qt::ControlModifier)}) {
            Click(place, modifiers);
            EXPECT_EQ(Now(), selected) << "after a selection";
        }
    }
}

TEST_F(WindowClick, DoubleClickOpensThePhotoAndKeepsTheMarksOfItsFirstPress) {
    ViewerStandIn viewer;
    auto doubleClick = [this](int k, Qt::KeyboardModifiers modifiers) {
        QTest::mouseDClick(&Dlg(), Qt::LeftButton, modifiers, SlotCentre(k));
    };
    doubleClick(1, Qt::NoModifier);
    EXPECT_EQ(Now(), (Selection{1, 1, 1, {1}, true})) << "plain: that photo alone";

    // Control on a photo not yet marked: the first press marks it, and it
    // stays marked.
    doubleClick(2, Qt::ControlModifier);
    EXPECT_EQ(Now(), (Selection{2, 2, 2, {1, 2}, true}));

    // Shift from photo 0: the first press selects the range 0 to 2, which the
    // double-click keeps while it moves the anchor to 2.
    ClickSlot(0);
    doubleClick(2, Qt::ShiftModifier);
    EXPECT_EQ(Now(), (Selection{2, 2, 3, {0, 1, 2}, true}));

    EXPECT_EQ(viewer.m_opened,
              (QStringList{QStringLiteral("Picture 0001.jpg"), QStringLiteral("Picture 0002.jpg"),
                           QStringLiteral("Picture 0002.jpg")}));
    doubleClick(PHOTOS, Qt::NoModifier);
    EXPECT_EQ(viewer.m_opened.size(), 3) << "an empty slot opens nothing";
}

} // namespace

#include "window_click_test.moc"
