#include "ui/framework/PropertyPage.h"

#include <QWidget>

#include "ui/framework/qt/QtGlue.h"

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}

std::string CPropertyPage::Describe() const {
    return "property page " + std::to_string(GetTemplateId());
}

void CPropertyPage::CreatePage(QWidget* host) {
    m_hWnd = host;
    AfxBindWidget(host, this);
    m_bFirstSetActive = true;
    CreateControls(host);
    BOOL focusFirst = TRUE;
    AfxCallGuarded([&] { focusFirst = OnInitDialog(); });
    if (focusFirst) FocusFirstControl();
}

void CPropertyPage::DestroyPage() {
    if (m_hWnd == nullptr) return;
    DestroyControls();
    AfxBindWidget(m_hWnd, nullptr);
    m_hWnd = nullptr;
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive) {
        m_bFirstSetActive = false;
    } else {
        UpdateData(FALSE);
    }
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}
