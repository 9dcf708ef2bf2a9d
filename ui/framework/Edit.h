// An edit control. Its text changes send EN_CHANGE, whether typed or set.
#pragma once

#include "ui/framework/Wnd.h"

class CEdit : public CWnd {
public:
    // Selects characters nStart to nEnd (-1: to the end).
    void SetSel(int nStart, int nEnd);
    // A read-only edit shows its text to select and copy; typing changes nothing.
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::Edit; }
};
