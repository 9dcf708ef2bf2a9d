#include "ui/params/CalcMultiDlg.h"

#include "params/CommonPointFile.h"
#include "params/FitReport.h"
#include "params/ResidualPlot.h"
#include "params/ValueText.h"
#include "res/resource.h"
#include "ui/params/DatumCombos.h"
#include "ui/framework/Button.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/Edit.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/MessageMap.h"
#include "ui/params/PointTableEditing.h"
#include "ui/params/ResidualPlotView.h"

namespace {

using namespace point_table;

constexpr char kPointFilter[] = "公共点文件 (*.txt)|*.txt|全部文件 (*.*)|*.*||";
constexpr char kReportFilter[] = "文本文件 (*.txt)|*.txt|全部文件 (*.*)|*.*||";
constexpr char kNoPoints[] = "文件中没有公共点。";
constexpr char kStale[] = "表格或设置已改动，请重新计算。";
constexpr char kPasteRefused[] = "粘贴的内容中有无法读取的行，没有粘贴任何行：";
constexpr char kNothingPasted[] = "剪贴板中没有公共点。";
constexpr std::size_t kPasteProblemsShown = 10;
constexpr char kCloseQuestion[] = "公共点表已修改，关闭后修改将丢失。要关闭吗?";

// Rows beyond the tolerance, and check points.
constexpr COLORREF kFlaggedBack = RGB(255, 208, 208);
constexpr COLORREF kCheckPointText = RGB(112, 112, 112);

constexpr int kColumns = 15;
constexpr int kLastValueColumn = CCalcMultiDlg::kTargetColumn + 2;

// Letters of the three values by coordinate kind.
constexpr const char* kValueNames[3][3] = {{"X", "Y", "Z"}, {"B", "L", "H"}, {"x", "y", "h"}};

FitModel ModelOf(int radio) {
    return radio == 1 ? FitModel::Four : radio == 2 ? FitModel::Three : FitModel::Seven;
}

}  // namespace

BEGIN_MESSAGE_MAP(CCalcMultiDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_CALC_MULTI_SOURCE_KIND, OnSidesChanged)
    ON_CBN_SELCHANGE(IDC_CALC_MULTI_SOURCE_DATUM, OnSidesChanged)
    ON_CBN_SELCHANGE(IDC_CALC_MULTI_TARGET_KIND, OnSidesChanged)
    ON_CBN_SELCHANGE(IDC_CALC_MULTI_TARGET_DATUM, OnSidesChanged)
    ON_BN_CLICKED(IDC_CALC_MULTI_SEVEN, OnModelChanged)
    ON_BN_CLICKED(IDC_CALC_MULTI_FOUR, OnModelChanged)
    ON_BN_CLICKED(IDC_CALC_MULTI_THREE, OnModelChanged)
    ON_EN_CHANGE(IDC_CALC_MULTI_TOLERANCE, OnToleranceChanged)
    ON_EN_CHANGE(IDC_CALC_MULTI_ALPHA, OnToleranceChanged)
    ON_NOTIFY(LVN_BEGINLABELEDIT, IDC_CALC_MULTI_POINTS, OnBeginEdit)
    ON_NOTIFY(LVN_ENDLABELEDIT, IDC_CALC_MULTI_POINTS, OnEndEdit)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_CALC_MULTI_POINTS, OnItemChanged)
    ON_NOTIFY(LVN_PASTE, IDC_CALC_MULTI_POINTS, OnPaste)
    ON_BN_CLICKED(IDC_CALC_MULTI_IMPORT, OnImport)
    ON_BN_CLICKED(IDC_CALC_MULTI_SAVE_POINTS, OnSavePoints)
    ON_BN_CLICKED(IDC_CALC_MULTI_ADD_ROW, OnAddRow)
    ON_BN_CLICKED(IDC_CALC_MULTI_DELETE_ROW, OnDeleteRow)
    ON_BN_CLICKED(IDC_CALC_MULTI_COMPUTE, OnCompute)
    ON_BN_CLICKED(IDC_CALC_MULTI_SAVE_REPORT, OnSaveReport)
    ON_BN_CLICKED(IDC_CALC_MULTI_APPLY, OnApply)
