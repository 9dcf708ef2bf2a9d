#include "ui/framework/Dialog.h"

#include <QTimer>

#include "ui/framework/Button.h"
#include "ui/framework/ControlHost.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/Menu.h"
#include "ui/framework/UiSeam.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/WindowSettings.h"
#include "ui/framework/qt/DialogWidget.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

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
    DestroyMenu();
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

namespace {

// "a ComboBox", "an Edit".
std::string WithArticle(ControlKind kind) {
    return (kind == ControlKind::Edit ? "an " : "a ") + std::string(ControlKindName(kind));
}

bool MenuHasCommand(const std::vector<MenuItemTemplate>& items, UINT id) {
    for (const MenuItemTemplate& item : items) {
        if (item.type == MenuItemTemplate::Type::Command && item.id == id) return true;
        if (MenuHasCommand(item.items, id)) return true;
    }
    return false;
}

}  // namespace

void CDialog::CheckMessageMap() const {
    const std::vector<std::string> problems = MessageMapMismatches(false, nullptr);
    if (!problems.empty()) AfxFatal(problems.front());
}

std::vector<std::string> CDialog::TemplateMismatches(const MenuTemplate* menu) {
    std::vector<std::string> problems = MessageMapMismatches(true, menu);
    for (std::string& problem : DataExchangeMismatches()) problems.push_back(std::move(problem));
    return problems;
}

std::vector<std::string> CDialog::MessageMapMismatches(bool commands,
                                                       const MenuTemplate* menu) const {
    const DialogTemplate& tpl = GetTemplate();
    std::vector<std::string> problems;
    ForEachMessageEntry([&](const AFX_MSGMAP_ENTRY& entry) {
        if (entry.source == AfxSource::Window) return;
        if (entry.source == AfxSource::Command && !commands) return;
        const ControlTemplate* control = tpl.FindControl(static_cast<int>(entry.nID));
        const std::string map = "the message map of " + Describe() + " (" + tpl.file + ":" +
                                std::to_string(tpl.line) + ") names ";
        if (entry.source == AfxSource::Command) {
            const int id = static_cast<int>(entry.nID);
            if (id == IDOK || id == IDCANCEL) return;  // Enter and Escape send them
            if (control != nullptr && control->kind == ControlKind::Button &&
                !control->IsGroupBox())
                return;
            if (menu != nullptr && MenuHasCommand(menu->items, entry.nID)) return;
            problems.push_back(map + "command " + std::to_string(id) +
                               ", which is neither a button of the template nor an item of " +
                               (menu != nullptr ? "its menu" : "a menu"));
            return;
        }
        const std::string where = map + "control " + std::to_string(entry.nID);
        if (control == nullptr) {
            problems.push_back(where + ", which the template lacks");
            return;
        }
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
                    problems.push_back(
                        where + ", a list box without LBS_NOTIFY, which sends no notifications");
                    return;
                }
                break;
            case AfxSource::TabControl:
                fits = control->kind == ControlKind::TabControl;
                break;
            case AfxSource::ListView:
                fits = control->kind == ControlKind::ListView;
                break;
            default:
                break;
        }
        if (!fits) {
            problems.push_back(where + ", " + WithArticle(control->kind) +
                               ", which cannot send that notification");
        }
    });
    return problems;
}

