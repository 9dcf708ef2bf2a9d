// The file-format dialog driven through the command "格式" as a user drives
// it: defining, listing, deleting and choosing formats, the bytes of the
// store on disk, the tab states, and the failures that must keep the
// session's chosen format.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/ConversionSession.h"
#include "app/Globals.h"
#include "batch/FileFormatDlg.h"
#include "batch/FormatCommand.h"
#include "batch/FormatStore.h"
#include "framework/Archive.h"
#include "framework/ComboBox.h"
#include "framework/File.h"
#include "framework/ListBox.h"
#include "framework/ResourceSet.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/UiTest.h"

namespace {

// GB18030 bytes written out by hand, independent of the code under test.
const std::string kCountGb = "\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xca\xfd:";  // 文件类型数:
const std::string kZuobiaoGb = "\xd7\xf8\xb1\xea";                         // 坐标
const std::string kPlaneItemsGb =  // 点号,北方向X,东方向Y,水准高,
    "\xb5\xe3\xba\xc5,\xb1\xb1\xb7\xbd\xcf\xf2X,\xb6\xab\xb7\xbd\xcf\xf2Y,"
    "\xcb\xae\xd7\xbc\xb8\xdf,";

constexpr char kPlaneItems[] = "点号,北方向X,东方向Y,水准高,";
constexpr char kMissingNameOrExtension[] = "请输入文件类型名称和后缀";

// Indexes of the data items in list 1047.
constexpr int kPointNumber = 0, kLatitude = 1, kNorthing = 4, kEasting = 5, kLevelHeight = 6;

// Control IDs of each tab.
const std::vector<int> kFormatsPage = {1043, 1060};
const std::vector<int> kNewFormatPage = {1045, 1046, 1049, 1050, 1056, 1052, 1055,
                                         1053, 1048, 1047, 1178, 1051, 1054};
const std::vector<int> kNamingPage = {1061, 1024, 1027};

CListBox& FormatList(CWnd& w) { return *static_cast<CListBox*>(w.GetDlgItem(1043)); }

// On tab 1: a new format with the separator `separator` (0 ",", 1 "{Space}")
// and the data items at `items`, then "完成新建".
void DefineFormat(CWnd& w, const std::string& name, const std::string& extension, int separator,
                  std::initializer_list<int> items) {
    SelectTab(w, 1042, 1);
    Click(w, 1057);
    TypeText(w, 1046, name);
    TypeText(w, 1052, extension);
    SelectComboItem(w, 1053, separator);
    for (int item : items) {
        SelectListItem(w, 1047, item);
        Click(w, 1178);
    }
    Click(w, 1058);
}

void DefinePlaneFormat(CWnd& w, int separator = 0) {
    DefineFormat(w, "坐标", "txt", separator, {kPointNumber, kNorthing, kEasting, kLevelHeight});
}

// The chosen-format members of the session, for "unchanged" checks.
struct Choice {
    std::vector<int> column;
    std::string name, extension, separator;
    int naming, index;
    bool operator==(const Choice&) const = default;
};
Choice ChoiceOf(const ConversionSession& s) {
    const ConversionParams& p = s.m_params;
    return {{p.m_column[0], p.m_column[1], p.m_column[2]},
            p.m_formatName,
            p.m_formatExtension,
            p.m_formatSeparator,
            p.m_naming,
            p.m_formatIndex};
}

// A session that has chosen a format before.
ConversionSession SessionWithChoice() {
    ConversionSession s;
    ConversionParams& p = s.m_params;
    p.m_column[0] = 0;
    p.m_column[1] = 1;
    p.m_column[2] = 2;
    p.m_formatName = "旧格式";
    p.m_formatExtension = "dat";
    p.m_formatSeparator = " ";
    p.m_naming = 2;
    p.m_formatIndex = 0;
    return s;
}

class FormatDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        m_savedAppDir = g_appDir;
        g_appDir = dir.Path() + "/";
    }
    void TearDown() override {
        g_appDir = m_savedAppDir;
        UiTest::TearDown();
    }

    std::string StorePath() const { return dir.File("Par.txt"); }

    // Runs the command; `act` runs inside the dialog once it is shown.
    bool RunFormat(ConversionSession& s, const std::function<void(CWnd&)>& act) {
        auto run = Prompts().ArmModal(act);
        const bool chosen = FormatCommand::OnFormat(s);
        EXPECT_TRUE(run->ran);
        return chosen;
    }

    void WriteStore(const std::vector<FileFormat>& formats) {
        std::string error;
        ASSERT_TRUE(SaveFormatStore(StorePath(), formats, &error)) << error;
    }

    TestTempDir dir;

