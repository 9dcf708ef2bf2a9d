#include "ui/prompts/QtUiSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>

#include "ui/framework/Wnd.h"
#include "ui/framework/qt/QtGlue.h"

namespace {

QWidget* ParentFor(CWnd* parent) {
    if (parent != nullptr && parent->m_hWnd != nullptr) return parent->m_hWnd->window();
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

// The file dialog's model shows sizes and dates as Qt's model does, but by
// the Chinese locale of the program's dialogs instead of the user's system
// locale.
class ChineseFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        switch (index.column()) {
            case kSizeColumn:
                if (files->isDir(source)) break;
                return chinese.formattedDataSize(files->size(source));
            case kDateColumn:
                return chinese.toString(files->lastModified(source), QLocale::ShortFormat);
            default:
                break;
        }
        return QIdentityProxyModel::data(index, role);
    }

    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

// The detail columns (size, type, date) as wide as their texts once the
// folder is read, the name column taking the rest.
void FitFileColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* files = dialog.findChild<QFileSystemModel*>();
    if (view == nullptr || files == nullptr) return;
    auto fit = [view] {
        for (int column = 1; column < view->model()->columnCount(); ++column)
            view->resizeColumnToContents(column);
    };
    QObject::connect(files, &QFileSystemModel::directoryLoaded, view, fit);
    fit();
    // Room for the name beside them.
    const int em = dialog.fontMetrics().horizontalAdvance(QLatin1Char('M'));
    dialog.resize(std::max(dialog.width(), 64 * em), std::max(dialog.height(), 30 * em));
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
    dialog.setViewMode(QFileDialog::Detail);  // size, type and date beside the name
    dialog.setProxyModel(new ChineseFileColumns(&dialog));
    dialog.setLocale(QLocale(QLocale::Chinese, QLocale::China));
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
    FitFileColumns(dialog);
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
