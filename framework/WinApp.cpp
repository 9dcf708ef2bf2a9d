#include "framework/WinApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QtGlobal>
#include <clocale>

#include "framework/QtGlue.h"
#include "framework/ResourceSet.h"
#include "framework/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* lpszAppName) {
    if (lpszAppName != nullptr) m_pszAppName = lpszAppName;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::exec();
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    HICON icon = AfxGetResources().FindIcon(static_cast<int>(nIDResource));
    if (icon == nullptr) qWarning("no icon resource %u", nIDResource);
    return icon;
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

void AfxInitUiPlatform() {
    QFont font(QString::fromLatin1(kDialogFontFamily));
    font.setPointSize(kDefaultFontPoints);
    QApplication::setFont(font);
    if (QFontInfo(font).family() != font.family()) {
        qWarning("the font \"%s\" is not installed: Chinese texts will not show",
                 kDialogFontFamily);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt takes the user's locale; numbers are read and written in C's.
    std::setlocale(LC_NUMERIC, "C");
}

int TerraxMain(int argc, char** argv) {
    QApplication application(argc, argv);
    AfxInitUiPlatform();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) qFatal("TerraxMain: the program defines no application object");
    if (app->m_pszAppName.empty())
        app->m_pszAppName = FromQString(QFileInfo(QString::fromLocal8Bit(argv[0])).baseName());
    if (!app->InitInstance()) {
        int code = app->ExitInstance();
        app->m_pMainWnd = nullptr;
        return code;
    }
    return app->Run();
}
