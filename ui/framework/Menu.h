// A menu from a menu resource, shown as the menu bar of a dialog with
// CWnd::SetMenu. Choosing an item sends its command (WM_COMMAND, code 0) to
// the window.
//
// A handle lives until DestroyMenu, the destructor of the CMenu it is
// attached to, or the window that shows it goes away; a handle given to
// SetMenu belongs to that window, so the usual
//     CMenu menu; menu.LoadMenu(128); SetMenu(&menu); menu.Detach();
// leaves the menu with the window.
#pragma once

#include <string>
#include <vector>

#include "ui/resources/WinDef.h"

class CWnd;
class QMenuBar;
class QWidget;

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    // FALSE when no menu resource has the ID.
    BOOL LoadMenu(UINT nIDResource);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL DestroyMenu();

    // Top-level items; the command ID of an item (0 for a popup or separator).
    int GetMenuItemCount() const;
    // The text of the item with this command ID anywhere in the menu; empty
    // when there is none.
    std::string GetMenuString(UINT nID) const;

    // The Qt menu bar of a handle, whose items send their commands to `target`.
    static QMenuBar* BuildMenuBar(HMENU hMenu, QWidget* parent, CWnd* target);
};

// The commands of the menu bar that `window` shows (SetMenu). An item whose
// text ends in "\t" and a key ("保存(&S)\tCtrl+S") has that key as its
// shortcut while the window is active.
void AfxEnableMenuCommand(CWnd& window, UINT id, bool enable);
// A list of items in place of the item `firstId` of the menu: texts[i] with
// command firstId + i, at most `count`; with no texts the item shows
// `emptyText`, disabled.
void AfxSetMenuCommandList(CWnd& window, UINT firstId, UINT count,
                           const std::vector<std::string>& texts, const std::string& emptyText);

// The window takes over the handle: no CMenu destroys it any more.
void AfxAdoptMenuHandle(HMENU hMenu, CWnd* owner);
void AfxDestroyMenuHandle(HMENU hMenu);