private:
    std::string m_savedAppDir;
};

TEST_F(FormatDialogTest, DefinedFormatIsStoredAsFiveGbLinesAndListedOnReopen) {
    ConversionSession s;
    const bool chosen = RunFormat(s, [](CWnd& w) {
        SelectTab(w, 1042, 1);
        TypeText(w, 1050, "描述不保存");  // the store's bytes below hold no description
        DefinePlaneFormat(w);
        EXPECT_EQ(ControlText(w, 1054), kPlaneItems);
        // Listed once tab 0 is selected again, and selected.
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        SelectTab(w, 1042, 0);
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetText(0), "坐标 (*.txt)");
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, 1060), kPlaneItems);
        Click(w, IDOK);
    });
    EXPECT_TRUE(chosen);
    const ConversionParams& p = s.m_params;
    EXPECT_EQ(p.m_column[0], 1);
    EXPECT_EQ(p.m_column[1], 2);
    EXPECT_EQ(p.m_column[2], 3);
    EXPECT_EQ(p.m_formatName, "坐标");
    EXPECT_EQ(p.m_formatExtension, "txt");
    EXPECT_EQ(p.m_formatSeparator, ",");
    EXPECT_EQ(p.m_naming, 1);
    EXPECT_EQ(p.m_formatIndex, 0);

    const std::string bytes = ReadBytes(StorePath());
    EXPECT_EQ(bytes, kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");

    // The store is read afresh by the next opening.
    ConversionSession again;
    EXPECT_FALSE(RunFormat(again, [](CWnd& w) {
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetText(0), "坐标 (*.txt)");
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, 1060), kPlaneItems);
        Click(w, IDCANCEL);
    }));
}

TEST_F(FormatDialogTest, SpaceSeparatorEndsEveryItemWithOneBlank) {
    ConversionSession s;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        auto& separators = *static_cast<CComboBox*>(w.GetDlgItem(1053));
        ASSERT_EQ(separators.GetCount(), 2);
        EXPECT_EQ(separators.GetLBText(0), ",");
        EXPECT_EQ(separators.GetLBText(1), "{Space}");
        DefinePlaneFormat(w, 1);
        EXPECT_EQ(ControlText(w, 1054), "点号 北方向X 东方向Y 水准高 ");
        SelectTab(w, 1042, 0);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatSeparator, " ");
    EXPECT_EQ(s.m_params.m_column[0], 1);
    EXPECT_EQ(s.m_params.m_column[1], 2);
    EXPECT_EQ(s.m_params.m_column[2], 3);
    std::vector<FileFormat> stored;
    ASSERT_EQ(LoadFormatStore(StorePath(), &stored, nullptr), StoreStatus::Loaded);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].separator, " ");
    EXPECT_EQ(stored[0].itemLine, "点号 北方向X 东方向Y 水准高 ");
}

