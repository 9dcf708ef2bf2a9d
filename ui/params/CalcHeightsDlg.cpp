#include "ui/params/CalcHeightsDlg.h"

#include <cmath>

#include "geodesy/GeoidGrid.h"
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

namespace {

constexpr char kGeoidFilter[] =
    "高程异常格网 (*.gtx;*.asc)|*.gtx;*.asc|全部文件 (*.*)|*.*||";
constexpr char kBadAlpha[] = "显著水平 α 必须是大于 0、小于 50 的百分数（默认 0.1）。";
constexpr char kBadTolerance[] = "限差必须是大于零的米数；空白时只做检验。";
constexpr char kNoGeoidFile[] = "请选择似大地水准面格网文件（.gtx 或 .asc）。";
constexpr char kStale[] = "表格或设置已改动，请重新计算。";

// Rows flagged, and check points.
constexpr COLORREF kFlaggedBack = RGB(255, 208, 208);
constexpr COLORREF kCheckPointText = RGB(112, 112, 112);

constexpr int kColumns = 9;
constexpr int kLastValueColumn = CCalcHeightsDlg::kValueColumn + 3;

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The names of the four values by the kind of position.
const char* ValueName(int kind, int i) {
    static const char* const kNames[2][4] = {{"x", "y", "h", "H"}, {"B", "L", "h", "H"}};
    return kNames[kind == CCalcHeightsDlg::kGeodeticPositions ? 1 : 0][i];
}

const char* SurfaceName(HeightSurface surface) {
    switch (surface) {
        case HeightSurface::Constant:
            return "常数";
        case HeightSurface::Plane:
            return "平面";
        case HeightSurface::Quadric:
            break;
    }
    return "二次曲面";
}

HeightSurface SurfaceOf(int radio) {
    return radio == 0 ? HeightSurface::Constant
                      : radio == 2 ? HeightSurface::Quadric : HeightSurface::Plane;
}

// Millimetres with one decimal.
std::string Millimetres(double metres) { return FormatFixed(metres * 1000.0, 1); }

// A row of the table at fault and why.
struct TableProblem {
    std::string message;
    int row = -1;
    int column = -1;  // a table column; -1 the whole row
};

std::string Where(const std::vector<HeightRowText>& rows, int row) {
    return "表中第 " + std::to_string(row + 1) + " 行（点 " +
           rows[static_cast<std::size_t>(row)].id + "）";
}

// The rows as points of the fit: geodetic positions read as angle texts,
// plane positions through the projection of `settings` on the CGCS2000
// ellipsoid, the frame of GNSS heights.
bool ReadPoints(const std::vector<HeightRowText>& rows, int kind, const ConversionParams& settings,
                std::vector<HeightPoint>* points, TableProblem* problem) {
    std::vector<HeightPoint> read(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const HeightRowText& row = rows[r];
        const int index = static_cast<int>(r);
        double v[4] = {};
        for (int i = 0; i < 4; ++i) {
            const std::string& text = row.values[i];
            const bool angle = kind == CCalcHeightsDlg::kGeodeticPositions && i < 2;
            const bool ok = angle ? ReadAngleText(text, &v[i]) : ReadNumberText(text, &v[i]);
            if (ok) continue;
            problem->row = index;
            problem->column = CCalcHeightsDlg::kValueColumn + i;
            problem->message = Where(rows, index) + "：" + ValueName(kind, i) + " 列";
            if (text.empty()) {
                problem->message += "是空的";
            } else {
                problem->message += "的“" + text + "”不是" +
                                    (angle ? std::string("度:分:秒形式的角度（如 032:03:40.5）")
                                           : std::string("数"));
            }
            return false;
        }
        HeightPoint& p = read[r];
        if (kind == CCalcHeightsDlg::kGeodeticPositions) {
            p.B = v[0];
            p.L = v[1];
        } else {
            double a = 0, rf = 0, ignored = 0;
            CGeoCore::DatumTable(kDatumCgcs2000, &a, &rf);
            const CGeoCore geo;
            geo.PlaneToGeodetic(a, rf, v[0], v[1], 0.0, settings, &p.B, &p.L, &ignored);
        }
        p.h = v[2];
        p.H = v[3];
        p.used = row.used;
    }
    *points = std::move(read);
    return true;
}

// Why a fit failed, for the user.
std::string FailureMessage(const HeightFit& fit, HeightSurface surface, int usedPoints,
                           const std::vector<HeightRowText>& rows) {
    const std::string name = SurfaceName(surface);
    switch (fit.status) {
        case HeightStatus::TooFewPoints:
            return name + "拟合至少需要 " + std::to_string(SurfaceUnknowns(surface)) +
                   " 个参与计算的点，现有 " + std::to_string(usedPoints) + " 个";
        case HeightStatus::SingularGeometry:
            return surface == HeightSurface::Plane
                       ? std::string("参与计算的点在一条直线上，定不出平面")
                       : std::string("参与计算的点定不出二次曲面（点位过于集中或在一条线上）");
        case HeightStatus::OutOfRange:
            return Where(rows, fit.first) + "：数值超出合理范围";
        case HeightStatus::OutsideGeoid:
            return Where(rows, fit.first) + "在似大地水准面格网之外";
        case HeightStatus::NoGeoid:
        case HeightStatus::Solved:
            break;
    }
    return "没有似大地水准面格网";
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
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_ADD_ROW, OnAddRow)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_DELETE_ROW, OnDeleteRow)
    ON_BN_CLICKED(IDC_CALC_HEIGHTS_COMPUTE, OnCompute)
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
}

