// A push button, check box, radio button or group box. A user's click sends
// BN_CLICKED (group boxes send nothing); SetCheck does not.
#pragma once

#include "ui/framework/Wnd.h"

class CButton : public CWnd {
public:
    // BST_CHECKED or BST_UNCHECKED.
    int GetCheck() const;
    // Checks or clears this button only; other radio buttons of its group
    // keep their state.
    void SetCheck(int nCheck);
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::Button; }
};
