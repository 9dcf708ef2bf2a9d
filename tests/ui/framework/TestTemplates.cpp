#include "tests/ui/framework/TestTemplates.h"

#include <gtest/gtest.h>

#include "ui/resources/ResourceSet.h"

namespace {

const char kScript[] = R"rc(
9001 DIALOG 0, 0, 200, 150
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
CAPTION "控件"
FONT 9, "宋体"
BEGIN
    GROUPBOX        "组", IDC_STATIC, 5, 5, 100, 60
    RTEXT           "x=", 101, 10, 10, 12, 8
    EDITTEXT        102, 30, 10, 60, 14, ES_AUTOHSCROLL
    CONTROL         "甲", 103, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 10, 30, 40, 10
    CONTROL         "乙", 104, "Button", BS_AUTORADIOBUTTON, 10, 42, 40, 10
    CONTROL         "丙", 105, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 60, 30, 40, 10
    CONTROL         "丁", 106, "Button", BS_AUTORADIOBUTTON, 60, 42, 40, 10
    CONTROL         "勾", 107, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 110, 10, 40, 10
    COMBOBOX        108, 110, 25, 60, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
    LISTBOX         109, 110, 45, 60, 40, LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP
    LISTBOX         110, 110, 90, 60, 30, WS_VSCROLL | LBS_SORT
    CONTROL         "", 111, "SysTabControl32", TCS_BOTTOM | TCS_FOCUSNEVER, 5, 130, 100, 14
    PUSHBUTTON      "按钮", 112, 5, 110, 40, 14
    PUSHBUTTON      "隐藏", 113, 50, 110, 40, 14, NOT WS_VISIBLE | WS_DISABLED
    LTEXT           "左", 114, 110, 125, 30, 8
    EDITTEXT        115, 150, 125, 40, 14, ES_RIGHT | ES_READONLY | NOT WS_BORDER
    COMBOBOX        116, 150, 5, 45, 50, CBS_DROPDOWN | CBS_SORT | WS_TABSTOP
    ICON            128, IDC_STATIC, 170, 90, 20, 20
END

9001 DLGINIT
BEGIN
    108, "北京-54坐标系  "
    108, "国家-80坐标系  "
    110, "b"
    110, "C"
    110, "a"
    116, "{Space}"
    116, ","
END

9002 DIALOG 0, 0, 200, 120
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "交换"
FONT 8, "MS Sans Serif"
BEGIN
    EDITTEXT        201, 10, 10, 60, 14
    EDITTEXT        202, 10, 30, 60, 14
    EDITTEXT        203, 10, 50, 60, 14
    EDITTEXT        204, 10, 70, 60, 14
    CONTROL         "零", 205, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 80, 10, 40, 10
    LTEXT           "not in the group", 206, 80, 22, 40, 8, NOT WS_GROUP
    CONTROL         "一", 207, "Button", BS_AUTORADIOBUTTON, 80, 34, 40, 10
    CONTROL         "二", 208, "Button", BS_AUTORADIOBUTTON, 80, 46, 40, 10
    CONTROL         "勾", 209, "Button", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 80, 60, 40, 10
    COMBOBOX        210, 130, 10, 60, 50, CBS_DROPDOWNLIST | WS_TABSTOP
    LISTBOX         211, 130, 30, 60, 40, LBS_NOTIFY | WS_TABSTOP
    DEFPUSHBUTTON   "确定", IDOK, 130, 80, 30, 14
    PUSHBUTTON      "取消", IDCANCEL, 165, 80, 30, 14
END

9002 DLGINIT
BEGIN
    210, "零"
    210, "一"
    211, "甲"
    211, "乙乙"
END

9003 DIALOG 0, 0, 100, 60
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "默认"
FONT 9, "宋体"
BEGIN
    EDITTEXT        301, 10, 10, 60, 14
    PUSHBUTTON      "确定", IDOK, 10, 30, 30, 14
    DEFPUSHBUTTON   "转换", 302, 50, 30, 30, 14
END

9004 DIALOG 0, 0, 100, 60
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_THICKFRAME
CAPTION "可调"
FONT 9, "宋体"
BEGIN
    DEFPUSHBUTTON   "确定", IDOK, 10, 30, 30, 14
END

9005 DIALOG 0, 0, 240, 150
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "表格"
FONT 8, "MS Sans Serif"
BEGIN
    CONTROL         "", 501, "SysListView32", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS | WS_BORDER | WS_TABSTOP, 5, 5, 230, 90
    CONTROL         "", 502, "SysListView32", LVS_REPORT | WS_BORDER | WS_TABSTOP, 5, 100, 230, 28
    EDITTEXT        503, 5, 132, 60, 14
END

9010 DIALOG 0, 0, 120, 60
STYLE WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "一级"
FONT 10, "System"
BEGIN
    EDITTEXT        401, 10, 10, 60, 14
    EDITTEXT        402, 10, 30, 60, 14
END

9011 DIALOG 0, 0, 140, 80
STYLE WS_CHILD | WS_DISABLED | WS_CAPTION
CAPTION "二级"
FONT 10, "System"
BEGIN
    EDITTEXT        401, 10, 10, 60, 14
END

9100 MENU
BEGIN
    POPUP "文件(&F)"
    BEGIN
        MENUITEM "新建(&N)...", ID_FILE_NEW
        MENUITEM SEPARATOR
        MENUITEM "退出(&E)", ID_APP_EXIT
    END
    POPUP "其他"
    BEGIN
        POPUP "更多"
        BEGIN
            MENUITEM "深处", 33001
        END
    END
END
)rc";

}  // namespace

void LoadTestTemplates() {
    static bool loaded = false;
    if (loaded) return;
    std::string error;
    ASSERT_TRUE(AfxGetResources().Load(kScript, "tests/framework/TestTemplates.cpp", &error))
        << error;
    loaded = true;
}
