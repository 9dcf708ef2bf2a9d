// A static control: a label or an icon.
#pragma once

#include "ui/framework/Wnd.h"

class CStatic : public CWnd {
public:
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::Static; }
};
