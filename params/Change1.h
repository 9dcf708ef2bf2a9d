// CChange1: the property page of the level 2 (二级) local four-parameter transform:
// shifts Xo and Yo, rotation T (as signed angle text) and scale K.
#pragma once

#include <string>

#include "framework/PropertyPage.h"

class CChange1 : public CPropertyPage {
public:
    CChange1();

    double m_rotation = 0.0;     // T, radians
    double m_scaleK = 0.0;       // edit 1065
    double m_shiftX = 0.0;       // edit 1019, Xo, metres
    double m_shiftY = 0.0;       // edit 1020, Yo, metres
    std::string m_rotationText;  // edit 1064

    // The rotation of m_rotationText in radians; the text as prepared from
    // m_rotation gives m_rotation itself.
    double RotationFromText() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
