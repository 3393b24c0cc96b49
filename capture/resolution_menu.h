#pragma once
// Choosing the capture resolution: the popup menu under the resolution button,
// the three menu commands and the placing of the preview host.

#include "capture/resolution_modes.h"
#include "platform/win_types.h"
#include "ui/resource_ids.h"

#include <functional>
#include <memory>

class QMenu;
class QWidget;


struct ResolutionMenuItem {
    UINT nCommand;
    const char* szLabel;
};

// The menu resources, top to bottom. Each is one popup titled "Resolution".
inline constexpr ResolutionMenuItem RES_MENU_FULL_ITEMS[] = {
    {ID_RES_320X240, "320x240"}, {ID_RES_640X480, "640x480"}, {ID_RES_1_3M, "1.3M"}};
inline constexpr ResolutionMenuItem RES_MENU_BASIC_ITEMS[] = {{ID_RES_320X240, "320x240"},
                                                              {ID_RES_640X480, "640x480"}};

// The menu of a resource id, each action carrying its command id as data;
// null for any other id.
std::unique_ptr<QMenu> LoadResolutionMenu(UINT nMenuId, QWidget* parent);

// The mode a command selects, or -1 for another command.
int ResolutionOfCommand(UINT nCommand);

// What the resolution commands do on the main window: CCameraDlg implements
// it with its own members and operations.
class IResolutionOwner {
public:
    virtual int GetResolution() const = 0;
    // Sets the mode on the resolution button and shows the mode's image.
    virtual void SetResolutionAndShowImage(int nResolution) = 0;
    virtual void StopStillGraph() = 0;
    virtual void PlacePreviewControl() = 0;
    virtual int RestartStillGraph(DWORD limitMs) = 0;

protected:
    ~IResolutionOwner() = default;
};

// The handler of commands 32772 to 32774: nothing when the mode is already
// active; otherwise the button's image first, then stop, place, restart.
void OnResolutionCommand(IResolutionOwner& owner, UINT nCommand);

// The main window's menu state.
struct ResolutionMenuState {
    int m_bMenuShowing = 0;
    RECT m_rcResolutionButton;
};

// Opens the full menu when a supported camera is present (ids asked in their
// order, the second only when the first is absent), else the basic one, below
// the button's bottom-left corner; returns when it closes and hands a chosen
// command to OnResolutionCommand. A click while the menu is open does nothing.
void OnResolutionButton(ResolutionMenuState& state, QWidget* button, QWidget* mainWindow,
                        const std::function<int(const char*)>& isCameraPresent,
                        IResolutionOwner& owner);

// Moves the preview host to the mode's place; other values leave it.
void PlacePreviewControl(QWidget* videoHost, int nResolution);
