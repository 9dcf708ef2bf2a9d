#include "ui/params/CalcHeightsDlg.h"

#include "geodesy/GeoidGrid.h"
#include "params/CommonHeightFile.h"
#include "params/HeightFitReport.h"
#include "params/ResidualPlot.h"
#include "params/ValueText.h"
#include "res/resource.h"
#include "session/GeoidFiles.h"
#include "session/Globals.h"
#include "ui/framework/Button.h"
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
constexpr char kGeoidFilter[] = "高程异常格网 (*.gtx;*.asc)|*.gtx;*.asc|全部文件 (*.*)|*.*||";
constexpr char kNoGeoidFile[] = "请选择大地水准面格网文件（.gtx 或 .asc）。";
constexpr char kNoPoints[] = "文件中没有公共点。";
constexpr char kStale[] = "表格或设置已改动，请重新计算。";

// Rows flagged, and check points.
constexpr COLORREF kFlaggedBack = RGB(255, 208, 208);
constexpr COLORREF kCheckPointText = RGB(112, 112, 112);

constexpr int kColumns = 10;
constexpr int kLastValueColumn = CCalcHeightsDlg::kValueColumn + 3;

HeightSurface SurfaceOf(int radio) {
    return radio == 0   ? HeightSurface::Constant
           : radio == 2 ? HeightSurface::Quadric
                        : HeightSurface::Plane;
}

HeightPositions PositionsOfKind(int kind) {
    return kind == CCalcHeightsDlg::kGeodeticPositions ? HeightPositions::Geodetic
                                                       : HeightPositions::Plane;
}

// The table's rows and the core's, both ways.
CommonHeight CoreRow(const HeightRowText& r) {
    CommonHeight c;
    c.id = r.id;
    c.position[0] = r.values[0];
    c.position[1] = r.values[1];
    c.h = r.values[2];
    c.H = r.values[3];
    c.used = r.used;
    c.line = r.line;
    return c;
}

HeightRowText TableRow(const CommonHeight& c) {
    HeightRowText r;
    r.id = c.id;
    r.values[0] = c.position[0];
    r.values[1] = c.position[1];
    r.values[2] = c.h;
    r.values[3] = c.H;
    r.used = c.used;
    r.line = c.line;
    return r;
}

std::vector<CommonHeight> CoreRows(const std::vector<HeightRowText>& rows) {
    std::vector<CommonHeight> out;
    for (const HeightRowText& r : rows) out.push_back(CoreRow(r));
    return out;
}

}  // namespace

BEGIN_MESSAGE_MAP(CCalcHeightsDlg, CDialog)
    ON_CBN_SELCHANGE(IDC_CALC_HEIGHTS_KIND, OnKindChanged)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_CONSTANT, OnSettingsChanged)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_PLANE, OnSettingsChanged)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_QUADRIC, OnSettingsChanged)
    ON_CBN_SELCHANGE(IDC_CALC_HEIGHTS_GEOID, OnGeoidChanged)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_BROWSE, OnBrowseGeoid)
    ON_EN_CHANGE(IDC_CALC_HEIGHTS_GEOID_FILE, OnSettingsChanged)
    ON_EN_CHANGE(IDC_CALC_HEIGHTS_ALPHA, OnSettingsChanged)
    ON_EN_CHANGE(IDC_CALC_HEIGHTS_TOLERANCE, OnSettingsChanged)
    ON_NOTIFY(LVN_BEGINLABELEDIT, IDC_CALC_HEIGHTS_POINTS, OnBeginEdit)
    ON_NOTIFY(LVN_ENDLABELEDIT, IDC_CALC_HEIGHTS_POINTS, OnEndEdit)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_CALC_HEIGHTS_POINTS, OnItemChanged)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_IMPORT, OnImport)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_SAVE_POINTS, OnSavePoints)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_ADD_ROW, OnAddRow)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_DELETE_ROW, OnDeleteRow)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_COMPUTE, OnCompute)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_SAVE_REPORT, OnSaveReport)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_APPLY, OnApply)
END_MESSAGE_MAP()

CCalcHeightsDlg::CCalcHeightsDlg(const ConversionParams& settings, CWnd* pParent)
    : CDialog(IDD_CALC_HEIGHTS, pParent), m_settings(settings) {}

void CCalcHeightsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CALC_HEIGHTS_POINTS, m_table);
    DDX_CBIndex(pDX, IDC_CALC_HEIGHTS_KIND, m_inputs.kind);
    DDX_Radio(pDX, IDC_CALC_HEIGHTS_CONSTANT, m_inputs.surface);
    DDX_CBIndex(pDX, IDC_CALC_HEIGHTS_GEOID, m_inputs.geoid);
    DDX_Text(pDX, IDC_CALC_HEIGHTS_GEOID_FILE, m_inputs.geoidFile);
    DDX_Text(pDX, IDC_CALC_HEIGHTS_ALPHA, m_inputs.alpha);
    DDX_Text(pDX, IDC_CALC_HEIGHTS_TOLERANCE, m_inputs.tolerance);
    DDX_CBIndex(pDX, IDC_CALC_HEIGHTS_ENCODING, m_inputs.encoding);
}

BOOL CCalcHeightsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_table.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int number = m_table.GetStringWidth("-0000000.0000") + 12;
    // The core's titles: name, the four values, used, residual, flag.
    const std::vector<std::string> titles =
        CommonHeightColumns(PositionsOfKind(m_inputs.kind), TextLanguage::Chinese);
    m_table.InsertColumn(kUsedColumn, titles[5], LVCFMT_LEFT);
    m_table.InsertColumn(kNameColumn, titles[0], LVCFMT_LEFT,
                         m_table.GetStringWidth("点名0000") + 12);
    for (int c = kValueColumn; c <= kLastValueColumn; ++c)
        m_table.InsertColumn(c, titles[static_cast<std::size_t>(c - kValueColumn) + 1],
                             LVCFMT_RIGHT, number);
    m_table.InsertColumn(kResidualColumn, titles[6], LVCFMT_RIGHT);
    m_table.InsertColumn(kRedundancyColumn, "r", LVCFMT_RIGHT);
    m_table.InsertColumn(kStatisticColumn, "τ²", LVCFMT_RIGHT);
    m_table.InsertColumn(kFlagColumn, titles[7], LVCFMT_CENTER);
    UpdateHeadings();
    m_plotView = AttachPlotView(*this, IDC_CALC_HEIGHTS_PLOT, [this](int point) { SelectRow(point); });
    FillTable(m_inputs.rows);
    const bool file = m_inputs.geoid == kFileGeoid;
    GetDlgItem(IDC_CALC_HEIGHTS_GEOID_FILE)->EnableWindow(file);
    GetDlgItem(IDC_CALC_HEIGHTS_BROWSE)->EnableWindow(file);
    UpdateButtons();
    return TRUE;
}

void CCalcHeightsDlg::UpdateHeadings() {
    const std::vector<std::string> titles =
        CommonHeightColumns(PositionsOfKind(m_inputs.kind), TextLanguage::Chinese);
    for (int i = 0; i < 4; ++i)
        m_table.SetColumnHeading(kValueColumn + i, titles[static_cast<std::size_t>(i) + 1]);
}

void CCalcHeightsDlg::UpdateButtons() {
    GetDlgItem(IDC_CALC_HEIGHTS_DELETE_ROW)
        ->EnableWindow(m_table.GetNextItem(-1, LVNI_SELECTED) >= 0);
}

void CCalcHeightsDlg::Remember() {
    UpdateData(TRUE);
    m_inputs.rows = ReadTable();
}

// --- The table ---------------------------------------------------------------

std::vector<HeightRowText> CCalcHeightsDlg::ReadTable() const {
    std::vector<HeightRowText> rows(static_cast<std::size_t>(m_table.GetItemCount()));
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        HeightRowText& r = rows[static_cast<std::size_t>(row)];
        r.id = m_table.GetItemText(row, kNameColumn);
        for (int i = 0; i < 4; ++i) r.values[i] = m_table.GetItemText(row, kValueColumn + i);
        r.used = m_table.GetCheck(row) != FALSE;
        r.line = static_cast<int>(m_table.GetItemData(row));
    }
    return rows;
}

void CCalcHeightsDlg::FillTable(const std::vector<HeightRowText>& rows) {
    m_table.DeleteAllItems();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const HeightRowText& p = rows[r];
        const int row = m_table.InsertItem(static_cast<int>(r), "");
        m_table.SetCheck(row, p.used);
        m_table.SetItemData(row, static_cast<DWORD_PTR>(p.line));
        m_table.SetItemText(row, kNameColumn, p.id);
        for (int i = 0; i < 4; ++i) m_table.SetItemText(row, kValueColumn + i, p.values[i]);
    }
    if (!rows.empty()) FitColumns(m_table, kNameColumn, kLastValueColumn);
}

void CCalcHeightsDlg::SelectRow(int row) {
    if (!SelectOnly(m_table, row)) return;
    UpdateButtons();
}

void CCalcHeightsDlg::OnBeginEdit(NMHDR* pNMHDR, LRESULT* pResult) {
    const int column = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item.iSubItem;
    // The check box and the results are not typed.
    *pResult = column >= kNameColumn && column <= kLastValueColumn ? FALSE : TRUE;
}

