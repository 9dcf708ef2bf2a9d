#include "ui/framework/Menu.h"

#include <QAction>
#include <QKeySequence>
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

QAction* CommandAction(QWidget* menu, const std::string& text, UINT id, CWnd* target) {
    auto* action = new QAction(ToQString(text), menu);
    action->setData(id);
    const std::size_t tab = text.find('\t');
    if (tab != std::string::npos) {
        action->setShortcut(QKeySequence(ToQString(text.substr(tab + 1))));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    QObject::connect(action, &QAction::triggered, action, [target, id] {
        target->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    });
    return action;
}

QMenuBar* WindowMenuBar(CWnd& window) {
    QWidget* widget = window.GetSafeHwnd();
    return widget != nullptr ? widget->window()->findChild<QMenuBar*>() : nullptr;
}

QAction* FindAction(const QList<QAction*>& actions, UINT id) {
    for (QAction* action : actions) {
        if (QMenu* popup = action->menu()) {
            if (QAction* found = FindAction(popup->actions(), id)) return found;
        } else if (!action->isSeparator() && action->data().toUInt() == id) {
            return action;
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
            case MenuItemTemplate::Type::Command:
                menu->addAction(CommandAction(menu, item.text, item.id, target));
                break;
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

void AfxEnableMenuCommand(CWnd& window, UINT id, bool enable) {
    QMenuBar* bar = WindowMenuBar(window);
    if (bar == nullptr) return;
    if (QAction* action = FindAction(bar->actions(), id)) action->setEnabled(enable);
}

void AfxSetMenuCommandList(CWnd& window, UINT firstId, UINT count,
                           const std::vector<std::string>& texts, const std::string& emptyText) {
    QMenuBar* bar = WindowMenuBar(window);
    if (bar == nullptr) return;
    QAction* first = FindAction(bar->actions(), firstId);
    if (first == nullptr) return;
    auto* menu = qobject_cast<QWidget*>(first->parent());
    if (menu == nullptr) return;
    for (UINT id = firstId + 1; id < firstId + count; ++id) {
        if (QAction* old = FindAction(menu->actions(), id)) {
            menu->removeAction(old);
            delete old;
        }
    }
    first->setText(ToQString(texts.empty() ? emptyText : texts.front()));
    first->setEnabled(!texts.empty());
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(first) + 1;
    QAction* before = at < actions.size() ? actions[at] : nullptr;
    for (std::size_t i = 1; i < texts.size() && i < count; ++i) {
        menu->insertAction(before, CommandAction(menu, texts[i], firstId + static_cast<UINT>(i),
                                                 &window));
    }
}
