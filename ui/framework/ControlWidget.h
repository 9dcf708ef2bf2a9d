// The widget of a control as the Qt class its wrapper needs (CComboBox a
// QComboBox, ...); a wrapper over another kind of control is fatal.
#pragma once

#include <QObject>
#include <string>

#include "ui/framework/Fatal.h"
#include "ui/resources/WinDef.h"

// `wrapper` names the class that asks, `kind` the control it needs ("a combo box").
template <class Widget>
Widget* ControlWidgetAs(HWND hwnd, const char* wrapper, const char* kind) {
    auto* widget = qobject_cast<Widget*>(hwnd);
    if (widget == nullptr) AfxFatal(std::string(wrapper) + " over a widget that is not " + kind);
    return widget;
}
