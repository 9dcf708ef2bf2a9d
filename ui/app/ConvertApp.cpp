#include "ui/app/ConvertApp.h"

#include "session/AppPaths.h"
#include "session/Globals.h"
#include "ui/app/ConvertDlg.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/WindowSettings.h"

BEGIN_MESSAGE_MAP(CConvertApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CConvertApp::CConvertApp() : CWinApp(kAppTitle) {}

BOOL CConvertApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    CConvertDlg dlg;
    m_pMainWnd = &dlg;
    InitGlobals();  // g_appDir from the executable, g_projectPath " "
    AfxSetWindowSettingsFile(WindowSettingsPath(g_appDir));
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
        dlg.m_startProject = AbsolutePath(cmdInfo.m_strFileName);
    }
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
