// A single-selection list box. Indexes count from 0; -1 (LB_ERR) is "none".
// With LBS_NOTIFY, the user's selection sends LBN_SELCHANGE and a
// double-click on an entry LBN_DBLCLK; the functions here send nothing.
#pragma once

#include <string>

#include "ui/framework/Wnd.h"

class CListBox : public CWnd {
public:
    // Adds at the end, or in order with LBS_SORT; returns the new index.
    int AddString(const std::string& text);
    // Inserts before nIndex (-1: at the end); returns the new index.
    int InsertString(int nIndex, const std::string& text);
    // Returns the number left, LB_ERR for a bad index.
    int DeleteString(int nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // An index outside the list clears the selection and returns LB_ERR.
    int SetCurSel(int nSelect);
    // The entry's text (byte for byte as added); LB_ERR for a bad index.
    int GetText(int nIndex, std::string& text) const;
    std::string GetText(int nIndex) const;
    // The first entry at or after nStartAfter + 1 that starts with the text,
    // ignoring ASCII case; LB_ERR when none.
    int FindString(int nStartAfter, const std::string& prefix) const;
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::ListBox; }
};
