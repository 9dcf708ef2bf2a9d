#include "ui/framework/ComboBox.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "ui/framework/ListText.h"
#include "ui/framework/ControlWidget.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

QComboBox* Combo(HWND hwnd) { return ControlWidgetAs<QComboBox>(hwnd, "CComboBox", "a combo box"); }

std::string ItemText(const QComboBox* combo, int index) {
    QByteArray raw = combo->itemData(index).toByteArray();
    return std::string(raw.constData(), static_cast<size_t>(raw.size()));
}

}  // namespace

int CComboBox::AddString(const std::string& text) {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::AddString"));
    int index = combo->count();
    if (GetStyle() & CBS_SORT) {
        index = 0;
        while (index < combo->count() && CompareListText(ItemText(combo, index), text) <= 0)
            ++index;
    }
    return InsertString(index, text);
}

int CComboBox::InsertString(int nIndex, const std::string& text) {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::InsertString"));
    if (nIndex < 0) nIndex = combo->count();
    if (nIndex > combo->count()) return CB_ERR;
    QSignalBlocker blocker(combo);
    int current = combo->currentIndex();
    QString editText = combo->currentText();
    combo->insertItem(nIndex, ToQString(text),
                      QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    // Qt selects the first entry of an empty list; a combo box selects nothing.
    if (current == -1 && combo->currentIndex() != -1) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) combo->setEditText(editText);
    }
    return nIndex;
}

int CComboBox::DeleteString(int nIndex) {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::DeleteString"));
    if (nIndex < 0 || nIndex >= combo->count()) return CB_ERR;
    QSignalBlocker blocker(combo);
    combo->removeItem(nIndex);
    return combo->count();
}

void CComboBox::ResetContent() {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::ResetContent"));
    QSignalBlocker blocker(combo);
    combo->clear();
}

int CComboBox::GetCount() const { return Combo(CheckedHwnd("CComboBox::GetCount"))->count(); }

int CComboBox::GetCurSel() const {
    return Combo(CheckedHwnd("CComboBox::GetCurSel"))->currentIndex();
}

int CComboBox::SetCurSel(int nSelect) {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::SetCurSel"));
    QSignalBlocker blocker(combo);
    if (nSelect < 0 || nSelect >= combo->count()) {
        combo->setCurrentIndex(-1);
        return CB_ERR;
    }
    combo->setCurrentIndex(nSelect);
    return nSelect;
}

int CComboBox::GetLBText(int nIndex, std::string& text) const {
    QComboBox* combo = Combo(CheckedHwnd("CComboBox::GetLBText"));
    if (nIndex < 0 || nIndex >= combo->count()) {
        text.clear();
        return CB_ERR;
    }
    text = ItemText(combo, nIndex);
    return static_cast<int>(text.size());
}

std::string CComboBox::GetLBText(int nIndex) const {
    std::string text;
    GetLBText(nIndex, text);
    return text;
}