END_MESSAGE_MAP()

CCalcMultiDlg::CCalcMultiDlg(const ConversionParams& settings, CWnd* pParent)
    : CDialog(IDD_CALC_MULTI, pParent), m_settings(settings) {}

void CCalcMultiDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CALC_MULTI_POINTS, m_table);
    DDX_CBIndex(pDX, IDC_CALC_MULTI_SOURCE_KIND, m_sourceKind);
    DDX_CBIndex(pDX, IDC_CALC_MULTI_SOURCE_DATUM, m_sourceDatum);
    DDX_CBIndex(pDX, IDC_CALC_MULTI_TARGET_KIND, m_targetKind);
    DDX_CBIndex(pDX, IDC_CALC_MULTI_TARGET_DATUM, m_targetDatum);
    DDX_Radio(pDX, IDC_CALC_MULTI_SEVEN, m_model);
    DDX_Radio(pDX, IDC_CALC_MULTI_LEVEL1, m_level);
    DDX_Text(pDX, IDC_CALC_MULTI_TOLERANCE, m_tolerance);
    DDX_Text(pDX, IDC_CALC_MULTI_ALPHA, m_alpha);
    DDX_CBIndex(pDX, IDC_CALC_MULTI_ENCODING, m_encoding);
}

BOOL CCalcMultiDlg::OnInitDialog() {
    ShowUserDatums(*this, {IDC_CALC_MULTI_SOURCE_DATUM, IDC_CALC_MULTI_TARGET_DATUM});
    CDialog::OnInitDialog();
    m_table.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int number = m_table.GetStringWidth("-0000000.0000") + 12;
    const int residual = m_table.GetStringWidth("-0.0000") + 24;
    m_table.InsertColumn(kUsedColumn, "参与计算", LVCFMT_LEFT);
    m_table.InsertColumn(kNameColumn, "点名", LVCFMT_LEFT, m_table.GetStringWidth("点名0000") + 12);
    for (int c = kSourceColumn; c <= kLastValueColumn; ++c)
        m_table.InsertColumn(c, "", LVCFMT_RIGHT, number);
    for (int c = kResidualColumn; c < kNormColumn; ++c)
        m_table.InsertColumn(c, "", LVCFMT_RIGHT, residual);
    m_table.InsertColumn(kNormColumn, "残差长度", LVCFMT_RIGHT);
    m_table.InsertColumn(kRedundancyColumn, "r 最小", LVCFMT_RIGHT);
    m_table.InsertColumn(kStatisticColumn, "τ²", LVCFMT_RIGHT);
    m_table.InsertColumn(kFlagColumn, "标记", LVCFMT_CENTER);
    UpdateHeadings();
    m_plotView = AttachPlotView(*this, IDC_CALC_MULTI_PLOT, [this](int point) { SelectRow(point); });
    FillTable(m_points);
    GetDlgItem(IDC_CALC_MULTI_LEVEL1)->EnableWindow(ModelOf(m_model) == FitModel::Four);
    GetDlgItem(IDC_CALC_MULTI_LEVEL2)->EnableWindow(ModelOf(m_model) == FitModel::Four);
    UpdateButtons();
    return TRUE;
}

void CCalcMultiDlg::UpdateHeadings() {
    auto name = [](int kind, int i) { return kind >= 0 && kind <= 2 ? kValueNames[kind][i] : "?"; };
    for (int i = 0; i < 3; ++i) {
        m_table.SetColumnHeading(kSourceColumn + i, std::string("源") + name(m_sourceKind, i));
        m_table.SetColumnHeading(kTargetColumn + i, std::string("目标") + name(m_targetKind, i));
    }
    static const char* const kPlane[3] = {"残差x", "残差y", ""};
    static const char* const kHorizon[3] = {"残差北", "残差东", "残差高"};
    const bool four = ModelOf(m_model) == FitModel::Four;
    for (int i = 0; i < 3; ++i)
        m_table.SetColumnHeading(kResidualColumn + i, four ? kPlane[i] : kHorizon[i]);
}

