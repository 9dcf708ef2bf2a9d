#include "ui/framework/ControlHost.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "ui/framework/Button.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/Edit.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/ListCtrl.h"
#include "ui/framework/ProgressCtrl.h"
#include "ui/framework/Static.h"
#include "ui/framework/TabCtrl.h"
#include "ui/framework/qt/ListViewWidget.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

namespace {

// As on Windows, a click anywhere in a check box or radio button's rectangle
// is a click on it, not only on its mark and text.
class CheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A click on an auto radio button that is checked leaves it checked; the
// host clears the others of its group.
class RadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
    void nextCheckState() override { setChecked(true); }
};

std::unique_ptr<CWnd> MakeWrapper(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return std::make_unique<CButton>();
        case ControlKind::Static:
            return std::make_unique<CStatic>();
        case ControlKind::Edit:
            return std::make_unique<CEdit>();
        case ControlKind::ComboBox:
            return std::make_unique<CComboBox>();
        case ControlKind::ListBox:
            return std::make_unique<CListBox>();
        case ControlKind::TabControl:
            return std::make_unique<CTabCtrl>();
        case ControlKind::ListView:
            return std::make_unique<CListCtrl>();
        case ControlKind::Progress:
            return std::make_unique<CProgressCtrl>();
        case ControlKind::Pane:
            return std::make_unique<CWnd>();
    }
    return std::make_unique<CWnd>();
}

Qt::Alignment StaticAlignment(DWORD style) {
    switch (style & SS_TYPEMASK) {
        case SS_RIGHT:
            return Qt::AlignRight | Qt::AlignTop;
        case SS_CENTER:
            return Qt::AlignHCenter | Qt::AlignTop;
        default:
            return Qt::AlignLeft | Qt::AlignTop;
    }
}

Qt::Alignment EditAlignment(DWORD style) {
    switch (style & 0x3) {
        case ES_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case ES_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

}  // namespace

CControlHost::~CControlHost() { Destroy(); }

void CControlHost::Create(const DialogTemplate& tpl, QWidget* parent, const CDialogUnits& units,
                          const QFont& font) {
    std::vector<QWidget*> groupBoxes;
    for (const ControlTemplate& control : tpl.controls) {
        QWidget* widget = MakeWidget(control, parent, units, font);
        if (control.IsGroupBox()) groupBoxes.push_back(widget);
        AddControl(control.id, control.kind, control.style, widget);
        m_entries.back().autoRadio = control.IsRadioButton();
        if (!control.initialStrings.empty()) {
            if (auto* combo = dynamic_cast<CComboBox*>(m_entries.back().wrapper.get())) {
                for (const std::string& text : control.initialStrings) combo->AddString(text);
            } else if (auto* list = dynamic_cast<CListBox*>(m_entries.back().wrapper.get())) {
                for (const std::string& text : control.initialStrings) list->AddString(text);
            }
        }
    }
    // Group boxes lie beneath the controls they frame and let clicks through.
    for (QWidget* box : groupBoxes) box->lower();
    for (size_t i = 0; i < m_entries.size(); ++i) Connect(i);

    std::vector<LayoutItem> items;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const QRect r = m_entries[i].widget->geometry();
        LayoutItem item{{r.x(), r.y(), r.width(), r.height()}, LayoutItem::Role::Fixed};
        const ControlTemplate& control = tpl.controls[i];
        if (control.kind == ControlKind::ListView || control.kind == ControlKind::ListBox ||
            control.kind == ControlKind::Pane) {
            item.role = LayoutItem::Role::List;
        } else if (control.IsGroupBox() || control.kind == ControlKind::TabControl) {
            item.role = LayoutItem::Role::Frame;
        }
        items.push_back(item);
    }
    m_layout = std::make_unique<CDialogLayout>(std::move(items));
    m_laidOut = m_entries.size();
}

