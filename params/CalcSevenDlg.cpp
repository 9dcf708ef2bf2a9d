#include "params/CalcSevenDlg.h"

#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "params/ParamCommands.h"

CCalcSevenDlg::CCalcSevenDlg(CWnd* pParent) : CDialog(131, pParent) {}

void CCalcSevenDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    static constexpr int kB[3] = {1208, 1210, 1212};
    static constexpr int kHGeo[3] = {1010, 1012, 1014};
    static constexpr int kL[3] = {1209, 1211, 1213};
    static constexpr int kX[3] = {1004, 1006, 1008};
    static constexpr int kY[3] = {1005, 1007, 1009};
    static constexpr int kHPlane[3] = {1011, 1013, 1015};
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kB[i], m_bText[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kHGeo[i], m_hGeo[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kL[i], m_lText[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kX[i], m_x[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kY[i], m_y[i]);
    for (int i = 0; i < 3; ++i) DDX_Text(pDX, kHPlane[i], m_hPlane[i]);
    DDX_CBIndex(pDX, 1016, m_datumGeo);
    DDX_CBIndex(pDX, 1017, m_datumPlane);
}

void CCalcSevenDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_datumGeo < 0 || m_datumPlane < 0) {
        AfxMessageBox(ParamCommands::kChooseDatums);
        return;
    }
    CDialog::OnOK();
}
