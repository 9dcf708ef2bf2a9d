// A modal property sheet: a tab per page, OK and Cancel, and Apply unless
// m_psh.dwFlags has PSH_NOAPPLYNOW. Only the first page shown is created
// when the sheet opens; the others when their tab is first chosen. Leaving a
// page exchanges its data, and a page that fails validation keeps the user
// on it. OK exchanges every created page, calls their OnApply and ends the
// sheet with IDOK; Cancel, Escape and the close box end it with IDCANCEL.
//
// The sheet's own controls have the IDs IDOK, IDCANCEL, ID_APPLY_NOW and
// AFX_IDC_TAB_CONTROL (the tabs).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/framework/Wnd.h"

class CControlHost;
class CPropertyPage;
class QTabWidget;

struct PROPSHEETHEADER {
    DWORD dwFlags = 0;
};

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(const std::string& caption, CWnd* pParentWnd = nullptr,
                            UINT iSelectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADER m_psh;

    // Pages are shown in the order they are added; the sheet does not own them.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    // As a click on the page's tab; FALSE when the current page refuses.

    virtual int DoModal();
    void EndDialog(int nEndID);

    CWnd* FindChild(int nID) const override;
    BOOL ContinueModal() override;
    void EndModalLoop(int nResult) override;
    std::string Describe() const override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSheetOK();
    void OnSheetCancel();
    void OnApplyNow();
    DECLARE_MESSAGE_MAP()

private:
    bool ActivatePage(int nPage);
    // Exchanges every created page and calls their OnApply; false when one refuses.
    bool ApplyPages();
    void ShowTab(int nPage);

    std::string m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;
    std::vector<CPropertyPage*> m_pages;
    std::vector<QWidget*> m_pageHosts;
    std::unique_ptr<CControlHost> m_host;
    QTabWidget* m_tabs = nullptr;
    int m_nActive = -1;
    int m_nModalResult = -1;
    bool m_bRunning = false;
    bool m_bEnded = false;
    bool m_bShowingTab = false;
};