namespace {

// Hands the parent's new sizes to its host.
class SizeFollower : public QObject {
public:
    SizeFollower(QWidget* parent, CControlHost* host) : QObject(parent), m_host(host) {
        parent->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize && watched == parent()) {
            const auto* widget = static_cast<QWidget*>(watched);
            m_host->Place(widget->width(), widget->height());
        }
        return false;
    }

private:
    CControlHost* m_host;
};

}  // namespace

bool CControlHost::Stretches() const { return m_layout != nullptr && m_layout->Stretches(); }

void CControlHost::FollowSize(QWidget* parent, int baseWidth, int baseHeight) {
    m_baseWidth = baseWidth;
    m_baseHeight = baseHeight;
    delete m_follower;
    m_follower = new SizeFollower(parent, this);
    Place(parent->width(), parent->height());
}

void CControlHost::Place(int width, int height) {
    if (m_layout == nullptr) return;
    const std::vector<LayoutRect> rects = m_layout->Place(width - m_baseWidth, height - m_baseHeight);
    for (size_t i = 0; i < m_laidOut && i < m_entries.size(); ++i) {
        const LayoutRect& r = rects[i];
        m_entries[i].widget->setGeometry(r.x, r.y, r.cx, r.cy);
    }
}

QWidget* CControlHost::MakeWidget(const ControlTemplate& control, QWidget* parent,
                                  const CDialogUnits& units, const QFont& font) {
    const DWORD style = control.style;
    const QString text = ToQString(control.text);
    QWidget* widget = nullptr;
    QRect rect(units.X(control.x), units.Y(control.y), units.X(control.cx), units.Y(control.cy));
    Qt::FocusPolicy focus = style & WS_TABSTOP ? Qt::StrongFocus : Qt::ClickFocus;
    switch (control.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(parent);
            label->setTextFormat(Qt::PlainText);
            if (control.IsIcon()) {
                int size = GetSystemMetrics(SM_CXICON);
                rect.setSize(QSize(size, size));
                if (HICON icon = AfxGetResources().FindIcon(control.iconId)) {
                    label->setPixmap(AfxQIcon(icon).pixmap(size, size));
                }
            } else {
                label->setText(text);
                label->setAlignment(StaticAlignment(style));
            }
            if (style & SS_SUNKEN) {
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            } else if (style & WS_BORDER) {
                label->setFrameStyle(QFrame::Box | QFrame::Plain);
            }
            focus = Qt::NoFocus;
            widget = label;
            break;
        }
        case ControlKind::Button: {
            switch (control.ButtonType()) {
                case BS_GROUPBOX: {
                    auto* group = new QGroupBox(text, parent);
                    group->setAttribute(Qt::WA_TransparentForMouseEvents);
                    focus = Qt::NoFocus;
                    widget = group;
                    break;
                }
                case BS_AUTOCHECKBOX:
                    widget = new CheckBox(text, parent);
                    break;
                case BS_AUTORADIOBUTTON: {
                    auto* radio = new RadioButton(text, parent);
                    radio->setAutoExclusive(false);
                    widget = radio;
                    break;
                }
                default: {
                    auto* button = new QPushButton(text, parent);
                    button->setAutoDefault(false);
                    button->setDefault(control.ButtonType() == BS_DEFPUSHBUTTON);
                    widget = button;
                    break;
                }
            }
            break;
        }
        case ControlKind::Edit: {
            if (style & ES_MULTILINE) {
                auto* edit = new QPlainTextEdit(parent);
                edit->setReadOnly(style & ES_READONLY);
                edit->setVerticalScrollBarPolicy(style & WS_VSCROLL ? Qt::ScrollBarAsNeeded
                                                                    : Qt::ScrollBarAlwaysOff);
                edit->setHorizontalScrollBarPolicy(style & WS_HSCROLL ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
                if (!(style & WS_BORDER)) edit->setFrameStyle(QFrame::NoFrame);
                widget = edit;
            } else {
                auto* edit = new QLineEdit(parent);
                edit->setAlignment(EditAlignment(style));
                edit->setReadOnly(style & ES_READONLY);
                edit->setFrame(style & WS_BORDER);
                widget = edit;
            }
            break;
        }
        case ControlKind::ComboBox: {
            auto* combo = new QComboBox(parent);
            DWORD type = style & CBS_TYPEMASK;
            combo->setEditable(type != CBS_DROPDOWNLIST);
            combo->setInsertPolicy(QComboBox::NoInsert);
            // The template's height is that of the open list.
            int closed = combo->sizeHint().height();
            int itemHeight = QFontMetrics(font).height() + 2;
            combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / itemHeight));
            rect.setHeight(closed);
            widget = combo;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setVerticalScrollBarPolicy(style & WS_VSCROLL ? Qt::ScrollBarAsNeeded
                                                                : Qt::ScrollBarAlwaysOff);
            list->setHorizontalScrollBarPolicy(style & WS_HSCROLL ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
            if (!(style & WS_BORDER)) list->setFrameStyle(QFrame::NoFrame);
            widget = list;
            break;
        }
        case ControlKind::TabControl: {
            auto* tabs = new QTabBar(parent);
            tabs->setShape(style & TCS_BOTTOM ? QTabBar::RoundedSouth : QTabBar::RoundedNorth);
            tabs->setExpanding(false);
            tabs->setDrawBase(false);
            if (style & TCS_FOCUSNEVER) focus = Qt::NoFocus;
            widget = tabs;
            break;
        }
        case ControlKind::ListView: {
            auto* view = new CListViewWidget(style, parent);
            view->setFont(font);
            view->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
            widget = view;
            break;
        }
        case ControlKind::Progress: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            focus = Qt::NoFocus;
            widget = bar;
            break;
        }
        case ControlKind::Pane: {
            // The dialog's view goes in as the pane's one child and fills it.
            auto* pane = new QWidget(parent);
            auto* fill = new QVBoxLayout(pane);
            fill->setContentsMargins(0, 0, 0, 0);
            focus = Qt::NoFocus;
            widget = pane;
            break;
        }
    }
    widget->setFocusPolicy(focus);
    widget->setGeometry(rect);
    if (control.id != IDC_STATIC) widget->setObjectName(QString::number(control.id));
    if (style & WS_DISABLED) widget->setEnabled(false);
    // Explicitly, since a page's controls are made while the sheet is shown.
    widget->setVisible((style & WS_VISIBLE) != 0);
    return widget;
}

