// The application object: runs the main window as a modal dialog and ends.
// A file named on the command line opens in it as File Open would open it.
#pragma once

#include "ui/framework/WinApp.h"

// Caption of the main window and of every message box.
inline constexpr const char kAppTitle[] = "坐标转换";

class CConvertApp : public CWinApp {
public:
    CConvertApp();
    BOOL InitInstance() override;
    DECLARE_MESSAGE_MAP()
};
