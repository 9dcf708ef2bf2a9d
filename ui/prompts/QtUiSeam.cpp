#include "ui/prompts/QtUiSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/framework/Wnd.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

QWidget* ParentFor(CWnd* parent) {
    if (parent != nullptr && parent->m_hWnd != nullptr) return parent->m_hWnd->window();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

}  // namespace

int CQtUiSeam::ShowMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(ParentFor(nullptr));
    box.setWindowTitle(ToQString(request.caption));
    box.setText(ToQString(request.text));
    UINT buttons = request.type & MB_TYPEMASK;
    UINT icon = request.type & MB_ICONMASK;
    if (icon == 0) {
        // As the framework does when a box names no icon.
        icon =
            buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    }
    switch (icon) {
        case MB_ICONSTOP:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            break;
    }
    std::vector<std::pair<QPushButton*, int>> answers;
    auto add = [&](const char* text, QMessageBox::ButtonRole role, int answer) {
        QPushButton* button = box.addButton(QString::fromUtf8(text), role);
        answers.emplace_back(button, answer);
        return button;
    };
    QPushButton* escape = nullptr;
    switch (buttons) {
        case MB_OKCANCEL:
            add("确定", QMessageBox::AcceptRole, IDOK);
            escape = add("取消", QMessageBox::RejectRole, IDCANCEL);
            break;
        case MB_YESNOCANCEL:
            add("是(&Y)", QMessageBox::YesRole, IDYES);
            add("否(&N)", QMessageBox::NoRole, IDNO);
            escape = add("取消", QMessageBox::RejectRole, IDCANCEL);
            break;
        case MB_YESNO:
            add("是(&Y)", QMessageBox::YesRole, IDYES);
            add("否(&N)", QMessageBox::NoRole, IDNO);
            break;
        default:
            escape = add("确定", QMessageBox::AcceptRole, IDOK);
            break;
    }
    box.setDefaultButton(answers.front().first);
    if (escape != nullptr) box.setEscapeButton(escape);
    box.exec();
    for (const auto& [button, answer] : answers) {
        if (box.clickedButton() == button) return answer;
    }
    return escape != nullptr ? IDCANCEL : IDNO;
}

bool CQtUiSeam::ShowFileDialog(const FileDialogRequest& request, std::vector<std::string>* paths) {
    QFileDialog dialog(ParentFor(request.parent), ToQString(request.title),
                       ToQString(request.initialDir));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // CFileDialog asks
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (request.flags & OFN_ALLOWMULTISELECT) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else if (request.open && (request.flags & OFN_FILEMUSTEXIST)) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    QStringList filters;
    for (const std::string& filter : AfxQtNameFilters(request.filter)) filters << ToQString(filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.fileName.empty()) dialog.selectFile(ToQString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return false;
    paths->clear();
    for (const QString& path : dialog.selectedFiles()) paths->push_back(FromQString(path));
    return !paths->empty();
}

std::vector<std::string> AfxQtNameFilters(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t bar = filter.find('|'); bar != std::string::npos; bar = filter.find('|', start)) {
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<std::string> filters;
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::string pattern = parts[i + 1];
        for (char& c : pattern) {
            if (c == ';') c = ' ';
        }
        const std::string& text = parts[i];
        std::string shown = "(" + pattern + ")";
        bool named = text.size() >= shown.size() &&
                     text.compare(text.size() - shown.size(), shown.size(), shown) == 0;
        filters.push_back(named ? text : text + " (" + pattern + ")");
    }
    return filters;
}
