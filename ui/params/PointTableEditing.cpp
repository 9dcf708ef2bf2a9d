#include "ui/params/PointTableEditing.h"

#include <QLayout>
#include <vector>

#include "params/ValueText.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/Edit.h"
#include "ui/framework/MessageBox.h"
#include "ui/params/ResidualPlotView.h"

namespace point_table {

namespace {

constexpr char kBadTolerance[] = "限差必须是大于零的米数；空白时只做 τ 检验。";
constexpr char kBadAlpha[] = "显著水平 α 必须是大于 0.0000001、小于 50 的百分数（默认 0.1）。";

bool Refuse(CDialog& dialog, int id, const char* message) {
    AfxMessageBox(message, MB_OK | MB_ICONWARNING);
    auto* edit = static_cast<CEdit*>(dialog.GetDlgItem(id));
    edit->SetFocus();
    edit->SetSel(0, -1);
    return false;
}

}  // namespace

TextEncoding ImportEncoding(int item) {
    return item == 1   ? TextEncoding::Utf8
           : item == 2 ? TextEncoding::Gb18030
                       : TextEncoding::Detect;
}

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool TakeEdit(CListCtrl& table, const LVITEM& item) {
    if (item.pszText == nullptr) return false;
    const std::string text = Trimmed(item.pszText);
    if (text == table.GetItemText(item.iItem, item.iSubItem)) return false;
    table.SetItemText(item.iItem, item.iSubItem, text);
    return true;
}

int AppendRow(CListCtrl& table) {
    const int row = table.InsertItem(table.GetItemCount(), "");
    table.SetCheck(row, TRUE);
    return row;
}

int DeleteSelectedRows(CListCtrl& table) {
    const int first = table.GetNextItem(-1, LVNI_SELECTED);
    if (first < 0) return -1;
    std::vector<int> selected;
    for (int r = first; r >= 0; r = table.GetNextItem(r, LVNI_SELECTED)) selected.push_back(r);
    for (auto r = selected.rbegin(); r != selected.rend(); ++r) table.DeleteItem(*r);
    return first;
}

bool SelectOnly(CListCtrl& table, int row) {
    if (row < 0 || row >= table.GetItemCount()) return false;
    for (int other = table.GetNextItem(-1, LVNI_SELECTED); other >= 0;
         other = table.GetNextItem(other, LVNI_SELECTED))
        table.SetItemState(other, 0, LVIS_SELECTED);
    table.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    table.EnsureVisible(row, FALSE);
    return true;
}

void FitColumns(CListCtrl& table, int first, int last) {
    for (int c = first; c <= last; ++c) table.SetColumnWidth(c, LVSCW_AUTOSIZE_USEHEADER);
}

CResidualPlotView* AttachPlotView(CDialog& dialog, int paneId, std::function<void(int)> pick) {
    QWidget* pane = dialog.GetDlgItem(paneId)->GetSafeHwnd();
    auto* view = new CResidualPlotView(pane);
    pane->layout()->addWidget(view);
    view->SetCaption(kPlotCaption);
    view->Clear(kPlotHint);
    view->SetPicker(std::move(pick));
    return view;
}

bool ReadTestFields(CDialog& dialog, int alphaId, const std::string& alpha, int toleranceId,
                    const std::string& tolerance, double* alphaOut,
                    std::optional<double>* toleranceOut) {
    const std::string metresText = Trimmed(tolerance);
    std::optional<double> metres;
    if (!metresText.empty()) {
        double value = 0;
        if (!ReadNumberText(metresText, &value) || !(value > 0))
            return Refuse(dialog, toleranceId, kBadTolerance);
        metres = value;
    }
    double percent = 0;
    if (!ReadNumberText(Trimmed(alpha), &percent) || !(percent >= 1e-7 && percent < 50))
        return Refuse(dialog, alphaId, kBadAlpha);
    *alphaOut = percent / 100;
    *toleranceOut = metres;
    return true;
}

}  // namespace point_table