void CCalcMultiDlg::UpdateButtons() {
    GetDlgItem(IDC_CALC_MULTI_DELETE_ROW)
        ->EnableWindow(m_table.GetNextItem(-1, LVNI_SELECTED) >= 0);
}

// --- The table ---------------------------------------------------------------

std::vector<CommonPoint> CCalcMultiDlg::ReadTable() const {
    std::vector<CommonPoint> points(static_cast<std::size_t>(m_table.GetItemCount()));
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        CommonPoint& p = points[static_cast<std::size_t>(row)];
        p.id = m_table.GetItemText(row, kNameColumn);
        for (int i = 0; i < 3; ++i) {
            p.source[i] = m_table.GetItemText(row, kSourceColumn + i);
            p.target[i] = m_table.GetItemText(row, kTargetColumn + i);
        }
        p.used = m_table.GetCheck(row) != FALSE;
        p.line = static_cast<int>(m_table.GetItemData(row));
    }
    return points;
}

void CCalcMultiDlg::FillTable(const std::vector<CommonPoint>& points) {
    m_table.DeleteAllItems();
    for (std::size_t r = 0; r < points.size(); ++r) InsertPoint(static_cast<int>(r), points[r]);
    if (!points.empty()) FitColumns(m_table, kNameColumn, kLastValueColumn);
    m_edited = false;
}

void CCalcMultiDlg::InsertPoint(int row, const CommonPoint& p) {
    row = m_table.InsertItem(row, "");
    m_table.SetCheck(row, p.used);
    m_table.SetItemData(row, static_cast<DWORD_PTR>(p.line));
    m_table.SetItemText(row, kNameColumn, p.id);
    for (int i = 0; i < 3; ++i) {
        m_table.SetItemText(row, kSourceColumn + i, p.source[i]);
        m_table.SetItemText(row, kTargetColumn + i, p.target[i]);
    }
}

void CCalcMultiDlg::SelectRow(int row) {
    // The one row selected (the table selects several for copying).
    if (!SelectOnly(m_table, row)) return;
    UpdateButtons();
    // The list tells of a change only when the user makes it.
    if (m_plotView != nullptr) m_plotView->SetSelection(row);
}

void CCalcMultiDlg::OnBeginEdit(NMHDR* pNMHDR, LRESULT* pResult) {
    const int column = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item.iSubItem;
    // The check box and the results are not typed.
    *pResult = column >= kNameColumn && column <= kLastValueColumn ? FALSE : TRUE;
}

void CCalcMultiDlg::OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult) {
    const LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    *pResult = FALSE;
    if (!TakeEdit(m_table, item)) return;
    m_edited = true;
    ClearResult();
}

void CCalcMultiDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if ((info->uOldState ^ info->uNewState) & LVIS_STATEIMAGEMASK) ClearResult();
    if ((info->uOldState ^ info->uNewState) & LVIS_SELECTED) {
        UpdateButtons();
        if (m_plotView != nullptr) m_plotView->SetSelection(m_table.GetNextItem(-1, LVNI_SELECTED));
    }
    *pResult = 0;
}

