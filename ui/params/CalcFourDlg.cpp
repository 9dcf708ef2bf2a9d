#include "ui/params/CalcFourDlg.h"

#include "geodesy/GeoCore.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageBox.h"
#include "ui/params/ParamMessages.h"

CCalcFourDlg::CCalcFourDlg(CWnd* pParent) : CDialog(IDD_CALC_FOUR, pParent) {}

void CCalcFourDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CALC_FOUR_BEFORE_X1, m_srcX1);
    DDX_Text(pDX, IDC_CALC_FOUR_BEFORE_X2, m_srcX2);
    DDX_Text(pDX, IDC_CALC_FOUR_BEFORE_Y1, m_srcY1);
    DDX_Text(pDX, IDC_CALC_FOUR_BEFORE_Y2, m_srcY2);
    DDX_Text(pDX, IDC_CALC_FOUR_AFTER_X1, m_dstX1);
    DDX_Text(pDX, IDC_CALC_FOUR_AFTER_X2, m_dstX2);
    DDX_Text(pDX, IDC_CALC_FOUR_AFTER_Y1, m_dstY1);
    DDX_Text(pDX, IDC_CALC_FOUR_AFTER_Y2, m_dstY2);
    DDX_Radio(pDX, IDC_CALC_FOUR_LEVEL1, m_level);
}

void CCalcFourDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // Two points that coincide on either side determine no rotation or
    // scale; the estimator would give the identity, not a result.
    const bool sameSource = m_srcX1 == m_srcX2 && m_srcY1 == m_srcY2;
    const bool sameTarget = m_dstX1 == m_dstX2 && m_dstY1 == m_dstY2;
    if (sameSource || sameTarget) {
        AfxMessageBox(ParamCommands::kCoincidentPoints);
        return;
    }
    // Each point: after (x, y, h), then before (x, y, h); heights are unused.
    const double points[12] = {m_dstX1, m_dstY1, 0.0, m_srcX1, m_srcY1, 0.0,
                               m_dstX2, m_dstY2, 0.0, m_srcX2, m_srcY2, 0.0};
    CGeoCore geo;
    geo.EstimateFourParameters(points, &m_shiftX, &m_shiftY, &m_rotationT, &m_scaleK);
    CDialog::OnOK();
}
