// CCalcFourDlg: two common points known in two plane systems and the level
// (一级 or 二级) that receives the four parameters, computed on OK.
#pragma once

#include "ui/framework/Dialog.h"

class CCalcFourDlg : public CDialog {
public:
    explicit CCalcFourDlg(CWnd* pParent = nullptr);

    // Results, written by OK: the transform carries the points before it
    // (m_src*) onto the points after it (m_dst*).
    double m_rotationT = 0.0;  // radians
    double m_scaleK = 1.0;
    double m_shiftX = 0.0;  // Xo, metres
    double m_shiftY = 0.0;  // Yo, metres
    double m_srcX1 = 0.0;   // edit IDC_CALC_FOUR_BEFORE_X1
    double m_srcX2 = 0.0;   // edit IDC_CALC_FOUR_BEFORE_X2
    double m_srcY1 = 0.0;   // edit IDC_CALC_FOUR_BEFORE_Y1
    double m_srcY2 = 0.0;   // edit IDC_CALC_FOUR_BEFORE_Y2
    double m_dstX1 = 0.0;   // edit IDC_CALC_FOUR_AFTER_X1
    double m_dstX2 = 0.0;   // edit IDC_CALC_FOUR_AFTER_X2
    double m_dstY1 = 0.0;   // edit IDC_CALC_FOUR_AFTER_Y1
    double m_dstY2 = 0.0;   // edit IDC_CALC_FOUR_AFTER_Y2
    int m_level = 0;        // radios IDC_CALC_FOUR_LEVEL1, _LEVEL2: 0 level 1, 1 level 2

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Computes the parameters; refuses two points that coincide on either side.
    void OnOK() override;
};
