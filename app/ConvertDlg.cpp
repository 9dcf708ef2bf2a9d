#include "app/ConvertDlg.h"

#include <chrono>
#include <thread>

#include "app/AboutDlg.h"
#include "app/Globals.h"
#include "batch/FileBatch.h"
#include "batch/FormatCommand.h"
#include "batch/ShortenPath.h"
#include "framework/DataExchange.h"
#include "framework/DesktopOpener.h"
#include "framework/FileDialog.h"
#include "framework/Menu.h"
#include "framework/MessageBox.h"
#include "framework/MessageMap.h"
#include "framework/PaintDC.h"
#include "framework/ResourceSet.h"
#include "params/ParamCommands.h"

namespace {

constexpr char kProjectFilter[] = "坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||";
constexpr char kCloseQuestion[] = "要保存坐标转换文件吗?";
constexpr char kBatchQuestion[] = "请确定已经设置转换关系了!";
constexpr char kInvalidChoice[] = "源坐标或目标坐标的类型、椭球基准没有选定，请重新选择后再转换!";
constexpr char kNoFormat[] = "请先用\"格式\"选择文件格式!";
constexpr char kHelpPage[] = "坐标转换问题.htm";
constexpr UINT IDM_ABOUTBOX = 0x0010;

// Labels of the three point fields by coordinate kind.
constexpr const char* kKindLabels[3][3] = {
    {"X=", "Y=", "Z="}, {"B=", "L=", "H="}, {"x=", "y=", "h="}};

// Controls of the two pages of the main window.
constexpr int kSinglePointControls[] = {1012, 1013, 1014, 1016, 1018, 1020, 1002, 1003,
                                        1004, 1017, 1019, 1021, 1015, 1041, 1042};
constexpr int kFilePageControls[] = {1043, 1034, 1040, 1033, 1037, 1039, 1038, 1062};

constexpr int kListLimit = 18;

}  // namespace

