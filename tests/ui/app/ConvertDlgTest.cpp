// The main window driven as a user drives it: start-up state, single-point
// conversion through the controls, the radio labels, the File menu and the
// close question, and loading files that are damaged or hold values that no
// control can show.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "res/resource.h"
#include "session/AppPaths.h"
#include "session/Globals.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/Unprivileged.h"
#include "tests/ui/app/MainWindowTest.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/ConvertApp.h"
#include "ui/app/ConvertDlg.h"
#include "ui/framework/DesktopOpener.h"
#include "ui/framework/TabCtrl.h"

namespace {

constexpr char kBeijing54[] = "北京-54坐标系  ";
constexpr char kCloseQuestion[] = "要保存坐标转换文件吗?";


TEST_F(MainWindowTest, StartsWithPlaneKindsBeijing54AndEmptyFields) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_PLANE), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_TARGET_PLANE), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_SPACE), BST_UNCHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_TARGET_SPACE), BST_UNCHECKED);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), kBeijing54);
        EXPECT_EQ(ControlText(w, IDC_TARGET_DATUM), kBeijing54);
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_UNCHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_UNCHECKED);
        for (int id :
             {IDC_SOURCE_X, IDC_SOURCE_Y, IDC_SOURCE_H, IDC_TARGET_X, IDC_TARGET_Y, IDC_TARGET_H})
            EXPECT_EQ(ControlText(w, id), "");
        const char* labels[] = {"x=", "y=", "h="};
        const int source[] = {IDC_SOURCE_X_LABEL, IDC_SOURCE_Y_LABEL, IDC_SOURCE_H_LABEL};
        const int target[] = {IDC_TARGET_X_LABEL, IDC_TARGET_Y_LABEL, IDC_TARGET_H_LABEL};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ControlText(w, source[i]), labels[i]);
            EXPECT_EQ(ControlText(w, target[i]), labels[i]);
        }
        auto* tab = static_cast<CTabCtrl*>(w.GetDlgItem(IDC_MODE_TAB));
        ASSERT_EQ(tab->GetItemCount(), 2);
        EXPECT_EQ(tab->GetItemText(0), "单点转换");
        EXPECT_EQ(tab->GetItemText(1), "文件转换");
        EXPECT_TRUE(ControlVisible(w, IDC_CONVERT));
        EXPECT_FALSE(ControlVisible(w, IDC_SOURCE_FILES));
    });
    // The reset turned the four-parameter switch off after construction.
    EXPECT_EQ(dlg.m_session.m_useFour, 0);
}

TEST_F(MainWindowTest, GeodeticToSpaceOnBeijing54ToTheMillimetre) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_SOURCE_GEODETIC);
        Click(w, IDC_TARGET_SPACE);
        TypePoint(w, "030:00:00.000", "114:00:00.000", "0");
        Click(w, IDC_CONVERT);
        const double expected[] = {-2248582.352, 5050398.652, 3170430.097};
        const int fields[] = {IDC_TARGET_X, IDC_TARGET_Y, IDC_TARGET_H};
        for (int i = 0; i < 3; ++i) {
            const std::string text = ControlText(w, fields[i]);
            ASSERT_NE(text.find('.'), std::string::npos);
            EXPECT_EQ(text.size() - text.find('.'), 7u) << text;  // six decimals
            EXPECT_NEAR(std::atof(text.c_str()), expected[i], 0.0005) << text;
        }
    });
}

