#include "ui/framework/ListCtrl.h"

#include <QBrush>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalBlocker>

#include "ui/framework/qt/ListViewWidget.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

CListViewWidget* View(HWND hwnd) {
    auto* view = dynamic_cast<CListViewWidget*>(hwnd);
    if (view == nullptr) AfxFatal("CListCtrl over a widget that is not a list view");
    return view;
}

bool ValidItem(const QTableWidget* view, int nItem) {
    return nItem >= 0 && nItem < view->rowCount();
}

bool ValidCell(const QTableWidget* view, int nItem, int nSubItem) {
    return ValidItem(view, nItem) && nSubItem >= 0 && nSubItem < view->columnCount();
}

QBrush Brush(COLORREF color) {
    if (color == CLR_DEFAULT) return QBrush();
    return QBrush(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
}

// Blocks the notifications of the view and of its selection.
struct Quiet {
    explicit Quiet(QTableWidget* view) : widget(view), selection(view->selectionModel()) {}
    QSignalBlocker widget;
    QSignalBlocker selection;
};

}  // namespace

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetExtendedStyle"));
    const DWORD previous = view->ExtendedStyle();
    view->SetExtendedStyle(dwNewStyle);
    return previous;
}

int CListCtrl::InsertColumn(int nCol, const std::string& heading, int nFormat, int nWidth) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::InsertColumn"));
    if (nCol < 0) return -1;
    if (nCol > view->columnCount()) nCol = view->columnCount();
    Quiet quiet(view);
    view->insertColumn(nCol);
    view->setHorizontalHeaderItem(nCol, new QTableWidgetItem(ToQString(heading)));
    for (int row = 0; row < view->rowCount(); ++row) {
        auto* cell = new QTableWidgetItem;
        cell->setData(CListViewWidget::kBytesRole, QByteArray());
        view->setItem(row, nCol, cell);
    }
    // Column 0 keeps the items' check boxes and data when a column goes before it.
    if (nCol == 0 && view->columnCount() > 1) {
        for (int row = 0; row < view->rowCount(); ++row) {
            QTableWidgetItem* old = view->item(row, 1);
            QTableWidgetItem* cell = view->item(row, 0);
            cell->setData(CListViewWidget::kDataRole, old->data(CListViewWidget::kDataRole));
            cell->setData(CListViewWidget::kCheckRole, old->data(CListViewWidget::kCheckRole));
            view->PrepareCell(old, 1);
        }
    }
    view->SetColumnFormat(nCol, nFormat);
    view->setColumnWidth(nCol, nWidth >= 0 ? nWidth : GetStringWidth(heading) + 16);
    return nCol;
}

BOOL CListCtrl::DeleteColumn(int nCol) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::DeleteColumn"));
    if (nCol < 0 || nCol >= view->columnCount()) return FALSE;
    Quiet quiet(view);
    view->removeColumn(nCol);
    if (nCol == 0) {
        for (int row = 0; row < view->rowCount(); ++row) view->PrepareCell(view->item(row, 0), 0);
    }
    return TRUE;
}

int CListCtrl::GetColumnCount() const {
    return View(CheckedHwnd("CListCtrl::GetColumnCount"))->columnCount();
}

BOOL CListCtrl::SetColumnHeading(int nCol, const std::string& heading) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetColumnHeading"));
    QTableWidgetItem* header = nCol >= 0 ? view->horizontalHeaderItem(nCol) : nullptr;
    if (header == nullptr) return FALSE;
    header->setText(ToQString(heading));
    return TRUE;
}

std::string CListCtrl::GetColumnHeading(int nCol) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetColumnHeading"));
    const QTableWidgetItem* header = nCol >= 0 ? view->horizontalHeaderItem(nCol) : nullptr;
    return header != nullptr ? FromQString(header->text()) : std::string();
}

int CListCtrl::GetColumnWidth(int nCol) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetColumnWidth"));
    return nCol >= 0 && nCol < view->columnCount() ? view->columnWidth(nCol) : 0;
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetColumnWidth"));
    if (nCol < 0 || nCol >= view->columnCount() || cx < LVSCW_AUTOSIZE_USEHEADER) return FALSE;
    if (cx == LVSCW_AUTOSIZE_USEHEADER) {
        view->resizeColumnToContents(nCol);
    } else {
        const QAbstractItemView* items = view;  // the cells only, not the heading
        view->setColumnWidth(nCol, cx == LVSCW_AUTOSIZE ? items->sizeHintForColumn(nCol) : cx);
    }
    return TRUE;
}

int CListCtrl::GetStringWidth(const std::string& text) const {
    return QFontMetrics(CheckedHwnd("CListCtrl::GetStringWidth")->font())
        .horizontalAdvance(ToQString(text));
}

