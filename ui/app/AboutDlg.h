// The About box.
#pragma once

#include "ui/framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
