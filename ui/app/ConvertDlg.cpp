#include "ui/app/ConvertDlg.h"

#include <cstdint>
#include <string>
#include <vector>

#include "batch/BatchSummary.h"
#include "batch/FileBatch.h"
#include "batch/ShortenPath.h"
#include "params/PointText.h"
#include "platform/Platform.h"
#include "res/resource.h"
#include "session/AppPaths.h"
#include "session/Globals.h"
#include "session/SessionStatus.h"
#include "session/UserDatums.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/WindowMemory.h"
#include "ui/batch/BatchProgressDlg.h"
#include "ui/batch/FormatCommand.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/DesktopOpener.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/Menu.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/MessageMap.h"
#include "ui/framework/PaintDC.h"
#include "ui/framework/StatusLine.h"
#include "ui/params/DatumCombos.h"
#include "ui/params/ParamCommands.h"
#include "ui/resources/ResourceSet.h"

namespace {

constexpr char kProjectFilter[] = "坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||";
constexpr char kCloseQuestion[] = "要保存坐标转换文件吗?";
constexpr char kBatchQuestion[] = "请确定已经设置转换关系了!";
constexpr char kInvalidChoice[] = "源坐标或目标坐标的类型、椭球基准没有选定，请重新选择后再转换!";
constexpr char kNoFormat[] = "请先用\"格式\"选择文件格式!";
constexpr char kNoHeightModel[] =
    "还没有高程拟合模型，也没有选定大地水准面，无法换算高程。\n请先在“高程拟合”中计算并应用高程拟合模型。";
constexpr UINT IDM_ABOUTBOX = 0x0010;

// Labels of the three point fields by coordinate kind.
constexpr const char* kKindLabels[3][3] = {
    {"X=", "Y=", "Z="}, {"B=", "L=", "H="}, {"x=", "y=", "h="}};

// Controls of the two pages of the main window.
constexpr int kSinglePointControls[] = {IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL,
                                        IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL,
                                        IDC_SOURCE_X,       IDC_SOURCE_Y,       IDC_SOURCE_H,
                                        IDC_TARGET_X,       IDC_TARGET_Y,       IDC_TARGET_H,
                                        IDC_CONVERT,        IDC_INPUT_GROUP,    IDC_OUTPUT_GROUP};
constexpr int kFilePageControls[] = {IDC_FORMAT_LABEL, IDC_FORMAT,        IDC_SOURCE_FILES_LABEL,
                                     IDC_BROWSE,       IDC_SOURCE_FILES,  IDC_CONVERT_FILES,
                                     IDC_OUTPUT_FILES, IDC_OPEN_FILE_HINT};

constexpr int kListLimit = 18;

// A batch of less shows no progress dialog: it is over before it could be read.
constexpr std::uint64_t kWatchedBatchBytes = std::uint64_t{4} << 20;

constexpr int kSourceFields[3] = {IDC_SOURCE_X, IDC_SOURCE_Y, IDC_SOURCE_H};
constexpr int kTargetFields[3] = {IDC_TARGET_X, IDC_TARGET_Y, IDC_TARGET_H};

// The name of a point field as its label shows it, without the "=".
std::string FieldName(int kind, int field) {
    if (kind < 0 || kind > 2) return "";
    const std::string label = kKindLabels[kind][field];
    return label.substr(0, label.size() - 1);
}

constexpr char kNumberHint[] = "请输入一个数，例如 12.345。";
constexpr char kAngleHint[] = "请按 DDD:MM:SS.ffff（度:分:秒）的形式输入角度，例如 117:30:00.0000。";

std::string PointTextMessage(const PointTextCheck& check, const std::string& name,
                             const std::string& text, bool angle) {
    switch (check.problem) {
        case PointTextProblem::Empty:
            return name + " 没有数值。\n" + (angle ? kAngleHint : kNumberHint);
        case PointTextProblem::NotNumber:
            return name + " 的值“" + text + "”不是数字。\n" + kNumberHint;
        case PointTextProblem::NotAngle:
            return name + " 的值“" + text + "”不是 DDD:MM:SS.ffff 形式的角度。\n" + kAngleHint;
        case PointTextProblem::DecimalDegrees:
            return name + " 的值“" + text + "”不是 DDD:MM:SS.ffff 形式的角度。\n要把它当作十进制度，换算为 " +
                   AngleTextOfDegrees(check.degrees) + " 吗？";
        case PointTextProblem::None:
            break;
    }
    return {};
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Existing output files named in the question before a batch; the rest are counted.
constexpr std::size_t kExistingShown = 12;

std::string ExistingOutputsQuestion(const std::vector<std::string>& existing) {
    std::string text = "下列输出文件已经存在:";
    for (std::size_t i = 0; i < existing.size() && i < kExistingShown; ++i) {
        text += "\n" + existing[i];
    }
    if (existing.size() > kExistingShown) {
        text += "\n……共" + std::to_string(existing.size()) + "个文件";
    }
    text += "\n\n要替换它们吗?\n“是”替换这些文件；“否”不替换，跳过它们的源文件；“取消”不转换。";
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CConvertDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDM_PROJECTION, OnProjectionSettings)
    ON_COMMAND(IDM_SEVEN_PARAMS, OnSevenParamSettings)
    ON_COMMAND(IDM_FOUR_PARAMS, OnFourParamSettings)
    ON_COMMAND(IDM_CALC_FOUR, OnCalcFour)
    ON_COMMAND(IDM_DATUM_LIST, OnDatumList)
    ON_BN_CLICKED(IDC_SOURCE_SPACE, OnKindSourceSpace)
    ON_BN_CLICKED(IDC_SOURCE_GEODETIC, OnKindSourceGeodetic)
    ON_BN_CLICKED(IDC_SOURCE_PLANE, OnKindSourcePlane)
    ON_BN_CLICKED(IDC_TARGET_SPACE, OnKindTargetSpace)
    ON_BN_CLICKED(IDC_TARGET_GEODETIC, OnKindTargetGeodetic)
    ON_BN_CLICKED(IDC_TARGET_PLANE, OnKindTargetPlane)
    ON_BN_CLICKED(IDC_CONVERT, OnConvert)
    ON_EN_CHANGE(IDC_SOURCE_X, OnSourceTextChanged)
    ON_EN_CHANGE(IDC_SOURCE_Y, OnSourceTextChanged)
    ON_EN_CHANGE(IDC_SOURCE_H, OnSourceTextChanged)
    ON_BN_CLICKED(IDC_USE_SEVEN, OnChoiceChanged)
    ON_BN_CLICKED(IDC_USE_FOUR, OnChoiceChanged)
    ON_BN_CLICKED(IDC_USE_HEIGHTS, OnUseHeights)
    ON_CBN_SELCHANGE(IDC_SOURCE_DATUM, OnChoiceChanged)
    ON_CBN_SELCHANGE(IDC_TARGET_DATUM, OnChoiceChanged)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_WM_CLOSE()
    ON_COMMAND(IDM_CALC_THREE, OnCalcThree)
    ON_COMMAND(IDM_CALC_SEVEN, OnCalcSeven)
    ON_COMMAND(IDM_CALC_MULTI, OnCalcMulti)
    ON_COMMAND(IDM_CALC_HEIGHTS, OnCalcHeights)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_COMMAND(IDM_ZONE_CHANGE, OnZoneChange)
    ON_NOTIFY(TCN_SELCHANGE, IDC_MODE_TAB, OnSelchangeModeTab)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_CONVERT_FILES, OnConvertFiles)
    ON_BN_CLICKED(IDC_FORMAT, OnFormat)
    ON_LBN_DBLCLK(IDC_SOURCE_FILES, OnDblclkSourceList)
    ON_LBN_DBLCLK(IDC_OUTPUT_FILES, OnDblclkOutputList)
    ON_COMMAND(IDM_HELP_PAGE, OnHelpPage)
    ON_MESSAGE(WM_OPEN_START_PROJECT, OnOpenStartProject)
END_MESSAGE_MAP()

CConvertDlg::CConvertDlg(CWnd* pParent) : CDialog(IDD_CONVERT, pParent) {
    m_hIcon = AfxGetResources().FindIcon(IDI_APP);
    // The session starts at its defaults; m_zoneChange is 0.
}

void CConvertDlg::ResetSession() { m_session.ResetSession(); }

void CConvertDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FORMAT_LABEL, m_formatLabel);
    DDX_Control(pDX, IDC_FORMAT, m_formatButton);
    DDX_Control(pDX, IDC_OUTPUT_GROUP, m_outputGroup);
    DDX_Control(pDX, IDC_INPUT_GROUP, m_inputGroup);
    DDX_Control(pDX, IDC_SOURCE_FILES_LABEL, m_sourceFileLabel);
    DDX_Control(pDX, IDC_CONVERT_FILES, m_batchButton);
    DDX_Control(pDX, IDC_SOURCE_FILES, m_sourceList);
    DDX_Control(pDX, IDC_OUTPUT_FILES, m_outputList);
    DDX_Control(pDX, IDC_BROWSE, m_browseButton);
    DDX_Control(pDX, IDC_CONVERT, m_convertButton);
    DDX_Control(pDX, IDC_SOURCE_H, m_sourceHEdit);
    DDX_Control(pDX, IDC_SOURCE_Y, m_sourceYEdit);
    DDX_Control(pDX, IDC_SOURCE_X, m_sourceXEdit);
    DDX_Control(pDX, IDC_TARGET_H, m_targetHEdit);
    DDX_Control(pDX, IDC_TARGET_Y, m_targetYEdit);
    DDX_Control(pDX, IDC_TARGET_X, m_targetXEdit);
    DDX_Control(pDX, IDC_MODE_TAB, m_modeTab);
    DDX_Control(pDX, IDC_SOURCE_H_LABEL, m_sourceHLabel);
    DDX_Control(pDX, IDC_SOURCE_Y_LABEL, m_sourceYLabel);
    DDX_Control(pDX, IDC_SOURCE_X_LABEL, m_sourceXLabel);
    DDX_Control(pDX, IDC_TARGET_H_LABEL, m_targetHLabel);
    DDX_Control(pDX, IDC_TARGET_Y_LABEL, m_targetYLabel);
    DDX_Control(pDX, IDC_TARGET_X_LABEL, m_targetXLabel);

    ConversionSession& s = m_session;
    DDX_CBIndex(pDX, IDC_TARGET_DATUM, s.m_targetDatum);
    DDX_Radio(pDX, IDC_TARGET_SPACE, s.m_targetKind);
    DDX_Check(pDX, IDC_USE_FOUR, s.m_useFour);
    DDX_Check(pDX, IDC_USE_SEVEN, s.m_useSeven);
    int heights = s.m_heights.enabled ? 1 : 0;
    DDX_Check(pDX, IDC_USE_HEIGHTS, heights);
    if (pDX->m_bSaveAndValidate) s.m_heights.enabled = heights != 0;
    DDX_CBIndex(pDX, IDC_SOURCE_DATUM, s.m_sourceDatum);
    DDX_Radio(pDX, IDC_SOURCE_SPACE, s.m_sourceKind);

    DDX_Text(pDX, IDC_TARGET_X, s.m_targetText[0]);
    DDX_Text(pDX, IDC_TARGET_Y, s.m_targetText[1]);
    DDX_Text(pDX, IDC_TARGET_H, s.m_targetText[2]);
    DDX_Text(pDX, IDC_SOURCE_X, s.m_sourceText[0]);
    DDX_Text(pDX, IDC_SOURCE_Y, s.m_sourceText[1]);
    DDX_Text(pDX, IDC_SOURCE_H, s.m_sourceText[2]);
}