// All rows or none: a paste with a row that cannot be read adds nothing and
// names the rows; the rows already in the table stay as they are.
void CCalcMultiDlg::OnPaste(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* info = reinterpret_cast<NMLVPASTE*>(pNMHDR);
    *pResult = TRUE;
    std::vector<std::string> names;
    for (int row = 0; row < m_table.GetItemCount(); ++row)
        names.push_back(m_table.GetItemText(row, kNameColumn));
    std::vector<CommonPoint> points;
    std::vector<std::string> problems;
    if (!ParsePastedCommonPoints(info->pszText != nullptr ? info->pszText : "", names,
                                 TextLanguage::Chinese, &points, &problems)) {
        std::string text = kPasteRefused;
        for (std::size_t i = 0; i < problems.size() && i < kPasteProblemsShown; ++i)
            text += "\n" + problems[i];
        if (problems.size() > kPasteProblemsShown)
            text += "\n……（共 " + std::to_string(problems.size()) + " 行）";
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
        return;
    }
    if (points.empty()) {
        AfxMessageBox(kNothingPasted, MB_OK | MB_ICONWARNING);
        return;
    }
    const int first = m_table.GetItemCount();
    for (std::size_t i = 0; i < points.size(); ++i)
        InsertPoint(first + static_cast<int>(i), points[i]);
    FitColumns(m_table, kNameColumn, kLastValueColumn);
    m_edited = true;
    ClearResult();
    SelectRow(first);
}

void CCalcMultiDlg::OnAddRow() {
    const int row = AppendRow(m_table);
    m_edited = true;
    ClearResult();
    SelectRow(row);
    m_table.EditLabel(row, kNameColumn);
}

void CCalcMultiDlg::OnDeleteRow() {
    const int row = DeleteSelectedRows(m_table);
    if (row < 0) return;
    m_edited = true;
    ClearResult();
    // The next row (or the new last one) is selected for the next deletion.
    SelectRow(row < m_table.GetItemCount() ? row : m_table.GetItemCount() - 1);
    UpdateButtons();
}

// --- Settings ------------------------------------------------------------------

void CCalcMultiDlg::OnSidesChanged() {
    UpdateData(TRUE);
    UpdateHeadings();
    ClearResult();
}

void CCalcMultiDlg::OnModelChanged() {
    UpdateData(TRUE);
    const bool four = ModelOf(m_model) == FitModel::Four;
    GetDlgItem(IDC_CALC_MULTI_LEVEL1)->EnableWindow(four);
    GetDlgItem(IDC_CALC_MULTI_LEVEL2)->EnableWindow(four);
    UpdateHeadings();
    ClearResult();
}

void CCalcMultiDlg::OnToleranceChanged() { ClearResult(); }

// --- Files -----------------------------------------------------------------------

void CCalcMultiDlg::OnImport() {
    CFileDialog dlg(TRUE, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kPointFilter, this);
    dlg.m_folderKind = "commonPoints";
    if (dlg.DoModal() != IDOK) return;
    std::vector<CommonPoint> points;
    std::string error;
    m_encoding = static_cast<CComboBox*>(GetDlgItem(IDC_CALC_MULTI_ENCODING))->GetCurSel();
    if (!ReadCommonPointFile(dlg.GetPathName(), TextLanguage::Chinese, &points, &error,
                             ImportEncoding(m_encoding))) {
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
        return;
    }
    if (points.empty()) {
        AfxMessageBox(kNoPoints, MB_OK | MB_ICONWARNING);
        return;
    }
    ClearResult();
    FillTable(points);
    UpdateButtons();
}

