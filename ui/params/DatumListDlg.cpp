#include "ui/params/DatumListDlg.h"

#include "res/resource.h"
#include "ui/framework/MessageMap.h"

BEGIN_MESSAGE_MAP(CDatumListDlg, CDialog)
    ON_BN_CLICKED(IDC_ADD_DATUM, OnListButton)
    ON_BN_CLICKED(IDC_DELETE_DATUM, OnListButton)
END_MESSAGE_MAP()

CDatumListDlg::CDatumListDlg(CWnd* pParent) : CDialog(IDD_DATUM_LIST, pParent) {}

void CDatumListDlg::OnListButton() {}
