#include "app/ConvertApp.h"

#include "app/ConvertDlg.h"
#include "app/Globals.h"
#include "framework/MessageMap.h"

BEGIN_MESSAGE_MAP(CConvertApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CConvertApp::CConvertApp() = default;

BOOL CConvertApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();

    CConvertDlg dlg;
    m_pMainWnd = &dlg;
    InitGlobals();  // g_appDir from the executable, g_projectPath " "
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
