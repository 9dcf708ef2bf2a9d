// The main window around the conversions: its title and the question of
// unsaved changes, File New and Open with changes, undo and redo, the check
// of typed points, read-only outputs that are cleared on change, the status
// line, and what the window settings keep from one run to the next.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>

#include "res/resource.h"
#include "tests/ui/app/MainWindowTest.h"
#include "ui/app/WindowMemory.h"
#include "ui/framework/StatusLine.h"

namespace {

constexpr char kCloseQuestion[] = "要保存坐标转换文件吗?";

// A project file with these settings.
void WriteProject(const std::string& path, const std::function<void(ConversionSession&)>& set) {
    ConversionSession s;
    set(s);
    s.m_params.m_savedSourceDatum = s.m_sourceDatum;
    s.m_params.m_savedTargetDatum = s.m_targetDatum;
    s.m_params.m_savedUseFour = s.m_useFour;
    s.m_params.m_savedUseSeven = s.m_useSeven;
    std::string error;
    ASSERT_TRUE(s.SaveProject(path, &error)) << error;
}

ConversionSession ReadProject(const std::string& path) {
    ConversionSession s;
    std::string error;
    EXPECT_TRUE(s.LoadProject(path, &error)) << error;
    return s;
}

using WindowStateTest = MainWindowTest;

TEST_F(WindowStateTest, TitleNamesTheFileAndStarsChangesAndOnlyChangesAreAskedAbout) {
    const std::string path = dir.File("合肥.cod");
    WriteProject(path, [](ConversionSession&) {});
    CConvertDlg dlg;
    const Run run = RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        PressShortcut(w, "Ctrl+O");
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - 合肥.cod");
        ReplaceText(w, IDC_SOURCE_X, "3323964.539");
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - 合肥.cod *");
        ReplaceText(w, IDC_SOURCE_X, "");  // back as it was saved
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - 合肥.cod");
        Click(w, IDC_USE_FOUR);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - 合肥.cod *");
        PressShortcut(w, "Ctrl+S");
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - 合肥.cod");
        ClickCloseBox(w);  // saved: no question
    });
    EXPECT_FALSE(run.stillOpen);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
    EXPECT_EQ(ReadProject(path).m_params.m_savedUseFour, 1);
}

TEST_F(WindowStateTest, NewAndOpenWithChangesAskAndEachAnswerDoesWhatItSays) {
    const std::string a = dir.File("a.cod");
    const std::string b = dir.File("b.cod");
    WriteProject(a, [](ConversionSession&) {});
    WriteProject(b, [](ConversionSession& s) { s.m_targetDatum = 3; });
    const std::string bBytes = ReadBytes(b);
    g_projectPath = a;
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_USE_SEVEN);
        // 取消 keeps everything.
        Prompts().AnswerMessageBox(IDCANCEL);
        ClickMenuItem(w, ID_FILE_NEW);
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_CHECKED);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - a.cod *");
        Prompts().AnswerMessageBox(IDCANCEL);
        ClickMenuItem(w, ID_FILE_OPEN);  // no file dialog after 取消
        EXPECT_EQ(g_projectPath, a);
        // 是 saves, then New starts untitled at the defaults.
        Prompts().AnswerMessageBox(IDYES);
        ClickMenuItem(w, ID_FILE_NEW);
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_UNCHECKED);
        EXPECT_EQ(ReadProject(a).m_params.m_savedUseSeven, 1);
        // 否 gives the change up and opens the other file.
        SelectComboItem(w, IDC_SOURCE_DATUM, 2);
        Prompts().AnswerMessageBox(IDNO);
        Prompts().AnswerFileDialog(b);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - b.cod");
        EXPECT_EQ(ControlText(w, IDC_TARGET_DATUM), "WGS-72坐标系");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "北京-54坐标系  ");
    });
    ASSERT_EQ(Prompts().MessageBoxes().size(), 4u);
    for (const MessageBoxRequest& box : Prompts().MessageBoxes()) {
        EXPECT_EQ(box.text, kCloseQuestion);
        EXPECT_EQ(box.type, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    EXPECT_EQ(Prompts().FileDialogs().size(), 1u);
    EXPECT_EQ(ReadBytes(b), bBytes);
}

TEST_F(WindowStateTest, UndoAndRedoStepThroughChoicesAndAppliedResults) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        EXPECT_FALSE(MenuItemEnabled(w, ID_EDIT_UNDO));
        EXPECT_EQ(MenuItemText(w, ID_EDIT_UNDO), "撤销(&U)\tCtrl+Z");
        Click(w, IDC_USE_FOUR);
        // 计算三参数 stores its shifts, then shows them (closed with 取消).
        Prompts().ArmModal([](CWnd& d) {
            SelectComboItem(d, IDC_CALC_THREE_PLANE_DATUM, 1);
            Click(d, IDOK);
        });
        Prompts().ArmModal([](CWnd& d) { Click(d, IDCANCEL); });
        ClickMenuItem(w, IDM_CALC_THREE);
        const double shift = dlg.m_session.m_params.m_seven[0];
        ASSERT_NE(shift, 0.0);
        EXPECT_TRUE(MenuItemEnabled(w, ID_EDIT_UNDO));

        // Active again after the dialogs; in an edit field Ctrl+Z would undo
        // its typing, on a button it is the window's.
        w.GetSafeHwnd()->window()->activateWindow();
        QApplication::processEvents();
        ControlWidget(w, IDC_CONVERT)->setFocus();
        PressShortcut(w, "Ctrl+Z");
        EXPECT_EQ(dlg.m_session.m_params.m_seven[0], 0.0);
        EXPECT_EQ(dlg.m_session.m_inputs.m_calcDatumPlane, 0);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_CHECKED);
        ClickMenuItem(w, ID_EDIT_UNDO);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_UNCHECKED);
        EXPECT_FALSE(MenuItemEnabled(w, ID_EDIT_UNDO));
        EXPECT_EQ(w.GetWindowText(), "坐标转换");  // back at the state of the start

        PressShortcut(w, "Ctrl+Y");
        PressShortcut(w, "Ctrl+Y");
        EXPECT_EQ(dlg.m_session.m_params.m_seven[0], shift);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_CHECKED);
        EXPECT_FALSE(MenuItemEnabled(w, ID_EDIT_REDO));
        EXPECT_EQ(w.GetWindowText(), "坐标转换 *");
    });
}