BOOL CConvertDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu menu;
    menu.LoadMenu(IDR_MAIN_MENU);
    SetMenu(&menu);
    menu.Detach();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_modeTab.InsertItem(0, "单点转换");
    m_modeTab.InsertItem(1, "文件转换");
    // Results are shown to be read and copied, not typed over.
    for (CEdit* output : {&m_targetXEdit, &m_targetYEdit, &m_targetHEdit}) output->SetReadOnly();

    m_recent = RecentProjects(LoadRecentProjects());
    std::string datumError;
    if (!LoadUserDatums(UserDatumsPath(g_appDir), &datumError))
        AfxMessageBox(datumError, MB_OK | MB_ICONWARNING);
    ShowUserDatums(*this, {IDC_SOURCE_DATUM, IDC_TARGET_DATUM});
    if (LoadFormatChoice(&m_session.m_format)) m_browseButton.EnableWindow(TRUE);
    RefreshFromSession();
    m_history.Reset(m_session);
    UpdateTitle();
    UpdateMenus();
    // Opened from the event loop, so that a message about it shows over the window.
    if (!m_startProject.empty()) PostMessage(WM_OPEN_START_PROJECT);
    // The point's first field, though Tab starts with the kinds above it.
    GetDlgItem(IDC_SOURCE_X)->SetFocus();
    return FALSE;
}

