// The check box 高程拟合 of the main window: refused without a model or a
// geoid, bound to the session's switch, undoable, shown in the status line,
// and the heights of the single-point conversion with it: the normal height,
// a point outside the grid refused by name, the extrapolation warning.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "session/GeoidFiles.h"
#include "tests/support/HeightTestData.h"
#include "tests/ui/app/MainWindowTest.h"
#include "ui/framework/StatusLine.h"

namespace {

const std::string& kSmallGrid = kSmallGeoidGrid;
constexpr char kNoHeightModel[] =
    "还没有高程拟合模型，也没有选定大地水准面，无法换算高程。\n请先在“高程拟合”中计算并应用高程拟合模型。";

// A project converting geodetic WGS-84 points to plane coordinates on the
// same datum, with these heights.
void WriteProject(const std::string& path, const SessionHeights& heights) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_params.m_savedSourceDatum = s.m_params.m_savedTargetDatum = 2;
    s.m_heights = heights;
    std::string error;
    ASSERT_TRUE(s.SaveProject(path, &error)) << error;
}

}  // namespace

using HeightSwitchTest = MainWindowTest;

TEST_F(HeightSwitchTest, WithoutModelOrGeoidTheBoxStaysUnticked) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        const std::string status = AfxGetStatusText(dlg);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_USE_HEIGHTS);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, kNoHeightModel);
        EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_OK | MB_ICONWARNING);
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        EXPECT_FALSE(dlg.m_session.m_heights.enabled);
        EXPECT_FALSE(MenuItemEnabled(w, ID_EDIT_UNDO));
        EXPECT_EQ(w.GetWindowText(), "坐标转换");
        EXPECT_EQ(AfxGetStatusText(dlg), status);
        // The existing switches keep their texts beside it.
        EXPECT_EQ(ControlText(w, IDC_USE_SEVEN), "七参数转换");
        EXPECT_EQ(ControlText(w, IDC_USE_FOUR), "四参数转换");
        EXPECT_EQ(ControlText(w, IDC_USE_HEIGHTS), "高程拟合");
    });
}

TEST_F(HeightSwitchTest, TickingTurnsTheHeightsOnUndoablyAndTheStatusLineShowsThem) {
    const std::string path = dir.File("geoid.cod");
    SessionHeights heights;
    heights.geoid = kSmallGrid;
    WriteProject(path, heights);
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        TypePoint(w, "030:18:00.000", "114:36:00.000", "100");
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "100.000000");  // off: h carried along

        Click(w, IDC_USE_HEIGHTS);
        EXPECT_TRUE(Prompts().MessageBoxes().empty());
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_CHECKED);
        EXPECT_TRUE(dlg.m_session.m_heights.enabled);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - geoid.cod *");
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "");  // outputs cleared on change
        const std::string status = AfxGetStatusText(dlg);
        EXPECT_NE(status.find("| 高程拟合: 大地水准面 (small_geoid.asc)"), std::string::npos)
            << status;
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "118.200000");  // H = h − N, N = −18.2

        // Outside the grid: named, nothing converted.
        Prompts().AnswerMessageBox(IDOK);
        ReplaceText(w, IDC_SOURCE_X, "032:00:00.000");
        Click(w, IDC_CONVERT);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        const std::string message = Prompts().MessageBoxes()[0].text;
        EXPECT_NE(message.find("点 B=032:00:00.000, L=114:36:00.000 在大地水准面格网之外"),
                  std::string::npos)
            << message;
        EXPECT_EQ(ControlText(w, IDC_TARGET_X), "");
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "");

        ClickMenuItem(w, ID_EDIT_UNDO);
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        EXPECT_FALSE(dlg.m_session.m_heights.enabled);
        EXPECT_EQ(AfxGetStatusText(dlg).find("高程拟合"), std::string::npos);
        PressShortcut(w, "Ctrl+Y");
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_CHECKED);
        PressShortcut(w, "Ctrl+S");
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - geoid.cod");
    });
    ConversionSession saved;
    std::string error;
    ASSERT_TRUE(saved.LoadProject(path, &error)) << error;
    EXPECT_TRUE(saved.m_heights.enabled);
}

TEST_F(HeightSwitchTest, AGridThatCannotBeReadIsNamedAndTheBoxStaysUnticked) {
    const std::string path = dir.File("missing.cod");
    SessionHeights heights;
    heights.geoid = dir.File("没有的格网.gtx");
    WriteProject(path, heights);
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_USE_HEIGHTS);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_NE(Prompts().MessageBoxes()[0].text.find(heights.geoid), std::string::npos)
            << Prompts().MessageBoxes()[0].text;
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_UNCHECKED);
        EXPECT_FALSE(dlg.m_session.m_heights.enabled);
        EXPECT_EQ(w.GetWindowText(), "坐标转换 - missing.cod");
    });
}

TEST_F(HeightSwitchTest, ProjectWithTheSwitchOnShowsItAndWarnsOfExtrapolation) {
    const std::string path = dir.File("model.cod");
    SessionHeights heights;
    heights.enabled = true;
    heights.model = PlaneModelNearTheGrid(-5);
    WriteProject(path, heights);
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerFileDialog(path);
        ClickMenuItem(w, ID_FILE_OPEN);
        EXPECT_EQ(ControlCheck(w, IDC_USE_HEIGHTS), BST_CHECKED);
        const std::string status = AfxGetStatusText(dlg);
        EXPECT_NE(status.find("| 高程拟合: 平面"), std::string::npos) << status;
        TypePoint(w, "030:18:00.000", "114:36:00.000", "50");
        Click(w, IDC_CONVERT);
        EXPECT_EQ(ControlText(w, IDC_TARGET_H), "55.000000");
        EXPECT_EQ(AfxGetStatusText(dlg), status);
        ReplaceText(w, IDC_SOURCE_X, "030:48:00.000");
        Click(w, IDC_CONVERT);
        EXPECT_NE(ControlText(w, IDC_TARGET_H), "");
        EXPECT_NE(AfxGetStatusText(dlg).find("外推"), std::string::npos) << AfxGetStatusText(dlg);
        EXPECT_TRUE(Prompts().MessageBoxes().empty());
    });
}
