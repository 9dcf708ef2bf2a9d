// CSheetSpecial: the modal property sheet "地方坐标转换参数" that holds the
// pages of the two local four-parameter transforms.
#pragma once

#include <string>

#include "ui/framework/PropertySheet.h"

class CSheetSpecial : public CPropertySheet {
public:
    explicit CSheetSpecial(const std::string& caption, CWnd* pParentWnd = nullptr,
                           UINT iSelectPage = 0);
};
