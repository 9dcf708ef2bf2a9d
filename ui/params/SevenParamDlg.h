// CSevenParamDlg: the seven parameters of the datum transformation. Shifts
// and scale are edited as numbers, the rotations as signed angle texts.
#pragma once

#include <string>

#include "ui/framework/Dialog.h"

class CSevenParamDlg : public CDialog {
public:
    explicit CSevenParamDlg(CWnd* pParent = nullptr);

    double m_rotX = 0.0;  // radians
    double m_rotY = 0.0;
    double m_rotZ = 0.0;
    double m_scale = 0.0;    // edit IDC_SCALE_CHANGE, scale change m (the factor is 1 + m)
    double m_dX = 0.0;       // edit IDC_SHIFT_DX, metres
    double m_dY = 0.0;       // edit IDC_SHIFT_DY
    double m_dZ = 0.0;       // edit IDC_SHIFT_DZ
    std::string m_rotXText;  // edit IDC_ROTATION_X
    std::string m_rotYText;  // edit IDC_ROTATION_Y
    std::string m_rotZText;  // edit IDC_ROTATION_Z

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Reads the rotation texts back into radians and ends the dialog when
    // every number is valid.
    void OnOK() override;
};
