// Data exchange between a dialog's members and its controls. Each DDX_
// routine binds one control: with m_bSaveAndValidate TRUE it reads and
// validates the control into the member, with FALSE it writes the member
// into the control. A value that fails validation is reported in a message
// box, the focus goes to its control and the exchange stops there
// (UpdateData returns FALSE).
#pragma once

#include <string>
#include <vector>

#include "ui/resources/WinDef.h"

class CWnd;

// One binding of a DoDataExchange, as a survey lists it.
struct DataBinding {
    enum class Kind { Text, Radio, Check, CBIndex, LBString, Control };
    Kind kind;
    int nIDC;
    const CWnd* member;  // DDX_Control: the member object; nullptr otherwise
};

class CDataExchange {
public:
    // Thrown by Fail and caught by UpdateData.
    struct Failure {};

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    // A survey: each DDX_ routine adds its binding to `bindings` and touches
    // neither control nor member, so no window is needed.
    CDataExchange(CWnd* pDlgWnd, std::vector<DataBinding>* bindings);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // In a survey, records the binding and returns true: the routine stops.
    bool Surveyed(DataBinding::Kind kind, int nIDC, const CWnd* member = nullptr);

    // The control with this ID (fatal when the dialog has none); remembered
    // as the one to receive the focus if Fail follows.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Puts the focus on the last prepared control and stops the exchange.
    [[noreturn]] void Fail();

private:
    CWnd* m_pLastControl = nullptr;
    bool m_bEditLastControl = false;
    std::vector<DataBinding>* m_pSurvey = nullptr;
};

const char* DataBindingName(DataBinding::Kind kind);

// Text of an edit or any other control, exactly as it stands.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// A whole number between blanks: "请输入一个整数。" otherwise.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// A decimal number between blanks, shown with 15 significant digits ("%.15g"
// in the C locale): "请输入一个数字。" otherwise.
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// The index of the checked auto radio button of the group that starts at
// nIDC (which must carry WS_GROUP) and runs to the next control with
// WS_GROUP; -1 when none is checked. Writing -1 or an index beyond the group
// clears them all.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// 1 checked, 0 clear. Writing another value clears the box and sets the
// member to 0.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Index of the combo box's selection, -1 for none; writing an index outside
// the list selects nothing.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Text of the list box's selection ("" for none); writing selects the first
// entry that starts with the text (ignoring ASCII case) and leaves the
// selection alone when there is none.
void DDX_LBString(CDataExchange* pDX, int nIDC, std::string& value);
// Attaches the member object to the template control (once; the dialog
// returns the member from GetDlgItem from then on). Fatal when the member's
// class does not fit the control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// The number texts of DDX_Text; exposed for tests.
std::string AfxFormatDouble(double value);
bool AfxParseDouble(const std::string& text, double* value);
bool AfxParseInt(const std::string& text, int* value);