void CCalcMultiDlg::OnSavePoints() {
    const std::vector<CommonPoint> points = ReadTable();
    CFileDialog dlg(FALSE, "txt", "公共点.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kPointFilter, this);
    dlg.m_folderKind = "commonPoints";
    if (dlg.DoModal() != IDOK) return;
    std::string error;
    if (!WriteCommonPointFile(dlg.GetPathName(), points, TextLanguage::Chinese, &error)) {
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
        return;
    }
    m_edited = false;
}

void CCalcMultiDlg::OnSaveReport() {
    if (!m_result && !Compute()) return;
    CFileDialog dlg(FALSE, "txt", "参数计算报告.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kReportFilter, this);
    dlg.m_folderKind = "reports";
    if (dlg.DoModal() != IDOK) return;
    std::string error;
    if (!WriteFitReport(dlg.GetPathName(), *m_result, &error))
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
}

// --- Computing ---------------------------------------------------------------------

bool CCalcMultiDlg::Compute() {
    if (!UpdateData(TRUE)) return false;
    FitRequest request;
    request.model = ModelOf(m_model);
    request.sourceKind = m_sourceKind;
    request.sourceDatum = m_sourceDatum;
    request.targetKind = m_targetKind;
    request.targetDatum = m_targetDatum;
    if (!ReadTestFields(*this, IDC_CALC_MULTI_ALPHA, m_alpha, IDC_CALC_MULTI_TOLERANCE, m_tolerance,
                        &request.alpha, &request.tolerance))
        return false;
    CommonPointFit result;
    FitProblem problem;
    if (!ComputeFit(ReadTable(), request, m_settings, TextLanguage::Chinese, &result, &problem)) {
        AfxMessageBox(problem.message, MB_OK | MB_ICONWARNING);
        if (problem.row >= 0 && problem.row < m_table.GetItemCount()) {
            SelectRow(problem.row);
            if (problem.field >= 0) {
                m_table.EditLabel(problem.row, kSourceColumn + problem.field);
            } else {
                m_table.SetFocus();
            }
        }
        return false;
    }
    ShowResult(result);
    m_result = std::move(result);
    return true;
}

void CCalcMultiDlg::ShowResult(const CommonPointFit& result) {
    const bool four = result.request.model == FitModel::Four;
    const std::vector<std::vector<std::string>> cellsOf =
        ResidualTable(result, TextLanguage::Chinese);
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        const PointResidual& r = result.fit.residuals[static_cast<std::size_t>(row)];
        for (int i = 0; i < 3; ++i) {
            m_table.SetItemText(row, kResidualColumn + i,
                                four && i == 2 ? std::string() : FormatFitMetres(r.v[i]));
        }
        m_table.SetItemText(row, kNormColumn, FormatFitMetres(r.norm));
        // The report's cells: redundancy, τ² and the marks.
        const std::vector<std::string>& cells = cellsOf[static_cast<std::size_t>(row) + 1];
        const std::size_t n = cells.size();
        m_table.SetItemText(row, kRedundancyColumn, cells[n - 3]);
        m_table.SetItemText(row, kStatisticColumn, cells[n - 2]);
        m_table.SetItemText(row, kFlagColumn, cells[n - 1]);
        const bool used = result.points[static_cast<std::size_t>(row)].used;
        m_table.SetItemColors(row, used ? CLR_DEFAULT : kCheckPointText,
                              r.flagged ? kFlaggedBack : CLR_DEFAULT);
    }
    for (int c = kResidualColumn; c < kColumns; ++c)
        m_table.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
    GetDlgItem(IDC_CALC_MULTI_SIGMA)->SetWindowText(FitSummaryText(result, TextLanguage::Chinese));
    GetDlgItem(IDC_CALC_MULTI_PARAMETERS)
        ->SetWindowText(FitParameterText(result, TextLanguage::Chinese));
    m_plotView->SetPlot(
        [result](double width, double height) { return MakeResidualPlot(result, width, height); });
    m_plotView->SetSelection(m_table.GetNextItem(-1, LVNI_SELECTED));
}

void CCalcMultiDlg::ClearResult() {
    if (!m_result) return;
    m_result.reset();
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        for (int c = kResidualColumn; c < kColumns; ++c) m_table.SetItemText(row, c, "");
        m_table.SetItemColors(row, CLR_DEFAULT, CLR_DEFAULT);
    }
    GetDlgItem(IDC_CALC_MULTI_SIGMA)->SetWindowText(kStale);
    GetDlgItem(IDC_CALC_MULTI_PARAMETERS)->SetWindowText("");
    m_plotView->Clear(kPlotHint);
}

void CCalcMultiDlg::OnCompute() { Compute(); }

void CCalcMultiDlg::OnOK() { Compute(); }

void CCalcMultiDlg::OnApply() {
    if (!Compute()) return;
    EndDialog(IDOK);
}

void CCalcMultiDlg::OnCancel() {
    if (m_edited && AfxMessageBox(kCloseQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    CDialog::OnCancel();
}
