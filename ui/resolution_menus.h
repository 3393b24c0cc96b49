#pragma once
// The two resolution menus: the full one for the camera models that can take
// 1280 x 1024 pictures, the basic one for every other camera.

#include <memory>

class QMenu;
class QWidget;

struct MenuItemResource {
    const char* szText;
    int nCommand;
};

struct MenuResource {
    int nID;
    const char* szPopupCaption;
    const MenuItemResource* pItems;
    int nItems;
};

// The menu resource `nID` (IDR_RES_MENU_FULL or IDR_RES_MENU_BASIC), or null.
const MenuResource* FindMenuResource(int nID);

// The popup of menu `nID` as a Qt menu; each action's data is its command id.
// Null for an unknown id.
std::unique_ptr<QMenu> LoadPopupMenu(int nID, QWidget* parent);
