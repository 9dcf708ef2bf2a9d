#include "ui/framework/ProgressCtrl.h"

#include <QProgressBar>
#include <algorithm>

#include "ui/framework/ControlWidget.h"

namespace {

QProgressBar* Bar(HWND hwnd) {
    return ControlWidgetAs<QProgressBar>(hwnd, "CProgressCtrl", "a progress bar");
}

}  // namespace

void CProgressCtrl::SetRange32(int nLower, int nUpper) {
    Bar(CheckedHwnd("CProgressCtrl::SetRange32"))->setRange(nLower, std::max(nLower, nUpper));
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
    const QProgressBar* bar = Bar(CheckedHwnd("CProgressCtrl::GetRange"));
    nLower = bar->minimum();
    nUpper = bar->maximum();
}

int CProgressCtrl::SetPos(int nPos) {
    QProgressBar* bar = Bar(CheckedHwnd("CProgressCtrl::SetPos"));
    const int previous = bar->value();
    bar->setValue(std::clamp(nPos, bar->minimum(), bar->maximum()));
    return previous;
}

int CProgressCtrl::GetPos() const { return Bar(CheckedHwnd("CProgressCtrl::GetPos"))->value(); }
