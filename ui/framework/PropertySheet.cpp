#include "ui/framework/PropertySheet.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

#include "ui/framework/ControlHost.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/PropertyPage.h"
#include "ui/framework/UiSeam.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/qt/DialogWidget.h"
#include "ui/framework/qt/QtGlue.h"

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_COMMAND(IDOK, OnSheetOK)
    ON_COMMAND(IDCANCEL, OnSheetCancel)
    ON_COMMAND(ID_APPLY_NOW, OnApplyNow)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(const std::string& caption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(caption), m_pParentWnd(pParentWnd), m_nStartPage(iSelectPage) {}

CPropertySheet::~CPropertySheet() = default;

std::string CPropertySheet::Describe() const { return "property sheet \"" + m_strCaption + "\""; }

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (m_hWnd != nullptr) AfxFatal("AddPage on " + Describe() + " while it is open");
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_nActive); }

CWnd* CPropertySheet::FindChild(int nID) const {
    return m_host != nullptr ? m_host->Find(nID) : nullptr;
}

BOOL CPropertySheet::ContinueModal() { return m_bRunning && !m_bEnded ? TRUE : FALSE; }

void CPropertySheet::EndModalLoop(int nResult) { EndDialog(nResult); }

void CPropertySheet::EndDialog(int nEndID) {
    m_nModalResult = nEndID;
    m_bEnded = true;
    if (auto* dialog = qobject_cast<QDialog*>(m_hWnd)) dialog->done(nEndID);
}

void CPropertySheet::ShowTab(int nPage) {
    m_bShowingTab = true;
    m_tabs->setCurrentIndex(nPage);
    m_bShowingTab = false;
}

bool CPropertySheet::ActivatePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return false;
    if (nPage == m_nActive) return true;
    if (CPropertyPage* current = GetActivePage()) {
        BOOL leave = FALSE;
        AfxCallGuarded([&] { leave = current->OnKillActive(); });
        if (!leave) {
            ShowTab(m_nActive);
            return false;
        }
    }
    CPropertyPage* next = m_pages[static_cast<size_t>(nPage)];
    m_nActive = nPage;
    ShowTab(nPage);
    if (next->m_hWnd == nullptr) next->CreatePage(m_pageHosts[static_cast<size_t>(nPage)]);
    AfxCallGuarded([&] { next->OnSetActive(); });
    return true;
}

bool CPropertySheet::ApplyPages() {
    if (CPropertyPage* current = GetActivePage()) {
        if (!current->OnKillActive()) return false;
    }
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = m_pages[static_cast<size_t>(i)];
        if (page->m_hWnd == nullptr || i == m_nActive) continue;
        if (!page->UpdateData(TRUE)) {
            m_nActive = i;
            ShowTab(i);
            return false;
        }
    }
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd != nullptr && !page->OnApply()) return false;
    }
    return true;
}

void CPropertySheet::OnSheetOK() {
    if (ApplyPages()) EndDialog(IDOK);
}

void CPropertySheet::OnApplyNow() { ApplyPages(); }

void CPropertySheet::OnSheetCancel() {
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd != nullptr) page->OnCancel();
    }
    EndDialog(IDCANCEL);
}

LRESULT CPropertySheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        OnSheetCancel();
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