std::vector<std::string> CDialog::DataExchangeMismatches() {
    const DialogTemplate& tpl = GetTemplate();
    std::vector<DataBinding> bindings;
    CDataExchange survey(this, &bindings);
    DoDataExchange(&survey);
    std::vector<std::string> problems;
    for (const DataBinding& binding : bindings) {
        const int index = tpl.IndexOf(binding.nIDC);
        const std::string where = "the data exchange of " + Describe() + " (" + tpl.file + ":" +
                                  std::to_string(tpl.line) + ") binds control " +
                                  std::to_string(binding.nIDC) + " with " +
                                  DataBindingName(binding.kind);
        if (index < 0) {
            problems.push_back(where + ", which the template lacks");
            continue;
        }
        const ControlTemplate& control = tpl.controls[static_cast<size_t>(index)];
        const char* expected = nullptr;
        switch (binding.kind) {
            case DataBinding::Kind::Text:
                if (control.kind != ControlKind::Edit && control.kind != ControlKind::Static)
                    expected = "an edit or static";
                break;
            case DataBinding::Kind::Radio:
                if (!control.IsRadioButton() || !(control.style & WS_GROUP))
                    expected = "an auto radio button that starts a group (WS_GROUP)";
                break;
            case DataBinding::Kind::Check:
                if (!control.IsCheckBox()) expected = "an auto check box";
                break;
            case DataBinding::Kind::CBIndex:
                if (control.kind != ControlKind::ComboBox) expected = "a combo box";
                break;
            case DataBinding::Kind::LBString:
                if (control.kind != ControlKind::ListBox) expected = "a list box";
                break;
            case DataBinding::Kind::Control:
                if (!binding.member->AcceptsControl(control.kind))
                    expected = "a control its member can stand for";
                break;
        }
        if (expected != nullptr) {
            problems.push_back(where + ", " + WithArticle(control.kind) + ", not " + expected);
        }
    }
    return problems;
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
    widget->setWindowTitle(ToQString(tpl.caption));

    CreateControls(widget->Client());
    // A dialog with a list or table grows with its window, the template
    // being its smallest size.
    const bool stretches = m_host->Stretches();
    if (stretches) flags |= Qt::WindowMaximizeButtonHint;
    widget->setWindowFlags(flags);
    CDialogUnits units(AfxDialogFont(tpl));
    const bool resizable = stretches || (tpl.style & WS_THICKFRAME) != 0;
    widget->SetClientSize(units.X(tpl.cx), units.Y(tpl.cy), resizable);
    if (stretches) m_host->FollowSize(widget->Client(), units.X(tpl.cx), units.Y(tpl.cy));
    widget->SetDefaultCommand([this] { return DefaultCommandId(); });

    m_nModalResult = -1;
    m_bEnded = false;
    m_bRunning = true;
    BOOL focusFirst = TRUE;
    AfxCallGuarded([&] { focusFirst = OnInitDialog(); });
    if (!m_bEnded) {
        if (stretches) RestoreWindowPlacement();
        if (focusFirst) FocusFirstControl();
        QTimer::singleShot(0, widget, [this] { AfxGetUiSeam().ModalStarted(*this); });
        widget->exec();
    }
    m_bRunning = false;

    if (stretches) SaveWindowPlacement();
    DestroyControls();
    DestroyMenu();
    AfxBindWidget(widget, nullptr);
    m_hWnd = nullptr;
    delete widget;
    return m_nModalResult;
}

namespace {

QString PlacementKey(UINT id) { return QStringLiteral("windows/dialog%1").arg(id); }

}  // namespace

void CDialog::RestoreWindowPlacement() {
    std::unique_ptr<QSettings> settings = AfxOpenWindowSettings();
    if (settings == nullptr) return;
    const QByteArray geometry = settings->value(PlacementKey(m_nIDTemplate)).toByteArray();
    if (!geometry.isEmpty()) m_hWnd->restoreGeometry(geometry);
}

void CDialog::SaveWindowPlacement() const {
    std::unique_ptr<QSettings> settings = AfxOpenWindowSettings();
    if (settings != nullptr) settings->setValue(PlacementKey(m_nIDTemplate), m_hWnd->saveGeometry());
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

BOOL CDialog::SetMenu(CMenu* pMenu) {
    auto* dialog = static_cast<CDialogWidget*>(CheckedHwnd("SetMenu"));
    HMENU handle = pMenu != nullptr ? pMenu->GetSafeHmenu() : nullptr;
    if (m_pMenu != nullptr && m_pMenu->GetSafeHmenu() == handle) return TRUE;
    DestroyMenu();
    dialog->SetMenuBar(handle != nullptr ? CMenu::BuildMenuBar(handle, dialog, this) : nullptr);
    if (handle != nullptr) {
        AfxAdoptMenuHandle(handle, this);
        m_pMenu = new CMenu;
        m_pMenu->Attach(handle);
    }
    return TRUE;
}

CMenu* CDialog::GetMenu() const { return m_pMenu; }

void CDialog::DestroyMenu() {
    if (m_pMenu == nullptr) return;
    AfxDestroyMenuHandle(m_pMenu->Detach());
    delete m_pMenu;
    m_pMenu = nullptr;
}

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
