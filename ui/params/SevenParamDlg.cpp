#include "ui/params/SevenParamDlg.h"

#include "geodesy/GeoCore.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/Edit.h"
#include "ui/framework/MessageBox.h"

namespace {

constexpr int kEdits[kSevenValues] = {IDC_SHIFT_DX,   IDC_SHIFT_DY,   IDC_SHIFT_DZ,
                                      IDC_ROTATION_X, IDC_ROTATION_Y, IDC_ROTATION_Z,
                                      IDC_SCALE_CHANGE};
constexpr const char* kFields[kSevenValues] = {"X 平移",   "Y 平移",   "Z 平移", "X 轴旋转",
                                               "Y 轴旋转", "Z 轴旋转", "尺度"};

}  // namespace

CSevenParamDlg::CSevenParamDlg(CWnd* pParent) : CDialog(IDD_SEVEN_PARAMS, pParent) {}

double* CSevenParamDlg::Value(int index) {
    double* const values[kSevenValues] = {&m_dX,   &m_dY,   &m_dZ,   &m_rotX,
                                          &m_rotY, &m_rotZ, &m_scale};
    return values[index];
}

void CSevenParamDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < kSevenValues; ++i) DDX_Text(pDX, kEdits[i], m_texts[i]);
}

BOOL CSevenParamDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int i = 0; i < kSevenValues; ++i) {
        m_texts[i] = FormatSevenValue(i, *Value(i));
        m_shown[i] = m_texts[i];
    }
    UpdateData(FALSE);
    return TRUE;
}

void CSevenParamDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    CGeoCore geo;
    double read[kSevenValues];
    for (int i = 0; i < kSevenValues; ++i) {
        read[i] = *Value(i);
        // The text as shown stands for the value itself, not for its six decimals.
        if (m_texts[i] == m_shown[i]) continue;
        if (!ReadSevenValue(geo, i, m_texts[i], &read[i])) {
            AfxMessageBox(SevenValueError(i, kFields[i]), MB_OK | MB_ICONEXCLAMATION);
            auto* edit = static_cast<CEdit*>(GetDlgItem(kEdits[i]));
            edit->SetFocus();
            edit->SetSel(0, -1);
            return;
        }
    }
    for (int i = 0; i < kSevenValues; ++i) *Value(i) = read[i];
    CDialog::OnOK();
}
