// The real Qt dialogs behind the seam, on the offscreen platform: Qt's own
// texts of the file dialog and of the edits' menus come in Chinese, and
// message boxes carry the application's title.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/UiTest.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/prompts/QtUiSeam.h"

namespace {

bool HasChinese(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    }
    return false;
}

// What 文件 → 打开 asks for, in `folder`.
FileDialogRequest OpenProjectRequest(const std::string& folder) {
    FileDialogRequest request;
    request.title = "打开坐标转换文件";
    request.filter = "坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||";
    request.initialDir = folder;
    return request;
}

class QtSeamTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        AfxSetUiSeam(&m_qtSeam);  // the real Qt dialogs
        // Qt's file dialog keeps its history there.
        m_configHome.emplace(TestPlatform::kConfigFolderVariable, m_config.Path());
    }
    void TearDown() override {
        m_configHome.reset();
        AfxSetUiSeam(&Prompts());
        UiTest::TearDown();
    }

    // Calls `act` with the modal dialog once it is shown and then rejects
    // it; a dialog that never shows fails the test within five seconds.
    void WhenShown(std::function<void(QDialog&)> act) {
        auto* timer = new QTimer;
        auto* clock = new QElapsedTimer;
        clock->start();
        QObject::connect(timer, &QTimer::timeout, [=] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            const bool late = clock->elapsed() > 5000;
            if ((dialog == nullptr || !dialog->isVisible()) && !late) return;
            timer->stop();
            timer->deleteLater();
            delete clock;
            if (dialog == nullptr) {
                ADD_FAILURE() << "no dialog was shown";
                return;
            }
            act(*dialog);
            dialog->reject();
        });
        timer->start(10);
    }

private:
    TestTempDir m_config;
    CQtUiSeam m_qtSeam;
    std::optional<ScopedEnv> m_configHome;
};

TEST_F(QtSeamTest, FileDialogSpeaksChinese) {
    TestTempDir dir;
    QStringList buttons, labels;
    WhenShown([&](QDialog& dialog) {
        EXPECT_NE(qobject_cast<QFileDialog*>(&dialog), nullptr);  // Qt's own, not the desktop's
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("打开坐标转换文件"));
        for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
            if (b->isVisible() && !b->text().isEmpty()) buttons << b->text();
        }
        for (QLabel* l : dialog.findChildren<QLabel*>()) {
            if (l->isVisible() && !l->text().isEmpty()) labels << l->text();
        }
    });
    std::vector<std::string> paths;
    EXPECT_FALSE(AfxGetUiSeam().ShowFileDialog(OpenProjectRequest(dir.Path()), &paths));
    // The accept and cancel buttons and the field labels are Qt's own texts.
    ASSERT_FALSE(buttons.isEmpty());
    EXPECT_TRUE(std::all_of(buttons.begin(), buttons.end(), HasChinese))
        << FromQString(buttons.join(" | "));
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("取消"))) << FromQString(buttons.join(" | "));
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_TRUE(std::all_of(labels.begin(), labels.end(), HasChinese))
        << FromQString(labels.join(" | "));
}

// The detail view shows a file's size, type and date whole, the date by the
// Chinese locale whatever the system's.
TEST_F(QtSeamTest, FileDialogShowsWholeDetailColumnsAndChineseDates) {
    TestTempDir dir;
    WriteBytes(dir.File("合肥.cod"), std::string(584, '\0'));
    const QDateTime modified =
        QFileInfo(QString::fromStdString(dir.File("合肥.cod"))).lastModified();
    QString date, size;
    int cut = -1;
    WhenShown([&](QDialog& dialog) {
        auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* model = view->model();
        // The folder is read on another thread.
        QModelIndex row;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            const QModelIndexList found =
                model->match(model->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                             QString::fromUtf8("合肥.cod"));
            if (!found.isEmpty()) {
                row = found.front();
                break;
            }
        }
        ASSERT_TRUE(row.isValid()) << "the file was not listed";
        QCoreApplication::processEvents();
        size = model->index(row.row(), 1, row.parent()).data().toString();
        date = model->index(row.row(), 3, row.parent()).data().toString();
        cut = 0;
        for (int column = 1; column <= 3; ++column) {
            const QAbstractItemView* cells = view;  // whose hint is public
            const int needed =
                std::max(cells->sizeHintForColumn(column), view->header()->sectionSizeHint(column));
            if (view->header()->sectionSize(column) < needed) ++cut;
        }
    });
    std::vector<std::string> paths;
    EXPECT_FALSE(AfxGetUiSeam().ShowFileDialog(OpenProjectRequest(dir.Path()), &paths));
    EXPECT_EQ(cut, 0) << "detail columns narrower than their texts";
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    EXPECT_EQ(date, chinese.toString(modified, QLocale::ShortFormat)) << FromQString(date);
    EXPECT_EQ(size, chinese.formattedDataSize(584)) << FromQString(size);
}

TEST_F(QtSeamTest, MessageBoxesCarryTheApplicationsTitle) {
    CWinApp app("坐标转换");
    QString title, text;
    WhenShown([&](QDialog& dialog) {
        title = dialog.windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) text = box->text();
    });
    EXPECT_EQ(AfxMessageBox("要保存坐标转换文件吗?", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(title, QString::fromUtf8("坐标转换"));
    EXPECT_EQ(text, QString::fromUtf8("要保存坐标转换文件吗?"));
}

TEST_F(QtSeamTest, EditMenusSpeakChinese) {
    QLineEdit edit;
    edit.setText("031:00:00.000");
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    int items = 0;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        ++items;
        EXPECT_TRUE(HasChinese(action->text())) << FromQString(action->text());
    }
    EXPECT_GE(items, 5);  // undo, redo, cut, copy, paste, delete, select all
}

TEST(QtNameFilters, TurnsBarSeparatedFiltersIntoQtsForm) {
    EXPECT_EQ(AfxQtNameFilters("坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||"),
              (std::vector<std::string>{"坐标转换文件 (*.cod)", "全部文件 (*.*)"}));
    EXPECT_EQ(AfxQtNameFilters("坐标(*.txt)|*.txt||"), (std::vector<std::string>{"坐标(*.txt)"}));
    EXPECT_EQ(AfxQtNameFilters("数据|*.txt;*.dat||"),
              (std::vector<std::string>{"数据 (*.txt *.dat)"}));
    EXPECT_TRUE(AfxQtNameFilters("").empty());
}

}  // namespace
