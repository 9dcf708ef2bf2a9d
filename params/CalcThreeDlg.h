// CCalcThreeDlg: one common point, as geodetic coordinates on one datum and
// as plane coordinates on another, for the three shifts between the datums.
// OK is refused while both sides name the same datum.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CCalcThreeDlg : public CDialog {
public:
    explicit CCalcThreeDlg(CWnd* pParent = nullptr);

    std::string m_bText;    // edit 1206, latitude as angle text
    std::string m_hText;    // edit 1008, ellipsoidal height (read with atof)
    std::string m_lText;    // edit 1207, longitude as angle text
    double m_x = 0.0;       // edit 1002
    double m_y = 0.0;       // edit 1003
    double m_hPlane = 0.0;  // edit 1009
    int m_datumGeo = -1;    // combo 1011
    int m_datumPlane = -1;  // combo 1012

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