void CConvertDlg::SetKindLabels(int firstLabel, int secondLabel, int thirdLabel, int kind) {
    if (kind < 0 || kind > 2) return;
    GetDlgItem(firstLabel)->SetWindowText(kKindLabels[kind][0]);
    GetDlgItem(secondLabel)->SetWindowText(kKindLabels[kind][1]);
    GetDlgItem(thirdLabel)->SetWindowText(kKindLabels[kind][2]);
}

void CConvertDlg::RefreshFromSession() {
    ConversionSession& s = m_session;
    SetKindLabels(IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL, s.m_sourceKind);
    SetKindLabels(IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL, s.m_targetKind);

    s.m_useFour = s.m_params.m_savedUseFour;
    s.m_useSeven = s.m_params.m_savedUseSeven;
    s.m_targetDatum = s.m_params.m_savedTargetDatum;
    s.m_sourceDatum = s.m_params.m_savedSourceDatum;

    ShowSession();
}

void CConvertDlg::ShowSession() {
    ConversionSession& s = m_session;
    SetKindLabels(IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL, s.m_sourceKind);
    SetKindLabels(IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL, s.m_targetKind);
    for (std::string& text : s.m_targetText) text.clear();
    UpdateData(FALSE);
    UpdateTitle();
    UpdateStatusLine();
    UpdateMenus();
}

