#include "ui/framework/ListBox.h"

#include <QListWidget>
#include <QSignalBlocker>

#include "ui/framework/ListText.h"
#include "ui/framework/ControlWidget.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

QListWidget* List(HWND hwnd) { return ControlWidgetAs<QListWidget>(hwnd, "CListBox", "a list box"); }

std::string ItemText(const QListWidget* list, int index) {
    QByteArray raw = list->item(index)->data(Qt::UserRole).toByteArray();
    return std::string(raw.constData(), static_cast<size_t>(raw.size()));
}

}  // namespace

int CListBox::AddString(const std::string& text) {
    QListWidget* list = List(CheckedHwnd("CListBox::AddString"));
    int index = list->count();
    if (GetStyle() & LBS_SORT) {
        index = 0;
        while (index < list->count() && CompareListText(ItemText(list, index), text) <= 0) ++index;
    }
    return InsertString(index, text);
}

int CListBox::InsertString(int nIndex, const std::string& text) {
    QListWidget* list = List(CheckedHwnd("CListBox::InsertString"));
    if (nIndex < 0) nIndex = list->count();
    if (nIndex > list->count()) return LB_ERR;
    QSignalBlocker blocker(list);
    auto* item = new QListWidgetItem(ToQString(text));
    item->setData(Qt::UserRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    list->insertItem(nIndex, item);
    return nIndex;
}

int CListBox::DeleteString(int nIndex) {
    QListWidget* list = List(CheckedHwnd("CListBox::DeleteString"));
    if (nIndex < 0 || nIndex >= list->count()) return LB_ERR;
    QSignalBlocker blocker(list);
    bool wasSelected = list->item(nIndex)->isSelected();
    delete list->takeItem(nIndex);
    // Qt moves the selection to a neighbour; a list box keeps none.
    if (wasSelected) list->clearSelection();
    return list->count();
}

void CListBox::ResetContent() {
    QListWidget* list = List(CheckedHwnd("CListBox::ResetContent"));
    QSignalBlocker blocker(list);
    list->clear();
}

int CListBox::GetCount() const { return List(CheckedHwnd("CListBox::GetCount"))->count(); }

int CListBox::GetCurSel() const {
    QListWidget* list = List(CheckedHwnd("CListBox::GetCurSel"));
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.first());
}

int CListBox::SetCurSel(int nSelect) {
    QListWidget* list = List(CheckedHwnd("CListBox::SetCurSel"));
    QSignalBlocker blocker(list);
    if (nSelect < 0 || nSelect >= list->count()) {
        list->clearSelection();
        return LB_ERR;
    }
    list->setCurrentRow(nSelect, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(nSelect));
    return nSelect;
}

int CListBox::GetText(int nIndex, std::string& text) const {
    QListWidget* list = List(CheckedHwnd("CListBox::GetText"));
    if (nIndex < 0 || nIndex >= list->count()) {
        text.clear();
        return LB_ERR;
    }
    text = ItemText(list, nIndex);
    return static_cast<int>(text.size());
}

std::string CListBox::GetText(int nIndex) const {
    std::string text;
    GetText(nIndex, text);
    return text;
}

int CListBox::FindString(int nStartAfter, const std::string& prefix) const {
    QListWidget* list = List(CheckedHwnd("CListBox::FindString"));
    int count = list->count();
    if (count == 0) return LB_ERR;
    int start = nStartAfter < 0 || nStartAfter >= count ? 0 : nStartAfter + 1;
    for (int k = 0; k < count; ++k) {
        int index = (start + k) % count;
        if (ListTextStartsWith(ItemText(list, index), prefix)) return index;
    }
    return LB_ERR;
}