// Every source/target pair through the controls gives what the session
// gives for the same texts: the controls are bound to the right members.
TEST_F(MainWindowTest, EveryKindPairMatchesTheSessionConversion) {
    const int sourceRadio[] = {IDC_SOURCE_SPACE, IDC_SOURCE_GEODETIC, IDC_SOURCE_PLANE};
    const int targetRadio[] = {IDC_TARGET_SPACE, IDC_TARGET_GEODETIC, IDC_TARGET_PLANE};
    const char* points[3][3] = {{"-2248582.352", "5050398.652", "3170430.097"},
                                {"030:00:00.000", "114:00:00.000", "12.5"},
                                {"3323964.539", "210469.669", "8"}};
    for (int s = 0; s < 3; ++s) {
        for (int t = 0; t < 3; ++t) {
            SCOPED_TRACE(testing::Message() << "source " << s << " target " << t);
            ConversionSession expected;
            expected.m_sourceKind = s;
            expected.m_targetKind = t;
            expected.m_sourceDatum = 0;
            expected.m_targetDatum = 2;
            expected.m_useSeven = 1;
            expected.m_params.m_seven[0] = 15.0;
            expected.m_params.m_seven[6] = 2e-6;
            expected.m_params.m_local1[3] = 1.0;  // plane to plane needs level 1
            for (int i = 0; i < 3; ++i) expected.m_sourceText[i] = points[s][i];
            ASSERT_TRUE(expected.Convert());

            CConvertDlg dlg;
            dlg.m_session.m_params.m_seven[0] = 15.0;
            dlg.m_session.m_params.m_seven[6] = 2e-6;
            dlg.m_session.m_params.m_local1[3] = 1.0;
            RunWindow(dlg, [&](CWnd& w) {
                Click(w, sourceRadio[s]);
                Click(w, targetRadio[t]);
                SelectComboItem(w, IDC_TARGET_DATUM, 2);
                Click(w, IDC_USE_SEVEN);
                TypePoint(w, points[s][0], points[s][1], points[s][2]);
                Click(w, IDC_CONVERT);
                EXPECT_EQ(ControlText(w, IDC_TARGET_X), expected.m_targetText[0]);
                EXPECT_EQ(ControlText(w, IDC_TARGET_Y), expected.m_targetText[1]);
                EXPECT_EQ(ControlText(w, IDC_TARGET_H), expected.m_targetText[2]);
            });
        }
    }
}

TEST_F(MainWindowTest, RadioButtonsRelabelAndKeepTheTypedText) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        TypePoint(w, "1", "2", "3");
        Click(w, IDC_SOURCE_GEODETIC);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X_LABEL), "B=");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_Y_LABEL), "L=");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_H_LABEL), "H=");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X), "1");
        Click(w, IDC_TARGET_SPACE);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X_LABEL), "X=");
        EXPECT_EQ(ControlText(w, IDC_TARGET_Y_LABEL), "Y=");
        EXPECT_EQ(ControlText(w, IDC_TARGET_H_LABEL), "Z=");
        // The member follows the click, for the status line and undo.
        EXPECT_EQ(dlg.m_session.m_sourceKind, 1);
        Click(w, IDC_SOURCE_PLANE);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X_LABEL), "x=");
        Click(w, IDC_TARGET_PLANE);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X_LABEL), "x=");
    });
}

TEST_F(MainWindowTest, EqualDatumsNeverApplyTheSevenParameters) {
    CConvertDlg dlg;
    dlg.m_session.m_params.m_seven[0] = 100.0;
    RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_SOURCE_SPACE);
        Click(w, IDC_TARGET_SPACE);
        Click(w, IDC_USE_SEVEN);
        TypePoint(w, "1000", "2000", "3000");
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "1000.000000");
        EXPECT_EQ(ControlCheck(w, IDC_USE_SEVEN), BST_CHECKED);
        SelectComboItem(w, IDC_TARGET_DATUM, 1);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "1100.000000");
    });
    EXPECT_EQ(dlg.m_session.m_useSeven, 1);
}

