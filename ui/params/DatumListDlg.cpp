#include "ui/params/DatumListDlg.h"

#include <algorithm>

#include "res/resource.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/MessageMap.h"

BEGIN_MESSAGE_MAP(CDatumListDlg, CDialog)
    ON_LBN_SELCHANGE(IDC_DATUMS, OnSelectDatum)
    ON_BN_CLICKED(IDC_ADD_DATUM, OnAddDatum)
    ON_BN_CLICKED(IDC_DELETE_DATUM, OnDeleteDatum)
END_MESSAGE_MAP()

namespace {

CListBox& DatumBox(const CWnd& dlg) { return *static_cast<CListBox*>(dlg.GetDlgItem(IDC_DATUMS)); }

}  // namespace

CDatumListDlg::CDatumListDlg(const UserDatumList& list, std::vector<int> inUse, CWnd* pParent)
    : CDialog(IDD_DATUM_LIST, pParent), m_list(list), m_inUse(std::move(inUse)) {
    for (int i = 0; i < m_list.Count(); ++i) m_origin.push_back(kDatumCount + i);
}

std::string CDatumListDlg::EntryText(const UserDatum& d) {
    return d.name + "  a=" + DatumNumberText(d.a) + "  1/f=" + DatumNumberText(d.rf);
}

BOOL CDatumListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillList(-1);
    return TRUE;
}

void CDatumListDlg::FillList(int select) {
    CListBox& box = DatumBox(*this);
    box.ResetContent();
    for (const UserDatum& d : m_list.Datums()) box.AddString(EntryText(d));
    box.SetCurSel(select);
}

void CDatumListDlg::OnSelectDatum() {
    const UserDatum* d = m_list.At(kDatumCount + DatumBox(*this).GetCurSel());
    if (d == nullptr) return;
    GetDlgItem(IDC_DATUM_NAME)->SetWindowText(d->name);
    GetDlgItem(IDC_SEMI_MAJOR_AXIS)->SetWindowText(DatumNumberText(d->a));
    GetDlgItem(IDC_INVERSE_FLATTENING)->SetWindowText(DatumNumberText(d->rf));
}

void CDatumListDlg::OnAddDatum() {
    UserDatum datum;
    const auto problem = m_list.CheckTexts(GetDlgItem(IDC_DATUM_NAME)->GetWindowText(),
                                           GetDlgItem(IDC_SEMI_MAJOR_AXIS)->GetWindowText(),
                                           GetDlgItem(IDC_INVERSE_FLATTENING)->GetWindowText(),
                                           &datum);
    if (problem) {
        AfxMessageBox(problem->message, MB_OK | MB_ICONWARNING);
        const int field = problem->field == DatumField::Name            ? IDC_DATUM_NAME
                          : problem->field == DatumField::SemiMajorAxis ? IDC_SEMI_MAJOR_AXIS
                                                                        : IDC_INVERSE_FLATTENING;
        GetDlgItem(field)->SetFocus();
        return;
    }
    const int index = m_list.Add(datum);
    m_origin.push_back(-1);
    FillList(index - kDatumCount);
}

void CDatumListDlg::OnDeleteDatum() {
    const int selected = DatumBox(*this).GetCurSel();
    const UserDatum* d = m_list.At(kDatumCount + selected);
    if (d == nullptr) {
        AfxMessageBox("请先在坐标系列表中选择要删除的坐标系。", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int origin = m_origin[static_cast<std::size_t>(selected)];
    if (std::find(m_inUse.begin(), m_inUse.end(), origin) != m_inUse.end()) {
        AfxMessageBox("坐标系“" + d->name +
                          "”正被当前工程使用（主窗口或计算参数的椭球基准），不能删除。"
                          "请先改选其他坐标系。",
                      MB_OK | MB_ICONWARNING);
        return;
    }
    m_list.Remove(kDatumCount + selected);
    m_origin.erase(m_origin.begin() + selected);
    FillList(-1);
}