TEST_F(WindowStateTest, BadNumbersAndAnglesAreNamedFocusedAndNotConverted) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_SOURCE_GEODETIC);
        Click(w, IDC_TARGET_PLANE);
        dlg.m_session.m_params.m_local1[3] = 1;
        TypePoint(w, "34.5", "abc", "0");
        // Decimal degrees are offered, never taken: 否 converts nothing.
        Prompts().AnswerMessageBox(IDNO);
        Click(w, IDC_CONVERT);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text,
                  "B 的值“34.5”不是 DDD:MM:SS.ffff 形式的角度。\n"
                  "要把它当作十进制度，换算为 034:30:00.000000 吗？");
        EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_X);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");
        // 是 takes them; then the longitude is refused.
        Prompts().AnswerMessageBox(IDYES);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X), "034:30:00.000000");
        ASSERT_EQ(Prompts().MessageBoxes().size(), 3u);
        EXPECT_EQ(Prompts().MessageBoxes()[2].text,
                  "L 的值“abc”不是 DDD:MM:SS.ffff 形式的角度。\n"
                  "请按 DDD:MM:SS.ffff（度:分:秒）的形式输入角度，例如 117:30:00.0000。");
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_Y);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");

        ReplaceText(w, IDC_SOURCE_Y, "117:00:00");
        ReplaceText(w, IDC_SOURCE_H, "12,5");
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(Prompts().MessageBoxes().back().text,
                  "H 的值“12,5”不是数字。\n请输入一个数，例如 12.345。");
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_H);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");

        ReplaceText(w, IDC_SOURCE_H, " 12.5 ");
        Click(w, IDC_CONVERT);
        EXPECT_NE(ControlText(w, IDC_TARGET_X), "");

        Click(w, IDC_SOURCE_PLANE);
        TypePoint(w, "3323964.539", "", "8");
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(Prompts().MessageBoxes().back().text, "y 没有数值。\n请输入一个数，例如 12.345。");
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_Y);
    });
}

TEST_F(WindowStateTest, OutputsAreReadOnlyAndClearedWhenAnInputOrSettingChanges) {
    CConvertDlg dlg;
    dlg.m_session.m_params.m_local1[3] = 1;
    RunWindow(dlg, [&](CWnd& w) {
        for (int id : {IDC_TARGET_X, IDC_TARGET_Y, IDC_TARGET_H}) {
            auto* edit = qobject_cast<QLineEdit*>(ControlWidget(w, id));
            ASSERT_NE(edit, nullptr);
            EXPECT_TRUE(edit->isReadOnly()) << id;
        }
        auto converted = [&] { return !ControlText(w, IDC_TARGET_X).empty(); };
        TypePoint(w, "3323964.539", "210469.669", "8");
        PressEnter(w);
        ASSERT_TRUE(converted());
        TypeText(w, IDC_SOURCE_H, "1");
        EXPECT_FALSE(converted());
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "");
        PressEnter(w);
        ASSERT_TRUE(converted());
        SelectComboItem(w, IDC_TARGET_DATUM, 2);
        EXPECT_FALSE(converted());
        PressEnter(w);
        ASSERT_TRUE(converted());
        Prompts().ArmModal([](CWnd& d) { Click(d, IDOK); });  // 投影设置, unchanged
        ClickMenuItem(w, IDM_PROJECTION);
        EXPECT_FALSE(converted());
        PressEnter(w);
        ASSERT_TRUE(converted());
        Click(w, IDC_TARGET_GEODETIC);
        EXPECT_FALSE(converted());
    });
}