BEGIN_MESSAGE_MAP(CConvertDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(32771, OnProjectionSettings)
    ON_COMMAND(32773, OnSevenParamSettings)
    ON_COMMAND(32772, OnFourParamSettings)
    ON_COMMAND(32774, OnCalcFour)
    ON_COMMAND(32775, OnDatumList)
    ON_BN_CLICKED(1022, OnKindSourceSpace)
    ON_BN_CLICKED(1024, OnKindSourceGeodetic)
    ON_BN_CLICKED(1027, OnKindSourcePlane)
    ON_BN_CLICKED(1025, OnKindTargetSpace)
    ON_BN_CLICKED(1026, OnKindTargetGeodetic)
    ON_BN_CLICKED(1028, OnKindTargetPlane)
    ON_BN_CLICKED(1015, OnConvert)
    ON_COMMAND(57601, OnFileOpen)
    ON_COMMAND(57603, OnFileSave)
    ON_COMMAND(57604, OnFileSaveAs)
    ON_COMMAND(57600, OnFileNew)
    ON_WM_CLOSE()
    ON_COMMAND(32776, OnCalcThree)
    ON_COMMAND(32777, OnCalcSeven)
    ON_COMMAND(57664, OnAbout)
    ON_COMMAND(32781, OnZoneChange)
    ON_NOTIFY(TCN_SELCHANGE, 1032, OnSelchangeModeTab)
    ON_BN_CLICKED(1033, OnBrowse)
    ON_BN_CLICKED(1039, OnConvertFiles)
    ON_BN_CLICKED(1034, OnFormat)
    ON_LBN_DBLCLK(1037, OnDblclkSourceList)
    ON_LBN_DBLCLK(1038, OnDblclkOutputList)
    ON_COMMAND(32782, OnHelpPage)
    ON_MESSAGE(WM_FILE_CONVERTED, OnFileConverted)
END_MESSAGE_MAP()

CConvertDlg::CConvertDlg(CWnd* pParent) : CDialog(102, pParent) {
    m_hIcon = AfxGetResources().FindIcon(128);
    // The session starts at its defaults; m_zoneChange is 0.
}

void CConvertDlg::ResetSession() { m_session.ResetSession(); }

void CConvertDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1043, m_formatLabel);
    DDX_Control(pDX, 1034, m_formatButton);
    DDX_Control(pDX, 1042, m_outputGroup);
    DDX_Control(pDX, 1041, m_inputGroup);
    DDX_Control(pDX, 1040, m_sourceFileLabel);
    DDX_Control(pDX, 1039, m_batchButton);
    DDX_Control(pDX, 1037, m_sourceList);
    DDX_Control(pDX, 1038, m_outputList);
    DDX_Control(pDX, 1033, m_browseButton);
    DDX_Control(pDX, 1015, m_convertButton);
    DDX_Control(pDX, 1004, m_sourceHEdit);
    DDX_Control(pDX, 1003, m_sourceYEdit);
    DDX_Control(pDX, 1002, m_sourceXEdit);
    DDX_Control(pDX, 1021, m_targetHEdit);
    DDX_Control(pDX, 1019, m_targetYEdit);
    DDX_Control(pDX, 1017, m_targetXEdit);
    DDX_Control(pDX, 1032, m_modeTab);
    DDX_Control(pDX, 1014, m_sourceHLabel);
    DDX_Control(pDX, 1013, m_sourceYLabel);
    DDX_Control(pDX, 1012, m_sourceXLabel);
    DDX_Control(pDX, 1020, m_targetHLabel);
    DDX_Control(pDX, 1018, m_targetYLabel);
    DDX_Control(pDX, 1016, m_targetXLabel);

    ConversionSession& s = m_session;
    DDX_CBIndex(pDX, 1023, s.m_targetDatum);
    DDX_Radio(pDX, 1025, s.m_targetKind);
    DDX_Check(pDX, 1009, s.m_useFour);
    DDX_Check(pDX, 1007, s.m_useSeven);
    DDX_CBIndex(pDX, 1011, s.m_sourceDatum);
    DDX_Radio(pDX, 1022, s.m_sourceKind);

    DDX_Text(pDX, 1017, s.m_targetText[0]);
    DDX_Text(pDX, 1019, s.m_targetText[1]);
    DDX_Text(pDX, 1021, s.m_targetText[2]);
    DDX_Text(pDX, 1002, s.m_sourceText[0]);
    DDX_Text(pDX, 1003, s.m_sourceText[1]);
    DDX_Text(pDX, 1004, s.m_sourceText[2]);
}

BOOL CConvertDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu menu;
    menu.LoadMenu(128);
    SetMenu(&menu);
    menu.Detach();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_modeTab.InsertItem(0, "单点转换");
    m_modeTab.InsertItem(1, "文件转换");

    RefreshFromSession();
    return TRUE;
}

void CConvertDlg::SetKindLabels(int firstLabel, int secondLabel, int thirdLabel, int kind) {
    if (kind < 0 || kind > 2) return;
    GetDlgItem(firstLabel)->SetWindowText(kKindLabels[kind][0]);
    GetDlgItem(secondLabel)->SetWindowText(kKindLabels[kind][1]);
    GetDlgItem(thirdLabel)->SetWindowText(kKindLabels[kind][2]);
}

void CConvertDlg::RefreshFromSession() {
    ConversionSession& s = m_session;
    SetKindLabels(1012, 1013, 1014, s.m_sourceKind);
    SetKindLabels(1016, 1018, 1020, s.m_targetKind);

    s.m_useFour = s.m_params.m_savedUseFour;
    s.m_useSeven = s.m_params.m_savedUseSeven;
    s.m_targetDatum = s.m_params.m_savedTargetDatum;
    s.m_sourceDatum = s.m_params.m_savedSourceDatum;

    if (HasProjectPath()) SetWindowText(g_projectPath);

    for (std::string& text : s.m_targetText) text.clear();
    UpdateData(FALSE);
}

void CConvertDlg::PrepareConversion() {
    UpdateData(TRUE);
    m_session.PrepareConversion();
}

// --- Single-point conversion -------------------------------------------------

void CConvertDlg::OnConvert() {
    UpdateData(TRUE);
    if (!m_session.Convert()) AfxMessageBox(kInvalidChoice, MB_OK | MB_ICONWARNING);
    UpdateData(FALSE);
}

