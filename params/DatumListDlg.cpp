#include "params/DatumListDlg.h"

#include "framework/MessageMap.h"

BEGIN_MESSAGE_MAP(CDatumListDlg, CDialog)
    ON_BN_CLICKED(1178, OnListButton)
    ON_BN_CLICKED(1179, OnListButton)
END_MESSAGE_MAP()

CDatumListDlg::CDatumListDlg(CWnd* pParent) : CDialog(240, pParent) {}

void CDatumListDlg::OnListButton() {}
