// A combo box. Indexes count from 0; -1 (CB_ERR) is "none". Only the user's
// choice of an entry sends CBN_SELCHANGE.
#pragma once

#include <string>

#include "ui/framework/Wnd.h"

class CComboBox : public CWnd {
public:
    // Adds at the end, or in order with CBS_SORT; returns the new index.
    int AddString(const std::string& text);
    // Inserts before nIndex (-1: at the end); returns the new index.
    int InsertString(int nIndex, const std::string& text);
    // Returns the number left, CB_ERR for a bad index.
    int DeleteString(int nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // An index outside the list clears the selection and returns CB_ERR.
    int SetCurSel(int nSelect);
    // The entry's text; empty (CB_ERR) for a bad index.
    int GetLBText(int nIndex, std::string& text) const;
    std::string GetLBText(int nIndex) const;
    bool AcceptsControl(ControlKind kind) const override { return kind == ControlKind::ComboBox; }
};
