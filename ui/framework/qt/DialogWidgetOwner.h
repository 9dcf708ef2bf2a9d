// The framework window behind the Qt window of a dialog or sheet (CWnd):
// what the Qt window hands on to it, as that window's messages.
#pragma once

class DialogWidgetOwner {
public:
    // Enter: the command of button `id` (its click), nothing when that
    // button exists and is disabled.
    virtual void DialogEnter(int id) = 0;
    // Escape: the command of IDCANCEL, as a click of that button.
    virtual void DialogEscape() = 0;
    // QDialog::reject (the platform's own cancel): the command IDCANCEL.
    virtual void DialogReject() = 0;
    // The close box of the title bar.
    virtual void DialogCloseBox() = 0;
    virtual void DialogPaint() = 0;

protected:
    ~DialogWidgetOwner() = default;
};
