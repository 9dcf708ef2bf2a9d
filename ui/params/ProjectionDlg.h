// CProjectionDlg: the projection settings of one plane system (kind,
// central meridian, scale, X and Y constants, base latitude).
//
// The two angles are held twice: in decimal degrees (m_centralMeridian,
// m_baseLatitude), which the caller fills and reads back, and as the angle
// texts that the user edits. The degrees follow every change of their text.
#pragma once

#include <string>

#include "geodesy/GeoCore.h"
#include "ui/framework/Dialog.h"

class CProjectionDlg : public CDialog {
public:
    explicit CProjectionDlg(CWnd* pParent = nullptr);

    // 0 keeps the template caption, -1 "转换前投影设置", 1 "转换后投影设置".
    int m_titleMode = 0;
    double m_baseLatitude = 0.0;     // degrees
    double m_centralMeridian = 0.0;  // degrees
    CGeoCore m_geo;
    double m_scale = 0.0;               // edit IDC_PROJECTION_SCALE
    int m_kind = -1;                    // radio group IDC_GAUSS_3_DEGREE..IDC_UTM
    int m_xConstant = 0;                // edit IDC_X_CONSTANT, whole metres
    int m_yConstant = 0;                // edit IDC_Y_CONSTANT, whole metres
    std::string m_centralMeridianText;  // edit IDC_CENTRAL_MERIDIAN
    std::string m_baseLatitudeText;     // edit IDC_BASE_LATITUDE

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnChangeCentralMeridian();
    void OnChangeBaseLatitude();
    DECLARE_MESSAGE_MAP()

private:
    // The text of an angle edit as it stands, also when the exchange stopped
    // at a number before reaching it.
    const std::string& CurrentAngleText(BOOL exchanged, int nID, std::string& member);
};