// Regression: items added before the separator was changed kept the old
// separator, so the format's columns came out of a line it could not split.
TEST_F(FormatDialogTest, ChangingTheSeparatorRewritesTheItemLine) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        DefineFormat(w, "大地", "geo", 0, {kPointNumber, kLatitude});
        EXPECT_EQ(ControlText(w, 1054), "点号,纬度,");
        SelectComboItem(w, 1053, 1);
        EXPECT_EQ(ControlText(w, 1054), "点号 纬度 ");
        Click(w, IDCANCEL);
    }));
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        DefineFormat(w, "大地", "geo", 0, {kPointNumber, kLatitude});
        Click(w, 1057);  // the separator choice stays
        SelectComboItem(w, 1053, 1);
        SelectListItem(w, 1047, kLatitude);
        Click(w, 1178);
        SelectComboItem(w, 1053, 0);
        TypeText(w, 1046, "二");
        TypeText(w, 1052, "b");
        Click(w, 1058);
        SelectTab(w, 1042, 0);
        SelectListItem(w, 1043, 1);
        EXPECT_EQ(ControlText(w, 1060), "纬度,");
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatName, "二");
    EXPECT_EQ(s.m_params.m_column[0], 0);
    EXPECT_EQ(s.m_params.m_formatIndex, 1);
}

TEST_F(FormatDialogTest, MissingNameOrExtensionIsRefusedAndTheFieldsKeepTheirText) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [&](CWnd& w) {
        Prompts().AnswerMessageBox(IDOK);
        DefineFormat(w, "坐标", "", 0, {kNorthing});
        Prompts().AnswerMessageBox(IDOK);
        Click(w, 1057);
        TypeText(w, 1052, "txt");
        Click(w, 1058);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        for (const MessageBoxRequest& box : Prompts().MessageBoxes()) {
            EXPECT_EQ(box.text, kMissingNameOrExtension);
            EXPECT_EQ(box.type & MB_TYPEMASK, MB_OK);
        }
        EXPECT_EQ(ControlText(w, 1052), "txt");
        EXPECT_EQ(ControlText(w, 1046), "");
        SelectTab(w, 1042, 0);
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        Click(w, IDCANCEL);
    }));
}

// Regression: the list of tab 0 filled every control from members that had
// not been read, wiping what was typed on tab 1.
TEST_F(FormatDialogTest, TypedTextSurvivesSwitchingTabsAndNewFormatKeepsDescription) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}, {"大地", "geo", " ", "点号 纬度 "}});
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, 1042, 1);
        SelectComboItem(w, 1053, 1);
        TypeText(w, 1046, "测量");
        TypeText(w, 1050, "外业点");
        SelectTab(w, 1042, 0);
        SelectListItem(w, 1043, 1);
        SelectTab(w, 1042, 2);
        SelectTab(w, 1042, 1);
        EXPECT_EQ(ControlText(w, 1046), "测量");
        EXPECT_EQ(ControlText(w, 1050), "外业点");
        EXPECT_EQ(ControlText(w, 1053), "{Space}");
        Click(w, 1178);
        Click(w, 1057);
        EXPECT_EQ(ControlText(w, 1046), "");
        EXPECT_EQ(ControlText(w, 1054), "");
        EXPECT_EQ(ControlText(w, 1050), "外业点");
        EXPECT_EQ(ControlText(w, 1053), "{Space}");
        Click(w, IDCANCEL);
    }));
}

TEST_F(FormatDialogTest, AddAndClearBuildTheItemLine) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, 1042, 1);
        // The tab selects the first data item, so "添加" adds "点号".
        Click(w, 1178);
        EXPECT_EQ(ControlText(w, 1054), "点号,");
        SelectListItem(w, 1047, 7);
        Click(w, 1178);
        EXPECT_EQ(ControlText(w, 1054), "点号,其它,");
        Click(w, 1051);
        EXPECT_EQ(ControlText(w, 1054), "");
        Click(w, IDCANCEL);
    }));
}

