// Basic types, messages, notification codes and flags of the dialog framework,
// with the values the Windows headers give them, so that dialog code reads as
// it would against the Windows framework.
#pragma once

#include <cstdint>

class QWidget;

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// The handles below have names of their own and the usual names as macros:
// Qt's headers for Windows declare HWND, HDC, HICON and HCURSOR of their own
// unless these names are macros, so both can meet in one translation unit.

// A window is its Qt widget.
using WindowHandle = QWidget*;
#define HWND WindowHandle

struct IconResource;
using IconHandle = const IconResource*;
#define HICON IconHandle
#define HCURSOR IconHandle

struct MenuHandle;
using HMENU = MenuHandle*;

struct PaintContext;
using PaintHandle = PaintContext*;
#define HDC PaintHandle

// Position in a list that is walked with GetNext...; nullptr after the last.
struct PositionTag;
using POSITION = PositionTag*;

constexpr WORD LOWORD(UINT_PTR value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(UINT_PTR value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(UINT low, UINT high) {
    return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
using LPRECT = RECT*;

struct CRect : RECT {
    CRect() = default;
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator LPRECT() { return this; }
};

// Header of a WM_NOTIFY notification.
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};

// Colours: 0x00BBGGRR.
using COLORREF = DWORD;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
// The control's own colour.
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// An item of a list view, as its notifications carry it.
struct LVITEM {
    UINT mask = 0;
    int iItem = -1;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;  // UTF-8; nullptr when an edit was given up
    int cchTextMax = 0;
    LPARAM lParam = 0;
};

// LVN_ITEMCHANGED: the item whose state changed, old and new state.
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    LPARAM lParam = 0;
};

// LVN_BEGINLABELEDIT and LVN_ENDLABELEDIT: the cell and, at the end, the
// text typed.
struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

// LVN_PASTE: the clipboard's text, UTF-8. The owner returns TRUE when it
// took it.
struct NMLVPASTE {
    NMHDR hdr;
    const char* pszText = nullptr;
};

// Window messages.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_USER = 0x0400;

// WM_SETICON.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// System commands (the low four bits are the system's own).
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

// Notification codes of WM_COMMAND (high word of wParam) and WM_NOTIFY.
inline constexpr UINT CN_COMMAND = 0;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT TCN_SELCHANGE = 0U - 551U;
inline constexpr UINT LVN_FIRST = 0U - 100U;
inline constexpr UINT LVN_LAST = 0U - 199U;
inline constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
inline constexpr UINT LVN_BEGINLABELEDIT = LVN_FIRST - 5;
inline constexpr UINT LVN_ENDLABELEDIT = LVN_FIRST - 6;
// The user pasted into a list view (Ctrl+V, Shift+Insert): NMLVPASTE.
inline constexpr UINT LVN_PASTE = LVN_FIRST - 90;

// Dialog results and message box answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDC_STATIC = -1;

// Standard command IDs of the framework.
inline constexpr UINT ID_FILE_NEW = 0xE100;
inline constexpr UINT ID_FILE_OPEN = 0xE101;
inline constexpr UINT ID_FILE_SAVE = 0xE103;
inline constexpr UINT ID_FILE_SAVE_AS = 0xE104;
// The recent files: ID_FILE_MRU_FILE1 and the IDs after it.
inline constexpr UINT ID_FILE_MRU_FILE1 = 0xE110;
inline constexpr UINT ID_FILE_MRU_LAST = 0xE11F;
inline constexpr UINT ID_EDIT_UNDO = 0xE12B;
inline constexpr UINT ID_EDIT_REDO = 0xE12C;
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_APP_EXIT = 0xE141;
inline constexpr UINT ID_HELP = 0xE146;
inline constexpr UINT ID_APPLY_NOW = 0x3021;
// The tab control of a property sheet.
inline constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;

// Message box buttons (low four bits) and icons.
inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_YESNOCANCEL = 0x03;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_TYPEMASK = 0x0F;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;

// ShowWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// RedrawWindow.
inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_UPDATENOW = 0x0100;

// Button check states.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// File dialog flags.
inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

// Property sheet header flags.
inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;

// GetSystemMetrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
int GetSystemMetrics(int index);

// Window styles.
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;  // on windows; WS_GROUP on controls
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// Dialog styles.
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_CENTER = 0x0800;

// Edit styles.
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;

// Static styles.
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_ICON = 0x0003;
inline constexpr DWORD SS_TYPEMASK = 0x001F;
inline constexpr DWORD SS_SUNKEN = 0x1000;

// Button styles (the low four bits are the button's type).
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
inline constexpr DWORD BS_TYPEMASK = 0x000F;

// List box styles.
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;

// Combo box styles (the low two bits are the combo's type).
inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_TYPEMASK = 0x0003;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_SORT = 0x0100;

// List view styles (report view only) and extended styles.
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
inline constexpr DWORD LVS_EDITLABELS = 0x0200;
inline constexpr DWORD LVS_NOSORTHEADER = 0x8000;
inline constexpr DWORD LVS_TYPEMASK = 0x0003;
inline constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
inline constexpr DWORD LVS_EX_CHECKBOXES = 0x0004;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;

// List view items: what an LVITEM carries, states, searches, columns.
inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_STATE = 0x0008;
inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;
inline constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
// State image 1 is the cleared check box, 2 the checked one.
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }
inline constexpr int LVNI_ALL = 0x0000;
inline constexpr int LVNI_FOCUSED = 0x0001;
inline constexpr int LVNI_SELECTED = 0x0002;
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;
// SetColumnWidth: as wide as the column's texts, or as these and its heading.
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// Tab control styles.
inline constexpr DWORD TCS_TABS = 0x0000;
inline constexpr DWORD TCS_SINGLELINE = 0x0000;
inline constexpr DWORD TCS_BOTTOM = 0x0002;
inline constexpr DWORD TCS_BUTTONS = 0x0100;
inline constexpr DWORD TCS_MULTILINE = 0x0200;
inline constexpr DWORD TCS_FIXEDWIDTH = 0x0400;
inline constexpr DWORD TCS_RAGGEDRIGHT = 0x0800;
inline constexpr DWORD TCS_FOCUSNEVER = 0x8000;
