// The application object and the program's entry.
//
// The program defines one global object of a class derived from CWinApp and
// calls TerraxMain from main. TerraxMain makes the Qt application, sets the
// dialog font and the C numeric locale, and calls InitInstance; when that
// returns FALSE the program ends, otherwise Run runs the event loop.
#pragma once

#include <string>
#include <vector>

#include "ui/framework/CmdTarget.h"

class CWnd;

// What the command line asks the program to do: open the file it names, or
// start with a new document.
class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };
    virtual ~CCommandLineInfo() = default;
    // One argument: bFlag when it started with "-" (which is dropped). The
    // first one that is not a flag is the file to open.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Kept for the shape of start-up code; they do nothing.
    BOOL Enable3dControls() { return TRUE; }

    // The icon resource with this ID; nullptr when there is none.
    HICON LoadIcon(UINT nIDResource) const;

    // Hands each argument after the program's name to rCmdInfo.ParseParam.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);

    CWnd* m_pMainWnd = nullptr;
    // The program's arguments, its name first, without those of Qt.
    std::vector<std::string> m_arguments;
    // Caption of message boxes: the name given, else the executable's name.
    std::string m_pszAppName;

    // ID_APP_EXIT: sends WM_CLOSE to the main window.
    void OnAppExit();
    // ID_HELP: the program has no help file of that kind; nothing happens.
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
inline void AfxEnableControlContainer() {}

// Sets up a Qt application that exists already: the application font (the
// dialog font, since positions follow it), Qt's own texts in Simplified
// Chinese, the C numeric locale, and no quitting when a dialog closes.
// TerraxMain and the tests call it.
void AfxInitUiPlatform();

int TerraxMain(int argc, char** argv);
