// A progress bar (msctls_progress32): a range and a position in it.
#pragma once

#include "ui/framework/Wnd.h"

class CProgressCtrl : public CWnd {
public:
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::Progress; }

    // The range is empty (and the bar full) when nUpper is not above nLower.
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    // Returns the previous position; a position outside the range is held at its ends.
    int SetPos(int nPos);
    int GetPos() const;
};