TEST_F(FormatDialogTest, TabStatesShowOnePageAndSetTheButtons) {
    ConversionSession s;
    RunFormat(s, [](CWnd& w) {
        auto check = [&w](int tab) {
            SCOPED_TRACE(testing::Message() << "tab " << tab);
            for (int id : kFormatsPage) EXPECT_EQ(ControlVisible(w, id), tab == 0) << id;
            for (int id : kNewFormatPage) EXPECT_EQ(ControlVisible(w, id), tab == 1) << id;
            for (int id : kNamingPage) EXPECT_EQ(ControlVisible(w, id), tab == 2) << id;
            for (int id : {IDOK, IDCANCEL, 1057, 1058, 1179, 1042})
                EXPECT_TRUE(ControlVisible(w, id));
            EXPECT_EQ(ControlEnabled(w, 1057), tab == 1);
            EXPECT_EQ(ControlEnabled(w, 1058), tab == 1);
            EXPECT_EQ(ControlEnabled(w, 1179), tab == 0);
        };
        auto& tab = *static_cast<CTabCtrl*>(w.GetDlgItem(1042));
        ASSERT_EQ(tab.GetItemCount(), 3);
        EXPECT_EQ(tab.GetItemText(0), "文件格式");
        EXPECT_EQ(tab.GetItemText(1), "自定义格式");
        EXPECT_EQ(tab.GetItemText(2), "转换方式");
        EXPECT_EQ(w.GetWindowText(), "文件格式");
        check(0);  // the template's own state
        SelectTab(w, 1042, 1);
        check(1);
        auto& items = *static_cast<CListBox*>(w.GetDlgItem(1047));
        ASSERT_EQ(items.GetCount(), kDataItemCount);
        for (int i = 0; i < kDataItemCount; ++i) EXPECT_EQ(items.GetText(i), kDataItems[i]);
        EXPECT_EQ(items.GetCurSel(), 0);
        SelectTab(w, 1042, 2);
        check(2);
        SelectTab(w, 1042, 0);
        check(0);
        Click(w, IDCANCEL);
    });
}

TEST_F(FormatDialogTest, TemplateLaysThePagesInsideTheTabAndTheButtonsBesideIt) {
    const DialogTemplate* tpl = AfxGetResources().FindDialog(134);
    ASSERT_NE(tpl, nullptr);
    EXPECT_EQ(tpl->cx, 268);
    EXPECT_EQ(tpl->cy, 157);
    EXPECT_EQ(tpl->fontName, "宋体");
    const ControlTemplate* tab = tpl->FindControl(1042);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->kind, ControlKind::TabControl);
    EXPECT_EQ(tab->x, 7);
    EXPECT_EQ(tab->y, 7);
    EXPECT_EQ(tab->cx, 201);
    EXPECT_EQ(tab->cy, 143);
    std::vector<int> pages = kFormatsPage;
    pages.insert(pages.end(), kNewFormatPage.begin(), kNewFormatPage.end());
    pages.insert(pages.end(), kNamingPage.begin(), kNamingPage.end());
    for (int id : pages) {
        const ControlTemplate* c = tpl->FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_TRUE(c->x >= tab->x && c->y >= tab->y && c->x + c->cx <= tab->x + tab->cx &&
                    c->y + c->cy <= tab->y + tab->cy)
            << "control " << id << " leaves the tab area";
        // Stacked above the tab control, not beneath it.
        EXPECT_GT(tpl->IndexOf(id), tpl->IndexOf(1042)) << id;
    }
    for (int id : {IDOK, IDCANCEL, 1057, 1058, 1179}) {
        const ControlTemplate* c = tpl->FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_GE(c->x, tab->x + tab->cx) << id;
        EXPECT_LE(c->x + c->cx, tpl->cx) << id;
    }
    EXPECT_TRUE(tpl->FindControl(1043)->style & LBS_NOTIFY);
    EXPECT_FALSE(tpl->FindControl(1043)->style & LBS_SORT);
    EXPECT_FALSE(tpl->FindControl(1047)->style & LBS_SORT);
    EXPECT_TRUE(tpl->FindControl(1053)->style & CBS_SORT);
    EXPECT_TRUE(tpl->FindControl(1060)->style & SS_SUNKEN);
    EXPECT_TRUE(tpl->FindControl(1054)->style & SS_SUNKEN);
}