TEST_F(MainWindowTest, SaveAfterStartUpWrites537BytesAndReopenRestoresEveryField) {
    const std::string path = dir.File("job.cod");
    {
        CConvertDlg dlg;
        RunWindow(dlg, [&](CWnd& w) {
            Prompts().AnswerFileDialog(path);
            ClickMenuItem(w, ID_FILE_SAVE);  // no project yet: Save As
        });
        EXPECT_EQ(g_projectPath, path);
    }
    const std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 537u);
    EXPECT_EQ(bytes.substr(208, 8), std::string("\0\0\0\0\0\x80\x5c\x40", 8));
    EXPECT_EQ(bytes.substr(292, 14),
              "\x0d"
              "000:00:00.000");

    // A changed session saved under another name and read back.
    g_projectPath = kNoProjectPath;
    const std::string other = dir.File("other.cod");
    CConvertDlg saved;
    ConversionParams& p = saved.m_session.m_params;
    RememberedInputs& in = saved.m_session.m_inputs;
    p.m_seven[3] = 1.5e-6;
    p.m_local1[3] = 1.0001;
    p.m_projBefore.centralMeridian = 117.0;
    in.m_calcThreeB = "031:00:00.000";
    in.m_calcSevenL[2] = "120:30:00.000";
    saved.m_session.m_zoneChange = 2;
    RunWindow(saved, [&](CWnd& w) {
        Click(w, IDC_SOURCE_GEODETIC);
        Click(w, IDC_TARGET_SPACE);
        SelectComboItem(w, IDC_SOURCE_DATUM, 1);
        SelectComboItem(w, IDC_TARGET_DATUM, 2);
        Click(w, IDC_USE_FOUR);
        TypePoint(w, "030:00:00.000", "114:00:00.000", "7");
        Prompts().AnswerFileDialog(other);
        ClickMenuItem(w, ID_FILE_SAVE_AS);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - other.cod");  // the new name, saved
    });

    g_projectPath = kNoProjectPath;
    CConvertDlg opened;
    RunWindow(opened, [&](CWnd& w) {
        Prompts().AnswerFileDialog(other);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - other.cod");
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_GEODETIC), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_TARGET_SPACE), BST_CHECKED);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X_LABEL), "B=");
        EXPECT_EQ(ControlText(w, IDC_TARGET_X_LABEL), "X=");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "国家-80坐标系  ");
        EXPECT_EQ(ControlText(w, IDC_TARGET_DATUM), "WGS-84坐标系");
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_CHECKED);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X), "030:00:00.000");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_H), "7");
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");
    });
    const ConversionParams& q = opened.m_session.m_params;
    const RememberedInputs& r = opened.m_session.m_inputs;
    EXPECT_EQ(q.m_seven[3], 1.5e-6);
    EXPECT_EQ(q.m_local1[3], 1.0001);
    EXPECT_EQ(q.m_projBefore.centralMeridian, 117.0);
    EXPECT_EQ(r.m_calcThreeB, "031:00:00.000");
    EXPECT_EQ(r.m_calcSevenL[2], "120:30:00.000");
    EXPECT_EQ(opened.m_session.m_zoneChange, 2);
}

TEST_F(MainWindowTest, CloseQuestionCancelKeepsTheWindowNoClosesWithoutWriting) {
    CConvertDlg dlg;
    const Run run = RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_USE_SEVEN);
        Prompts().AnswerMessageBox(IDCANCEL);
        ClickCloseBox(w);
        EXPECT_TRUE(w.GetSafeHwnd()->isVisible());
        Prompts().AnswerMessageBox(IDNO);
        ClickCloseBox(w);
    });
    EXPECT_FALSE(run.stillOpen);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, kCloseQuestion);
    EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_TRUE(dir.Entries().empty());
}

