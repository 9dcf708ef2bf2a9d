// Message maps: one static table per class, chained to its base class's
// table. Each entry binds a message (or a command or control notification
// with its ID) to a member function; dispatch walks the tables from the most
// derived class to CCmdTarget and calls the first entry that matches.
//
//     class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//
//     BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//         ON_BN_CLICKED(IDC_CONVERT, OnConvert)
//         ON_WM_CLOSE()
//     END_MESSAGE_MAP()
//
// A handler is named by its member function; the entry does not compile when
// the function's signature differs from the one the entry calls.
#pragma once

#include <variant>

#include "ui/resources/WinDef.h"

class CCmdTarget;

// What sends an entry's message; a dialog checks every control-notification
// entry against its template when it is created.
enum class AfxSource : unsigned char {
    Window,      // window message
    Command,     // menu command or button click
    Button,      // BN_CLICKED of a button
    Edit,        // EN_CHANGE of an edit
    ComboBox,    // CBN_ of a combo box
    ListBox,     // LBN_ of a list box with LBS_NOTIFY
    TabControl,  // TCN_ of a tab control
    ListView,    // LVN_ of a list view
    AnyControl,  // other WM_NOTIFY codes
};

// The control class that sends a WM_NOTIFY code.
constexpr AfxSource AfxNotifySource(UINT code) {
    if (code == TCN_SELCHANGE) return AfxSource::TabControl;
    if (code <= LVN_FIRST && code >= LVN_LAST) return AfxSource::ListView;
    return AfxSource::AnyControl;
}

using AFX_PMSG = void (CCmdTarget::*)();
using AFX_PMSG_LWL = LRESULT (CCmdTarget::*)(WPARAM, LPARAM);
using AFX_PMSG_NOTIFY = void (CCmdTarget::*)(NMHDR*, LRESULT*);
using AFX_PMSG_UL = void (CCmdTarget::*)(UINT, LPARAM);
using AFX_PMSG_HV = HCURSOR (CCmdTarget::*)();

using AfxHandler =
    std::variant<std::monostate, AFX_PMSG, AFX_PMSG_LWL, AFX_PMSG_NOTIFY, AFX_PMSG_UL, AFX_PMSG_HV>;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nCode;     // notification code of WM_COMMAND and WM_NOTIFY
    UINT nID;       // command or control ID
    AfxSource source;
    AfxHandler pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // nullptr for CCmdTarget
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                         \
            {0, 0, 0, AfxSource::Window, std::monostate{}}};                      \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,   \
                                              &_messageEntries[0]};               \
        return &messageMap;                                                       \
    }
// clang-format on

#define AFX_COMMAND_ENTRY(code, id, source, memberFxn)                              \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), AfxSource::source, \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

// Commands of menus (and clicks of buttons with that ID): void f().
#define ON_COMMAND(id, memberFxn) AFX_COMMAND_ENTRY(CN_COMMAND, id, Command, memberFxn)
// Control notifications: void f().
#define ON_BN_CLICKED(id, memberFxn) AFX_COMMAND_ENTRY(BN_CLICKED, id, Button, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) AFX_COMMAND_ENTRY(EN_CHANGE, id, Edit, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) AFX_COMMAND_ENTRY(CBN_SELCHANGE, id, ComboBox, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) AFX_COMMAND_ENTRY(LBN_SELCHANGE, id, ListBox, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) AFX_COMMAND_ENTRY(LBN_DBLCLK, id, ListBox, memberFxn)

// WM_NOTIFY from a control: void f(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                          \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), \
     AfxNotifySource(static_cast<UINT>(code)),                  \
     static_cast<AFX_PMSG_NOTIFY>(&ThisClass::memberFxn)},

// Any message: LRESULT f(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                    \
    {static_cast<UINT>(message), 0, 0, AfxSource::Window, \
     static_cast<AFX_PMSG_LWL>(&ThisClass::memberFxn)},

#define ON_WM_CLOSE() \
    {WM_CLOSE, 0, 0, AfxSource::Window, static_cast<AFX_PMSG>(&ThisClass::OnClose)},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, AfxSource::Window, static_cast<AFX_PMSG>(&ThisClass::OnPaint)},
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AfxSource::Window, static_cast<AFX_PMSG_UL>(&ThisClass::OnSysCommand)},
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                   \
    {WM_QUERYDRAGICON, 0, 0, AfxSource::Window, \
     static_cast<AFX_PMSG_HV>(&ThisClass::OnQueryDragIcon)},
