// Every parameter dialog as it is shown: no text is cut off (the Chinese
// labels in the dialog font), no two controls overlap, every control lies
// inside its dialog and inside the group box it sits in.
#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

#include <tuple>

#include "tests/support/TestTempDir.h"
#include "tests/ui/params/ParamsTest.h"
#include "ui/framework/WindowSettings.h"
#include "ui/framework/PropertySheet.h"
#include "ui/framework/TabCtrl.h"
#include "ui/params/ParamCommands.h"

namespace {

// The width a control needs to show its whole text.
int NeededWidth(QWidget* widget) {
    const QFontMetrics fm(widget->font());
    if (auto* label = qobject_cast<QLabel*>(widget)) return fm.horizontalAdvance(label->text());
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return fm.horizontalAdvance(group->title()) + 2 * fm.averageCharWidth();
    if (auto* push = qobject_cast<QPushButton*>(widget))
        return fm.horizontalAdvance(push->text()) + 2 * fm.averageCharWidth();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->sizeHint().width();
    return 0;
}

void ExpectTidyLayout(CWnd& w) {
    QWidget* top = w.GetSafeHwnd()->window();
    std::vector<QWidget*> controls;
    std::vector<QGroupBox*> groups;
    for (QWidget* widget : top->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        if (auto* group = qobject_cast<QGroupBox*>(widget)) groups.push_back(group);
        const bool control = qobject_cast<QLabel*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QAbstractButton*>(widget);
        if (control && !qobject_cast<QGroupBox*>(widget)) controls.push_back(widget);
        if (control || qobject_cast<QGroupBox*>(widget)) {
            EXPECT_LE(NeededWidth(widget), widget->width())
                << "text cut off: " << widget->objectName().toStdString();
        }
    }
    ASSERT_FALSE(controls.empty());
    for (QWidget* c : controls) {
        const std::string name = c->objectName().toStdString();
        const QRect r(c->mapTo(top, QPoint(0, 0)), c->size());
        EXPECT_TRUE(top->rect().contains(r)) << name << " lies outside the window";
        for (QGroupBox* g : groups) {
            const QRect box(g->mapTo(top, QPoint(0, 0)), g->size());
            if (box.intersects(r)) {
                EXPECT_TRUE(box.contains(r)) << name << " crosses a group box";
            }
        }
        for (QWidget* other : controls) {
            if (other == c || other->parentWidget() != c->parentWidget()) continue;
            EXPECT_FALSE(c->geometry().intersects(other->geometry()))
                << name << " overlaps " << other->objectName().toStdString();
        }
    }
}

using LayoutTest = ParamsTest;

TEST_F(LayoutTest, EveryParameterDialogShowsItsTextsWholeAndNothingOverlaps) {
    const std::pair<const char*, void (*)(ConversionSession&)> commands[] = {
        {"投影设置", ParamCommands::OnProjectionSettings},
        {"坐标系统转换参数", ParamCommands::OnSevenParamSettings},
        {"计算三参数", ParamCommands::OnCalcThree},
        {"计算转换参数", ParamCommands::OnCalcFour},
        {"计算七参数", ParamCommands::OnCalcSeven},
        {"坐标系参数", ParamCommands::OnDatumList},
        {"多点计算参数", [](ConversionSession& session) { ParamCommands::OnCalcMulti(session); }},
        {"高程拟合", [](ConversionSession& session) { ParamCommands::OnCalcHeights(session); }},
    };
    for (const auto& [caption, command] : commands) {
        SCOPED_TRACE(caption);
        Next([caption](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), caption);
            ExpectTidyLayout(w);
            Click(w, IDCANCEL);
        });
        command(s);
        Prompts().VerifyAllUsed();
    }
}