void CConvertDlg::OnKindSourceSpace() { SetKindLabels(1012, 1013, 1014, 0); }
void CConvertDlg::OnKindSourceGeodetic() { SetKindLabels(1012, 1013, 1014, 1); }
void CConvertDlg::OnKindSourcePlane() { SetKindLabels(1012, 1013, 1014, 2); }
void CConvertDlg::OnKindTargetSpace() { SetKindLabels(1016, 1018, 1020, 0); }
void CConvertDlg::OnKindTargetGeodetic() { SetKindLabels(1016, 1018, 1020, 1); }
void CConvertDlg::OnKindTargetPlane() { SetKindLabels(1016, 1018, 1020, 2); }

// --- Window ------------------------------------------------------------------

void CConvertDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CConvertDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CConvertDlg::OnQueryDragIcon() { return m_hIcon; }

void CConvertDlg::OnAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CConvertDlg::OnOK() { OnClose(); }
void CConvertDlg::OnCancel() { OnClose(); }

void CConvertDlg::OnClose() {
    const int answer = AfxMessageBox(kCloseQuestion, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    if (answer == IDYES) {
        if (HasProjectPath()) {
            if (!SaveProjectTo(g_projectPath)) return;
        } else if (SaveAs() == SaveOutcome::Failed) {
            return;
        }
    }
    CDialog::OnClose();
}

// --- File menu ---------------------------------------------------------------

bool CConvertDlg::SaveProjectTo(const std::string& path) {
    PrepareConversion();
    std::string error;
    if (m_session.SaveProject(path, &error)) return true;
    AfxMessageBox(error, MB_OK | MB_ICONSTOP);
    return false;
}

CConvertDlg::SaveOutcome CConvertDlg::SaveAs() {
    CFileDialog dlg(FALSE, "cod", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kProjectFilter);
    dlg.m_ofn.lpstrTitle = "坐标转换文件另存为";
    dlg.m_ofn.lpstrInitialDir = g_appDir;
    if (dlg.DoModal() != IDOK) return SaveOutcome::Cancelled;
    // The path becomes current only with the file written.
    const std::string path = dlg.GetPathName();
    if (!SaveProjectTo(path)) return SaveOutcome::Failed;
    g_projectPath = path;
    return SaveOutcome::Saved;
}

void CConvertDlg::OnFileNew() {
    CFileDialog dlg(FALSE, "cod", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kProjectFilter);
    dlg.m_ofn.lpstrTitle = "新建坐标转换文件";
    dlg.m_ofn.lpstrInitialDir = g_appDir;
    if (dlg.DoModal() != IDOK) return;
    g_projectPath = dlg.GetPathName();
    ResetSession();
    RefreshFromSession();
}

void CConvertDlg::OnFileOpen() {
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kProjectFilter);
    dlg.m_ofn.lpstrTitle = "打开坐标转换文件";
    dlg.m_ofn.lpstrInitialDir = g_appDir;
    if (dlg.DoModal() != IDOK) return;
    const std::string path = dlg.GetPathName();
    std::string error;
    if (!m_session.LoadProject(path, &error)) {
        // The session and the current path stay as they were.
        AfxMessageBox(error, MB_OK | MB_ICONSTOP);
        return;
    }
    g_projectPath = path;
    RefreshFromSession();
}

void CConvertDlg::OnFileSave() {
    if (!HasProjectPath()) {
        SaveAs();
        return;
    }
    SaveProjectTo(g_projectPath);
}

void CConvertDlg::OnFileSaveAs() { SaveAs(); }

// --- Parameters --------------------------------------------------------------

