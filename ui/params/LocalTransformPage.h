// CLocalTransformPage: a property page of one local four-parameter transform
// level: shifts Xo and Yo, rotation T (as signed angle text) and scale K.
// CChange (level 1) and CChange1 (level 2) differ only in their template.
#pragma once

#include <string>

#include "ui/framework/PropertyPage.h"

class CLocalTransformPage : public CPropertyPage {
public:
    explicit CLocalTransformPage(UINT nIDTemplate);

    double m_rotation = 0.0;     // T, radians
    double m_scaleK = 0.0;       // edit IDC_LOCAL_SCALE
    double m_shiftX = 0.0;       // edit IDC_LOCAL_X0, Xo, metres
    double m_shiftY = 0.0;       // edit IDC_LOCAL_Y0, Yo, metres
    std::string m_rotationText;  // edit IDC_LOCAL_ROTATION

    // The rotation of m_rotationText in radians; the text as prepared from
    // m_rotation gives m_rotation itself.
    double RotationFromText() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
