// Resolution selection: the menu chosen by the camera ids, its place under the
// button, the re-entry guard, the command handlers' order and the host's place.

#include "capture/resolution_menu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class RecordingOwner final : public IResolutionOwner {
public:
    int GetResolution() const override { return nResolution; }
    void SetResolutionAndShowImage(int mode) override {
        nResolution = mode;
        calls.push_back("image " + std::to_string(mode));
    }
    void StopStillGraph() override { calls.push_back("stop"); }
    void PlacePreviewControl() override { calls.push_back("place " + std::to_string(nResolution)); }
    int RestartStillGraph(DWORD limitMs) override {
        calls.push_back("restart " + std::to_string(limitMs));
        return 0;
    }
    int nResolution = RES_640X480;
    std::vector<std::string> calls;
};

TEST(ResolutionCommands, ChangeShowsTheImageThenStopsPlacesAndRestarts) {
    RecordingOwner owner;
    OnResolutionCommand(owner, ID_RES_320X240);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"image 1", "stop", "place 1", "restart 10000"}));
    owner.calls.clear();
    OnResolutionCommand(owner, ID_RES_1_3M);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"image 2", "stop", "place 2", "restart 10000"}));
}

TEST(ResolutionCommands, TheActiveModeChangesNothing) {
    RecordingOwner owner;
    OnResolutionCommand(owner, ID_RES_640X480);
    EXPECT_TRUE(owner.calls.empty());
}

TEST(ResolutionCommands, OtherCommandsAreIgnored) {
    RecordingOwner owner;
    OnResolutionCommand(owner, 32771);
    OnResolutionCommand(owner, 32775);
    EXPECT_TRUE(owner.calls.empty());
}

TEST(PreviewPlacement, HostFollowsTheModeTable) {
    QWidget window;
    QWidget host(&window);
    PlacePreviewControl(&host, RES_320X240);
    EXPECT_EQ(host.geometry(), QRect(160, 120, 320, 240));
    PlacePreviewControl(&host, RES_1_3M);
    EXPECT_EQ(host.geometry(), QRect(0, 0, 640, 480));
    PlacePreviewControl(&host, RES_320X240);
    PlacePreviewControl(&host, RES_640X480);
    EXPECT_EQ(host.geometry(), QRect(0, 0, 640, 480));
    host.setGeometry(1, 2, 3, 4);
    PlacePreviewControl(&host, 3);
    PlacePreviewControl(&host, -1);
    PlacePreviewControl(nullptr, RES_640X480);
    EXPECT_EQ(host.geometry(), QRect(1, 2, 3, 4));
}

TEST(ResolutionMenus, ResourcesHoldTheirItemsInOrder) {
    auto full = LoadResolutionMenu(IDR_RES_MENU_FULL, nullptr);
    auto basic = LoadResolutionMenu(IDR_RES_MENU_BASIC, nullptr);
    ASSERT_TRUE(full && basic);
    auto items = [](QMenu& menu) {
        std::vector<std::pair<std::string, UINT>> out;
        for (QAction* a : menu.actions()) {
            EXPECT_FALSE(a->isCheckable());
            EXPECT_TRUE(a->isEnabled());
            out.emplace_back(a->text().toStdString(), a->data().toUInt());
        }
        return out;
    };
    EXPECT_EQ(items(*full), (std::vector<std::pair<std::string, UINT>>{
                                {"320x240", 32773}, {"640x480", 32772}, {"1.3M", 32774}}));
    EXPECT_EQ(items(*basic),
              (std::vector<std::pair<std::string, UINT>>{{"320x240", 32773}, {"640x480", 32772}}));
    EXPECT_EQ(full->title(), "Resolution");
    EXPECT_EQ(LoadResolutionMenu(152, nullptr), nullptr);
}

class ResolutionButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setGeometry(50, 40, 700, 650);
        button.setParent(&window);
        button.setGeometry(300, 520, 60, 30);
        window.show();
    }

    // While the menu runs: note what it shows, then pick the item labelled
    // label (or close it with Escape when label is empty).
    void WhenMenuOpens(std::string label, std::function<void()> alsoDo = {}) {
        QTimer::singleShot(50, &window, [this, label, alsoDo] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            shownPos = menu->pos();
            for (QAction* a : menu->actions())
                shownItems.push_back(a->text().toStdString());
            if (alsoDo)
                alsoDo();
            QAction* pick = nullptr;
            for (QAction* a : menu->actions())
                if (a->text().toStdString() == label)
                    pick = a;
            if (pick) {
                menu->setActiveAction(pick);
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(menu, &press);
            } else {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(menu, &press);
            }
        });
    }

    std::function<int(const char*)> Present(std::vector<std::string> ids) {
        return [this, ids](const char* id) {
            asked.push_back(id);
            return std::find(ids.begin(), ids.end(), id) != ids.end() ? 1 : 0;
        };
    }

    QWidget window;
    QWidget button;
    ResolutionMenuState state;
    RecordingOwner owner;
    std::vector<std::string> asked;
    std::vector<std::string> shownItems;
    QPoint shownPos;
};

TEST_F(ResolutionButtonTest, WithoutSupportedCameraTheMenuHasTwoEntries) {
    WhenMenuOpens("");
    OnResolutionButton(state, &button, &window, Present({}), owner);
    EXPECT_EQ(shownItems, (std::vector<std::string>{"320x240", "640x480"}));
    EXPECT_EQ(asked, (std::vector<std::string>{"VID_E5F6&PID_0A1B", "VID_A1B2&PID_C3D4"}));
    EXPECT_EQ(state.m_bMenuShowing, 0);
    EXPECT_TRUE(owner.calls.empty());
}

TEST_F(ResolutionButtonTest, FirstSupportedIdGivesTheFullMenuWithoutAskingTheSecond) {
    WhenMenuOpens("");
    OnResolutionButton(state, &button, &window, Present({"VID_E5F6&PID_0A1B"}), owner);
    EXPECT_EQ(shownItems, (std::vector<std::string>{"320x240", "640x480", "1.3M"}));
    EXPECT_EQ(asked, std::vector<std::string>{"VID_E5F6&PID_0A1B"});
}

TEST_F(ResolutionButtonTest, SecondSupportedIdAlsoGivesTheFullMenu) {
    WhenMenuOpens("1.3M");
    OnResolutionButton(state, &button, &window, Present({"VID_A1B2&PID_C3D4"}), owner);
    EXPECT_EQ(shownItems.size(), 3u);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"image 2", "stop", "place 2", "restart 10000"}));
}

TEST_F(ResolutionButtonTest, MenuOpensAtTheButtonsBottomLeftCorner) {
    WhenMenuOpens("");
    OnResolutionButton(state, &button, &window, Present({}), owner);
    const QPoint corner = button.mapToGlobal(QPoint(0, button.height()));
    EXPECT_EQ(shownPos, corner);
    EXPECT_EQ(state.m_rcResolutionButton.left, corner.x());
    EXPECT_EQ(state.m_rcResolutionButton.bottom, corner.y());
    EXPECT_EQ(state.m_rcResolutionButton.right - state.m_rcResolutionButton.left, 60);
}

TEST_F(ResolutionButtonTest, ChosenEntryRunsItsCommandAfterTheMenuCloses) {
    int showingDuringCommand = -1;
    struct Owner final : IResolutionOwner {
        ResolutionMenuState* state;
        int* seen;
        int n = 0;
        int GetResolution() const override { return n; }
        void SetResolutionAndShowImage(int m) override {
            n = m;
            *seen = state->m_bMenuShowing;
        }
        void StopStillGraph() override {}
        void PlacePreviewControl() override {}
        int RestartStillGraph(DWORD) override { return 0; }
    } watching;
    watching.state = &state;
    watching.seen = &showingDuringCommand;
    WhenMenuOpens("320x240");
    OnResolutionButton(state, &button, &window, Present({}), watching);
    EXPECT_EQ(watching.n, RES_320X240);
    EXPECT_EQ(showingDuringCommand, 0);
}

TEST_F(ResolutionButtonTest, SecondClickWhileTheMenuIsOpenOpensNoSecondMenu) {
    WhenMenuOpens("", [&] {
        // A click arriving while the menu runs re-enters the handler.
        OnResolutionButton(state, &button, &window, Present({}), owner);
    });
    OnResolutionButton(state, &button, &window, Present({}), owner);
    // Only the first call asked for ids and showed a menu.
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(shownItems.size(), 2u);
    EXPECT_EQ(state.m_bMenuShowing, 0);
}

} // namespace