void CCalcHeightsDlg::OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult) {
    const LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    *pResult = FALSE;
    if (TakeEdit(m_table, item)) ClearResult();
}

void CCalcHeightsDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if ((info->uOldState ^ info->uNewState) & LVIS_STATEIMAGEMASK) ClearResult();
    if ((info->uOldState ^ info->uNewState) & LVIS_SELECTED) {
        UpdateButtons();
        if (m_plotView != nullptr) m_plotView->SetSelection(m_table.GetNextItem(-1, LVNI_SELECTED));
    }
    *pResult = 0;
}

void CCalcHeightsDlg::OnAddRow() {
    const int row = AppendRow(m_table);
    ClearResult();
    SelectRow(row);
    m_table.EditLabel(row, kNameColumn);
}

void CCalcHeightsDlg::OnDeleteRow() {
    const int row = DeleteSelectedRows(m_table);
    if (row < 0) return;
    ClearResult();
    // The next row (or the new last one) is selected for the next deletion.
    SelectRow(row < m_table.GetItemCount() ? row : m_table.GetItemCount() - 1);
    UpdateButtons();
}

// --- Settings ------------------------------------------------------------------

void CCalcHeightsDlg::OnKindChanged() {
    UpdateData(TRUE);
    UpdateHeadings();
    ClearResult();
}

void CCalcHeightsDlg::OnSettingsChanged() { ClearResult(); }

void CCalcHeightsDlg::OnGeoidChanged() {
    UpdateData(TRUE);
    const bool file = m_inputs.geoid == kFileGeoid;
    GetDlgItem(IDC_CALC_HEIGHTS_GEOID_FILE)->EnableWindow(file);
    GetDlgItem(IDC_CALC_HEIGHTS_BROWSE)->EnableWindow(file);
    ClearResult();
    if (file && Trimmed(m_inputs.geoidFile).empty()) OnBrowseGeoid();
}

void CCalcHeightsDlg::OnBrowseGeoid() {
    CFileDialog dlg(TRUE, "gtx", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kGeoidFilter, this);
    dlg.m_folderKind = "geoids";
    if (dlg.DoModal() != IDOK) return;
    GetDlgItem(IDC_CALC_HEIGHTS_GEOID_FILE)->SetWindowText(dlg.GetPathName());
    ClearResult();
}