// The dialogs with a list or table grow from their template's size; the
// list takes the room (sharing its width with a pane beside it, the
// residual plots of 多点计算参数 and 高程拟合) and the rest stays tidy. The others keep
// their size.
TEST_F(LayoutTest, DialogsWithAListGrowTheirListAndTheOthersKeepTheirSize) {
    const std::tuple<const char*, void (*)(ConversionSession&), int, int> commands[] = {
        {"坐标系参数", ParamCommands::OnDatumList, IDC_DATUMS, 0},
        {"多点计算参数", [](ConversionSession& session) { ParamCommands::OnCalcMulti(session); },
         IDC_CALC_MULTI_POINTS, IDC_CALC_MULTI_PLOT},
        {"高程拟合", [](ConversionSession& session) { ParamCommands::OnCalcHeights(session); },
         IDC_CALC_HEIGHTS_POINTS, IDC_CALC_HEIGHTS_PLOT},
        {"投影设置", ParamCommands::OnProjectionSettings, 0, 0},
        {"坐标系统转换参数", ParamCommands::OnSevenParamSettings, 0, 0},
        {"计算七参数", ParamCommands::OnCalcSeven, 0, 0},
    };
    for (const auto& [caption, command, listId, paneId] : commands) {
        SCOPED_TRACE(caption);
        Next([&, listId = listId, paneId = paneId](CWnd& w) {
            QWidget* top = w.GetSafeHwnd()->window();
            const QSize initial = top->size();
            if (listId == 0) {
                EXPECT_EQ(top->minimumSize(), top->maximumSize());
                Click(w, IDCANCEL);
                return;
            }
            EXPECT_EQ(top->minimumSize(), initial) << "the template is the smallest size";
            QWidget* list = ControlWidget(w, listId);
            QWidget* pane = paneId != 0 ? ControlWidget(w, paneId) : nullptr;
            const QSize before = list->size();
            const QSize paneBefore = pane != nullptr ? pane->size() : QSize();
            ResizeWindow(w, initial.width() + 300, initial.height() + 200);
            EXPECT_EQ(top->size(), initial + QSize(300, 200));
            if (pane == nullptr) {
                EXPECT_EQ(list->size(), before + QSize(300, 200));
            } else {
                EXPECT_EQ(list->size(), before + QSize(150, 200));
                EXPECT_EQ(pane->size(), paneBefore + QSize(150, 200));
                EXPECT_EQ(pane->y(), list->y());
                EXPECT_GT(pane->x(), list->x() + list->width()) << "beside the list";
            }
            ExpectTidyLayout(w);
            ResizeWindow(w, initial.width() - 50, initial.height() - 50);
            EXPECT_EQ(top->size(), initial);
            EXPECT_EQ(list->size(), before);
            if (pane != nullptr) {
                EXPECT_EQ(pane->size(), paneBefore);
            }
            Click(w, IDCANCEL);
        });
        command(s);
        Prompts().VerifyAllUsed();
    }
}

TEST_F(LayoutTest, AGrownDialogOpensAgainAtItsSizeFromTheWindowSettings) {
    TestTempDir dir;
    AfxSetWindowSettingsFile(dir.File("terrax.ini"));
    QSize grown;
    Next([&](CWnd& w) {
        QWidget* top = w.GetSafeHwnd()->window();
        grown = top->size() + QSize(120, 80);
        ResizeWindow(w, grown.width(), grown.height());
        Click(w, IDCANCEL);
    });
    ParamCommands::OnDatumList(s);
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetSafeHwnd()->window()->size(), grown);
        Click(w, IDCANCEL);
    });
    ParamCommands::OnDatumList(s);
    AfxSetWindowSettingsFile("");
}

TEST_F(LayoutTest, BothLocalTransformPagesShowTheirTextsWhole) {
    Next([](CWnd& w) {
        ExpectTidyLayout(*dynamic_cast<CPropertySheet&>(w).GetPage(0));
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ExpectTidyLayout(*dynamic_cast<CPropertySheet&>(w).GetPage(1));
        Click(w, IDCANCEL);
    });
    ParamCommands::OnFourParamSettings(s);
}

}  // namespace
