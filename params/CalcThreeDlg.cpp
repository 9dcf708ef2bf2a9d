#include "params/CalcThreeDlg.h"

#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "params/ParamCommands.h"

CCalcThreeDlg::CCalcThreeDlg(CWnd* pParent) : CDialog(247, pParent) {}

void CCalcThreeDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1206, m_bText);
    DDX_Text(pDX, 1008, m_hText);
    DDX_Text(pDX, 1207, m_lText);
    DDX_Text(pDX, 1002, m_x);
    DDX_Text(pDX, 1003, m_y);
    DDX_Text(pDX, 1009, m_hPlane);
    DDX_CBIndex(pDX, 1011, m_datumGeo);
    DDX_CBIndex(pDX, 1012, m_datumPlane);
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
