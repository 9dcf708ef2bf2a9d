#include "ui/params/DatumCombos.h"

#include "session/UserDatums.h"
#include "ui/framework/ComboBox.h"

void ShowUserDatums(const CWnd& dialog, std::initializer_list<int> comboIds) {
    for (int id : comboIds) {
        auto& combo = *static_cast<CComboBox*>(dialog.GetDlgItem(id));
        const int selected = combo.GetCurSel();
        while (combo.GetCount() > kDatumCount) combo.DeleteString(kDatumCount);
        for (const UserDatum& d : UserDatums().Datums()) combo.AddString(d.name);
        combo.SetCurSel(selected < combo.GetCount() ? selected : -1);
    }
}
