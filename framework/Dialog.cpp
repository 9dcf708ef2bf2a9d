#include "framework/Dialog.h"

#include <QTimer>

#include "framework/Button.h"
#include "framework/ControlHost.h"
#include "framework/DialogUnits.h"
#include "framework/DialogWidget.h"
#include "framework/QtGlue.h"
#include "framework/ResourceSet.h"
#include "framework/UiSeam.h"
#include "framework/WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr && m_hWnd->isWindow()) {
        DestroyControls();
        delete m_hWnd;
        m_hWnd = nullptr;
    }
}

const DialogTemplate& CDialog::GetTemplate() const {
    const DialogTemplate* tpl = AfxGetResources().FindDialog(static_cast<int>(m_nIDTemplate));
    if (tpl == nullptr) AfxFatal("no dialog template " + std::to_string(m_nIDTemplate));
    return *tpl;
}

std::string CDialog::Describe() const { return "dialog " + std::to_string(m_nIDTemplate); }

QWidget* CDialog::OwnerWidget() const {
    CWnd* owner = m_pParentWnd;
    if (owner == nullptr) owner = AfxGetMainWnd();
    if (owner == nullptr || owner == this || owner->m_hWnd == nullptr) return nullptr;
    return owner->m_hWnd->window();
}

void CDialog::CreateControls(QWidget* parent) {
    const DialogTemplate& tpl = GetTemplate();
    QFont font = AfxDialogFont(tpl);
    parent->setFont(font);
    m_host = std::make_unique<CControlHost>(this);
    CheckMessageMap();
    m_host->Create(tpl, parent, CDialogUnits(font), font);
}

void CDialog::DestroyControls() {
    if (m_host != nullptr) m_host->Destroy();
    m_host.reset();
}

void CDialog::CheckMessageMap() const {
    const DialogTemplate& tpl = GetTemplate();
    ForEachMessageEntry([&](const AFX_MSGMAP_ENTRY& entry) {
        if (entry.source == AfxSource::Window || entry.source == AfxSource::Command) return;
        const ControlTemplate* control = tpl.FindControl(static_cast<int>(entry.nID));
        std::string where = "the message map of " + Describe() + " (" + tpl.file + ":" +
                            std::to_string(tpl.line) + ") names control " +
                            std::to_string(entry.nID);
        if (control == nullptr) AfxFatal(where + ", which the template lacks");
        bool fits = true;
        switch (entry.source) {
            case AfxSource::Button:
                fits = control->kind == ControlKind::Button && !control->IsGroupBox();
                break;
            case AfxSource::Edit:
                fits = control->kind == ControlKind::Edit;
                break;
            case AfxSource::ComboBox:
                fits = control->kind == ControlKind::ComboBox;
                break;
            case AfxSource::ListBox:
                fits = control->kind == ControlKind::ListBox;
                if (fits && !(control->style & LBS_NOTIFY)) {
                    AfxFatal(where +
                             ", a list box without LBS_NOTIFY, which sends no notifications");
                }
                break;
            case AfxSource::TabControl:
                fits = control->kind == ControlKind::TabControl;
                break;
            default:
                break;
        }
        if (!fits) {
            AfxFatal(where + ", a " + ControlKindName(control->kind) +
                     ", which cannot send that notification");
        }
    });
}

int CDialog::DoModal() {
    if (m_hWnd != nullptr) AfxFatal("DoModal on " + Describe() + ", which is already open");
    const DialogTemplate& tpl = GetTemplate();
    auto* widget = new CDialogWidget(this, OwnerWidget());
    m_hWnd = widget;
    AfxBindWidget(widget, this);

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((tpl.style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if (tpl.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (tpl.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    widget->setWindowFlags(flags);
    widget->setWindowTitle(ToQString(tpl.caption));

    CreateControls(widget->Client());
    CDialogUnits units(AfxDialogFont(tpl));
    widget->SetClientSize(units.X(tpl.cx), units.Y(tpl.cy), (tpl.style & WS_THICKFRAME) != 0);
    widget->SetDefaultCommand([this] { return DefaultCommandId(); });

    m_nModalResult = -1;
    m_bEnded = false;
    m_bRunning = true;
    BOOL focusFirst = TRUE;
    AfxCallGuarded([&] { focusFirst = OnInitDialog(); });
    if (!m_bEnded) {
        if (focusFirst) FocusFirstControl();
        QTimer::singleShot(0, widget, [this] { AfxGetUiSeam().ModalStarted(*this); });
        widget->exec();
    }
    m_bRunning = false;

    DestroyControls();
    DestroyMenu();
    AfxBindWidget(widget, nullptr);
    m_hWnd = nullptr;
    delete widget;
    return m_nModalResult;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    if (auto* dialog = qobject_cast<QDialog*>(m_hWnd)) dialog->done(nResult);
}

BOOL CDialog::ContinueModal() { return m_bRunning && !m_bEnded ? TRUE : FALSE; }

void CDialog::EndModalLoop(int nResult) { EndDialog(nResult); }

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        EndDialog(IDCANCEL);
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
    if (CCmdTarget::OnCmdMsg(nID, nCode)) return TRUE;
    if (nCode != static_cast<int>(CN_COMMAND)) return FALSE;
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->OnCmdMsg(nID, nCode) : FALSE;
}

CWnd* CDialog::FindChild(int nID) const { return m_host != nullptr ? m_host->Find(nID) : nullptr; }

std::vector<CButton*> CDialog::GetRadioGroup(int nFirstID) const {
    if (m_host == nullptr) AfxFatal("DDX_Radio on " + Describe() + ", which has no window");
    return m_host->RadioGroup(nFirstID);
}

void CDialog::AttachControl(int nID, CWnd& member) {
    if (m_host == nullptr) AfxFatal("DDX_Control on " + Describe() + ", which has no window");
    m_host->Attach(nID, member);
}

int CDialog::DefaultCommandId() const {
    for (const ControlTemplate& control : GetTemplate().controls) {
        if (control.kind == ControlKind::Button && control.ButtonType() == BS_DEFPUSHBUTTON)
            return control.id;
    }
    return IDOK;
}

void CDialog::FocusFirstControl() {
    if (m_host == nullptr) return;
    if (QWidget* first = m_host->FirstTabStop()) first->setFocus(Qt::TabFocusReason);
}

void CDialog::MapDialogRect(LPRECT lpRect) const {
    CDialogUnits(AfxDialogFont(GetTemplate())).MapRect(lpRect);
}
