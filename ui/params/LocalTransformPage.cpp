#include "ui/params/LocalTransformPage.h"

#include "geodesy/GeoCore.h"
#include "params/RotationText.h"
#include "res/resource.h"
#include "ui/framework/DataExchange.h"

CLocalTransformPage::CLocalTransformPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate) {}

double CLocalTransformPage::RotationFromText() const {
    CGeoCore geo;
    return ParseRotation(geo, m_rotationText, m_rotation);
}

void CLocalTransformPage::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_LOCAL_SCALE, m_scaleK);
    DDX_Text(pDX, IDC_LOCAL_X0, m_shiftX);
    DDX_Text(pDX, IDC_LOCAL_Y0, m_shiftY);
    DDX_Text(pDX, IDC_LOCAL_ROTATION, m_rotationText);
}

BOOL CLocalTransformPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    CGeoCore geo;
    m_rotationText = FormatRotation(geo, m_rotation);
    UpdateData(FALSE);
    return TRUE;
}
