// CCalcThreeDlg: one common point, as geodetic coordinates on one datum and
// as plane coordinates on another, for the three shifts between the datums.
// OK is refused while both sides name the same datum.
#pragma once

#include <string>

#include "ui/framework/Dialog.h"

class CCalcThreeDlg : public CDialog {
public:
    explicit CCalcThreeDlg(CWnd* pParent = nullptr);

    std::string m_bText;    // edit IDC_CALC_THREE_B, latitude as angle text
    std::string m_hText;    // edit IDC_CALC_THREE_H, ellipsoidal height (read with atof)
    std::string m_lText;    // edit IDC_CALC_THREE_L, longitude as angle text
    double m_x = 0.0;       // edit IDC_CALC_THREE_X
    double m_y = 0.0;       // edit IDC_CALC_THREE_Y
    double m_hPlane = 0.0;  // edit IDC_CALC_THREE_PLANE_H
    int m_datumGeo = -1;    // combo IDC_CALC_THREE_GEODETIC_DATUM
    int m_datumPlane = -1;  // combo IDC_CALC_THREE_PLANE_DATUM

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The user's datums after the five of the datum lists.
    BOOL OnInitDialog() override;
    void OnOK() override;
};
