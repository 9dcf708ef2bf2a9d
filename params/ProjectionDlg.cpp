#include "params/ProjectionDlg.h"

#include "framework/DataExchange.h"
#include "framework/MessageMap.h"

namespace {
constexpr double kDegToRad = 0.017453292519943334;
constexpr double kRadToDeg = 57.295779513082195;
}  // namespace

BEGIN_MESSAGE_MAP(CProjectionDlg, CDialog)
    ON_EN_CHANGE(1059, OnChangeCentralMeridian)
    ON_EN_CHANGE(1021, OnChangeBaseLatitude)
END_MESSAGE_MAP()

CProjectionDlg::CProjectionDlg(CWnd* pParent) : CDialog(132, pParent) {}

void CProjectionDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1060, m_scale);
    DDX_Text(pDX, 1019, m_xConstant);
    DDX_Text(pDX, 1020, m_yConstant);
    DDX_Text(pDX, 1059, m_centralMeridianText);
    DDX_Text(pDX, 1021, m_baseLatitudeText);
    DDX_Radio(pDX, 1012, m_kind);
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
    m_centralMeridian =
        m_geo.ParseDmsText(CurrentAngleText(exchanged, 1059, m_centralMeridianText)) * kRadToDeg;
}

void CProjectionDlg::OnChangeBaseLatitude() {
    const BOOL exchanged = UpdateData(TRUE);
    m_baseLatitude =
        m_geo.ParseDmsText(CurrentAngleText(exchanged, 1021, m_baseLatitudeText)) * kRadToDeg;
}
