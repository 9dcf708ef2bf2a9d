// Dialog and menu templates as read from resource scripts (res/*.rc).
// Positions and sizes are in dialog units.
#pragma once

#include <string>
#include <vector>

#include "ui/resources/WinDef.h"

// Pane: an empty area (class "ViewPane") that the dialog fills with a view
// of its own; it takes the room as lists and tables do.
enum class ControlKind {
    Button,
    Static,
    Edit,
    ComboBox,
    ListBox,
    TabControl,
    ListView,
    Progress,
    Pane
};

const char* ControlKindName(ControlKind kind);

struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    std::string text;
    int id = IDC_STATIC;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;  // with WS_CHILD and WS_VISIBLE unless removed
    int iconId = -1;  // ICON: the icon resource shown, -1 for none
    int line = 0;     // line of the script, for messages
    // Initial strings of a combo or list box (DLGINIT), in order.
    std::vector<std::string> initialStrings;

    DWORD ButtonType() const { return style & BS_TYPEMASK; }
    bool IsCheckBox() const {
        return kind == ControlKind::Button && ButtonType() == BS_AUTOCHECKBOX;
    }
    bool IsRadioButton() const {
        return kind == ControlKind::Button && ButtonType() == BS_AUTORADIOBUTTON;
    }
    bool IsGroupBox() const { return kind == ControlKind::Button && ButtonType() == BS_GROUPBOX; }
    bool IsIcon() const { return kind == ControlKind::Static && (style & SS_TYPEMASK) == SS_ICON; }
};

struct DialogTemplate {
    int id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    int fontSize = 0;  // points; 0 when the template names no font
    std::string fontName;
    std::vector<ControlTemplate> controls;  // in template (tab and z) order
    std::string file;
    int line = 0;
    bool hasDlgInit = false;

    // nullptr when no control carries the ID.
    const ControlTemplate* FindControl(int controlId) const;
    int IndexOf(int controlId) const;  // -1 when absent
};

struct MenuItemTemplate {
    enum class Type { Command, Separator, Popup };
    Type type = Type::Command;
    std::string text;
    UINT id = 0;
    std::vector<MenuItemTemplate> items;  // of a popup
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItemTemplate> items;
    std::string file;
    int line = 0;
};
