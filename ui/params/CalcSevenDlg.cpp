#include "ui/params/CalcSevenDlg.h"

#include "res/resource.h"
#include "ui/params/DatumCombos.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageBox.h"
#include "ui/params/ParamMessages.h"

CCalcSevenDlg::CCalcSevenDlg(CWnd* pParent) : CDialog(IDD_CALC_SEVEN, pParent) {}

BOOL CCalcSevenDlg::OnInitDialog() {
    ShowUserDatums(*this, {IDC_CALC_SEVEN_GEODETIC_DATUM, IDC_CALC_SEVEN_PLANE_DATUM});
    return CDialog::OnInitDialog();
}

void CCalcSevenDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    static constexpr int kB[3] = {IDC_CALC_SEVEN_B1, IDC_CALC_SEVEN_B2, IDC_CALC_SEVEN_B3};
    static constexpr int kHGeo[3] = {IDC_CALC_SEVEN_H1, IDC_CALC_SEVEN_H2, IDC_CALC_SEVEN_H3};
    static constexpr int kL[3] = {IDC_CALC_SEVEN_L1, IDC_CALC_SEVEN_L2, IDC_CALC_SEVEN_L3};
    static constexpr int kX[3] = {IDC_CALC_SEVEN_X1, IDC_CALC_SEVEN_X2, IDC_CALC_SEVEN_X3};
    static constexpr int kY[3] = {IDC_CALC_SEVEN_Y1, IDC_CALC_SEVEN_Y2, IDC_CALC_SEVEN_Y3};
    static constexpr int kHPlane[3] = {IDC_CALC_SEVEN_PLANE_H1, IDC_CALC_SEVEN_PLANE_H2,
                                       IDC_CALC_SEVEN_PLANE_H3};
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kB[i], m_bText[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kHGeo[i], m_hGeo[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kL[i], m_lText[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kX[i], m_x[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kY[i], m_y[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kHPlane[i], m_hPlane[i]);
    DDX_CBIndex(pDX, IDC_CALC_SEVEN_GEODETIC_DATUM, m_datumGeo);
    DDX_CBIndex(pDX, IDC_CALC_SEVEN_PLANE_DATUM, m_datumPlane);
}

void CCalcSevenDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_datumGeo < 0 || m_datumPlane < 0) {
        AfxMessageBox(ParamCommands::kChooseDatums);
        return;
    }
    CDialog::OnOK();
}
