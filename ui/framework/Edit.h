// An edit control. Its text changes send EN_CHANGE, whether typed or set.
#pragma once

#include "ui/framework/Wnd.h"

class CEdit : public CWnd {
public:
    // Selects characters nStart to nEnd (-1: to the end).
    void SetSel(int nStart, int nEnd);
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::Edit; }
};