// Cancelling the name after 是 keeps the window and the changes.
TEST_F(MainWindowTest, CloseWithYesAndNoProjectAsksForANameAndStaysWhenItIsCancelled) {
    CConvertDlg dlg;
    const Run run = RunWindow(dlg, [&](CWnd& w) {
        SelectComboItem(w, IDC_TARGET_DATUM, 2);
        Prompts().AnswerMessageBox(IDYES);
        Prompts().CancelFileDialog();
        ClickMenuItem(w, ID_APP_EXIT);  // 退出(&E)
        EXPECT_TRUE(w.GetSafeHwnd()->isVisible());
        EXPECT_EQ(ControlText(w, IDC_TARGET_DATUM), "WGS-84坐标系");
        Prompts().AnswerMessageBox(IDNO);
        ClickMenuItem(w, ID_APP_EXIT);
    });
    EXPECT_FALSE(run.stillOpen);
    ASSERT_EQ(Prompts().FileDialogs().size(), 1u);
    EXPECT_EQ(Prompts().FileDialogs()[0].title, "坐标转换文件另存为");
    EXPECT_EQ(Prompts().FileDialogs()[0].defaultExt, "cod");
    // Not beside the program, which holds no store: in the user's folder.
    EXPECT_EQ(Prompts().FileDialogs()[0].initialDir, FileDialogFolder(g_appDir));
    EXPECT_NE(Prompts().FileDialogs()[0].initialDir, g_appDir);
    EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(MainWindowTest, CloseWithYesSavesTheCurrentProject) {
    const std::string path = dir.File("current.cod");
    g_projectPath = path;
    CConvertDlg dlg;
    const Run run = RunWindow(dlg, [&](CWnd& w) {
        TypePoint(w, "1", "2", "3");
        Prompts().AnswerMessageBox(IDYES);
        ClickCloseBox(w);
    });
    EXPECT_FALSE(run.stillOpen);
    EXPECT_EQ(ReadBytes(path).size(), 537u + 3u);  // the three one-character texts
}

// Regression: Enter in an edit field and Escape ended the program, Enter
// through the close question with 是 as its default. Enter converts now;
// Escape closes as the close box does, asking only with changes.
TEST_F(MainWindowTest, EnterConvertsAndEscapeAsksOnlyWithChanges) {
    CConvertDlg dlg;
    const Run run = RunWindow(dlg, [&](CWnd& w) {
        Click(w, IDC_SOURCE_GEODETIC);
        Click(w, IDC_TARGET_SPACE);
        TypePoint(w, "030:00:00.000", "114:00:00.000", "0");
        PressEnter(w);
        EXPECT_TRUE(w.GetSafeHwnd()->isVisible());
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "-2248582.351959");
        EXPECT_TRUE(Prompts().MessageBoxes().empty());
        Prompts().AnswerMessageBox(IDCANCEL);
        PressEscape(w);
        EXPECT_TRUE(w.GetSafeHwnd()->isVisible());
        Prompts().AnswerMessageBox(IDNO);
        PressEscape(w);
    });
    EXPECT_FALSE(run.stillOpen);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[1].text, kCloseQuestion);
    EXPECT_TRUE(dir.Entries().empty());

    // Unchanged, Escape closes at once.
    CConvertDlg unchanged;
    Prompts().VerifyAllUsed();
    EXPECT_FALSE(RunWindow(unchanged, [&](CWnd& w) { PressEscape(w); }).stillOpen);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

// Regression: a load that failed part-way left the session half loaded and
// the new path current.
TEST_F(MainWindowTest, DamagedProjectFilesLeaveSessionAndPathAsTheyWere) {
    const std::string good = dir.File("good.cod");
    {
        ConversionSession s;
        s.m_params.m_seven[0] = 42.0;
        std::string error;
        ASSERT_TRUE(s.SaveProject(good, &error)) << error;
    }
    const std::string bytes = ReadBytes(good);
    WriteBytes(dir.File("short.cod"), bytes.substr(0, 300));
    WriteBytes(dir.File("garbage.cod"), std::string(40, '\xff'));

    CConvertDlg dlg;
    dlg.m_session.m_params.m_seven[0] = 7.0;
    RunWindow(dlg, [&](CWnd& w) {
        TypePoint(w, "kept", "", "");
        for (const char* name : {"short.cod", "garbage.cod", "missing.cod"}) {
            Prompts().AnswerMessageBox(IDNO);  // not to save the typed point first
            Prompts().AnswerFileDialog(dir.File(name));
            Prompts().AnswerMessageBox(IDOK);
            ClickMenuItem(w, ID_FILE_OPEN);
            EXPECT_EQ(g_projectPath, kNoProjectPath) << name;
            EXPECT_EQ(dlg.m_session.m_params.m_seven[0], 7.0) << name;
            EXPECT_EQ(ControlText(w, IDC_SOURCE_X), "kept") << name;
            EXPECT_EQ(w.GetWindowText(), "坐标转换 *") << name;
        }
    });
    ASSERT_EQ(Prompts().MessageBoxes().size(), 6u);
    for (const MessageBoxRequest& box : Prompts().MessageBoxes()) EXPECT_FALSE(box.text.empty());
}

