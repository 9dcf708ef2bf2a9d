// CDatumListDlg: the user's coordinate systems "坐标系参数". It edits a copy
// of the list: selecting an entry shows its name and constants, 添加 adds
// what the edits hold (checked field by field, the focus to the field at
// fault), 删除 removes the selected entry unless the open session uses it.
// The command takes the copy over on 确定; 取消 leaves the list as it was.
#pragma once

#include <vector>

#include "session/UserDatums.h"
#include "ui/framework/Dialog.h"

class CDatumListDlg : public CDialog {
public:
    // `inUse`: the list indices the open session uses, which 删除 refuses.
    CDatumListDlg(const UserDatumList& list, std::vector<int> inUse, CWnd* pParent = nullptr);

    UserDatumList m_list;
    // Per entry of m_list its index in the list the dialog opened with; -1
    // for an entry added since.
    std::vector<int> m_origin;

    // The text of an entry: name, a and 1/f.
    static std::string EntryText(const UserDatum& datum);

protected:
    BOOL OnInitDialog() override;
    void OnSelectDatum();
    void OnAddDatum();
    void OnDeleteDatum();
    DECLARE_MESSAGE_MAP()

private:
    void FillList(int select);

    std::vector<int> m_inUse;
};
