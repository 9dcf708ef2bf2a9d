// A modal dialog made from a dialog template.
//
// DoModal creates the window and its controls from the template, checks the
// message map against it (an entry for a control the template lacks, or for
// a control of the wrong class, is fatal), runs OnInitDialog, shows the
// dialog and returns the code passed to EndDialog. The window and the
// controls are gone when DoModal returns; the members keep their values.
//
// Enter sends the command IDOK (or the default push button's ID) and Escape
// IDCANCEL; their default handlers are OnOK and OnCancel. The close box sends
// WM_SYSCOMMAND SC_CLOSE, which becomes WM_CLOSE, whose default ends the
// dialog with IDCANCEL. Commands that the dialog does not handle go on to
// the application.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/framework/Wnd.h"

class CButton;
class CControlHost;
class CMenu;
class QWidget;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual int DoModal();
    // Fills the controls (UpdateData(FALSE)). TRUE puts the focus on the
    // first control with WS_TABSTOP.
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    // Whether the dialog ends by itself once its work is done (a progress
    // dialog), without the user's answer.
    virtual bool EndsByItself() const { return false; }
    // Fatal when no template has the ID.
    const DialogTemplate& GetTemplate() const;
    // Dialog units to pixels with this dialog's font.
    void MapDialogRect(LPRECT lpRect) const;

    // The menu bar of the dialog: a copy of the menu is shown, and the dialog
    // takes over the menu handle.
    BOOL SetMenu(CMenu* pMenu);
    CMenu* GetMenu() const;

    std::vector<CButton*> GetRadioGroup(int nFirstID) const override;
    void AttachControl(int nID, CWnd& member) override;

    // Every message-map entry and data-exchange binding of this dialog that
    // does not fit its template, one message each; empty when all fit. An
    // entry or binding must name a control of the template of a class that
    // sends its notification or holds its value (DDX_Text an edit or static,
    // DDX_Radio the first auto radio button of a group, DDX_Check an auto
    // check box, DDX_CBIndex a combo box, DDX_LBString a list box,
    // DDX_Control a control its member can stand for). A command entry must
    // name a button, IDOK, IDCANCEL or an item of `menu`, the dialog's menu
    // bar. DoDataExchange runs as a survey: no window is needed.
    std::vector<std::string> TemplateMismatches(const MenuTemplate* menu = nullptr);

    CWnd* FindChild(int nID) const override;
    BOOL ContinueModal() override;
    void EndModalLoop(int nResult) override;
    std::string Describe() const override;
    BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
    // Default handlers of IDOK and IDCANCEL: OnOK ends the dialog with IDOK
    // when UpdateData(TRUE) succeeds; OnCancel ends it with IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Builds the template's controls as children of `parent` and checks the
    // message map; used by DoModal and by property sheets for their pages.
    void CreateControls(QWidget* parent);
    // Detaches the members and forgets the controls (before their widgets go).
    void DestroyControls();
    // The ID that Enter sends.
    int DefaultCommandId() const;
    // Puts the focus on the first control with WS_TABSTOP.
    void FocusFirstControl();

    DECLARE_MESSAGE_MAP()

    // Fatal when an entry of the message map names a control that the
    // template lacks or that cannot send the entry's notification.
    void CheckMessageMap() const;

private:
    // The size and place of a dialog that grows, kept in the window settings.
    void RestoreWindowPlacement();
    void SaveWindowPlacement() const;
    // Drops the menu with the window that showed it.
    void DestroyMenu();
    // The problems of the control entries; with `commands` also those of the
    // command entries, against the template and `menu`.
    std::vector<std::string> MessageMapMismatches(bool commands, const MenuTemplate* menu) const;
    std::vector<std::string> DataExchangeMismatches();

    QWidget* OwnerWidget() const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    std::unique_ptr<CControlHost> m_host;
    CMenu* m_pMenu = nullptr;  // owned
    int m_nModalResult = -1;
    bool m_bRunning = false;
    bool m_bEnded = false;
};
