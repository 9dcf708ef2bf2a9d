#include "ui/params/SevenParamDlg.h"

#include "geodesy/GeoCore.h"
#include "params/RotationText.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"

CSevenParamDlg::CSevenParamDlg(CWnd* pParent) : CDialog(IDD_SEVEN_PARAMS, pParent) {}

void CSevenParamDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SCALE_CHANGE, m_scale);
    DDX_Text(pDX, IDC_SHIFT_DX, m_dX);
    DDX_Text(pDX, IDC_SHIFT_DY, m_dY);
    DDX_Text(pDX, IDC_SHIFT_DZ, m_dZ);
    DDX_Text(pDX, IDC_ROTATION_X, m_rotXText);
    DDX_Text(pDX, IDC_ROTATION_Y, m_rotYText);
    DDX_Text(pDX, IDC_ROTATION_Z, m_rotZText);
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