int CListCtrl::InsertItem(int nItem, const std::string& text) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::InsertItem"));
    if (nItem < 0 || view->columnCount() == 0) return -1;
    if (nItem > view->rowCount()) nItem = view->rowCount();
    view->InsertRow(nItem);
    SetItemText(nItem, 0, text);
    return nItem;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::DeleteItem"));
    if (!ValidItem(view, nItem)) return FALSE;
    Quiet quiet(view);
    const bool wasSelected = view->selectionModel()->isRowSelected(nItem, QModelIndex());
    view->removeRow(nItem);
    // Qt may move the selection to a neighbour; the list view keeps none.
    if (wasSelected) view->clearSelection();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::DeleteAllItems"));
    Quiet quiet(view);
    view->setRowCount(0);
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    return View(CheckedHwnd("CListCtrl::GetItemCount"))->rowCount();
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const std::string& text) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetItemText"));
    if (!ValidCell(view, nItem, nSubItem)) return FALSE;
    Quiet quiet(view);
    QTableWidgetItem* cell = view->item(nItem, nSubItem);
    cell->setText(ToQString(text));
    cell->setData(CListViewWidget::kBytesRole,
                  QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    return TRUE;
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetItemText"));
    if (!ValidCell(view, nItem, nSubItem)) return std::string();
    const QByteArray raw =
        view->item(nItem, nSubItem)->data(CListViewWidget::kBytesRole).toByteArray();
    return std::string(raw.constData(), static_cast<size_t>(raw.size()));
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetItemData"));
    if (!ValidItem(view, nItem)) return FALSE;
    Quiet quiet(view);
    view->item(nItem, 0)->setData(CListViewWidget::kDataRole,
                                  QVariant::fromValue(static_cast<qulonglong>(dwData)));
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetItemData"));
    if (!ValidItem(view, nItem)) return 0;
    return static_cast<DWORD_PTR>(
        view->item(nItem, 0)->data(CListViewWidget::kDataRole).toULongLong());
}

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetCheck"));
    if (!ValidItem(view, nItem) || !(view->ExtendedStyle() & LVS_EX_CHECKBOXES)) return FALSE;
    Quiet quiet(view);
    QTableWidgetItem* cell = view->item(nItem, 0);
    const Qt::CheckState state = fCheck ? Qt::Checked : Qt::Unchecked;
    cell->setCheckState(state);
    cell->setData(CListViewWidget::kCheckRole, static_cast<int>(state));
    return TRUE;
}

BOOL CListCtrl::GetCheck(int nItem) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetCheck"));
    if (!ValidItem(view, nItem) || !(view->ExtendedStyle() & LVS_EX_CHECKBOXES)) return FALSE;
    return view->item(nItem, 0)->checkState() == Qt::Checked ? TRUE : FALSE;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetItemState"));
    if (!ValidItem(view, nItem)) return FALSE;
    Quiet quiet(view);
    QItemSelectionModel* selection = view->selectionModel();
    const QModelIndex index = view->model()->index(nItem, 0);
    if (nMask & LVIS_SELECTED) {
        const bool select = nState & LVIS_SELECTED;
        if (select && view->selectionMode() == QAbstractItemView::SingleSelection)
            selection->clearSelection();
        selection->select(index,
                          (select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                              QItemSelectionModel::Rows);
    }
    if (nMask & LVIS_FOCUSED) {
        if (nState & LVIS_FOCUSED) {
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        } else if (selection->currentIndex().row() == nItem) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
    view->viewport()->update();
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetItemState"));
    if (!ValidItem(view, nItem)) return 0;
    UINT state = 0;
    if (view->selectionModel()->isRowSelected(nItem, QModelIndex())) state |= LVIS_SELECTED;
    if (view->currentIndex().isValid() && view->currentIndex().row() == nItem)
        state |= LVIS_FOCUSED;
    if (view->ExtendedStyle() & LVS_EX_CHECKBOXES)
        state |= INDEXTOSTATEIMAGEMASK(GetCheck(nItem) ? 2 : 1);
    return state & nMask;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetNextItem"));
    for (int row = nItem < 0 ? 0 : nItem + 1; row < view->rowCount(); ++row) {
        const UINT state = GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED);
        if ((nFlags & LVNI_SELECTED) && !(state & LVIS_SELECTED)) continue;
        if ((nFlags & LVNI_FOCUSED) && !(state & LVIS_FOCUSED)) continue;
        return row;
    }
    return -1;
}

int CListCtrl::GetSelectedCount() const {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::GetSelectedCount"));
    return static_cast<int>(view->selectionModel()->selectedRows().size());
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::EnsureVisible"));
    if (!ValidItem(view, nItem)) return FALSE;
    const QModelIndex index = view->model()->index(
        nItem, view->currentIndex().isValid() ? view->currentIndex().column() : 0);
    view->scrollTo(
        index, bPartialOK ? QAbstractItemView::EnsureVisible : QAbstractItemView::PositionAtCenter);
    return TRUE;
}

BOOL CListCtrl::SetItemColors(int nItem, COLORREF crText, COLORREF crBack) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::SetItemColors"));
    if (!ValidItem(view, nItem)) return FALSE;
    Quiet quiet(view);
    for (int column = 0; column < view->columnCount(); ++column) {
        QTableWidgetItem* cell = view->item(nItem, column);
        cell->setForeground(Brush(crText));
        cell->setBackground(Brush(crBack));
    }
    return TRUE;
}

BOOL CListCtrl::EditLabel(int nItem, int nSubItem) {
    CListViewWidget* view = View(CheckedHwnd("CListCtrl::EditLabel"));
    if (!ValidCell(view, nItem, nSubItem) || !(view->Style() & LVS_EDITLABELS)) return FALSE;
    const QModelIndex index = view->model()->index(nItem, nSubItem);
    view->scrollTo(index);
    {
        const QSignalBlocker selection(view->selectionModel());
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    view->setFocus(Qt::OtherFocusReason);
    view->edit(index);
    return view->Editing() ? TRUE : FALSE;
}