// Regression: a datum index or kind that no control can show was converted
// from unset values.
TEST_F(MainWindowTest, ValuesNoControlCanShowLoadButAreNotConverted) {
    const std::string path = dir.File("odd.cod");
    {
        ConversionSession s;
        s.m_params.m_savedSourceDatum = 7;
        s.m_sourceText[0] = "1";
        s.m_sourceText[1] = "2";
        s.m_sourceText[2] = "3";
        std::string error;
        ASSERT_TRUE(s.SaveProject(path, &error)) << error;
    }
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(g_projectPath, path);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "");  // no entry selected
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");
        SelectComboItem(w, IDC_SOURCE_DATUM, 0);
        // Level 1 unset (K = 0) would give 0, 0: refused.
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");
    });
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[1].text, "请确定已经设置转换关系了!");
}

// CGCS2000 is the fifth entry of the datum lists: chosen in the window and in
// compute-three it is saved as index 4, and such a project opens with it
// selected in both.
TEST_F(MainWindowTest, Cgcs2000IsSavedAsIndexFourAndOpensSelected) {
    const std::string path = dir.File("cgcs.cod");
    {
        CConvertDlg dlg;
        RunWindow(dlg, [&](CWnd& w) {
            SelectComboItem(w, IDC_SOURCE_DATUM, 1);
            SelectComboItem(w, IDC_TARGET_DATUM, 4);
            Prompts().ArmModal([](CWnd& d) {
                SelectComboItem(d, IDC_CALC_THREE_GEODETIC_DATUM, 4);
                SelectComboItem(d, IDC_CALC_THREE_PLANE_DATUM, 1);
                Click(d, IDOK);
            });
            Prompts().ArmModal([](CWnd& d) { Click(d, IDCANCEL); });  // the seven parameters
            ClickMenuItem(w, IDM_CALC_THREE);
            Prompts().AnswerFileDialog(path);
            ClickMenuItem(w, ID_FILE_SAVE_AS);
        });
    }
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(188, 8), std::string("\x01\0\0\0\x04\0\0\0", 8));
    EXPECT_EQ(bytes.substr(284, 8), std::string("\x04\0\0\0\x01\0\0\0", 8));

    g_projectPath = kNoProjectPath;
    CConvertDlg opened;
    RunWindow(opened, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "国家-80坐标系  ");
        EXPECT_EQ(ControlText(w, IDC_TARGET_DATUM), "CGCS2000坐标系");
        Prompts().ArmModal([](CWnd& d) {
            EXPECT_EQ(ControlText(d, IDC_CALC_THREE_GEODETIC_DATUM), "CGCS2000坐标系");
            Click(d, IDCANCEL);
        });
        ClickMenuItem(w, IDM_CALC_THREE);
    });
}

// File New: untitled, every setting at its default (the zone change too),
// and no name asked for until the first save.
TEST_F(MainWindowTest, FileNewResetsTheSessionUntitled) {
    const std::string path = dir.File("new.cod");
    g_projectPath = dir.File("old.cod");
    CConvertDlg dlg;
    dlg.m_session.m_params.m_seven[0] = 5.0;
    dlg.m_session.m_zoneChange = 2;
    RunWindow(dlg, [&](CWnd& w) {
        ClickMenuItem(w, ID_FILE_NEW);  // unchanged: no question
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(g_projectPath, kNoProjectPath);
        EXPECT_EQ(dlg.m_session.m_params.m_seven[0], 0.0);
        EXPECT_EQ(dlg.m_session.m_zoneChange, 0);
        Click(w, IDC_SOURCE_GEODETIC);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 *");
        Prompts().AnswerMessageBox(IDNO);
        ClickMenuItem(w, ID_FILE_NEW);
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_PLANE), BST_CHECKED);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X_LABEL), "x=");
        EXPECT_TRUE(dir.Entries().empty());  // nothing written until a save
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_SAVE);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - new.cod");
    });
    EXPECT_TRUE(Prompts().FileDialogs().size() == 1u &&
                Prompts().FileDialogs()[0].title == "坐标转换文件另存为");
    EXPECT_EQ(ReadBytes(path).size(), 537u);
}