void CConvertDlg::OnProjectionSettings() { ParamCommands::OnProjectionSettings(m_session); }
void CConvertDlg::OnSevenParamSettings() { ParamCommands::OnSevenParamSettings(m_session); }
void CConvertDlg::OnFourParamSettings() { ParamCommands::OnFourParamSettings(m_session); }
void CConvertDlg::OnCalcFour() { ParamCommands::OnCalcFour(m_session); }
void CConvertDlg::OnCalcThree() { ParamCommands::OnCalcThree(m_session); }
void CConvertDlg::OnCalcSeven() { ParamCommands::OnCalcSeven(m_session); }
void CConvertDlg::OnZoneChange() { ParamCommands::OnZoneChange(m_session); }
void CConvertDlg::OnDatumList() { ParamCommands::OnDatumList(m_session); }

// --- File conversion page ----------------------------------------------------

void CConvertDlg::ShowFilePage(bool filePage) {
    for (int id : kSinglePointControls) GetDlgItem(id)->ShowWindow(filePage ? SW_HIDE : SW_SHOW);
    for (int id : kFilePageControls) GetDlgItem(id)->ShowWindow(filePage ? SW_SHOW : SW_HIDE);
}

void CConvertDlg::OnSelchangeModeTab(NMHDR*, LRESULT* pResult) {
    ShowFilePage(m_modeTab.GetCurSel() != 0);
    *pResult = 0;
}

void CConvertDlg::OnFormat() {
    if (FormatCommand::OnFormat(m_session)) m_browseButton.EnableWindow(TRUE);
}

void CConvertDlg::OnBrowse() {
    const ConversionParams& p = m_session.m_params;
    const std::string filter =
        p.m_formatName + "(*." + p.m_formatExtension + ")|*." + p.m_formatExtension + "||";
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT, filter.c_str());
    dlg.m_ofn.lpstrTitle = "选择源文件";
    dlg.m_ofn.lpstrInitialDir = g_appDir;
    if (dlg.DoModal() != IDOK) return;

    m_sourceList.ResetContent();
    m_outputList.ResetContent();
    m_session.m_sourceFiles.clear();
    for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;) {
        const std::string path = dlg.GetNextPathName(pos);
        m_session.m_sourceFiles.push_back(path);
        m_sourceList.AddString(ShortenPath(path, kListLimit));
    }
    m_session.m_sourceFileCount = static_cast<int>(m_session.m_sourceFiles.size());
}

void CConvertDlg::OnConvertFiles() {
    if (AfxMessageBox(kBatchQuestion, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    if (m_sourceList.GetCount() == 0) return;
    const ConversionParams& p = m_session.m_params;
    if (p.m_formatSeparator.empty() || p.m_formatExtension.empty()) {
        // File New empties the chosen format; there is no layout to read by.
        AfxMessageBox(kNoFormat, MB_OK | MB_ICONWARNING);
        return;
    }
    m_outputList.ResetContent();

    PrepareConversion();
    BatchCallbacks callbacks;
    callbacks.fileConverted = [this](const ConvertedFile& file) {
        SendMessage(WM_FILE_CONVERTED, reinterpret_cast<WPARAM>(file.output.c_str()), 0);
    };
    const BatchResult result = RunBatch(m_session, callbacks);
    if (!result.started) {
        AfxMessageBox(result.error.empty() ? kInvalidChoice : result.error, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string report = BatchReport(result);
    if (!report.empty()) AfxMessageBox(report, MB_OK | MB_ICONWARNING);
}

LRESULT CConvertDlg::OnFileConverted(WPARAM wParam, LPARAM) {
    const std::string path = reinterpret_cast<const char*>(wParam);
    // The pause lets each output appear in the list while the batch runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    m_outputList.AddString(ShortenPath(path, kListLimit));
    m_outputList.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

void CConvertDlg::OnDblclkSourceList() {
    const int index = m_sourceList.GetCurSel();
    if (index < 0 || index >= static_cast<int>(m_session.m_sourceFiles.size())) return;
    AfxOpenWithDesktop(m_session.m_sourceFiles[index]);
}

void CConvertDlg::OnDblclkOutputList() {
    const int index = m_outputList.GetCurSel();
    if (index < 0 || index >= static_cast<int>(m_session.m_outputFiles.size())) return;
    AfxOpenWithDesktop(m_session.m_outputFiles[index]);
}

void CConvertDlg::OnHelpPage() { AfxOpenWithDesktop(g_appDir + kHelpPage); }
