// A window: a dialog, a property sheet or one control of a dialog, over its
// Qt widget (m_hWnd). Messages go through the message map with SendMessage;
// what no entry handles goes to DefWindowProc.
//
// Misuse is reported loudly and ends the program: a control ID that the
// template lacks, a window used before it exists.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/framework/CmdTarget.h"
#include "ui/framework/Fatal.h"
#include "ui/framework/qt/DialogWidgetOwner.h"
#include "ui/resources/DialogTemplate.h"

class CButton;
class CDataExchange;

class CWnd : public CCmdTarget, public DialogWidgetOwner {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The control with this ID in this dialog or sheet; fatal when the
    // template has none.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return m_nID; }
    // The template style, with WS_VISIBLE and WS_DISABLED as they are now.
    DWORD GetStyle() const;

    void SetWindowText(const std::string& text);
    void GetWindowText(std::string& text) const;
    std::string GetWindowText() const;

    // Return the previous state: EnableWindow TRUE when the window was
    // disabled, ShowWindow TRUE when it was visible.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    // TRUE when the window and all its parents are shown.
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;

    CWnd* SetFocus();
    // The framework window that has the keyboard focus, or nullptr.
    static CWnd* GetFocus();

    // Dispatches at once through the message map. An exception of the
    // framework that a handler lets through is reported in a message box.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues the message; the event loop sends it while the window exists.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    BOOL RedrawWindow(const RECT* lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void UpdateWindow();
    void Invalidate(BOOL bErase = TRUE);
    void GetClientRect(LPRECT lpRect) const;

    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;

    // TRUE reads the controls into the members, FALSE fills the controls;
    // control notifications are not delivered meanwhile. FALSE when a value
    // failed validation (the user has been told, the focus is on the field).
    // (Defined in DataExchange.cpp, with the exchange.)
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Modal state of a dialog or sheet.
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // Whether a member object of this class may wrap a control of this kind.
    virtual bool AcceptsControl(ControlKind kind) const;

    // For messages: "dialog 102", "control 1002 of dialog 102".
    virtual std::string Describe() const;

    // The control with this ID, nullptr when there is none (dialogs and sheets).
    virtual CWnd* FindChild(int nID) const;
    // The auto radio buttons of the group starting at nFirstID (DDX_Radio);
    // fatal outside a dialog.
    virtual std::vector<CButton*> GetRadioGroup(int nFirstID) const;
    // Makes `member` the object of the control nID (DDX_Control); fatal
    // outside a dialog.
    virtual void AttachControl(int nID, CWnd& member);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Default handlers that derived classes call from their own.
    void OnClose();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // Fatal when the window does not exist.
    HWND CheckedHwnd(const char* operation) const;
    DECLARE_MESSAGE_MAP()

private:
    friend class CControlHost;
    // What the window of a dialog or sheet hands on: commands, the close
    // box and painting, as messages of this window.
    void DialogEnter(int id) override;
    void DialogEscape() override;
    void DialogReject() override;
    void DialogCloseBox() override;
    void DialogPaint() override;

    // Set by the dialog that creates or attaches the control.
    int m_nID = 0;
    DWORD m_dwStyle = 0;
    CWnd* m_pParentDialog = nullptr;
    // Notifications are held back while this is above 0 (UpdateData).
    int m_nLockoutNotify = 0;
    HICON m_hIconBig = nullptr;
    HICON m_hIconSmall = nullptr;
};

// Runs `call` and reports an exception it lets through in a message box, as
// message dispatch does. Returns false when it threw.
bool AfxCallGuarded(const std::function<void()>& call);