TEST_F(MainWindowTest, AboutBoxOpensFromTheHelpMenu) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        auto about = Prompts().ArmModal([](CWnd& a) {
            EXPECT_EQ(a.GetWindowText(), "关于坐标转换");
            Click(a, IDOK);
        });
        ClickMenuItem(w, ID_APP_ABOUT);
        EXPECT_TRUE(about->ran);
        EXPECT_FALSE(about->closedByGuard);
    });
}

TEST_F(MainWindowTest, FileTabShowsTheFileControlsWithBrowseDisabled) {
    CConvertDlg dlg;
    std::vector<std::string> opened;
    auto previous = AfxSetDesktopOpener([&](const std::string& p) {
        opened.push_back(p);
        return true;
    });
    RunWindow(dlg, [&](CWnd& w) {
        SelectTab(w, IDC_MODE_TAB, 1);
        for (int id : {IDC_FORMAT_LABEL, IDC_FORMAT, IDC_SOURCE_FILES_LABEL, IDC_BROWSE,
                       IDC_SOURCE_FILES, IDC_CONVERT_FILES, IDC_OUTPUT_FILES, IDC_OPEN_FILE_HINT})
            EXPECT_TRUE(ControlVisible(w, id)) << id;
        for (int id : {IDC_SOURCE_X, IDC_CONVERT, IDC_TARGET_X, IDC_INPUT_GROUP})
            EXPECT_FALSE(ControlVisible(w, id)) << id;
        EXPECT_FALSE(ControlEnabled(w, IDC_BROWSE));
        SelectTab(w, IDC_MODE_TAB, 0);
        EXPECT_TRUE(ControlVisible(w, IDC_CONVERT));
        EXPECT_FALSE(ControlVisible(w, IDC_SOURCE_FILES));
        ClickMenuItem(w, IDM_HELP_PAGE);
    });
    AfxSetDesktopOpener(previous);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], g_appDir + "坐标转换问题.htm");
}

// Loss: saving over a project file the user made read-only succeeded (a new
// file was renamed over it); a file the user may write in a folder without
// write permission could not be saved. Run as an ordinary user.
TEST_F(MainWindowTest, SaveRefusesAReadOnlyProjectAndWritesOneInAReadOnlyFolder) {
    UNPRIVILEGED_OR_SKIP(user);
    const std::string locked = dir.File("locked.cod");
    const std::string folder = dir.File("ro");
    const std::string inFolder = folder + "/job.cod";
    const std::string old = "not a project, but the user's";
    WriteBytes(locked, old);
    std::filesystem::create_directory(folder);
    WriteBytes(inFolder, old);
    user.Own(dir.Path());
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    user.Run([&] {
        g_projectPath = locked;
        CConvertDlg dlg;
        RunWindow(dlg, [&](CWnd& w) {
            TypePoint(w, "1", "2", "3");
            Prompts().AnswerMessageBox(IDOK);
            ClickMenuItem(w, ID_FILE_SAVE);
            ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
            EXPECT_EQ(Prompts().MessageBoxes()[0].text,
                      "无法保存坐标转换文件。没有访问文件“" + locked + "”的权限。");
            EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_OK | MB_ICONSTOP);
            Prompts().AnswerFileDialog(inFolder);
            Prompts().AnswerMessageBox(IDYES);  // the file dialog's question: replace it?
            ClickMenuItem(w, ID_FILE_SAVE_AS);
            EXPECT_EQ(Prompts().MessageBoxes().size(), 2u);  // and no failure after it
        });
        EXPECT_EQ(g_projectPath, inFolder);
        EXPECT_EQ(ReadBytes(locked), old);
        EXPECT_EQ(ReadBytes(inFolder).size(), 537u + 3u);
    });
    EXPECT_EQ(ReadBytes(locked), old);
    EXPECT_EQ(ReadBytes(inFolder).size(), 537u + 3u);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"job.cod"});
}

