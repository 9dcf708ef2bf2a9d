#include "ui/framework/StatusLine.h"

#include <QLabel>

#include "ui/framework/Dialog.h"
#include "ui/framework/Fatal.h"
#include "ui/framework/qt/DialogWidget.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

CDialogWidget* DialogWidgetOf(const CDialog& dialog) {
    return dynamic_cast<CDialogWidget*>(dialog.GetSafeHwnd());
}

}  // namespace

void AfxSetStatusText(CDialog& dialog, const std::string& text) {
    CDialogWidget* widget = DialogWidgetOf(dialog);
    if (widget == nullptr) AfxFatal("AfxSetStatusText on " + dialog.Describe() + ", which is not open");
    auto* line = qobject_cast<QLabel*>(widget->StatusBar());
    if (line == nullptr) {
        line = new QLabel(widget);
        line->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        line->setContentsMargins(4, 1, 4, 1);
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);
        line->setTextFormat(Qt::PlainText);
        line->setText(ToQString(text));
        widget->SetStatusBar(line);
        line->show();
        return;
    }
    line->setText(ToQString(text));
}

std::string AfxGetStatusText(const CDialog& dialog) {
    CDialogWidget* widget = DialogWidgetOf(dialog);
    auto* line = widget != nullptr ? qobject_cast<QLabel*>(widget->StatusBar()) : nullptr;
    return line != nullptr ? FromQString(line->text()) : std::string();
}
