#include "ui/framework/DataExchange.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "ui/framework/Button.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/Edit.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/Wnd.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text between leading and trailing blanks.
std::string_view Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::string_view(text).substr(begin, end - begin);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [sign] (digits [. digits] | . digits) [(e|E) [sign] digits], nothing else.
bool IsDecimalNumber(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t intDigits = 0, fracDigits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++intDigits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++fracDigits;
    }
    if (intDigits + fracDigits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

template <class Control>
Control* ControlOf(CDataExchange* pDX, int nIDC, const char* routine, ControlKind kind) {
    CWnd* wnd = pDX->PrepareCtrl(nIDC);
    auto* control = dynamic_cast<Control*>(wnd);
    if (control == nullptr || !control->AcceptsControl(kind)) {
        AfxFatal(std::string(routine) + ": " + wnd->Describe() + " is not a " +
                 ControlKindName(kind));
    }
    return control;
}

// Sets the text only when it differs, so that an unchanged field sends no
// change notification and keeps its cursor.
void SetTextIfChanged(CWnd* control, const std::string& text) {
    if (control->GetWindowText() != text) control->SetWindowText(text);
}

}  // namespace

std::string AfxFormatDouble(double value) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

bool AfxParseDouble(const std::string& text, double* value) {
    std::string_view s = Trimmed(text);
    if (!IsDecimalNumber(s)) return false;
    if (s.front() == '+') s.remove_prefix(1);
    double parsed = 0;
    auto result = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (result.ec != std::errc() || result.ptr != s.data() + s.size() || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

bool AfxParseInt(const std::string& text, int* value) {
    std::string_view s = Trimmed(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !IsDigit(s.front())) return false;
    long long magnitude = 0;
    auto result = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (result.ec != std::errc() || result.ptr != s.data() + s.size()) return false;
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue < std::numeric_limits<int>::min() ||
        signedValue > std::numeric_limits<int>::max()) {
        return false;
    }
    *value = static_cast<int>(signedValue);
    return true;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

CDataExchange::CDataExchange(CWnd* pDlgWnd, std::vector<DataBinding>* bindings)
    : m_bSaveAndValidate(FALSE), m_pDlgWnd(pDlgWnd), m_pSurvey(bindings) {}

bool CDataExchange::Surveyed(DataBinding::Kind kind, int nIDC, const CWnd* member) {
    if (m_pSurvey == nullptr) return false;
    m_pSurvey->push_back({kind, nIDC, member});
    return true;
}

const char* DataBindingName(DataBinding::Kind kind) {
    switch (kind) {
        case DataBinding::Kind::Text:
            return "DDX_Text";
        case DataBinding::Kind::Radio:
            return "DDX_Radio";
        case DataBinding::Kind::Check:
            return "DDX_Check";
        case DataBinding::Kind::CBIndex:
            return "DDX_CBIndex";
        case DataBinding::Kind::LBString:
            return "DDX_LBString";
        case DataBinding::Kind::Control:
            return "DDX_Control";
    }
    return "?";
}

CWnd* CDataExchange::PrepareCtrl(int nIDC) {
    m_pLastControl = m_pDlgWnd->GetDlgItem(nIDC);
    m_bEditLastControl = false;
    return m_pLastControl;
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC) {
    CWnd* control = PrepareCtrl(nIDC);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_pLastControl != nullptr && m_bSaveAndValidate) {
        m_pLastControl->SetFocus();
        if (auto* edit = dynamic_cast<CEdit*>(m_pLastControl);
            edit != nullptr && m_bEditLastControl) {
            edit->SetSel(0, -1);
        }
    }
    throw Failure{};
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    if (pDX->Surveyed(DataBinding::Kind::Text, nIDC)) return;
    CWnd* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        control->GetWindowText(value);
    } else {
        SetTextIfChanged(control, value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Surveyed(DataBinding::Kind::Text, nIDC)) return;
    CWnd* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!AfxParseInt(control->GetWindowText(), &value)) {
            AfxMessageBox("请输入一个整数。", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        SetTextIfChanged(control, std::to_string(value));
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    if (pDX->Surveyed(DataBinding::Kind::Text, nIDC)) return;
    CWnd* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!AfxParseDouble(control->GetWindowText(), &value)) {
            AfxMessageBox("请输入一个数字。", MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    } else {
        SetTextIfChanged(control, AfxFormatDouble(value));
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Surveyed(DataBinding::Kind::Radio, nIDC)) return;
    pDX->PrepareCtrl(nIDC);
    std::vector<CButton*> group = pDX->m_pDlgWnd->GetRadioGroup(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i) {
            if (group[i]->GetCheck() == BST_CHECKED) {
                value = static_cast<int>(i);
                break;
            }
        }
    } else {
        for (size_t i = 0; i < group.size(); ++i) {
            group[i]->SetCheck(static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Surveyed(DataBinding::Kind::Check, nIDC)) return;
    auto* button = ControlOf<CButton>(pDX, nIDC, "DDX_Check", ControlKind::Button);
    if (pDX->m_bSaveAndValidate) {
        value = button->GetCheck();
    } else {
        if (value != BST_CHECKED && value != BST_UNCHECKED) value = BST_UNCHECKED;
        button->SetCheck(value);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (pDX->Surveyed(DataBinding::Kind::CBIndex, nIDC)) return;
    auto* combo = ControlOf<CComboBox>(pDX, nIDC, "DDX_CBIndex", ControlKind::ComboBox);
    if (pDX->m_bSaveAndValidate) {
        index = combo->GetCurSel();
    } else {
        combo->SetCurSel(index);
    }
}

void DDX_LBString(CDataExchange* pDX, int nIDC, std::string& value) {
    if (pDX->Surveyed(DataBinding::Kind::LBString, nIDC)) return;
    auto* list = ControlOf<CListBox>(pDX, nIDC, "DDX_LBString", ControlKind::ListBox);
    if (pDX->m_bSaveAndValidate) {
        int index = list->GetCurSel();
        value = index >= 0 ? list->GetText(index) : std::string();
    } else {
        int index = list->FindString(-1, value);
        if (index >= 0) list->SetCurSel(index);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (pDX->Surveyed(DataBinding::Kind::Control, nIDC, &rControl)) return;
    if (rControl.m_hWnd == nullptr) pDX->m_pDlgWnd->AttachControl(nIDC, rControl);
}

// CWnd::UpdateData lives with the exchange it runs.
BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CheckedHwnd("UpdateData");
    CDataExchange dx(this, bSaveAndValidate);
    struct Lockout {
        int& count;
        explicit Lockout(int& c) : count(c) { ++count; }
        ~Lockout() { --count; }
    } lockout(m_nLockoutNotify);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}
