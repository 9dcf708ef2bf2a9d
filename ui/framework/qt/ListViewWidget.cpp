#include "ui/framework/qt/ListViewWidget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/framework/qt/QtGlue.h"
#include "ui/framework/qt/TableText.h"

namespace {

Qt::Alignment ColumnAlignment(int format) {
    switch (format & 0x3) {
        case LVCFMT_RIGHT:
            return Qt::AlignRight | Qt::AlignVCenter;
        case LVCFMT_CENTER:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// Asks the owner before a cell is edited and hands it the text after.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(CListViewWidget* view) : QStyledItemDelegate(view), m_view(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        NMLVDISPINFO info;
        info.hdr.code = LVN_BEGINLABELEDIT;
        info.item.iItem = index.row();
        info.item.iSubItem = index.column();
        if (m_view->Notify(&info.hdr) != 0) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        QTableWidgetItem* item = m_view->item(index.row(), index.column());
        if (line == nullptr || item == nullptr) return;
        std::string text = FromQString(line->text());
        NMLVDISPINFO info;
        info.hdr.code = LVN_ENDLABELEDIT;
        info.item.mask = LVIF_TEXT;
        info.item.iItem = index.row();
        info.item.iSubItem = index.column();
        info.item.pszText = text.data();
        info.item.cchTextMax = static_cast<int>(text.size()) + 1;
        if (m_view->Notify(&info.hdr) == 0) return;
        // The owner may have removed the row meanwhile.
        item = m_view->item(index.row(), index.column());
        if (item == nullptr) return;
        item->setText(line->text());
        item->setData(CListViewWidget::kBytesRole,
                      QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }

private:
    CListViewWidget* m_view;
};

}  // namespace

CListViewWidget::CListViewWidget(DWORD style, QWidget* parent)
    : QTableWidget(parent), m_style(style) {
    setItemDelegate(new CellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(style & LVS_SINGLESEL ? QAbstractItemView::SingleSelection
                                           : QAbstractItemView::ExtendedSelection);
    setEditTriggers(style & LVS_EDITLABELS
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    // Tab leaves the control, as from a list view on Windows.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setMinimumSectionSize(8);
    horizontalHeader()->setStretchLastSection(false);
    if (!(style & WS_BORDER)) setFrameStyle(QFrame::NoFrame);
    connect(this, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { OnItemChanged(item); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                OnSelectionChanged(selected, deselected);
            });
}

void CListViewWidget::SetExtendedStyle(DWORD exStyle) {
    m_exStyle = exStyle;
    setShowGrid(exStyle & LVS_EX_GRIDLINES);
    const QSignalBlocker blocker(this);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column)
            PrepareCell(item(row, column), column);
    }
}

void CListViewWidget::PrepareCell(QTableWidgetItem* cell, int column) const {
    if (cell == nullptr) return;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_style & LVS_EDITLABELS) flags |= Qt::ItemIsEditable;
    const bool checkable = column == 0 && (m_exStyle & LVS_EX_CHECKBOXES);
    if (checkable) flags |= Qt::ItemIsUserCheckable;
    cell->setFlags(flags);
    if (checkable) {
        const QVariant state = cell->data(kCheckRole);
        cell->setCheckState(state.isValid() && state.toInt() == Qt::Checked ? Qt::Checked
                                                                            : Qt::Unchecked);
        cell->setData(kCheckRole, static_cast<int>(cell->checkState()));
    } else {
        cell->setData(Qt::CheckStateRole, QVariant());
    }
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    cell->setTextAlignment(
        ColumnAlignment(header != nullptr ? header->data(Qt::UserRole).toInt() : LVCFMT_LEFT));
}

void CListViewWidget::SetColumnFormat(int column, int format) {
    if (QTableWidgetItem* header = horizontalHeaderItem(column)) {
        header->setData(Qt::UserRole, format);
        header->setTextAlignment(ColumnAlignment(format));
    }
    const QSignalBlocker blocker(this);
    for (int row = 0; row < rowCount(); ++row) PrepareCell(item(row, column), column);
}

