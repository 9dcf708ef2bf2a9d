// The Qt widget of a list view in report view (CListCtrl): a table whose
// rows are the items and whose columns are the item and its subitems. It
// turns the user's actions into notifications for its owner: a check box
// clicked or a row selected or left (LVN_ITEMCHANGED), a cell about to be
// edited (LVN_BEGINLABELEDIT), the text typed into it (LVN_ENDLABELEDIT)
// and the clipboard's text pasted (LVN_PASTE). Ctrl+C copies the selected
// rows, with the headings as the first row, as tab-separated text.
// Changes made through CListCtrl are made with the signals blocked and send
// nothing.
#pragma once

#include <QTableWidget>
#include <functional>
#include <string>

#include "ui/resources/WinDef.h"

class CListViewWidget : public QTableWidget {
public:
    // Data of a row's column-0 item beyond its text.
    static constexpr int kBytesRole = Qt::UserRole;      // the text's bytes, as set
    static constexpr int kDataRole = Qt::UserRole + 1;   // SetItemData
    static constexpr int kCheckRole = Qt::UserRole + 2;  // check state last reported

    CListViewWidget(DWORD style, QWidget* parent);

    DWORD Style() const { return m_style; }
    DWORD ExtendedStyle() const { return m_exStyle; }
    void SetExtendedStyle(DWORD exStyle);

    // Where notifications go: the header's hwndFrom, idFrom and code are
    // filled in by the sink; it returns the owner's result.
    void SetNotifySink(std::function<LRESULT(NMHDR*)> sink) { m_sink = std::move(sink); }
    LRESULT Notify(NMHDR* header) const { return m_sink ? m_sink(header) : 0; }

    // A new row of empty cells, check box cleared, at `row`.
    void InsertRow(int row);
    // Gives every cell of column `column` the flags and alignment of the control.
    void PrepareCell(QTableWidgetItem* item, int column) const;
    // Alignment of a column's cells (LVCFMT_).
    void SetColumnFormat(int column, int format);
    // A cell's editor is open.
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

    // The headings and the selected rows, in order, as TabSeparatedRows
    // gives them; empty when no row is selected.
    std::string SelectedRowsText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnItemChanged(QTableWidgetItem* item);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

    DWORD m_style;
    DWORD m_exStyle = 0;
    std::function<LRESULT(NMHDR*)> m_sink;
};
