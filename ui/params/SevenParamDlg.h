// CSevenParamDlg: the seven parameters of the datum transformation, shown
// fixed-point in the units of the dialog of many points (shifts in metres,
// rotations in arc-seconds, the scale change in ppm; SevenValueText.h). A
// value whose text is left as shown keeps its exact double.
#pragma once

#include <string>

#include "params/SevenValueText.h"
#include "ui/framework/Dialog.h"

class CSevenParamDlg : public CDialog {
public:
    explicit CSevenParamDlg(CWnd* pParent = nullptr);

    double m_rotX = 0.0;  // radians
    double m_rotY = 0.0;
    double m_rotZ = 0.0;
    double m_scale = 0.0;  // scale change m (the factor is 1 + m)
    double m_dX = 0.0;     // metres
    double m_dY = 0.0;
    double m_dZ = 0.0;

    // The texts of the edits, in the order of ConversionParams::m_seven:
    // IDC_SHIFT_DX, _DY, _DZ, IDC_ROTATION_X, _Y, _Z, IDC_SCALE_CHANGE.
    std::string m_texts[kSevenValues];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Reads the edited texts back and ends the dialog when every one is
    // valid; otherwise names the field, and the dialog stays open.
    void OnOK() override;

private:
    double* Value(int index);

    std::string m_shown[kSevenValues];  // the texts as the dialog opened with them
};