TEST_F(WindowStateTest, StatusLineShowsDatumsProjectionSwitchesAndZoneChange) {
    const std::string path = dir.File("job.cod");
    WriteProject(path, [](ConversionSession& s) {
        s.m_sourceDatum = 1;
        s.m_targetDatum = 4;
        s.m_useSeven = 1;
        s.m_params.m_projBefore.kind = ProjectionKind::Gauss6;
        s.m_params.m_projBefore.centralMeridian = 117.0;
    });
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        EXPECT_EQ(AfxGetStatusText(dlg),
                  "北京-54 → 北京-54 | 高斯投影3度带 中央子午线 114° 第38带 | 七参数 关 | 四参数 关");
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(AfxGetStatusText(dlg),
                  "国家-80 → CGCS2000 | 高斯投影6度带 中央子午线 117° 第20带 | 七参数 开 | 四参数 关");
        Click(w, IDC_USE_FOUR);
        EXPECT_NE(AfxGetStatusText(dlg).find("四参数 开"), std::string::npos);
        // 换带计算: both dialogs with OK arm it.
        Prompts().ArmModal([](CWnd& d) { Click(d, IDOK); });
        Prompts().ArmModal([](CWnd& d) { Click(d, IDOK); });
        ClickMenuItem(w, IDM_ZONE_CHANGE);
        EXPECT_NE(AfxGetStatusText(dlg).find("| 换带 117° → 114°"), std::string::npos)
            << AfxGetStatusText(dlg);
    });
}

// Two runs of the application with the settings folder in the test's
// folder: the second opens each dialog where the first left it and lists
// the projects of the first in the File menu.
TEST_F(WindowStateTest, FoldersRecentProjectsAndFormatAreRememberedAcrossARestart) {
    const std::string jobs = dir.File("jobs");
    const std::string points = dir.File("points");
    std::filesystem::create_directories(jobs);
    std::filesystem::create_directories(points);
    const std::string a = jobs + "/a.cod";
    const std::string b = jobs + "/b.cod";
    WriteProject(a, [](ConversionSession& s) { s.m_sourceDatum = 2; });
    WriteProject(b, [](ConversionSession&) {});
    auto runApp = [&](const std::function<void(CWnd&)>& act) {
        auto run = Prompts().ArmModal(act);
        app.m_arguments = {"terrax"};
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(run->ran);
    };
    runApp([&](CWnd& w) {
        EXPECT_EQ(MenuItemText(w, ID_FILE_MRU_FILE1), "最近的文件");
        EXPECT_FALSE(MenuItemEnabled(w, ID_FILE_MRU_FILE1));
        Prompts().AnswerFileDialog(a);
        ClickMenuItem(w, ID_FILE_OPEN);
        Prompts().AnswerFileDialog(b);
        ClickMenuItem(w, ID_FILE_OPEN);
    });
    // A format the first run chose, as the format dialog stores it.
    FormatChoice chosen;
    chosen.m_formatName = "坐标";
    chosen.m_formatExtension = "txt";
    chosen.m_formatSeparator = ",";
    chosen.m_column[0] = 1;
    chosen.m_column[1] = 2;
    chosen.m_naming = 0;
    chosen.m_formatIndex = 3;
    StoreFormatChoice(chosen);
    EXPECT_TRUE(std::filesystem::exists(config.File("terrax/terrax.ini")));
    Prompts().VerifyAllUsed();

    runApp([&](CWnd& w) {
        EXPECT_EQ(MenuItemText(w, ID_FILE_MRU_FILE1), "&1 b.cod  (" + jobs + ")");
        EXPECT_EQ(MenuItemText(w, ID_FILE_MRU_FILE1 + 1), "&2 a.cod  (" + jobs + ")");
        ClickMenuItem(w, ID_FILE_MRU_FILE1 + 1);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - a.cod");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "WGS-84坐标系");
        EXPECT_EQ(MenuItemText(w, ID_FILE_MRU_FILE1), "&1 a.cod  (" + jobs + ")");
        Prompts().CancelFileDialog();
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(Prompts().FileDialogs().back().initialDir, jobs + "/");
        // The kept format: 浏览 is ready and opens on that format.
        SelectTab(w, IDC_MODE_TAB, 1);
        ASSERT_TRUE(ControlEnabled(w, IDC_BROWSE));
        Prompts().AnswerFileDialog(points + "/p.txt");
        Click(w, IDC_BROWSE);
        EXPECT_EQ(Prompts().FileDialogs().back().filter, "坐标(*.txt)|*.txt||");
        Prompts().CancelFileDialog();
        Click(w, IDC_BROWSE);
        EXPECT_EQ(Prompts().FileDialogs().back().initialDir, points + "/");
    });
    FormatChoice loaded;
    ASSERT_TRUE(LoadFormatChoice(&loaded));
    EXPECT_EQ(loaded.m_formatSeparator, ",");
    EXPECT_EQ(loaded.m_column[1], 2);
    EXPECT_EQ(loaded.m_column[2], -1);
    EXPECT_EQ(loaded.m_naming, 0);
    EXPECT_EQ(loaded.m_formatIndex, 3);
}

}  // namespace
