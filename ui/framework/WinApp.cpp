#include "ui/framework/WinApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QtGlobal>
#include <clocale>

#include "platform/Platform.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/Wnd.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* lpszAppName) {
    if (lpszAppName != nullptr) m_pszAppName = lpszAppName;
    g_app = this;
    AfxSetMessageBoxCaption(m_pszAppName);
}

CWinApp::~CWinApp() {
    if (g_app != this) return;
    g_app = nullptr;
    AfxSetMessageBoxCaption("");
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

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
    if (bFlag || m_nShellCommand == FileOpen) return;
    m_nShellCommand = FileOpen;
    m_strFileName = pszParam;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    for (std::size_t i = 1; i < m_arguments.size(); ++i) {
        const std::string& arg = m_arguments[i];
        const bool flag = arg.size() > 1 && arg[0] == '-';
        rCmdInfo.ParseParam(flag ? arg.c_str() + 1 : arg.c_str(), flag ? TRUE : FALSE,
                            i + 1 == m_arguments.size() ? TRUE : FALSE);
    }
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

void AfxInitUiPlatform() {
    QFont font(QString::fromLatin1(Platform::DialogFontFamily()));
    font.setPointSize(kDefaultFontPoints);
    QApplication::setFont(font);
    if (QFontInfo(font).family() != font.family()) {
        qWarning("the font \"%s\" is not installed: Chinese texts will not show",
                 Platform::DialogFontFamily());
    }
    // The dialogs that Qt makes itself (file dialogs, edit menus) speak the
    // language of the program's own, whatever the user's locale; the file
    // types they name come in Chinese too. Qt reads no numbers by its locale
    // here.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    static QTranslator qtTexts;
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"), translations)) {
        QCoreApplication::installTranslator(&qtTexts);
    } else {
        qWarning("Qt's Chinese texts (qtbase_zh_CN.qm) are not in %s: Qt's dialogs speak English",
                 qPrintable(translations));
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
    for (const QString& argument : QCoreApplication::arguments()) {
        app->m_arguments.push_back(FromQString(argument));
    }
    if (app->m_pszAppName.empty())
        app->m_pszAppName = FromQString(QFileInfo(QString::fromLocal8Bit(argv[0])).baseName());
    AfxSetMessageBoxCaption(app->m_pszAppName);
    if (!app->InitInstance()) {
        int code = app->ExitInstance();
        app->m_pMainWnd = nullptr;
        return code;
    }
    return app->Run();
}
