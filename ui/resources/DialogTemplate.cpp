#include "ui/resources/DialogTemplate.h"

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return "Button";
        case ControlKind::Static:
            return "Static";
        case ControlKind::Edit:
            return "Edit";
        case ControlKind::ComboBox:
            return "ComboBox";
        case ControlKind::ListBox:
            return "ListBox";
        case ControlKind::TabControl:
            return "SysTabControl32";
        case ControlKind::ListView:
            return "SysListView32";
        case ControlKind::Progress:
            return "msctls_progress32";
        case ControlKind::Pane:
            return "ViewPane";
    }
    return "?";
}

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
    int index = IndexOf(controlId);
    return index < 0 ? nullptr : &controls[static_cast<size_t>(index)];
}

int DialogTemplate::IndexOf(int controlId) const {
    if (controlId == IDC_STATIC) return -1;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].id == controlId) return static_cast<int>(i);
    }
    return -1;
}
