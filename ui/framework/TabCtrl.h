// A tab control (only the tabs; the dialog shows and hides the controls of
// each page). The user's choice of a tab sends TCN_SELCHANGE through
// WM_NOTIFY; SetCurSel and InsertItem send nothing.
#pragma once

#include <string>

#include "ui/framework/Wnd.h"

class CTabCtrl : public CWnd {
public:
    // Inserts a text tab before nItem (at the end when beyond); returns its index.
    int InsertItem(int nItem, const std::string& text);
    int GetItemCount() const;
    int GetCurSel() const;
    // Returns the previous selection, -1 for a bad index (nothing changes).
    int SetCurSel(int nItem);
    std::string GetItemText(int nItem) const;
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::TabControl; }
};
