// CDatumListDlg: the coordinate-system list "坐标系参数". It opens empty,
// its buttons do nothing and it exchanges no data.
#pragma once

#include "ui/framework/Dialog.h"

class CDatumListDlg : public CDialog {
public:
    explicit CDatumListDlg(CWnd* pParent = nullptr);

protected:
    // 添加 and 删除.
    void OnListButton();
    DECLARE_MESSAGE_MAP()
};
