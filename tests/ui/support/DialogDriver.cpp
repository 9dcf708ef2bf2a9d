#include "tests/ui/support/DialogDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>

#include "ui/framework/Wnd.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

namespace {

QWidget* VisibleControl(CWnd& window, int id, const char* action) {
    QWidget* widget = ControlWidget(window, id);
    if (!widget->isVisible()) {
        ADD_FAILURE() << action << ": control " << id << " of " << window.Describe()
                      << " is not visible";
        return nullptr;
    }
    return widget;
}

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

void TypeInto(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString unit = text.mid(i, text.at(i).isHighSurrogate() ? 2 : 1);
        i += unit.size() - 1;
        QChar c = unit.at(0);
        int key = c.unicode() < 0x80 && c.isLetterOrNumber() ? int{c.toUpper().unicode()}
                                                             : int{Qt::Key_unknown};
        if (c == QLatin1Char(' ')) key = Qt::Key_Space;
        SendKey(widget, key, Qt::NoModifier, unit);
    }
}

QWidget* KeyTarget(CWnd& window) {
    QWidget* top = window.GetSafeHwnd()->window();
    QWidget* focus = top->focusWidget();
    return focus != nullptr ? focus : top;
}

QTableWidget* VisibleTable(CWnd& window, int id, int item, const char* action) {
    auto* table = qobject_cast<QTableWidget*>(VisibleControl(window, id, action));
    if (table == nullptr) return nullptr;
    if (item < 0 || item >= table->rowCount()) {
        ADD_FAILURE() << action << ": list view " << id << " has no item " << item;
        return nullptr;
    }
    return table;
}

// The cell scrolled into view, and its rectangle in the viewport.
QRect CellRect(QTableWidget* table, int item, int subItem) {
    const QModelIndex index = table->model()->index(item, subItem);
    table->scrollTo(index);
    return table->visualRect(index);
}

QAction* FindAction(const QList<QAction*>& actions, UINT id) {
    for (QAction* action : actions) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindAction(action->menu()->actions(), id)) return found;
        } else if (!action->isSeparator() && action->data().toUInt() == id) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

QWidget* ControlWidget(CWnd& window, int id) { return window.GetDlgItem(id)->GetSafeHwnd(); }

void TypeText(CWnd& window, int id, const std::string& text) {
    QWidget* widget = VisibleControl(window, id, "TypeText");
    if (widget == nullptr) return;
    widget->setFocus(Qt::MouseFocusReason);
    SendKey(widget, Qt::Key_End, Qt::NoModifier, QString());
    TypeInto(widget, ToQString(text));
}

void ReplaceText(CWnd& window, int id, const std::string& text) {
    QWidget* widget = VisibleControl(window, id, "ReplaceText");
    if (widget == nullptr) return;
    widget->setFocus(Qt::MouseFocusReason);
    SendKey(widget, Qt::Key_A, Qt::ControlModifier, QString());
    if (text.empty()) {
        SendKey(widget, Qt::Key_Delete, Qt::NoModifier, QString());
    } else {
        TypeInto(widget, ToQString(text));
    }
}

