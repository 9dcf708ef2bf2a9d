// The application object: runs the main window as a modal dialog and ends.
#pragma once

#include "framework/WinApp.h"

class CConvertApp : public CWinApp {
public:
    CConvertApp();
    BOOL InitInstance() override;
    DECLARE_MESSAGE_MAP()
};
