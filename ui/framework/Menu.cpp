#include "ui/framework/Menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <map>
#include <memory>

#include "ui/framework/Wnd.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

struct MenuHandle {
    MenuTemplate menu;
    CWnd* owner = nullptr;
};

namespace {

// Every live handle; those still here at exit are freed with the map.
std::map<MenuHandle*, std::unique_ptr<MenuHandle>>& Handles() {
    static std::map<MenuHandle*, std::unique_ptr<MenuHandle>> handles;
    return handles;
}

bool IsLive(HMENU handle) { return handle != nullptr && Handles().count(handle) != 0; }

const MenuItemTemplate* FindItem(const std::vector<MenuItemTemplate>& items, UINT id) {
    for (const MenuItemTemplate& item : items) {
        if (item.type == MenuItemTemplate::Type::Command && item.id == id) return &item;
        if (item.type == MenuItemTemplate::Type::Popup) {
            if (const MenuItemTemplate* found = FindItem(item.items, id)) return found;
        }
    }
    return nullptr;
}

void AddItems(QWidget* menu, const std::vector<MenuItemTemplate>& items, CWnd* target) {
    for (const MenuItemTemplate& item : items) {
        switch (item.type) {
            case MenuItemTemplate::Type::Separator: {
                auto* separator = new QAction(menu);
                separator->setSeparator(true);
                menu->addAction(separator);
                break;
            }
            case MenuItemTemplate::Type::Popup: {
                auto* popup = new QMenu(ToQString(item.text), menu);
                AddItems(popup, item.items, target);
                menu->addAction(popup->menuAction());
                break;
            }
            case MenuItemTemplate::Type::Command: {
                auto* action = new QAction(ToQString(item.text), menu);
                action->setData(item.id);
                UINT id = item.id;
                QObject::connect(action, &QAction::triggered, action, [target, id] {
                    target->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
                });
                menu->addAction(action);
                break;
            }
        }
    }
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::LoadMenu(UINT nIDResource) {
    const MenuTemplate* menu = AfxGetResources().FindMenu(static_cast<int>(nIDResource));
    if (menu == nullptr) return FALSE;
    DestroyMenu();
    auto handle = std::make_unique<MenuHandle>();
    handle->menu = *menu;
    m_hMenu = handle.get();
    Handles().emplace(m_hMenu, std::move(handle));
    return TRUE;
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (hMenu == nullptr) return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU handle = m_hMenu;
    m_hMenu = nullptr;
    return handle;
}

BOOL CMenu::DestroyMenu() {
    HMENU handle = Detach();
    if (!IsLive(handle) || handle->owner != nullptr) return FALSE;
    Handles().erase(handle);
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return IsLive(m_hMenu) ? static_cast<int>(m_hMenu->menu.items.size()) : -1;
}

std::string CMenu::GetMenuString(UINT nID) const {
    if (!IsLive(m_hMenu)) return {};
    const MenuItemTemplate* item = FindItem(m_hMenu->menu.items, nID);
    return item != nullptr ? item->text : std::string();
}

QMenuBar* CMenu::BuildMenuBar(HMENU hMenu, QWidget* parent, CWnd* target) {
    if (!IsLive(hMenu)) AfxFatal("SetMenu with a menu handle that does not exist");
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);
    AddItems(bar, hMenu->menu.items, target);
    return bar;
}

void AfxAdoptMenuHandle(HMENU hMenu, CWnd* owner) {
    if (IsLive(hMenu)) hMenu->owner = owner;
}

void AfxDestroyMenuHandle(HMENU hMenu) {
    if (IsLive(hMenu)) Handles().erase(hMenu);
}
