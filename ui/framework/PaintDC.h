// The device context of WM_PAINT. It paints only while the window's WM_PAINT
// is being handled (Qt paints nothing outside its paint events); elsewhere
// drawing does nothing.
#pragma once

#include "ui/resources/WinDef.h"

class CWnd;

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    // Draws the icon at its size (SM_CXICON by SM_CYICON) with its top left at x, y.
    BOOL DrawIcon(int x, int y, HICON hIcon);

private:
    HDC m_hDC = nullptr;
};