BOOL CCalcHeightsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_table.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int number = m_table.GetStringWidth("-0000000.0000") + 12;
    m_table.InsertColumn(kUsedColumn, "参与计算", LVCFMT_LEFT);
    m_table.InsertColumn(kNameColumn, "点名", LVCFMT_LEFT, m_table.GetStringWidth("点名0000") + 12);
    for (int c = kValueColumn; c <= kLastValueColumn; ++c)
        m_table.InsertColumn(c, "", LVCFMT_RIGHT, number);
    m_table.InsertColumn(kResidualColumn, "残差(毫米)", LVCFMT_RIGHT);
    m_table.InsertColumn(kStatisticColumn, "标准化残差", LVCFMT_RIGHT);
    m_table.InsertColumn(kFlagColumn, "标记", LVCFMT_CENTER);
    UpdateHeadings();
    FillTable(m_inputs.rows);
    const bool file = m_inputs.geoid == kFileGeoid;
    GetDlgItem(IDC_CALC_HEIGHTS_GEOID_FILE)->EnableWindow(file);
    GetDlgItem(IDC_CALC_HEIGHTS_BROWSE)->EnableWindow(file);
    UpdateButtons();
    return TRUE;
}

void CCalcHeightsDlg::UpdateHeadings() {
    for (int i = 0; i < 4; ++i) m_table.SetColumnHeading(kValueColumn + i, ValueName(m_inputs.kind, i));
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
    if (!rows.empty()) {
        for (int c = kNameColumn; c <= kLastValueColumn; ++c)
            m_table.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
    }
}

void CCalcHeightsDlg::SelectRow(int row) {
    if (row < 0 || row >= m_table.GetItemCount()) return;
    m_table.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_table.EnsureVisible(row, FALSE);
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
    if (item.pszText == nullptr) return;
    // Blanks around a value are dropped; the strict readers would refuse them.
    const std::string text = Trimmed(item.pszText);
    if (text == m_table.GetItemText(item.iItem, item.iSubItem)) return;
    m_table.SetItemText(item.iItem, item.iSubItem, text);
    ClearResult();
}

void CCalcHeightsDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    const auto* info = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if ((info->uOldState ^ info->uNewState) & LVIS_STATEIMAGEMASK) ClearResult();
    if ((info->uOldState ^ info->uNewState) & LVIS_SELECTED) UpdateButtons();
    *pResult = 0;
}

void CCalcHeightsDlg::OnAddRow() {
    const int row = m_table.InsertItem(m_table.GetItemCount(), "");
    m_table.SetCheck(row, TRUE);
    ClearResult();
    SelectRow(row);
    m_table.EditLabel(row, kNameColumn);
}