std::shared_ptr<const GeoidGrid> CCalcHeightsDlg::Geoid(std::string* name) {
    if (m_inputs.geoid == kEgm96Geoid) {
        *name = kEgm96Name;
    } else {
        *name = Trimmed(m_inputs.geoidFile);
        if (name->empty()) {
            AfxMessageBox(kNoGeoidFile, MB_OK | MB_ICONWARNING);
            GetDlgItem(IDC_CALC_HEIGHTS_GEOID_FILE)->SetFocus();
            return nullptr;
        }
    }
    if (m_grid && m_gridName == *name) return m_grid;
    std::string error;
    std::shared_ptr<const GeoidGrid> grid = OpenGeoid(*name, g_appDir, &error);
    if (!grid) {
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    m_grid = grid;
    m_gridName = *name;
    return grid;
}

// --- Files -----------------------------------------------------------------------

void CCalcHeightsDlg::OnImport() {
    UpdateData(TRUE);
    CFileDialog dlg(TRUE, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kPointFilter, this);
    dlg.m_folderKind = "commonPoints";
    if (dlg.DoModal() != IDOK) return;
    std::vector<CommonHeight> points;
    HeightPositions positions = HeightPositions::Plane;
    std::string error;
    if (!ReadCommonHeightFile(dlg.GetPathName(), TextLanguage::Chinese, &points, &positions, &error,
                              ImportEncoding(m_inputs.encoding))) {
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
        return;
    }
    if (points.empty()) {
        AfxMessageBox(kNoPoints, MB_OK | MB_ICONWARNING);
        return;
    }
    ClearResult();
    // The file's form decides how the positions read.
    m_inputs.kind = positions == HeightPositions::Geodetic ? kGeodeticPositions : kPlanePositions;
    UpdateData(FALSE);
    UpdateHeadings();
    std::vector<HeightRowText> rows;
    for (const CommonHeight& p : points) rows.push_back(TableRow(p));
    FillTable(rows);
    UpdateButtons();
}

void CCalcHeightsDlg::OnSavePoints() {
    const std::vector<CommonHeight> points = CoreRows(ReadTable());
    CFileDialog dlg(FALSE, "txt", "高程公共点.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kPointFilter, this);
    dlg.m_folderKind = "commonPoints";
    if (dlg.DoModal() != IDOK) return;
    std::string error;
    if (!WriteCommonHeightFile(dlg.GetPathName(), points, TextLanguage::Chinese, &error))
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
}

void CCalcHeightsDlg::OnSaveReport() {
    if (!m_result && !Compute()) return;
    CFileDialog dlg(FALSE, "txt", "高程拟合报告.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    kReportFilter, this);
    dlg.m_folderKind = "reports";
    if (dlg.DoModal() != IDOK) return;
    std::string error;
    if (!WriteHeightFitReport(dlg.GetPathName(), *m_result, &error))
        AfxMessageBox(error, MB_OK | MB_ICONWARNING);
}

// --- Computing ---------------------------------------------------------------------

bool CCalcHeightsDlg::Compute() {
    if (!UpdateData(TRUE)) return false;
    HeightFitRequest request;
    request.surface = SurfaceOf(m_inputs.surface);
    request.positions = PositionsOfKind(m_inputs.kind);
    if (!ReadTestFields(*this, IDC_CALC_HEIGHTS_ALPHA, m_inputs.alpha, IDC_CALC_HEIGHTS_TOLERANCE,
                        m_inputs.tolerance, &request.alpha, &request.tolerance))
        return false;
    std::shared_ptr<const GeoidGrid> grid;
    if (m_inputs.geoid != kNoGeoid) {
        grid = Geoid(&request.geoid);
        if (!grid) return false;
    }
    CommonHeightFit result;
    FitProblem problem;
    if (!ComputeHeightFit(CoreRows(ReadTable()), request, m_settings, grid.get(),
                          TextLanguage::Chinese, &result, &problem)) {
        AfxMessageBox(problem.message, MB_OK | MB_ICONWARNING);
        if (problem.row >= 0 && problem.row < m_table.GetItemCount()) {
            SelectRow(problem.row);
            if (problem.field >= 0) {
                m_table.EditLabel(problem.row, kValueColumn + problem.field);
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

void CCalcHeightsDlg::ShowResult(const CommonHeightFit& result) {
    const std::vector<std::vector<std::string>> cellsOf =
        HeightResidualTable(result, TextLanguage::Chinese);
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        // The report's cells after the name: v, r, τ², the marks.
        const std::vector<std::string>& cells = cellsOf[static_cast<std::size_t>(row) + 1];
        for (int c = kResidualColumn; c < kColumns; ++c)
            m_table.SetItemText(row, c, cells[static_cast<std::size_t>(c - kResidualColumn) + 1]);
        const bool flagged = result.fit.residuals[static_cast<std::size_t>(row)].flagged;
        const bool used = result.points[static_cast<std::size_t>(row)].used;
        m_table.SetItemColors(row, used ? CLR_DEFAULT : kCheckPointText,
                              flagged ? kFlaggedBack : CLR_DEFAULT);
    }
    for (int c = kResidualColumn; c < kColumns; ++c)
        m_table.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
    GetDlgItem(IDC_CALC_HEIGHTS_SIGMA)
        ->SetWindowText(HeightFitSummaryText(result, TextLanguage::Chinese));
    GetDlgItem(IDC_CALC_HEIGHTS_REPORT)
        ->SetWindowText(HeightFitReportText(result, TextLanguage::Chinese));
    // The plot's note tells which way the arrows of heights point.
    const std::string note = MakeHeightResidualPlot(result, 1, 1).note;
    m_plotView->SetCaption(note.empty() ? std::string(kPlotCaption)
                                        : std::string(kPlotCaption) + "  " + note);
    m_plotView->SetPlot([result](double width, double height) {
        return MakeHeightResidualPlot(result, width, height);
    });
    m_plotView->SetSelection(m_table.GetNextItem(-1, LVNI_SELECTED));
}

void CCalcHeightsDlg::ClearResult() {
    if (!m_result) return;
    m_result.reset();
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        for (int c = kResidualColumn; c < kColumns; ++c) m_table.SetItemText(row, c, "");
        m_table.SetItemColors(row, CLR_DEFAULT, CLR_DEFAULT);
    }
    GetDlgItem(IDC_CALC_HEIGHTS_SIGMA)->SetWindowText(kStale);
    GetDlgItem(IDC_CALC_HEIGHTS_REPORT)->SetWindowText("");
    m_plotView->SetCaption(kPlotCaption);
    m_plotView->Clear(kPlotHint);
}

void CCalcHeightsDlg::OnCompute() { Compute(); }

void CCalcHeightsDlg::OnOK() { Compute(); }

void CCalcHeightsDlg::OnApply() {
    if (!Compute()) return;
    Remember();
    EndDialog(IDOK);
}

// The table stays for the next opening; nothing is lost.
void CCalcHeightsDlg::OnCancel() {
    Remember();
    CDialog::OnCancel();
}
