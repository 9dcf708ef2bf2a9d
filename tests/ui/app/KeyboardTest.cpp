// The main window by keyboard: Tab goes through its controls in reading
// order, a group of kind radios being one stop (its checked button) and the
// page tabs the last; the arrow keys choose within a group; the format
// dialog's tabs take the focus too. The desktop's opener failing is said.
#include <algorithm>
#include <vector>

#include "res/resource.h"
#include "tests/ui/app/MainWindowTest.h"
#include "ui/framework/DesktopOpener.h"

namespace {

using KeyboardTest = MainWindowTest;

constexpr int kSourceKinds[] = {IDC_SOURCE_SPACE, IDC_SOURCE_GEODETIC, IDC_SOURCE_PLANE};
constexpr int kTargetKinds[] = {IDC_TARGET_SPACE, IDC_TARGET_GEODETIC, IDC_TARGET_PLANE};

template <std::size_t N>
int Checked(CWnd& w, const int (&group)[N]) {
    for (int id : group) {
        if (ControlCheck(w, id) == BST_CHECKED) return id;
    }
    return 0;
}

// The controls Tab visits from the focused one until it comes back to it.
std::vector<int> TabCycle(CWnd& w, bool backwards = false) {
    std::vector<int> visited = {FocusedControlId(w)};
    for (int i = 0; i < 40; ++i) {
        PressTab(w, backwards);
        const int id = FocusedControlId(w);
        if (id == visited.front()) return visited;
        visited.push_back(id);
    }
    ADD_FAILURE() << "Tab does not come back to control " << visited.front();
    return visited;
}

// The controls of `ids` that are enabled, in order.
std::vector<int> Enabled(CWnd& w, std::vector<int> ids) {
    ids.erase(
        std::remove_if(ids.begin(), ids.end(), [&](int id) { return !ControlEnabled(w, id); }),
        ids.end());
    return ids;
}

TEST_F(KeyboardTest, TabGoesThroughBothPagesInReadingOrderWithTheRadiosAndTheTabs) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_X) << "the window opens in the point's field";
        const int source = Checked(w, kSourceKinds), target = Checked(w, kTargetKinds);
        ASSERT_NE(source, 0);
        ASSERT_NE(target, 0);
        w.GetDlgItem(source)->SetFocus();
        EXPECT_EQ(TabCycle(w), Enabled(w, {source, IDC_USE_SEVEN, IDC_USE_FOUR, IDC_USE_HEIGHTS,
                                           target, IDC_SOURCE_DATUM, IDC_TARGET_DATUM, IDC_SOURCE_X,
                                           IDC_SOURCE_Y, IDC_SOURCE_H, IDC_CONVERT, IDC_TARGET_X,
                                           IDC_TARGET_Y, IDC_TARGET_H, IDC_MODE_TAB}));
        // Shift+Tab the other way round.
        std::vector<int> back = TabCycle(w, true);
        std::reverse(back.begin() + 1, back.end());
        EXPECT_EQ(back, TabCycle(w));

        // The file page's controls (浏览 is greyed without a format), reached
        // from the tabs with the arrow keys.
        w.GetDlgItem(IDC_MODE_TAB)->SetFocus();
        PressShortcut(w, "Right");
        ASSERT_TRUE(ControlVisible(w, IDC_SOURCE_FILES)) << "Right on the tabs shows 文件转换";
        EXPECT_EQ(TabCycle(w),
                  Enabled(w, {IDC_MODE_TAB, source, IDC_USE_SEVEN, IDC_USE_FOUR, IDC_USE_HEIGHTS,
                              target, IDC_SOURCE_DATUM, IDC_TARGET_DATUM, IDC_FORMAT, IDC_BROWSE,
                              IDC_SOURCE_FILES, IDC_CONVERT_FILES, IDC_OUTPUT_FILES}));
    });
}

TEST_F(KeyboardTest, ArrowKeysChooseWithinAKindGroupAndTabFollowsTheChoice) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        const int target = Checked(w, kTargetKinds);
        Click(w, IDC_SOURCE_SPACE);
        ASSERT_EQ(FocusedControlId(w), IDC_SOURCE_SPACE);
        const std::string spaceLabel = ControlText(w, IDC_SOURCE_X_LABEL);
        PressShortcut(w, "Down");
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_GEODETIC);
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_GEODETIC), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_SOURCE_SPACE), BST_UNCHECKED);
        EXPECT_NE(ControlText(w, IDC_SOURCE_X_LABEL), spaceLabel) << "the window heard the choice";
        // Up twice goes round the group: 空间直角坐标, then 平面坐标.
        PressShortcut(w, "Up");
        PressShortcut(w, "Up");
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_PLANE);
        EXPECT_EQ(Checked(w, kSourceKinds), IDC_SOURCE_PLANE);
        EXPECT_EQ(Checked(w, kTargetKinds), target) << "the other group stays";
        // Tab leaves the group; Shift+Tab comes back to the chosen button.
        PressTab(w);
        EXPECT_EQ(std::find(std::begin(kSourceKinds), std::end(kSourceKinds), FocusedControlId(w)),
                  std::end(kSourceKinds));
        PressTab(w, true);
        EXPECT_EQ(FocusedControlId(w), IDC_SOURCE_PLANE);
    });
}

// Both page tabs of the format dialog take the focus, and the checked
// naming radio is a stop on its page.
TEST_F(KeyboardTest, TheFormatDialogsTabsAndItsNamingRadiosTakeTheFocus) {
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        SelectTab(w, IDC_MODE_TAB, 1);
        auto format = Prompts().ArmModal([&](CWnd& d) {
            const std::vector<int> cycle = TabCycle(d);
            EXPECT_NE(std::find(cycle.begin(), cycle.end(), IDC_FORMAT_TAB), cycle.end());
            EXPECT_NE(std::find(cycle.begin(), cycle.end(), IDC_FORMAT_LIST), cycle.end());
            d.GetDlgItem(IDC_FORMAT_TAB)->SetFocus();
            PressShortcut(d, "Right");
            PressShortcut(d, "Right");
            ASSERT_TRUE(ControlVisible(d, IDC_NAMING_OVERWRITE));
            const std::vector<int> naming = TabCycle(d);
            int radios = 0;
            for (int id : {IDC_NAMING_OVERWRITE, IDC_NAMING_EXTENSION, IDC_NAMING_FILE_NAME})
                radios += static_cast<int>(std::count(naming.begin(), naming.end(), id));
            EXPECT_EQ(radios, 1) << "one stop for the group";
            Click(d, IDCANCEL);
        });
        Click(w, IDC_FORMAT);
        EXPECT_TRUE(format->ran);
    });
}

TEST_F(KeyboardTest, AHelpPageTheOpenerCannotOpenIsNamedInAMessage) {
    std::vector<std::string> tried;
    auto previous = AfxSetDesktopOpener([&](const std::string& path) {
        tried.push_back(path);
        return false;
    });
    CConvertDlg dlg;
    RunWindow(dlg, [&](CWnd& w) {
        Prompts().AnswerMessageBox(IDOK);
        ClickMenuItem(w, IDM_HELP_PAGE);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        const std::string& text = Prompts().MessageBoxes()[0].text;
        ASSERT_EQ(tried.size(), 1u);
        EXPECT_NE(text.find("无法打开"), std::string::npos) << text;
        EXPECT_NE(text.find(tried[0]), std::string::npos) << text;
    });
    AfxSetDesktopOpener(previous);
}

}  // namespace