// `terrax FILE.cod`: the application object opens the file in the window as
// File Open does, with the same message when it does not load. Returns the
// saved bytes of the window's session after `act` ran in it.
class StartUpTest : public MainWindowTest {
protected:
    std::string RunApp(const std::vector<std::string>& arguments,
                       const std::function<void(CWnd&)>& act) {
        std::string bytes;
        auto run = Prompts().ArmModal([&](CWnd& w) {
            act(w);
            bytes = SessionBytes(dynamic_cast<CConvertDlg&>(w).m_session);
        });
        app.m_arguments = arguments;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(run->ran);
        app.m_arguments.clear();
        return bytes;
    }
    // What File Open makes of `path` in a fresh window.
    std::string OpenThroughTheMenu(const std::string& path, const std::function<void(CWnd&)>& act) {
        std::string bytes;
        CConvertDlg dlg;
        RunWindow(dlg, [&](CWnd& w) {
            Prompts().AnswerFileDialog(path);
            ClickMenuItem(w, ID_FILE_OPEN);
            act(w);
            bytes = SessionBytes(dlg.m_session);
        });
        return bytes;
    }
    std::string SessionBytes(ConversionSession session) {
        std::string error;
        EXPECT_TRUE(session.SaveProject(dir.File("state.bin"), &error)) << error;
        return ReadBytes(dir.File("state.bin"));
    }
};

TEST_F(StartUpTest, ProjectOnTheCommandLineOpensAsFileOpenDoes) {
    const std::string path = dir.File("job.cod");
    {
        ConversionSession s;
        s.m_params.m_seven[0] = 42.5;
        s.m_params.m_savedSourceDatum = 1;
        s.m_params.m_savedUseFour = 1;
        s.m_sourceKind = 1;
        std::string error;
        ASSERT_TRUE(s.SaveProject(path, &error)) << error;
    }
    auto shows = [&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - job.cod");
        EXPECT_EQ(g_projectPath, path);
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_GEODETIC), BST_CHECKED);
        EXPECT_EQ(ControlText(w, IDC_SOURCE_X_LABEL), "B=");
        EXPECT_EQ(ControlText(w, IDC_SOURCE_DATUM), "国家-80坐标系  ");
        EXPECT_EQ(ControlCheck(w, IDC_USE_FOUR), BST_CHECKED);
    };
    const std::string byMenu = OpenThroughTheMenu(path, shows);
    g_projectPath = kNoProjectPath;
    // A path relative to the current folder is made whole, as the dialog gives it.
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(dir.Path());
    const std::string byArgument = RunApp({"terrax", "job.cod"}, shows);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(byArgument, byMenu);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

TEST_F(StartUpTest, ProjectThatDoesNotLoadGivesFileOpensMessageAndTheDefaultSession) {
    WriteBytes(dir.File("short.cod"), std::string(100, '\x01'));
    const std::string defaults = SessionBytes(ConversionSession());
    auto unchanged = [&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(g_projectPath, kNoProjectPath);
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_PLANE), BST_CHECKED);
    };
    for (const char* name : {"short.cod", "missing.cod"}) {
        SCOPED_TRACE(name);
        Prompts().AnswerMessageBox(IDOK);
        EXPECT_EQ(OpenThroughTheMenu(dir.File(name), unchanged), defaults);
        Prompts().AnswerMessageBox(IDOK);
        EXPECT_EQ(RunApp({"terrax", dir.File(name)}, unchanged), defaults);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        const MessageBoxRequest& byMenu = Prompts().MessageBoxes()[0];
        const MessageBoxRequest& byArgument = Prompts().MessageBoxes()[1];
        EXPECT_EQ(byArgument.text, byMenu.text);
        EXPECT_NE(byArgument.text.find(dir.File(name)), std::string::npos);
        EXPECT_EQ(byArgument.type, byMenu.type);
        // Every box is titled with the window's caption.
        EXPECT_EQ(byArgument.caption, "坐标转换");
        EXPECT_EQ(byMenu.caption, "坐标转换");
        Prompts().VerifyAllUsed();
    }
}

TEST_F(StartUpTest, OptionsAreNotFilesAndNoFileStartsAtTheDefaults) {
    const std::string defaults = SessionBytes(ConversionSession());
    EXPECT_EQ(RunApp({"terrax", "-x"}, [](CWnd& w) { EXPECT_EQ(w.GetWindowText(), "坐标转换"); }),
              defaults);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

}  // namespace