void CListViewWidget::InsertRow(int row) {
    const QSignalBlocker blocker(this);
    const QSignalBlocker selection(selectionModel());
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* cell = new QTableWidgetItem;
        cell->setData(kBytesRole, QByteArray());
        if (column == 0) cell->setData(kCheckRole, static_cast<int>(Qt::Unchecked));
        PrepareCell(cell, column);
        setItem(row, column, cell);
    }
}

void CListViewWidget::OnItemChanged(QTableWidgetItem* cell) {
    if (cell->column() != 0 || !(cell->flags() & Qt::ItemIsUserCheckable)) return;
    const int before = cell->data(kCheckRole).toInt();
    const int now = static_cast<int>(cell->checkState());
    if (before == now) return;
    {
        const QSignalBlocker blocker(this);
        cell->setData(kCheckRole, now);
    }
    NMLISTVIEW info;
    info.hdr.code = LVN_ITEMCHANGED;
    info.iItem = cell->row();
    info.uChanged = LVIF_STATE;
    info.uOldState = INDEXTOSTATEIMAGEMASK(before == Qt::Checked ? 2 : 1);
    info.uNewState = INDEXTOSTATEIMAGEMASK(now == Qt::Checked ? 2 : 1);
    Notify(&info.hdr);
}

void CListViewWidget::OnSelectionChanged(const QItemSelection& selected,
                                         const QItemSelection& deselected) {
    QSet<int> left, entered;
    for (const QModelIndex& index : deselected.indexes()) left.insert(index.row());
    for (const QModelIndex& index : selected.indexes()) entered.insert(index.row());
    // Rows left first, then rows entered, each in order, once.
    for (const bool selecting : {false, true}) {
        QList<int> rows = (selecting ? entered : left).values();
        std::sort(rows.begin(), rows.end());
        for (int row : rows) {
            if (selectionModel()->isRowSelected(row, QModelIndex()) != selecting) continue;
            NMLISTVIEW info;
            info.hdr.code = LVN_ITEMCHANGED;
            info.iItem = row;
            info.uChanged = LVIF_STATE;
            info.uOldState = selecting ? 0 : LVIS_SELECTED;
            info.uNewState = selecting ? LVIS_SELECTED : 0;
            Notify(&info.hdr);
        }
    }
}

std::string CListViewWidget::SelectedRowsText() const {
    QList<int> selected;
    for (const QModelIndex& index : selectionModel()->selectedRows()) selected.append(index.row());
    if (selected.isEmpty()) return std::string();
    std::sort(selected.begin(), selected.end());
    std::vector<std::vector<std::string>> rows(1);
    for (int column = 0; column < columnCount(); ++column) {
        const QTableWidgetItem* header = horizontalHeaderItem(column);
        rows[0].push_back(header != nullptr ? FromQString(header->text()) : std::string());
    }
    for (int row : selected) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (int column = 0; column < columnCount(); ++column) {
            const QTableWidgetItem* cell = item(row, column);
            const QByteArray raw =
                cell != nullptr ? cell->data(kBytesRole).toByteArray() : QByteArray();
            cells.emplace_back(raw.constData(), static_cast<std::size_t>(raw.size()));
        }
    }
    return TabSeparatedRows(rows);
}

void CListViewWidget::keyPressEvent(QKeyEvent* event) {
    // Qt's own copy takes the current cell only.
    if (event->matches(QKeySequence::Copy)) {
        const std::string text = SelectedRowsText();
        if (!text.empty()) QGuiApplication::clipboard()->setText(ToQString(text));
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        const std::string text = FromQString(QGuiApplication::clipboard()->text());
        NMLVPASTE info;
        info.hdr.code = LVN_PASTE;
        info.pszText = text.c_str();
        Notify(&info.hdr);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
