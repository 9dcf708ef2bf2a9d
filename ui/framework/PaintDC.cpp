#include "ui/framework/PaintDC.h"

#include <QPainter>

#include "ui/framework/Wnd.h"
#include "ui/framework/qt/DialogWidget.h"
#include "ui/framework/qt/QtGlue.h"

struct PaintContext {
    QPainter painter;
};

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        default:
            return 0;
    }
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    QWidget* widget = pWnd != nullptr ? pWnd->m_hWnd : nullptr;
    if (widget != nullptr && widget == CDialogWidget::Painting()) {
        m_hDC = new PaintContext;
        m_hDC->painter.begin(widget);
    }
}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) {
        m_hDC->painter.end();
        delete m_hDC;
    }
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_hDC == nullptr || hIcon == nullptr) return FALSE;
    int size = GetSystemMetrics(SM_CXICON);
    m_hDC->painter.drawPixmap(x, y, AfxQIcon(hIcon).pixmap(size, size));
    return TRUE;
}