TEST_F(FormatDialogTest, DeleteThenOkSavesTheTableWithoutItAndChoosesTheFirst) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}, {"大地", "geo", " ", "点号 纬度 经度 椭球高 "}});
    ConversionSession s;
    s.m_params.m_formatIndex = 1;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCurSel(), 1);
        EXPECT_EQ(ControlText(w, 1060), "点号 纬度 经度 椭球高 ");
        Click(w, 1179);
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, 1060), kPlaneItems);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatName, "坐标");
    EXPECT_EQ(s.m_params.m_formatIndex, 0);
    EXPECT_EQ(ReadBytes(StorePath()),
              kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");
}

TEST_F(FormatDialogTest, DeletingTheLastFormatLeavesAnEmptyLine) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    // An empty table has nothing to choose: OK saves it and hands over nothing.
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        Click(w, 1179);
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        EXPECT_EQ(ControlText(w, 1060), "");
        Click(w, IDOK);
    }));
    EXPECT_TRUE(ChoiceOf(s) == before);
    EXPECT_EQ(ReadBytes(StorePath()), kCountGb + "0\r\n");
}

// Regression: OK with no entry selected took the record at index -1, a
// format that does not exist, and handed it to the session.
TEST_F(FormatDialogTest, OkWithNoSelectionAsksForAFormatAndStaysOpen) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s = SessionWithChoice();
    s.m_params.m_formatIndex = 5;  // names no entry
    EXPECT_TRUE(RunFormat(s, [&](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCurSel(), -1);
        EXPECT_EQ(ControlText(w, 1060), "");
        SelectTab(w, 1042, 2);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_NE(Prompts().MessageBoxes()[0].text.find("文件格式"), std::string::npos);
        // Still open, back on the list of formats.
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(static_cast<CTabCtrl*>(w.GetDlgItem(1042))->GetCurSel(), 0);
        EXPECT_TRUE(ControlVisible(w, 1043));
        SelectListItem(w, 1043, 0);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatName, "坐标");
    EXPECT_EQ(s.m_params.m_formatIndex, 0);
}

// Guards against lines cut at the first byte of a separator that is not ","
// or " ", such as a full-width "，" from a store edited by hand.
TEST_F(FormatDialogTest, SeparatorsOtherThanCommaAndBlankAreRefused) {
    WriteStore({{"全角", "txt", "，", "点号，北方向X，东方向Y，水准高，"},
                {"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    EXPECT_FALSE(RunFormat(s, [&](CWnd& w) {
        SelectListItem(w, 1043, 0);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        const std::string text = Prompts().MessageBoxes()[0].text;
        EXPECT_NE(text.find("“全角”的分隔符“，”不能使用"), std::string::npos) << text;
        EXPECT_NE(text.find("半角逗号“,”或空格"), std::string::npos) << text;
        EXPECT_TRUE(w.ContinueModal());
        Click(w, IDCANCEL);
    }));
    EXPECT_TRUE(ChoiceOf(s) == before);
}

// A first format created on tab 1 and confirmed with OK at once is not in
// the (hidden) list yet: the user is shown it rather than given nothing.
TEST_F(FormatDialogTest, OkRightAfterTheFirstNewFormatShowsItForChoosing) {
    ConversionSession s;
    EXPECT_TRUE(RunFormat(s, [&](CWnd& w) {
        DefinePlaneFormat(w);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatName, "坐标");
}

TEST_F(FormatDialogTest, CancelWritesNothingAndLeavesTheSession) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    const std::string storeBefore = ReadBytes(StorePath());
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        Click(w, 1179);
        DefinePlaneFormat(w, 1);
        SelectTab(w, 1042, 2);
        Click(w, 1061);
        Click(w, IDCANCEL);
    }));
    EXPECT_TRUE(ChoiceOf(s) == before);
    EXPECT_EQ(ReadBytes(StorePath()), storeBefore);
}