void Click(CWnd& window, int id) {
    QWidget* widget = VisibleControl(window, id, "Click");
    if (widget == nullptr) return;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void SelectComboItem(CWnd& window, int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(VisibleControl(window, id, "SelectComboItem"));
    if (combo == nullptr) return;
    if (!combo->isEnabled()) return;
    if (index < 0 || index >= combo->count()) {
        ADD_FAILURE() << "SelectComboItem: combo box " << id << " has no entry " << index;
        return;
    }
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void SelectListItem(CWnd& window, int id, int index) {
    auto* list = qobject_cast<QListWidget*>(VisibleControl(window, id, "SelectListItem"));
    if (list == nullptr) return;
    if (index < 0 || index >= list->count()) {
        ADD_FAILURE() << "SelectListItem: list box " << id << " has no entry " << index;
        return;
    }
    list->scrollToItem(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(list->item(index)).center());
}

void DoubleClickListItem(CWnd& window, int id, int index) {
    auto* list = qobject_cast<QListWidget*>(VisibleControl(window, id, "DoubleClickListItem"));
    if (list == nullptr) return;
    if (index < 0 || index >= list->count()) {
        ADD_FAILURE() << "DoubleClickListItem: list box " << id << " has no entry " << index;
        return;
    }
    list->scrollToItem(list->item(index));
    QPoint at = list->visualItemRect(list->item(index)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void SelectTab(CWnd& window, int id, int index) {
    auto* tabs = qobject_cast<QTabBar*>(VisibleControl(window, id, "SelectTab"));
    if (tabs == nullptr) return;
    if (index < 0 || index >= tabs->count()) {
        ADD_FAILURE() << "SelectTab: tab control " << id << " has no tab " << index;
        return;
    }
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(index).center());
}

void SelectListViewItem(CWnd& window, int id, int item) {
    QTableWidget* table = VisibleTable(window, id, item, "SelectListViewItem");
    if (table == nullptr) return;
    const QRect cell = CellRect(table, item, table->columnCount() - 1);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void ClickListViewCheck(CWnd& window, int id, int item) {
    QTableWidget* table = VisibleTable(window, id, item, "ClickListViewCheck");
    if (table == nullptr) return;
    if (!(table->item(item, 0)->flags() & Qt::ItemIsUserCheckable)) {
        ADD_FAILURE() << "ClickListViewCheck: item " << item << " of list view " << id
                      << " has no check box";
        return;
    }
    // Where the style draws the check box of the cell.
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = CellRect(table, item, 0);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = table->item(item, 0)->text();
    const QRect check =
        table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, check.center());
}

bool EditListViewCell(CWnd& window, int id, int item, int subItem, const std::string& text) {
    QTableWidget* table = VisibleTable(window, id, item, "EditListViewCell");
    if (table == nullptr) return false;
    if (subItem < 0 || subItem >= table->columnCount()) {
        ADD_FAILURE() << "EditListViewCell: list view " << id << " has no column " << subItem;
        return false;
    }
    const QRect cell = CellRect(table, item, subItem);
    // Away from the check box of column 0.
    const QPoint at(subItem == 0 ? cell.right() - 2 : cell.center().x(), cell.center().y());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    SendKey(table, Qt::Key_F2, Qt::NoModifier, QString());
    QLineEdit* editor = nullptr;
    for (QLineEdit* line : table->viewport()->findChildren<QLineEdit*>()) {
        if (line->isVisible()) editor = line;
    }
    if (editor == nullptr) return false;
    SendKey(editor, Qt::Key_A, Qt::ControlModifier, QString());
    if (text.empty()) {
        SendKey(editor, Qt::Key_Delete, Qt::NoModifier, QString());
    } else {
        TypeInto(editor, ToQString(text));
    }
    SendKey(editor, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    // The view takes the text from the event loop.
    QApplication::processEvents();
    return true;
}

void PressEnter(CWnd& window) {
    SendKey(KeyTarget(window), Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
}

void PressEscape(CWnd& window) {
    SendKey(KeyTarget(window), Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
}

void ResizeWindow(CWnd& window, int width, int height) {
    window.GetSafeHwnd()->window()->resize(width, height);
    QApplication::processEvents();
}

void PressShortcut(CWnd& window, const std::string& keys) {
    const QKeySequence sequence(QString::fromStdString(keys));
    if (sequence.isEmpty()) {
        ADD_FAILURE() << "PressShortcut: no key in \"" << keys << "\"";
        return;
    }
    const QKeyCombination combination = sequence[0];
    QTest::keyClick(KeyTarget(window), combination.key(), combination.keyboardModifiers());
    // A shortcut may come through the window system's queue.
    QApplication::processEvents();
}

void PressTab(CWnd& window, bool backwards) {
    QTest::keyClick(KeyTarget(window), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                    backwards ? Qt::ShiftModifier : Qt::NoModifier);
}

std::string ClipboardText() { return FromQString(QGuiApplication::clipboard()->text()); }

void SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

void ClickCloseBox(CWnd& window) { window.GetSafeHwnd()->window()->close(); }

void ClickMenuItem(CWnd& window, UINT commandId) {
    auto* bar = window.GetSafeHwnd()->window()->findChild<QMenuBar*>();
    if (bar == nullptr) {
        ADD_FAILURE() << "ClickMenuItem: " << window.Describe() << " has no menu";
        return;
    }
    QAction* action = FindAction(bar->actions(), commandId);
    if (action == nullptr) {
        ADD_FAILURE() << "ClickMenuItem: the menu of " << window.Describe() << " has no command "
                      << commandId;
        return;
    }
    if (!action->isEnabled()) {
        ADD_FAILURE() << "ClickMenuItem: command " << commandId << " is disabled";
        return;
    }
    action->trigger();
}

std::string ControlText(CWnd& window, int id) { return window.GetDlgItem(id)->GetWindowText(); }

int ControlCheck(CWnd& window, int id) {
    auto* button = qobject_cast<QAbstractButton*>(ControlWidget(window, id));
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

bool ControlEnabled(CWnd& window, int id) {
    return window.GetDlgItem(id)->IsWindowEnabled() != FALSE;
}

bool ControlVisible(CWnd& window, int id) {
    return window.GetDlgItem(id)->IsWindowVisible() != FALSE;
}

int FocusedControlId(CWnd& window) {
    QWidget* focus = window.GetSafeHwnd()->window()->focusWidget();
    CWnd* wnd = AfxWndFromWidget(focus);
    return wnd != nullptr && wnd != &window ? wnd->GetDlgCtrlID() : 0;
}

::testing::AssertionResult TemplateHasControl(int dialogId, int controlId, ControlKind kind) {
    const DialogTemplate* tpl = AfxGetResources().FindDialog(dialogId);
    if (tpl == nullptr) return ::testing::AssertionFailure() << "no dialog template " << dialogId;
    const ControlTemplate* control = tpl->FindControl(controlId);
    if (control == nullptr) {
        return ::testing::AssertionFailure()
               << "dialog " << dialogId << " has no control " << controlId;
    }
    if (control->kind != kind) {
        return ::testing::AssertionFailure()
               << "control " << controlId << " of dialog " << dialogId << " is a "
               << ControlKindName(control->kind) << ", not a " << ControlKindName(kind);
    }
    return ::testing::AssertionSuccess();
}

namespace {
QAction* MenuAction(CWnd& window, UINT commandId) {
    auto* bar = window.GetSafeHwnd()->window()->findChild<QMenuBar*>();
    return bar != nullptr ? FindAction(bar->actions(), commandId) : nullptr;
}
}  // namespace

std::string MenuItemText(CWnd& window, UINT commandId) {
    QAction* action = MenuAction(window, commandId);
    return action != nullptr ? action->text().toStdString() : std::string();
}

bool MenuItemEnabled(CWnd& window, UINT commandId) {
    QAction* action = MenuAction(window, commandId);
    return action != nullptr && action->isEnabled();
}