void CControlHost::AddControl(int id, ControlKind kind, DWORD style, QWidget* widget) {
    Entry entry{id, kind, style, false, widget, MakeWrapper(kind)};
    entry.wrapper->m_hWnd = widget;
    entry.wrapper->m_nID = id;
    entry.wrapper->m_dwStyle = style;
    entry.wrapper->m_pParentDialog = m_owner;
    AfxBindWidget(widget, entry.wrapper.get());
    m_entries.push_back(std::move(entry));
}

void CControlHost::Connect(size_t index) {
    const Entry& entry = m_entries[index];
    if (entry.id == IDC_STATIC) return;  // no handler can name it
    CWnd* owner = m_owner;
    const UINT id = static_cast<UINT>(entry.id);
    QWidget* widget = entry.widget;
    auto command = [owner, id, widget](UINT code) {
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(widget));
    };
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        bool radio = entry.autoRadio;
        QObject::connect(button, &QAbstractButton::clicked, button, [this, index, radio, command] {
            if (radio) CheckRadio(index);
            command(BN_CLICKED);
        });
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(line, &QLineEdit::textChanged, line, [command] { command(EN_CHANGE); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(plain, &QPlainTextEdit::textChanged, plain,
                         [command] { command(EN_CHANGE); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::activated, combo,
                         [command] { command(CBN_SELCHANGE); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        if (entry.style & LBS_NOTIFY) {
            QObject::connect(list, &QListWidget::itemSelectionChanged, list,
                             [command] { command(LBN_SELCHANGE); });
            QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                             [command] { command(LBN_DBLCLK); });
        }
    } else if (auto* view = dynamic_cast<CListViewWidget*>(widget)) {
        view->SetNotifySink([owner, id, widget](NMHDR* header) {
            header->hwndFrom = widget;
            header->idFrom = id;
            return owner->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(header));
        });
    } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        QObject::connect(tabs, &QTabBar::currentChanged, tabs, [owner, id, widget] {
            NMHDR header;
            header.hwndFrom = widget;
            header.idFrom = id;
            header.code = TCN_SELCHANGE;
            owner->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
        });
    }
}