int CPropertySheet::DoModal() {
    if (m_hWnd != nullptr) AfxFatal("DoModal on " + Describe() + ", which is already open");
    if (m_pages.empty()) AfxFatal("DoModal on " + Describe() + ", which has no pages");

    CWnd* owner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    QWidget* ownerWidget =
        owner != nullptr && owner != this && owner->m_hWnd ? owner->m_hWnd->window() : nullptr;
    auto* widget = new CDialogWidget(this, ownerWidget);
    m_hWnd = widget;
    AfxBindWidget(widget, this);
    widget->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    widget->setWindowTitle(ToQString(m_strCaption));

    // Every page's message map is checked now, not when its tab is first chosen.
    for (CPropertyPage* page : m_pages) page->CheckMessageMap();

    // The sheet takes the first page's font; the page area fits the largest page.
    QFont font = AfxDialogFont(m_pages.front()->GetTemplate());
    widget->setFont(font);
    CDialogUnits units(font);
    int pageWidth = 0, pageHeight = 0;
    for (CPropertyPage* page : m_pages) {
        const DialogTemplate& tpl = page->GetTemplate();
        CDialogUnits pageUnits(AfxDialogFont(tpl));
        pageWidth = std::max(pageWidth, pageUnits.X(tpl.cx));
        pageHeight = std::max(pageHeight, pageUnits.Y(tpl.cy));
    }

    QWidget* client = widget->Client();
    m_host = std::make_unique<CControlHost>(this);
    m_tabs = new QTabWidget(client);
    m_pageHosts.clear();
    for (CPropertyPage* page : m_pages) {
        auto* host = new QWidget;
        host->setFixedSize(pageWidth, pageHeight);
        m_tabs->addTab(host, ToQString(page->GetCaption()));
        m_pageHosts.push_back(host);
    }
    m_host->AddControl(static_cast<int>(AFX_IDC_TAB_CONTROL), ControlKind::TabControl,
                       WS_CHILD | WS_VISIBLE | WS_TABSTOP, m_tabs->tabBar());

    const int margin = units.X(4);
    // The minimum hint is the one that counts the fixed page size.
    const QSize tabSize = m_tabs->sizeHint().expandedTo(m_tabs->minimumSizeHint());
    m_tabs->setGeometry(margin, margin, tabSize.width(), tabSize.height());
    const int buttonWidth = units.X(50), buttonHeight = units.Y(14), gap = units.X(4);
    struct ButtonSpec {
        int id;
        const char* text;
        DWORD style;
    };
    std::vector<ButtonSpec> buttons = {{IDOK, "确定", BS_DEFPUSHBUTTON},
                                       {IDCANCEL, "取消", BS_PUSHBUTTON}};
    if (!(m_psh.dwFlags & PSH_NOAPPLYNOW))
        buttons.push_back({static_cast<int>(ID_APPLY_NOW), "应用(&A)", BS_PUSHBUTTON});
    int x = margin + tabSize.width() - static_cast<int>(buttons.size()) * (buttonWidth + gap) + gap;
    const int y = margin + tabSize.height() + margin;
    for (const ButtonSpec& spec : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.text), client);
        button->setAutoDefault(false);
        button->setDefault(spec.id == IDOK);
        button->setGeometry(x, y, buttonWidth, buttonHeight);
        if (spec.id == static_cast<int>(ID_APPLY_NOW)) button->setEnabled(false);
        m_host->AddControl(spec.id, ControlKind::Button,
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | spec.style, button);
        const UINT id = static_cast<UINT>(spec.id);
        QObject::connect(button, &QPushButton::clicked, button, [this, id, button] {
            SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        });
        x += buttonWidth + gap;
    }
    widget->SetClientSize(margin + tabSize.width() + margin, y + buttonHeight + margin, false);
    widget->SetDefaultCommand([] { return IDOK; });

    m_nModalResult = -1;
    m_bEnded = false;
    m_bRunning = true;
    m_nActive = -1;
    int start =
        static_cast<int>(m_nStartPage) < GetPageCount() ? static_cast<int>(m_nStartPage) : 0;
    ActivatePage(start);
    QObject::connect(m_tabs, &QTabWidget::currentChanged, m_tabs, [this](int index) {
        if (!m_bShowingTab) ActivatePage(index);
    });
    QTimer::singleShot(0, widget, [this] { AfxGetUiSeam().ModalStarted(*this); });
    if (!m_bEnded) widget->exec();
    m_bRunning = false;

    for (CPropertyPage* page : m_pages) page->DestroyPage();
    m_host->Destroy();
    m_host.reset();
    m_tabs->blockSignals(true);
    m_tabs = nullptr;
    m_pageHosts.clear();
    AfxBindWidget(widget, nullptr);
    m_hWnd = nullptr;
    delete widget;
    return m_nModalResult;
}
