// CSevenParamDlg: the seven parameters of the datum transformation. Shifts
// and scale are edited as numbers, the rotations as signed angle texts.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CSevenParamDlg : public CDialog {
public:
    explicit CSevenParamDlg(CWnd* pParent = nullptr);

    double m_rotX = 0.0;  // radians
    double m_rotY = 0.0;
    double m_rotZ = 0.0;
    double m_scale = 0.0;    // edit 1060, scale change m (the factor is 1 + m)
    double m_dX = 0.0;       // edit 1075, metres
    double m_dY = 0.0;       // edit 1076
    double m_dZ = 0.0;       // edit 1077
    std::string m_rotXText;  // edit 1078
    std::string m_rotYText;  // edit 1079
    std::string m_rotZText;  // edit 1080

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Reads the rotation texts back into radians and ends the dialog when
    // every number is valid.
    void OnOK() override;
};