TEST_F(FormatDialogTest, NoStoreAndCancelCreatesNoFile) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        Click(w, IDCANCEL);
    }));
    EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(FormatDialogTest, NamingRadiosOpenAtTheSessionChoiceAndReachItThroughOk) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s;
    s.m_params.m_naming = 0;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, 1042, 2);
        EXPECT_EQ(ControlCheck(w, 1061), BST_CHECKED);
        EXPECT_EQ(ControlText(w, 1061), "覆盖原文件,如File.txt");
        EXPECT_EQ(ControlText(w, 1024), "扩展名上加1,如File.txt1");
        EXPECT_EQ(ControlText(w, 1027), "文件名上加1，如File1.txt");
        Click(w, 1027);
        EXPECT_EQ(static_cast<CFileFormatDlg&>(w).m_naming, 2);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_naming, 2);
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, 1042, 2);
        EXPECT_EQ(ControlCheck(w, 1027), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, 1061), BST_UNCHECKED);
        Click(w, 1024);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_naming, 1);
}

// Regression: the table held 100 formats; a longer store overflowed it.
TEST_F(FormatDialogTest, MoreThanAHundredFormatsAreListedChosenAndKept) {
    std::vector<FileFormat> many;
    for (int i = 0; i < 150; ++i) many.push_back({"F" + std::to_string(i), "e", ",", "其它,"});
    many[120].itemLine = "东方向Y,北方向X,";
    WriteStore(many);
    ConversionSession s;
    s.m_params.m_formatIndex = 120;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCount(), 150);
        EXPECT_EQ(FormatList(w).GetCurSel(), 120);
        DefineFormat(w, "F150", "e", 0, {kEasting});
        SelectTab(w, 1042, 0);
        EXPECT_EQ(FormatList(w).GetText(150), "F150 (*.e)");
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_params.m_formatName, "F120");
    EXPECT_EQ(s.m_params.m_column[0], 1);
    EXPECT_EQ(s.m_params.m_column[1], 0);
    EXPECT_EQ(s.m_params.m_column[2], -1);
    std::vector<FileFormat> stored;
    ASSERT_EQ(LoadFormatStore(StorePath(), &stored, nullptr), StoreStatus::Loaded);
    ASSERT_EQ(stored.size(), 151u);
    EXPECT_EQ(stored[150].name, "F150");
}

TEST_F(FormatDialogTest, UnreadableStoreIsReportedAndTheDialogDoesNotOpen) {
    // A directory where the store should be cannot be read as a file.
    ASSERT_TRUE(std::filesystem::create_directory(StorePath()));
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    Prompts().AnswerMessageBox(IDOK);
    EXPECT_FALSE(FormatCommand::OnFormat(s));
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_NE(Prompts().MessageBoxes()[0].text.find("Par.txt"), std::string::npos)
        << Prompts().MessageBoxes()[0].text;
    EXPECT_TRUE(ChoiceOf(s) == before);
}

TEST_F(FormatDialogTest, UnwritableStoreIsReportedAndKeepsTheOldStoreAndChoice) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    const std::string storeBefore = ReadBytes(StorePath());
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    bool chosen = true;
    {
        ScopedFileSizeLimit cap(8);  // the new store cannot be written whole
        chosen = RunFormat(s, [&](CWnd& w) {
            DefinePlaneFormat(w);
            SelectTab(w, 1042, 0);
            Prompts().AnswerMessageBox(IDOK);
            Click(w, IDOK);
        });
    }
    EXPECT_FALSE(chosen);
    EXPECT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_TRUE(ChoiceOf(s) == before);
    EXPECT_EQ(ReadBytes(StorePath()), storeBefore);
}

TEST_F(FormatDialogTest, SerializeWritesAndReadsTheStoreThroughAnArchive) {
    const std::string path = StorePath();
    {
        CFileFormatDlg dlg;
        dlg.m_formats = {{"坐标", "txt", ",", kPlaneItems}};
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 512);
        dlg.Serialize(ar);
        ar.Close();
        file.Close();
    }
    EXPECT_EQ(ReadBytes(path),
              kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");
    CFileFormatDlg back;
    CFile file(path, CFile::modeRead);
    CArchive ar(&file, CArchive::load, 512);
    back.Serialize(ar);
    ASSERT_EQ(back.m_formats.size(), 1u);
    EXPECT_EQ(back.m_formats[0].name, "坐标");
    EXPECT_EQ(back.m_formats[0].itemLine, kPlaneItems);
}

}  // namespace
