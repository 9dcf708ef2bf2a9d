#include "ui/framework/Edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

void CEdit::SetSel(int nStart, int nEnd) {
    QWidget* widget = CheckedHwnd("CEdit::SetSel");
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        int length = static_cast<int>(line->text().size());
        if (nStart < 0) {  // -1 removes the selection
            line->deselect();
            return;
        }
        int end = nEnd < 0 || nEnd > length ? length : nEnd;
        int start = nStart > length ? length : nStart;
        line->setSelection(start, end - start);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        if (nStart == 0 && nEnd < 0) text->selectAll();
    }
}


BOOL CEdit::SetReadOnly(BOOL bReadOnly) {
    QWidget* widget = CheckedHwnd("CEdit::SetReadOnly");
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setReadOnly(bReadOnly != FALSE);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        text->setReadOnly(bReadOnly != FALSE);
    }
    return TRUE;
}