void CControlHost::CheckRadio(size_t index) {
    size_t start = index;
    while (start > 0 && !(m_entries[start].style & WS_GROUP)) --start;
    size_t end = index + 1;
    while (end < m_entries.size() && !(m_entries[end].style & WS_GROUP)) ++end;
    for (size_t i = start; i < end; ++i) {
        if (!m_entries[i].autoRadio) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(m_entries[i].widget))
            button->setChecked(i == index);
    }
}

const CControlHost::Entry* CControlHost::FindEntry(int id) const {
    if (id == IDC_STATIC) return nullptr;
    for (const Entry& entry : m_entries) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

CWnd* CControlHost::Find(int id) const {
    const Entry* entry = FindEntry(id);
    return entry != nullptr ? Object(*entry) : nullptr;
}

void CControlHost::Attach(int id, CWnd& member) {
    auto* entry = const_cast<Entry*>(FindEntry(id));
    if (entry == nullptr)
        AfxFatal("DDX_Control: " + m_owner->Describe() + " has no control " + std::to_string(id));
    if (!member.AcceptsControl(entry->kind)) {
        AfxFatal("DDX_Control: the member for control " + std::to_string(id) + " of " +
                 m_owner->Describe() + " cannot stand for a " + ControlKindName(entry->kind));
    }
    member.m_hWnd = entry->widget;
    member.m_nID = id;
    member.m_dwStyle = entry->style;
    member.m_pParentDialog = m_owner;
    entry->member = &member;
    AfxBindWidget(entry->widget, &member);
}

std::vector<CButton*> CControlHost::RadioGroup(int firstId) const {
    size_t first = 0;
    while (first < m_entries.size() && m_entries[first].id != firstId) ++first;
    if (first == m_entries.size() || !m_entries[first].autoRadio ||
        !(m_entries[first].style & WS_GROUP)) {
        AfxFatal("DDX_Radio: control " + std::to_string(firstId) + " of " + m_owner->Describe() +
                 " is not an auto radio button that starts a group (WS_GROUP)");
    }
    std::vector<CButton*> group;
    for (size_t i = first; i < m_entries.size(); ++i) {
        if (i > first && (m_entries[i].style & WS_GROUP)) break;
        if (!m_entries[i].autoRadio) continue;
        auto* button = dynamic_cast<CButton*>(Object(m_entries[i]));
        if (button == nullptr)
            AfxFatal("DDX_Radio: the member for radio button " + std::to_string(m_entries[i].id) +
                     " of " + m_owner->Describe() + " is not a CButton");
        group.push_back(button);
    }
    return group;
}

QWidget* CControlHost::FirstTabStop() const {
    for (const Entry& entry : m_entries) {
        if ((entry.style & WS_TABSTOP) && !entry.widget->isHidden() && entry.widget->isEnabled() &&
            entry.widget->focusPolicy() != Qt::NoFocus) {
            return entry.widget;
        }
    }
    return nullptr;
}

void CControlHost::Destroy() {
    delete m_follower;
    m_follower = nullptr;
    m_layout.reset();
    for (Entry& entry : m_entries) {
        entry.widget->blockSignals(true);
        if (auto* view = dynamic_cast<CListViewWidget*>(entry.widget)) view->SetNotifySink(nullptr);
        AfxBindWidget(entry.widget, nullptr);
        if (entry.member != nullptr) {
            entry.member->m_hWnd = nullptr;
            entry.member->m_pParentDialog = nullptr;
        }
        entry.wrapper->m_hWnd = nullptr;
    }
    m_entries.clear();
}
