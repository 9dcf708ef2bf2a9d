#include "ui/params/SheetSpecial.h"

CSheetSpecial::CSheetSpecial(const std::string& caption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(caption, pParentWnd, iSelectPage) {}