void CCalcHeightsDlg::OnDeleteRow() {
    const int row = m_table.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) return;
    m_table.DeleteItem(row);
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

// --- Computing ---------------------------------------------------------------------

bool CCalcHeightsDlg::Compute() {
    if (!UpdateData(TRUE)) return false;
    double alpha = 0;
    if (!ReadNumberText(Trimmed(m_inputs.alpha), &alpha) || !(alpha > 0 && alpha < 50)) {
        AfxMessageBox(kBadAlpha, MB_OK | MB_ICONWARNING);
        auto* edit = static_cast<CEdit*>(GetDlgItem(IDC_CALC_HEIGHTS_ALPHA));
        edit->SetFocus();
        edit->SetSel(0, -1);
        return false;
    }
    std::optional<double> tolerance;
    const std::string toleranceText = Trimmed(m_inputs.tolerance);
    if (!toleranceText.empty()) {
        double metres = 0;
        if (!ReadNumberText(toleranceText, &metres) || !(metres > 0)) {
            AfxMessageBox(kBadTolerance, MB_OK | MB_ICONWARNING);
            auto* edit = static_cast<CEdit*>(GetDlgItem(IDC_CALC_HEIGHTS_TOLERANCE));
            edit->SetFocus();
            edit->SetSel(0, -1);
            return false;
        }
        tolerance = metres;
    }
    const std::vector<HeightRowText> rows = ReadTable();
    std::vector<HeightPoint> points;
    TableProblem problem;
    if (!ReadPoints(rows, m_inputs.kind, m_settings, &points, &problem)) {
        AfxMessageBox(problem.message, MB_OK | MB_ICONWARNING);
        SelectRow(problem.row);
        m_table.EditLabel(problem.row, problem.column);
        return false;
    }
    AppliedHeightFit result;
    std::shared_ptr<const GeoidGrid> grid;
    if (m_inputs.geoid != kNoGeoid) {
        grid = Geoid(&result.geoid);
        if (!grid) return false;
    }
    const HeightSurface surface = SurfaceOf(m_inputs.surface);
    result.fit = FitHeights(surface, grid != nullptr, points, grid.get(), tolerance);
    if (!result.fit.Solved()) {
        int used = 0;
        for (const HeightPoint& p : points) used += p.used ? 1 : 0;
        AfxMessageBox(FailureMessage(result.fit, surface, used, rows), MB_OK | MB_ICONWARNING);
        if (result.fit.first >= 0) {
            SelectRow(result.fit.first);
            m_table.SetFocus();
        }
        return false;
    }
    ShowResult(result);
    m_result = std::move(result);
    return true;
}

void CCalcHeightsDlg::ShowResult(const AppliedHeightFit& result) {
    const HeightFit& fit = result.fit;
    for (int row = 0; row < m_table.GetItemCount(); ++row) {
        const HeightResidual& r = fit.residuals[static_cast<std::size_t>(row)];
        m_table.SetItemText(row, kResidualColumn, Millimetres(r.v));
        m_table.SetItemText(row, kStatisticColumn,
                            fit.sigma0 ? FormatFixed(r.studentized, 2) : std::string("-"));
        m_table.SetItemText(row, kFlagColumn, r.flagged ? "*" : "");
        m_table.SetItemColors(row, m_table.GetCheck(row) ? CLR_DEFAULT : kCheckPointText,
                              r.flagged ? kFlaggedBack : CLR_DEFAULT);
    }
    for (int c = kResidualColumn; c < kColumns; ++c)
        m_table.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
    std::string summary = std::string(SurfaceName(fit.model.surface)) +
                          (fit.model.onGeoid ? "（格网之上）" : "") + "：" +
                          std::to_string(fit.usedPoints) + " 个点参与计算，" +
                          std::to_string(fit.residuals.size() - static_cast<std::size_t>(fit.usedPoints)) +
                          " 个检查点；";
    summary += fit.sigma0 ? "单位权中误差 σ0 = " + Millimetres(*fit.sigma0) + " 毫米"
                          : std::string("没有多余观测，求不出 σ0");
    GetDlgItem(IDC_CALC_HEIGHTS_SIGMA)->SetWindowText(summary);
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
