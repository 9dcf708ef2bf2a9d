// A list view in report view (template class "SysListView32" with
// LVS_REPORT): rows of items, each with a text per column; column 0 is the
// item, the others its subitems. Items and columns count from 0; -1 is
// "none" or a failure.
//
// Extended styles: LVS_EX_CHECKBOXES gives each item a check box in column
// 0, LVS_EX_GRIDLINES draws the grid. LVS_SINGLESEL allows one selected row.
// With LVS_EDITLABELS every cell can be edited in place (double-click, F2 or
// typing on the current cell), not only column 0: LVN_BEGINLABELEDIT asks
// the owner first (a nonzero result refuses), LVN_ENDLABELEDIT hands it the
// text typed (NMLVDISPINFO, item.iSubItem the column), which the cell takes
// only when the owner returns TRUE. An edit given up with Escape sends
// nothing.
//
// The user's clicks send LVN_ITEMCHANGED (NMLISTVIEW, uChanged LVIF_STATE):
// a check box turned on or off changes the state image (LVIS_STATEIMAGEMASK)
// from 1 to 2 or back, a row selected or left changes LVIS_SELECTED. The
// functions here send nothing.
#pragma once

#include <string>

#include "ui/framework/Wnd.h"

class CListCtrl : public CWnd {
public:
    // Returns the previous extended style.
    DWORD SetExtendedStyle(DWORD dwNewStyle);

    // Inserts a column before nCol (at the end when beyond); nWidth in
    // pixels, -1 for the heading's width. Returns its index.
    int InsertColumn(int nCol, const std::string& heading, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnCount() const;
    BOOL SetColumnHeading(int nCol, const std::string& heading);
    std::string GetColumnHeading(int nCol) const;
    int GetColumnWidth(int nCol) const;
    // cx in pixels, or LVSCW_AUTOSIZE (the widest text of the column) or
    // LVSCW_AUTOSIZE_USEHEADER (that or the heading, whichever is wider).
    BOOL SetColumnWidth(int nCol, int cx);
    // Pixels the text takes in the control's font.
    int GetStringWidth(const std::string& text) const;

    // Inserts an item with the text of column 0 before nItem (at the end when
    // beyond); returns its index. Its subitems are empty, its check box clear.
    int InsertItem(int nItem, const std::string& text);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // Texts come back byte for byte as they were set.
    BOOL SetItemText(int nItem, int nSubItem, const std::string& text);
    std::string GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    // The item's check box (LVS_EX_CHECKBOXES); FALSE without one.
    BOOL SetCheck(int nItem, BOOL fCheck = TRUE);
    BOOL GetCheck(int nItem) const;
    // LVIS_SELECTED and LVIS_FOCUSED, the bits of nMask set to those of nState.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    // The first item after nItem (-1: from the first) that is LVNI_SELECTED
    // or LVNI_FOCUSED, or any (LVNI_ALL); -1 when none.
    int GetNextItem(int nItem, int nFlags) const;
    int GetSelectedCount() const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    // Text and background of every cell of the item; CLR_DEFAULT for the
    // control's own.
    BOOL SetItemColors(int nItem, COLORREF crText, COLORREF crBack);
    // Makes the cell current and opens its editor as F2 does (LVS_EDITLABELS;
    // LVN_BEGINLABELEDIT may refuse). TRUE when the editor opened.
    BOOL EditLabel(int nItem, int nSubItem = 0);

    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::ListView; }
};
