#include "ui/framework/Wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>
#include <exception>

#include "io/Exception.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/qt/DialogWidget.h"
#include "ui/framework/qt/QtGlue.h"

bool AfxCallGuarded(const std::function<void()>& call) {
    std::string message;
    try {
        call();
        return true;
    } catch (const CException& e) {
        message = e.GetErrorMessage();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
    }
    if (message.empty()) message = "操作失败。";
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_hWnd != nullptr && AfxWndFromWidget(m_hWnd) == this) AfxBindWidget(m_hWnd, nullptr);
}

std::string CWnd::Describe() const {
    if (m_pParentDialog != nullptr) {
        return "control " + std::to_string(m_nID) + " of " + m_pParentDialog->Describe();
    }
    return "window";
}

HWND CWnd::CheckedHwnd(const char* operation) const {
    if (m_hWnd == nullptr)
        AfxFatal(std::string(operation) + " on " + Describe() + ", which has no window");
    return m_hWnd;
}

CWnd* CWnd::FindChild(int) const { return nullptr; }

std::vector<CButton*> CWnd::GetRadioGroup(int) const {
    AfxFatal("DDX_Radio outside a dialog");
}

void CWnd::AttachControl(int, CWnd&) { AfxFatal("DDX_Control outside a dialog"); }

void CWnd::DialogEnter(int id) {
    CWnd* button = FindChild(id);
    if (button != nullptr && !button->IsWindowEnabled()) return;
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<UINT>(id), BN_CLICKED),
                button != nullptr ? reinterpret_cast<LPARAM>(button->m_hWnd) : 0);
}

void CWnd::DialogEscape() {
    CWnd* button = FindChild(IDCANCEL);
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                button != nullptr ? reinterpret_cast<LPARAM>(button->m_hWnd) : 0);
}

