// CCalcFourDlg: two common points known in two plane systems and the level
// (一级 or 二级) that receives the four parameters, computed on OK.
#pragma once

#include "framework/Dialog.h"

class CCalcFourDlg : public CDialog {
public:
    explicit CCalcFourDlg(CWnd* pParent = nullptr);

    // Results, written by OK: the transform carries the points before it
    // (m_src*) onto the points after it (m_dst*).
    double m_rotationT = 0.0;  // radians
    double m_scaleK = 1.0;
    double m_shiftX = 0.0;  // Xo, metres
    double m_shiftY = 0.0;  // Yo, metres
    double m_srcX1 = 0.0;   // edit 1071
    double m_srcX2 = 0.0;   // edit 1073
    double m_srcY1 = 0.0;   // edit 1072
    double m_srcY2 = 0.0;   // edit 1074
    double m_dstX1 = 0.0;   // edit 1067
    double m_dstX2 = 0.0;   // edit 1069
    double m_dstY1 = 0.0;   // edit 1068
    double m_dstY2 = 0.0;   // edit 1070
    int m_level = 0;        // radio group 1140, 1027: 0 level 1, 1 level 2

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Computes the parameters; refuses two points that coincide on either side.
    void OnOK() override;
};
