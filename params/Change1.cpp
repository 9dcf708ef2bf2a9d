#include "params/Change1.h"

#include "framework/DataExchange.h"
#include "geodesy/GeoCore.h"
#include "params/RotationText.h"

CChange1::CChange1() : CPropertyPage(178) {}

double CChange1::RotationFromText() const {
    CGeoCore geo;
    return ParseRotation(geo, m_rotationText, m_rotation);
}

void CChange1::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, 1065, m_scaleK);
    DDX_Text(pDX, 1019, m_shiftX);
    DDX_Text(pDX, 1020, m_shiftY);
    DDX_Text(pDX, 1064, m_rotationText);
}

BOOL CChange1::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    CGeoCore geo;
    m_rotationText = FormatRotation(geo, m_rotation);
    UpdateData(FALSE);
    return TRUE;
}
