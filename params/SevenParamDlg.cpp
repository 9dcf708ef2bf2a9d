#include "params/SevenParamDlg.h"

#include "framework/DataExchange.h"
#include "geodesy/GeoCore.h"
#include "params/RotationText.h"

CSevenParamDlg::CSevenParamDlg(CWnd* pParent) : CDialog(136, pParent) {}

void CSevenParamDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, 1060, m_scale);
    DDX_Text(pDX, 1075, m_dX);
    DDX_Text(pDX, 1076, m_dY);
    DDX_Text(pDX, 1077, m_dZ);
    DDX_Text(pDX, 1078, m_rotXText);
    DDX_Text(pDX, 1079, m_rotYText);
    DDX_Text(pDX, 1080, m_rotZText);
}

BOOL CSevenParamDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CGeoCore geo;
    m_rotXText = FormatRotation(geo, m_rotX);
    m_rotYText = FormatRotation(geo, m_rotY);
    m_rotZText = FormatRotation(geo, m_rotZ);
    UpdateData(FALSE);
    return TRUE;
}

void CSevenParamDlg::OnOK() {
    // One message for a number that is not valid, and the dialog stays open.
    if (!UpdateData(TRUE)) return;
    CGeoCore geo;
    m_rotX = ParseRotation(geo, m_rotXText, m_rotX);
    m_rotY = ParseRotation(geo, m_rotYText, m_rotY);
    m_rotZ = ParseRotation(geo, m_rotZText, m_rotZ);
    CDialog::OnOK();
}