void CConvertDlg::SessionChanged() {
    m_history.Record(m_session);
    ShowSession();
}

void CConvertDlg::ClearOutputs() {
    for (int i = 0; i < 3; ++i) {
        m_session.m_targetText[i].clear();
        if (!GetDlgItem(kTargetFields[i])->GetWindowText().empty())
            GetDlgItem(kTargetFields[i])->SetWindowText("");
    }
}

void CConvertDlg::UpdateTitle() {
    std::string title = GetTemplate().caption;
    if (HasProjectPath()) title += " - " + FileNameOf(g_projectPath);
    if (m_history.IsModified(m_session)) title += " *";
    if (GetWindowText() != title) SetWindowText(title);
}

void CConvertDlg::UpdateStatusLine() { AfxSetStatusText(*this, SessionStatusText(m_session)); }

void CConvertDlg::UpdateMenus() {
    AfxEnableMenuCommand(*this, ID_EDIT_UNDO, m_history.CanUndo());
    AfxEnableMenuCommand(*this, ID_EDIT_REDO, m_history.CanRedo());
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < m_recent.Paths().size(); ++i) texts.push_back(m_recent.MenuText(i));
    AfxSetMenuCommandList(*this, ID_FILE_MRU_FILE1, RecentProjects::kLimit, texts, "最近的文件");
}

void CConvertDlg::OnSourceTextChanged() {
    for (int i = 0; i < 3; ++i) m_session.m_sourceText[i] = GetDlgItem(kSourceFields[i])->GetWindowText();
    ClearOutputs();
    UpdateTitle();
}

void CConvertDlg::OnChoiceChanged() {
    UpdateData(TRUE);
    m_history.Record(m_session);
    ClearOutputs();
    UpdateTitle();
    UpdateStatusLine();
    UpdateMenus();
}

