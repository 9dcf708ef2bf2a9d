// CCalcSevenDlg: three common points, each as geodetic coordinates on one
// datum and as plane coordinates on another, for the seven parameters.
#pragma once

#include <string>

#include "ui/framework/Dialog.h"

class CCalcSevenDlg : public CDialog {
public:
    explicit CCalcSevenDlg(CWnd* pParent = nullptr);

    // Points 1, 2, 3.
    std::string m_bText[3] = {"000:00:00.000", "000:00:00.000",
                              "000:00:00.000"};  // edits IDC_CALC_SEVEN_B1..B3
    double m_hGeo[3] = {};                       // edits IDC_CALC_SEVEN_H1..H3
    std::string m_lText[3] = {"000:00:00.000", "000:00:00.000",
                              "000:00:00.000"};  // edits IDC_CALC_SEVEN_L1..L3
    double m_x[3] = {};                          // edits IDC_CALC_SEVEN_X1..X3
    double m_y[3] = {};                          // edits IDC_CALC_SEVEN_Y1..Y3
    double m_hPlane[3] = {};                     // edits IDC_CALC_SEVEN_PLANE_H1..H3
    int m_datumGeo = 2;                          // combo IDC_CALC_SEVEN_GEODETIC_DATUM (WGS-84)
    int m_datumPlane = 0;                        // combo IDC_CALC_SEVEN_PLANE_DATUM (Beijing-54)

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The user's datums after the five of the datum lists.
    BOOL OnInitDialog() override;
    // Refuses a side without a datum.
    void OnOK() override;
};
