// One page of a property sheet, made from its dialog template; the template
// caption is the tab's label. The sheet creates a page's window when the
// page is first shown (OnInitDialog runs then), exchanges its data when the
// user leaves it (OnKillActive) and again on OK for every page that was
// created.
#pragma once

#include "ui/framework/Dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT nIDTemplate);

    // The first activation does nothing; later ones fill the controls.
    virtual BOOL OnSetActive();
    // Reads the controls; FALSE keeps the user on the page.
    virtual BOOL OnKillActive();
    // OK on the sheet (after the data exchange): calls OnOK.
    virtual BOOL OnApply();
    // Nothing by default: the sheet ends itself.
    void OnOK() override;
    void OnCancel() override;

    std::string GetCaption() const { return GetTemplate().caption; }
    std::string Describe() const override;

private:
    friend class CPropertySheet;
    void CreatePage(QWidget* host);
    void DestroyPage();

    bool m_bFirstSetActive = true;
};
