#include "ui/resolution_menus.h"

#include "ui/resource_ids.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include <iterator>

namespace {

constexpr MenuItemResource FULL_ITEMS[] = {
    {"320x240", ID_RES_320X240},
    {"640x480", ID_RES_640X480},
    {"1.3M", ID_RES_1_3M},
};

constexpr MenuItemResource BASIC_ITEMS[] = {
    {"320x240", ID_RES_320X240},
    {"640x480", ID_RES_640X480},
};

constexpr MenuResource MENUS[] = {
    {IDR_RES_MENU_FULL, "Resolution", FULL_ITEMS, static_cast<int>(std::size(FULL_ITEMS))},
    {IDR_RES_MENU_BASIC, "Resolution", BASIC_ITEMS, static_cast<int>(std::size(BASIC_ITEMS))},
};

} // namespace

const MenuResource* FindMenuResource(int nID) {
    for (const MenuResource& menu : MENUS) {
        if (menu.nID == nID)
            return &menu;
    }
    return nullptr;
}

std::unique_ptr<QMenu> LoadPopupMenu(int nID, QWidget* parent) {
    const MenuResource* resource = FindMenuResource(nID);
    if (resource == nullptr)
        return nullptr;
    auto menu = std::make_unique<QMenu>(QString::fromUtf8(resource->szPopupCaption), parent);
    for (int i = 0; i < resource->nItems; ++i) {
        QAction* action = menu->addAction(QString::fromUtf8(resource->pItems[i].szText));
        action->setData(resource->pItems[i].nCommand);
    }
    return menu;
}
