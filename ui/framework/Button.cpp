#include "ui/framework/Button.h"

#include <QAbstractButton>

int CButton::GetCheck() const {
    auto* button = qobject_cast<QAbstractButton*>(CheckedHwnd("CButton::GetCheck"));
    return button != nullptr && button->isCheckable() && button->isChecked() ? BST_CHECKED
                                                                             : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    auto* button = qobject_cast<QAbstractButton*>(CheckedHwnd("CButton::SetCheck"));
    if (button != nullptr && button->isCheckable()) button->setChecked(nCheck == BST_CHECKED);
}
