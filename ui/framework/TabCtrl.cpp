#include "ui/framework/TabCtrl.h"

#include <QSignalBlocker>
#include <QTabBar>

#include "ui/framework/ControlWidget.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

QTabBar* Tabs(HWND hwnd) { return ControlWidgetAs<QTabBar>(hwnd, "CTabCtrl", "a tab control"); }

}  // namespace

int CTabCtrl::InsertItem(int nItem, const std::string& text) {
    QTabBar* tabs = Tabs(CheckedHwnd("CTabCtrl::InsertItem"));
    if (nItem < 0) return -1;
    if (nItem > tabs->count()) nItem = tabs->count();
    QSignalBlocker blocker(tabs);
    return tabs->insertTab(nItem, ToQString(text));
}

int CTabCtrl::GetItemCount() const { return Tabs(CheckedHwnd("CTabCtrl::GetItemCount"))->count(); }

int CTabCtrl::GetCurSel() const { return Tabs(CheckedHwnd("CTabCtrl::GetCurSel"))->currentIndex(); }

int CTabCtrl::SetCurSel(int nItem) {
    QTabBar* tabs = Tabs(CheckedHwnd("CTabCtrl::SetCurSel"));
    if (nItem < 0 || nItem >= tabs->count()) return -1;
    int previous = tabs->currentIndex();
    QSignalBlocker blocker(tabs);
    tabs->setCurrentIndex(nItem);
    return previous;
}

std::string CTabCtrl::GetItemText(int nItem) const {
    QTabBar* tabs = Tabs(CheckedHwnd("CTabCtrl::GetItemText"));
    return FromQString(tabs->tabText(nItem));
}
