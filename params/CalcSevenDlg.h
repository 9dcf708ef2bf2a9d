// CCalcSevenDlg: three common points, each as geodetic coordinates on one
// datum and as plane coordinates on another, for the seven parameters.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CCalcSevenDlg : public CDialog {
public:
    explicit CCalcSevenDlg(CWnd* pParent = nullptr);

    // Points 1, 2, 3.
    std::string m_bText[3] = {"000:00:00.000", "000:00:00.000",
                              "000:00:00.000"};  // 1208, 1210, 1212
    double m_hGeo[3] = {};                       // edits 1010, 1012, 1014
    std::string m_lText[3] = {"000:00:00.000", "000:00:00.000",
                              "000:00:00.000"};  // 1209, 1211, 1213
    double m_x[3] = {};                          // edits 1004, 1006, 1008
    double m_y[3] = {};                          // edits 1005, 1007, 1009
    double m_hPlane[3] = {};                     // edits 1011, 1013, 1015
    int m_datumGeo = 2;                          // combo 1016 (WGS-84)
    int m_datumPlane = 0;                        // combo 1017 (Beijing-54)

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Refuses a side without a datum.
    void OnOK() override;
};
