#include "ui/params/CalcThreeDlg.h"

#include "res/resource.h"
#include "ui/params/DatumCombos.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageBox.h"
#include "ui/params/ParamMessages.h"

CCalcThreeDlg::CCalcThreeDlg(CWnd* pParent) : CDialog(IDD_CALC_THREE, pParent) {}

BOOL CCalcThreeDlg::OnInitDialog() {
    ShowUserDatums(*this, {IDC_CALC_THREE_GEODETIC_DATUM, IDC_CALC_THREE_PLANE_DATUM});
    return CDialog::OnInitDialog();
}

void CCalcThreeDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CALC_THREE_B, m_bText);
    DDX_Text(pDX, IDC_CALC_THREE_H, m_hText);
    DDX_Text(pDX, IDC_CALC_THREE_L, m_lText);
    DDX_Text(pDX, IDC_CALC_THREE_X, m_x);
    DDX_Text(pDX, IDC_CALC_THREE_Y, m_y);
    DDX_Text(pDX, IDC_CALC_THREE_PLANE_H, m_hPlane);
    DDX_CBIndex(pDX, IDC_CALC_THREE_GEODETIC_DATUM, m_datumGeo);
    DDX_CBIndex(pDX, IDC_CALC_THREE_PLANE_DATUM, m_datumPlane);
}

void CCalcThreeDlg::OnOK() {
    // A number that is not valid has been reported once; the dialog stays open.
    if (!UpdateData(TRUE)) return;
    if (m_datumGeo < 0 || m_datumPlane < 0) {
        AfxMessageBox(ParamCommands::kChooseDatums);
        return;
    }
    if (m_datumGeo == m_datumPlane) {
        AfxMessageBox(ParamCommands::kEqualDatums);
        return;
    }
    CDialog::OnOK();
}
