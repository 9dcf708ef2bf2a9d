// What the dialogs that compute from a table of common points share: the
// typed cells of the table, rows added and deleted, one row selected, the
// residual plot beside the table, the test's α and tolerance fields and the
// encoding choice of 导入.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "params/PointFileText.h"
#include "ui/framework/ListCtrl.h"

class CDialog;
class CResidualPlotView;

namespace point_table {

inline constexpr char kPlotCaption[] = "残差图";
inline constexpr char kPlotHint[] = "计算后在此显示残差图";

// The encoding of 导入 by its combo's item: 自动, UTF-8, GB18030.
TextEncoding ImportEncoding(int item);

// A cell's text as typed, without the blanks around it (the strict
// readers would refuse them).
std::string Trimmed(const std::string& text);

// Takes the text of an edited cell, trimmed; true when it changed the cell.
bool TakeEdit(CListCtrl& table, const LVITEM& item);

// Appends a row with its check box ticked; its index.
int AppendRow(CListCtrl& table);

// Deletes every selected row; the first of them, or -1 when none was selected.
int DeleteSelectedRows(CListCtrl& table);

// Selects `row` alone and shows it; false when there is no such row.
bool SelectOnly(CListCtrl& table, int row);

// Columns first..last as wide as their contents and headings.
void FitColumns(CListCtrl& table, int first, int last);

// The plot view in the pane `paneId` of `dialog`, showing its hint; `pick`
// is called with the point the user clicks.
CResidualPlotView* AttachPlotView(CDialog& dialog, int paneId, std::function<void(int)> pick);

// Reads the α field (percent) and the tolerance field (metres, blank for
// none). False after telling the user and putting the focus in the field at
// fault.
bool ReadTestFields(CDialog& dialog, int alphaId, const std::string& alpha, int toleranceId,
                    const std::string& tolerance, double* alphaOut,
                    std::optional<double>* toleranceOut);

}  // namespace point_table