void CWnd::DialogReject() { SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

void CWnd::DialogCloseBox() { SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

void CWnd::DialogPaint() { SendMessage(WM_PAINT); }

CWnd* CWnd::GetDlgItem(int nID) const {
    CheckedHwnd("GetDlgItem");
    CWnd* child = FindChild(nID);
    if (child == nullptr) AfxFatal(Describe() + " has no control " + std::to_string(nID));
    return child;
}

DWORD CWnd::GetStyle() const {
    QWidget* widget = CheckedHwnd("GetStyle");
    DWORD style = m_dwStyle & ~(WS_VISIBLE | WS_DISABLED);
    if (!widget->isHidden()) style |= WS_VISIBLE;
    if (!IsWindowEnabled()) style |= WS_DISABLED;
    return style;
}

void CWnd::SetWindowText(const std::string& text) {
    QWidget* widget = CheckedHwnd("SetWindowText");
    QString qtext = ToQString(text);
    if (widget->isWindow() || m_pParentDialog == nullptr) {
        widget->setWindowTitle(qtext);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(qtext);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->setPlainText(qtext);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(qtext);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(qtext);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(qtext);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        if (combo->isEditable()) combo->setEditText(qtext);
    }
}

void CWnd::GetWindowText(std::string& text) const {
    QWidget* widget = CheckedHwnd("GetWindowText");
    if (widget->isWindow() || m_pParentDialog == nullptr) {
        text = FromQString(widget->windowTitle());
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        text = FromQString(line->text());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        text = FromQString(plain->toPlainText());
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = FromQString(button->text());
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        text = FromQString(group->title());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        text = FromQString(label->text());
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        int index = combo->currentIndex();
        if (!combo->isEditable() && index >= 0) {
            QByteArray raw = combo->itemData(index).toByteArray();
            text.assign(raw.constData(), static_cast<size_t>(raw.size()));
        } else {
            text = FromQString(combo->currentText());
        }
    } else {
        text.clear();
    }
}

std::string CWnd::GetWindowText() const {
    std::string text;
    GetWindowText(text);
    return text;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    QWidget* widget = CheckedHwnd("EnableWindow");
    BOOL wasDisabled = IsWindowEnabled() ? FALSE : TRUE;
    widget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    QWidget* widget = CheckedHwnd("IsWindowEnabled");
    QWidget* parent = widget->parentWidget();
    bool enabled =
        parent == nullptr || widget->isWindow() ? widget->isEnabled() : widget->isEnabledTo(parent);
    return enabled ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    QWidget* widget = CheckedHwnd("ShowWindow");
    BOOL wasVisible = widget->isHidden() ? FALSE : TRUE;
    switch (nCmdShow) {
        case SW_HIDE:
            widget->hide();
            break;
        case SW_MINIMIZE:
            widget->showMinimized();
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            if (widget->isWindow()) {
                widget->showNormal();
                break;
            }
            [[fallthrough]];
        default:
            widget->show();
            break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return CheckedHwnd("IsWindowVisible")->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const { return CheckedHwnd("IsIconic")->isMinimized() ? TRUE : FALSE; }

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    CheckedHwnd("SetFocus")->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        if (QWidget* modal = QApplication::activeModalWidget()) focus = modal->focusWidget();
    }
    for (QWidget* widget = focus; widget != nullptr; widget = widget->parentWidget()) {
        if (CWnd* wnd = AfxWndFromWidget(widget)) return wnd;
    }
    return nullptr;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    AfxCallGuarded([&] { result = WindowProc(message, wParam, lParam); });
    return result;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr) return FALSE;
    // Queued on the widget: dropped with it when the window goes first.
    QTimer::singleShot(0, m_hWnd, [this, message, wParam, lParam] {
        SendMessage(message, wParam, lParam);
    });
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) return 0;
        return DefWindowProc(message, wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result)) return result;
        return DefWindowProc(message, wParam, lParam);
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (entry == nullptr) return DefWindowProc(message, wParam, lParam);
    if (auto pfn = std::get_if<AFX_PMSG>(&entry->pfn)) {
        (this->*(*pfn))();
        return 0;
    }
    if (auto pfn = std::get_if<AFX_PMSG_LWL>(&entry->pfn)) return (this->*(*pfn))(wParam, lParam);
    if (auto pfn = std::get_if<AFX_PMSG_UL>(&entry->pfn)) {
        (this->*(*pfn))(static_cast<UINT>(wParam), lParam);
        return 0;
    }
    if (auto pfn = std::get_if<AFX_PMSG_HV>(&entry->pfn)) {
        return reinterpret_cast<LRESULT>((this->*(*pfn))());
    }
    return 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A control notification (lParam names the control) is dropped while
    // UpdateData writes the controls.
    if (lParam != 0 && m_nLockoutNotify > 0) return TRUE;
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    if (m_nLockoutNotify > 0) return TRUE;
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (entry == nullptr) return FALSE;
    if (auto pfn = std::get_if<AFX_PMSG_NOTIFY>(&entry->pfn)) (this->*(*pfn))(header, pResult);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    if (m_hWnd != nullptr) m_hWnd->showMinimized();
                    break;
                case SC_RESTORE:
                    if (m_hWnd != nullptr) m_hWnd->showNormal();
                    break;
                default:
                    break;
            }
            return 0;
        case WM_SETICON: {
            HICON icon = reinterpret_cast<HICON>(lParam);
            HICON& slot = wParam == ICON_BIG ? m_hIconBig : m_hIconSmall;
            HICON previous = slot;
            slot = icon;
            if (m_hWnd != nullptr && (wParam == ICON_BIG || m_hIconBig == nullptr)) {
                m_hWnd->setWindowIcon(AfxQIcon(icon));
            }
            return reinterpret_cast<LRESULT>(previous);
        }
        default:
            return 0;
    }
}

void CWnd::OnClose() { DefWindowProc(WM_CLOSE, 0, 0); }

void CWnd::OnSysCommand(UINT nID, LPARAM lParam) { DefWindowProc(WM_SYSCOMMAND, nID, lParam); }

void CWnd::OnPaint() { DefWindowProc(WM_PAINT, 0, 0); }

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(DefWindowProc(WM_QUERYDRAGICON, 0, 0));
}

BOOL CWnd::RedrawWindow(const RECT*, void*, UINT flags) {
    QWidget* widget = CheckedHwnd("RedrawWindow");
    if (flags & RDW_UPDATENOW) {
        widget->repaint();
    } else if (flags & RDW_INVALIDATE) {
        widget->update();
    }
    return TRUE;
}

void CWnd::UpdateWindow() { CheckedHwnd("UpdateWindow")->repaint(); }

void CWnd::Invalidate(BOOL) { CheckedHwnd("Invalidate")->update(); }

void CWnd::GetClientRect(LPRECT lpRect) const {
    QWidget* widget = CheckedHwnd("GetClientRect");
    if (auto* dialog = dynamic_cast<CDialogWidget*>(widget)) widget = dialog->Client();
    *lpRect = RECT{0, 0, widget->width(), widget->height()};
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const { return bBigIcon ? m_hIconBig : m_hIconSmall; }

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::ContinueModal() { return FALSE; }

void CWnd::EndModalLoop(int) {}

bool CWnd::AcceptsControl(ControlKind) const { return true; }
