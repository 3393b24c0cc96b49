#include "capture/resolution_menu.h"

#include "capture/camera_presence.h"
#include "capture/preview_control.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

std::unique_ptr<QMenu> LoadResolutionMenu(UINT nMenuId, QWidget* parent) {
    const ResolutionMenuItem* first = nullptr;
    const ResolutionMenuItem* last = nullptr;
    if (nMenuId == IDR_RES_MENU_FULL) {
        first = std::begin(RES_MENU_FULL_ITEMS);
        last = std::end(RES_MENU_FULL_ITEMS);
    } else if (nMenuId == IDR_RES_MENU_BASIC) {
        first = std::begin(RES_MENU_BASIC_ITEMS);
        last = std::end(RES_MENU_BASIC_ITEMS);
    } else {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(QStringLiteral("Resolution"), parent);
    for (const ResolutionMenuItem* item = first; item != last; ++item) {
        QAction* action = menu->addAction(QString::fromLatin1(item->szLabel));
        action->setData(item->nCommand);
    }
    return menu;
}

int ResolutionOfCommand(UINT nCommand) {
    switch (nCommand) {
    case ID_RES_640X480:
        return RES_640X480;
    case ID_RES_320X240:
        return RES_320X240;
    case ID_RES_1_3M:
        return RES_1_3M;
    default:
        return -1;
    }
}

void OnResolutionCommand(IResolutionOwner& owner, UINT nCommand) {
    const int mode = ResolutionOfCommand(nCommand);
    if (mode < 0 || owner.GetResolution() == mode)
        return;
    // The button shows the new mode before the (blocking) restart.
    owner.SetResolutionAndShowImage(mode);
    owner.StopStillGraph();
    owner.PlacePreviewControl();
    owner.RestartStillGraph(PREVIEW_START_LIMIT_MS);
}

void OnResolutionButton(ResolutionMenuState& state, QWidget* button, QWidget* mainWindow,
                        const std::function<int(const char*)>& isCameraPresent,
                        IResolutionOwner& owner) {
    if (state.m_bMenuShowing || !button)
        return;
    state.m_bMenuShowing = 1;
    const QPoint topLeft = button->mapToGlobal(QPoint(0, 0));
    state.m_rcResolutionButton = {topLeft.x(), topLeft.y(), topLeft.x() + button->width(),
                                  topLeft.y() + button->height()};

    UINT menuId = IDR_RES_MENU_BASIC;
    if (isCameraPresent(SUPPORTED_CAMERA_IDS[0]) == 1 ||
        isCameraPresent(SUPPORTED_CAMERA_IDS[1]) == 1)
        menuId = IDR_RES_MENU_FULL;

    UINT command = 0;
    {
        std::unique_ptr<QMenu> menu = LoadResolutionMenu(menuId, mainWindow);
        if (mainWindow)
            mainWindow->activateWindow();
        // Left-aligned with the button, opening below its bottom edge.
        QAction* chosen =
            menu->exec(QPoint(state.m_rcResolutionButton.left, state.m_rcResolutionButton.bottom));
        if (chosen)
            command = chosen->data().toUInt();
    }
    state.m_bMenuShowing = 0;
    // The chosen item reaches the window as its command after the menu is gone.
    if (command)
        OnResolutionCommand(owner, command);
}

void PlacePreviewControl(QWidget* videoHost, int nResolution) {
    const ResolutionMode* mode = FindResolutionMode(nResolution);
    if (!videoHost || !mode)
        return;
    videoHost->setGeometry(mode->nHostX, mode->nHostY, mode->nHostWidth, mode->nHostHeight);
    videoHost->update();
}