void CConvertDlg::OnUseHeights() {
    UpdateData(TRUE);
    SessionHeights& heights = m_session.m_heights;
    if (heights.enabled && !heights.model && heights.geoid.empty()) {
        heights.enabled = false;
        UpdateData(FALSE);
        AfxMessageBox(kNoHeightModel, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!OpenHeightGrid()) {
        heights.enabled = false;
        UpdateData(FALSE);
        return;
    }
    OnChoiceChanged();
}

bool CConvertDlg::OpenHeightGrid() {
    ConversionSession& s = m_session;
    if (!s.m_heights.enabled || !s.m_heights.NeedsGrid() || s.Grid() != nullptr) return true;
    std::string error;
    if (s.OpenGeoidGrid(g_appDir, &error)) return true;
    AfxMessageBox(error, MB_OK | MB_ICONWARNING);
    return false;
}

void CConvertDlg::OnEditUndo() {
    if (m_history.Undo(m_session)) RefreshFromSession();
}

void CConvertDlg::OnEditRedo() {
    if (m_history.Redo(m_session)) RefreshFromSession();
}

void CConvertDlg::PrepareConversion() {
    UpdateData(TRUE);
    m_session.PrepareConversion();
}

// --- Single-point conversion -------------------------------------------------

void CConvertDlg::OnConvert() {
    UpdateData(TRUE);
    ClearOutputs();
    if (!m_session.CanConvert()) {
        AfxMessageBox(kInvalidChoice, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!CheckSourceTexts()) return;
    if (m_session.LevelOneMissing()) {
        // Level 1 would turn every point into Xo, Yo.
        AfxMessageBox(kBatchQuestion, MB_OK | MB_ICONWARNING);
        return;
    }
    if (m_session.HeightsChange() && !OpenHeightGrid()) return;
    std::string heightMessage;
    if (!m_session.Convert(&heightMessage)) {
        // Heights that cannot convert, or a point outside the geoid grid.
        if (!heightMessage.empty()) AfxMessageBox(heightMessage, MB_OK | MB_ICONWARNING);
        return;
    }
    for (int i = 0; i < 3; ++i) GetDlgItem(kTargetFields[i])->SetWindowText(m_session.m_targetText[i]);
    // The extrapolation warning stays in the status line until the next change.
    if (!heightMessage.empty()) AfxSetStatusText(*this, heightMessage);
}

bool CConvertDlg::CheckSourceTexts() {
    std::string(&texts)[3] = m_session.m_sourceText;
    TrimPointTexts(texts);
    for (;;) {
        const PointTextCheck check = CheckPointTexts(m_session.SourceKind(), texts);
        if (check.problem == PointTextProblem::None) break;
        const int field = check.field;
        const bool angle = m_session.SourceKind() == CoordinateKind::Geodetic && field < 2;
        const std::string message = PointTextMessage(
            check, FieldName(m_session.m_sourceKind, field), texts[field], angle);
        if (check.problem == PointTextProblem::DecimalDegrees &&
            AfxMessageBox(message, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            texts[field] = AngleTextOfDegrees(check.degrees);
            continue;
        }
        if (check.problem != PointTextProblem::DecimalDegrees)
            AfxMessageBox(message, MB_OK | MB_ICONWARNING);
        UpdateData(FALSE);
        auto* edit = static_cast<CEdit*>(GetDlgItem(kSourceFields[field]));
        edit->SetFocus();
        edit->SetSel(0, -1);
        return false;
    }
    UpdateData(FALSE);
    return true;
}

void CConvertDlg::OnKindSourceSpace() {
    SetKindLabels(IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL, 0);
    OnChoiceChanged();
}
void CConvertDlg::OnKindSourceGeodetic() {
    SetKindLabels(IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL, 1);
    OnChoiceChanged();
}
void CConvertDlg::OnKindSourcePlane() {
    SetKindLabels(IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL, 2);
    OnChoiceChanged();
}
void CConvertDlg::OnKindTargetSpace() {
    SetKindLabels(IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL, 0);
    OnChoiceChanged();
}
void CConvertDlg::OnKindTargetGeodetic() {
    SetKindLabels(IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL, 1);
    OnChoiceChanged();
}
void CConvertDlg::OnKindTargetPlane() {
    SetKindLabels(IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL, 2);
    OnChoiceChanged();
}

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

void CConvertDlg::OnOK() {
    // On the file page only its own button converts.
    if (m_modeTab.GetCurSel() == 0) OnConvert();
}

void CConvertDlg::OnCancel() { OnClose(); }

BOOL CConvertDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= ID_FILE_MRU_FILE1 &&
        id < ID_FILE_MRU_FILE1 + RecentProjects::kLimit) {
        OpenRecentProject(id - ID_FILE_MRU_FILE1);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CConvertDlg::OnClose() {
    if (!SaveIfModified()) return;
    CDialog::OnClose();
}

bool CConvertDlg::SaveIfModified() {
    if (!m_history.IsModified(m_session)) return true;
    const int answer = AfxMessageBox(kCloseQuestion, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    return answer == IDNO || Save();
}

// --- File menu ---------------------------------------------------------------

bool CConvertDlg::SaveProjectTo(const std::string& path) {
    PrepareConversion();
    std::string error;
    if (!m_session.SaveProject(path, &error)) {
        AfxMessageBox(error, MB_OK | MB_ICONSTOP);
        return false;
    }
    m_history.MarkSaved(m_session);
    RememberProject(path);
    return true;
}

CConvertDlg::SaveOutcome CConvertDlg::SaveAs() {
    CFileDialog dlg(FALSE, "cod", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kProjectFilter);
    dlg.m_ofn.lpstrTitle = "坐标转换文件另存为";
    dlg.m_ofn.lpstrInitialDir = FileDialogFolder(g_appDir);
    dlg.m_folderKind = kProjectFolders;
    if (dlg.DoModal() != IDOK) return SaveOutcome::Cancelled;
    // The path becomes current only with the file written.
    const std::string path = dlg.GetPathName();
    if (!SaveProjectTo(path)) return SaveOutcome::Failed;
    g_projectPath = path;
    UpdateTitle();
    return SaveOutcome::Saved;
}

bool CConvertDlg::Save() {
    if (!HasProjectPath()) return SaveAs() == SaveOutcome::Saved;
    if (!SaveProjectTo(g_projectPath)) return false;
    UpdateTitle();
    return true;
}

void CConvertDlg::RememberProject(const std::string& path) {
    m_recent.Add(path);
    StoreRecentProjects(m_recent.Paths());
    UpdateMenus();
}

void CConvertDlg::OnFileNew() {
    if (!SaveIfModified()) return;
    // Untitled until it is saved; the format of the batch stays.
    m_session.NewProject();
    g_projectPath = kNoProjectPath;
    RefreshFromSession();
    m_history.Reset(m_session);
    UpdateTitle();
    UpdateMenus();
}

void CConvertDlg::OnFileOpen() {
    if (!SaveIfModified()) return;
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kProjectFilter);
    dlg.m_ofn.lpstrTitle = "打开坐标转换文件";
    dlg.m_ofn.lpstrInitialDir = FileDialogFolder(g_appDir);
    dlg.m_folderKind = kProjectFolders;
    if (dlg.DoModal() != IDOK) return;
    OpenProject(dlg.GetPathName());
}

void CConvertDlg::OpenRecentProject(std::size_t index) {
    if (index >= m_recent.Paths().size()) return;
    if (!SaveIfModified()) return;
    const std::string path = m_recent.Paths()[index];
    if (OpenProject(path)) return;
    // Gone or damaged: it leaves the list.
    m_recent.Remove(path);
    StoreRecentProjects(m_recent.Paths());
    UpdateMenus();
}

bool CConvertDlg::OpenProject(const std::string& path) {
    std::string error;
    const int userDatums = UserDatums().Count();
    if (!m_session.LoadProject(path, &error)) {
        // The session and the current path stay as they were.
        AfxMessageBox(error, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (UserDatums().Count() != userDatums) {
        // The project brought datums the list lacked.
        ShowUserDatums(*this, {IDC_SOURCE_DATUM, IDC_TARGET_DATUM});
        if (!SaveUserDatums(&error)) AfxMessageBox(error, MB_OK | MB_ICONWARNING);
    }
    g_projectPath = path;
    RefreshFromSession();
    m_history.Reset(m_session);
    RememberProject(path);
    UpdateTitle();
    return true;
}

LRESULT CConvertDlg::OnOpenStartProject(WPARAM, LPARAM) {
    OpenProject(m_startProject);
    return 0;
}

void CConvertDlg::OnFileSave() { Save(); }

void CConvertDlg::OnFileSaveAs() { SaveAs(); }

// --- Parameters --------------------------------------------------------------

template <class Command>
void CConvertDlg::RunParameterCommand(Command command) {
    UpdateData(TRUE);
    command(m_session);
    // "应用" of many points may turn a switch on; its check box shows it.
    SessionChanged();
}

void CConvertDlg::OnProjectionSettings() { RunParameterCommand(ParamCommands::OnProjectionSettings); }
void CConvertDlg::OnSevenParamSettings() { RunParameterCommand(ParamCommands::OnSevenParamSettings); }
void CConvertDlg::OnFourParamSettings() { RunParameterCommand(ParamCommands::OnFourParamSettings); }
void CConvertDlg::OnCalcFour() { RunParameterCommand(ParamCommands::OnCalcFour); }
void CConvertDlg::OnCalcThree() { RunParameterCommand(ParamCommands::OnCalcThree); }
void CConvertDlg::OnCalcSeven() { RunParameterCommand(ParamCommands::OnCalcSeven); }
void CConvertDlg::OnCalcMulti() {
    RunParameterCommand([](ConversionSession& s) { ParamCommands::OnCalcMulti(s); });
}

void CConvertDlg::OnCalcHeights() {
    RunParameterCommand([](ConversionSession& s) { ParamCommands::OnCalcHeights(s); });
}

void CConvertDlg::OnZoneChange() { RunParameterCommand(ParamCommands::OnZoneChange); }
void CConvertDlg::OnDatumList() {
    UpdateData(TRUE);
    if (!ParamCommands::OnDatumList(m_session, &m_history)) return;
    ShowUserDatums(*this, {IDC_SOURCE_DATUM, IDC_TARGET_DATUM});
    SessionChanged();
}

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
    if (!FormatCommand::OnFormat(m_session)) return;
    StoreFormatChoice(m_session.m_format);
    m_browseButton.EnableWindow(TRUE);
}

void CConvertDlg::OnBrowse() {
    const FormatChoice& fmt = m_session.m_format;
    const std::string filter =
        fmt.m_formatName + "(*." + fmt.m_formatExtension + ")|*." + fmt.m_formatExtension + "||";
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT, filter.c_str());
    dlg.m_ofn.lpstrTitle = "选择源文件";
    dlg.m_ofn.lpstrInitialDir = FileDialogFolder(g_appDir);
    dlg.m_folderKind = kPointFolders;
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
    const FormatChoice& fmt = m_session.m_format;
    if (fmt.m_formatSeparator.empty() || fmt.m_formatExtension.empty()) {
        // File New empties the chosen format; there is no layout to read by.
        AfxMessageBox(kNoFormat, MB_OK | MB_ICONWARNING);
        return;
    }

    PrepareConversion();
    if (m_session.LevelOneMissing()) {
        // Level 1 would turn every point of every file into Xo, Yo.
        AfxMessageBox(kBatchQuestion, MB_OK | MB_ICONWARNING);
        return;
    }
    if (m_session.HeightsChange() && !OpenHeightGrid()) return;
    // The batch runs on a worker while the progress dialog keeps the window
    // drawn; its questions and the outputs come back to this thread.
    CBatchProgressDlg progress(m_session, this);
    progress.m_beforeStart = [this](const std::vector<std::string>& existing) {
        ExistingOutputs choice = ExistingOutputs::Replace;
        if (!existing.empty()) {
            const int answer =
                AfxMessageBox(ExistingOutputsQuestion(existing), MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDCANCEL) return ExistingOutputs::Cancel;
            choice = answer == IDYES ? ExistingOutputs::Replace : ExistingOutputs::Keep;
        }
        m_outputList.ResetContent();
        return choice;
    };
    progress.m_fileConverted = [this](const std::string& output) {
        m_outputList.AddString(ShortenPath(output, kListLimit));
    };
    std::uint64_t bytes = 0;
    for (const std::string& source : m_session.m_sourceFiles) {
        Platform::FileStatus status;
        if (Platform::StatusOf(source, &status)) bytes += status.size;
    }
    if (bytes >= kWatchedBatchBytes) {
        progress.DoModal();
    } else {
        progress.RunWithoutDialog();
    }
    const BatchResult& result = progress.m_result;
    if (result.cancelled) return;
    if (!result.started) {
        AfxMessageBox(result.error.empty() ? kInvalidChoice : result.error, MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string summary = BatchSummary(result, progress.m_seconds);
    const std::string report = BatchReport(result);
    if (report.empty()) {
        AfxMessageBox(summary, MB_OK | MB_ICONINFORMATION);
    } else {
        AfxMessageBox(summary + "\n\n" + report, MB_OK | MB_ICONWARNING);
    }
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

void CConvertDlg::OnHelpPage() { AfxOpenWithDesktop(HelpPagePath(g_appDir)); }
