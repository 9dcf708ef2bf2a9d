#include "ui/params/ProjectionDlg.h"

#include "geodesy/Constants.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageMap.h"

BEGIN_MESSAGE_MAP(CProjectionDlg, CDialog)
    ON_EN_CHANGE(IDC_CENTRAL_MERIDIAN, OnChangeCentralMeridian)
    ON_EN_CHANGE(IDC_BASE_LATITUDE, OnChangeBaseLatitude)
END_MESSAGE_MAP()

CProjectionDlg::CProjectionDlg(CWnd* pParent) : CDialog(IDD_PROJECTION, pParent) {}

void CProjectionDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROJECTION_SCALE, m_scale);
    DDX_Text(pDX, IDC_X_CONSTANT, m_xConstant);
    DDX_Text(pDX, IDC_Y_CONSTANT, m_yConstant);
    DDX_Text(pDX, IDC_CENTRAL_MERIDIAN, m_centralMeridianText);
    DDX_Text(pDX, IDC_BASE_LATITUDE, m_baseLatitudeText);
    DDX_Radio(pDX, IDC_GAUSS_3_DEGREE, m_kind);
}

BOOL CProjectionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_titleMode == -1) {
        SetWindowText("转换前投影设置");
    } else if (m_titleMode == 1) {
        SetWindowText("转换后投影设置");
    }
    m_centralMeridianText = m_geo.FormatDmsWhole(m_centralMeridian * kDegToRad);
    m_baseLatitudeText = m_geo.FormatDmsWhole(m_baseLatitude * kDegToRad);
    UpdateData(FALSE);
    return TRUE;
}

const std::string& CProjectionDlg::CurrentAngleText(BOOL exchanged, int nID, std::string& member) {
    // A number that fails validation ends the exchange before the angle
    // texts; the degrees must still follow the text on the screen.
    if (!exchanged) member = GetDlgItem(nID)->GetWindowText();
    return member;
}

void CProjectionDlg::OnChangeCentralMeridian() {
    const BOOL exchanged = UpdateData(TRUE);
    m_centralMeridian = m_geo.ParseDmsText(CurrentAngleText(exchanged, IDC_CENTRAL_MERIDIAN,
                                                            m_centralMeridianText)) *
                        kRadToDeg;
}

void CProjectionDlg::OnChangeBaseLatitude() {
    const BOOL exchanged = UpdateData(TRUE);
    m_baseLatitude =
        m_geo.ParseDmsText(CurrentAngleText(exchanged, IDC_BASE_LATITUDE, m_baseLatitudeText)) *
        kRadToDeg;
}
