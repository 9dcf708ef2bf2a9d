// The file-format dialog driven through the command "格式" as a user drives
// it: defining, listing, deleting and choosing formats, the bytes of the
// store on disk, the tab states, and the failures that must keep the
// session's chosen format.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "batch/FormatStore.h"
#include "io/Archive.h"
#include "io/File.h"
#include "res/resource.h"
#include "session/ConversionSession.h"
#include "session/Globals.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/batch/FileFormatDlg.h"
#include "ui/batch/FormatCommand.h"
#include "ui/framework/ComboBox.h"
#include "ui/framework/ListBox.h"
#include "ui/resources/ResourceSet.h"

namespace {

// GB18030 bytes written out by hand, independent of the code under test.
const std::string kCountGb = "\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xca\xfd:";  // 文件类型数:
const std::string kZuobiaoGb = "\xd7\xf8\xb1\xea";                         // 坐标
const std::string kPlaneItemsGb =  // 点号,北方向X,东方向Y,水准高,
    "\xb5\xe3\xba\xc5,\xb1\xb1\xb7\xbd\xcf\xf2X,\xb6\xab\xb7\xbd\xcf\xf2Y,"
    "\xcb\xae\xd7\xbc\xb8\xdf,";

constexpr char kPlaneItems[] = "点号,北方向X,东方向Y,水准高,";
constexpr char kMissingNameOrExtension[] = "请输入文件类型名称和后缀";

// Indexes of the data items in list IDC_DATA_ITEMS.
constexpr int kPointNumber = 0, kLatitude = 1, kNorthing = 4, kEasting = 5, kLevelHeight = 6;

// Control IDs of each tab.
const std::vector<int> kFormatsPage = {IDC_FORMAT_LIST, IDC_SELECTED_ITEMS};
const std::vector<int> kNewFormatPage = {
    IDC_FORMAT_NAME_LABEL, IDC_FORMAT_NAME, IDC_DESCRIPTION_LABEL, IDC_DESCRIPTION,
    IDC_EXTENSION_LABEL,   IDC_EXTENSION,   IDC_SEPARATOR_LABEL,   IDC_SEPARATOR,
    IDC_DATA_ITEMS_LABEL,  IDC_DATA_ITEMS,  IDC_ADD_ITEM,          IDC_CLEAR_ITEMS,
    IDC_ITEM_LINE};
const std::vector<int> kNamingPage = {IDC_NAMING_OVERWRITE, IDC_NAMING_EXTENSION,
                                      IDC_NAMING_FILE_NAME};

CListBox& FormatList(CWnd& w) { return *static_cast<CListBox*>(w.GetDlgItem(IDC_FORMAT_LIST)); }

// On tab 1: a new format with the separator `separator` (0 ",", 1 "{Space}")
// and the data items at `items`, then "完成新建".
void DefineFormat(CWnd& w, const std::string& name, const std::string& extension, int separator,
                  std::initializer_list<int> items) {
    SelectTab(w, IDC_FORMAT_TAB, 1);
    Click(w, IDC_NEW_FORMAT);
    TypeText(w, IDC_FORMAT_NAME, name);
    TypeText(w, IDC_EXTENSION, extension);
    SelectComboItem(w, IDC_SEPARATOR, separator);
    for (int item : items) {
        SelectListItem(w, IDC_DATA_ITEMS, item);
        Click(w, IDC_ADD_ITEM);
    }
    Click(w, IDC_FINISH_FORMAT);
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
    const FormatChoice& fmt = s.m_format;
    return {{fmt.m_column[0], fmt.m_column[1], fmt.m_column[2]},
            fmt.m_formatName,
            fmt.m_formatExtension,
            fmt.m_formatSeparator,
            fmt.m_naming,
            fmt.m_formatIndex};
}

// A session that has chosen a format before.
ConversionSession SessionWithChoice() {
    ConversionSession s;
    FormatChoice& fmt = s.m_format;
    fmt.m_column[0] = 0;
    fmt.m_column[1] = 1;
    fmt.m_column[2] = 2;
    fmt.m_formatName = "旧格式";
    fmt.m_formatExtension = "dat";
    fmt.m_formatSeparator = " ";
    fmt.m_naming = 2;
    fmt.m_formatIndex = 0;
    return s;
}

class FormatDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        m_savedAppDir = g_appDir;
        g_appDir = dir.Path() + "/";
        // No store beside the executable: the window keeps it in the
        // configuration folder.
        m_configHome.emplace(TestPlatform::kConfigFolderVariable, config.Path());
    }
    void TearDown() override {
        m_configHome.reset();
        g_appDir = m_savedAppDir;
        UiTest::TearDown();
    }

    std::string StorePath() const { return config.File("terrax/Par.txt"); }

    // Runs the command; `act` runs inside the dialog once it is shown.
    bool RunFormat(ConversionSession& s, const std::function<void(CWnd&)>& act) {
        auto run = Prompts().ArmModal(act);
        const bool chosen = FormatCommand::OnFormat(s);
        EXPECT_TRUE(run->ran);
        return chosen;
    }

    void WriteStore(const std::vector<FileFormat>& formats) {
        std::string error;
        std::filesystem::create_directories(config.File("terrax"));
        ASSERT_TRUE(SaveFormatStore(StorePath(), formats, &error)) << error;
    }

    TestTempDir dir;
    TestTempDir config;

private:
    std::string m_savedAppDir;
    std::optional<ScopedEnv> m_configHome;
};

TEST_F(FormatDialogTest, DefinedFormatIsStoredAsFiveGbLinesAndListedOnReopen) {
    ConversionSession s;
    const bool chosen = RunFormat(s, [](CWnd& w) {
        SelectTab(w, IDC_FORMAT_TAB, 1);
        TypeText(w, IDC_DESCRIPTION, "描述不保存");  // the store's bytes below hold no description
        DefinePlaneFormat(w);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), kPlaneItems);
        // Listed once tab 0 is selected again, and selected.
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        SelectTab(w, IDC_FORMAT_TAB, 0);
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetText(0), "坐标 (*.txt)");
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), kPlaneItems);
        Click(w, IDOK);
    });
    EXPECT_TRUE(chosen);
    const FormatChoice& fmt = s.m_format;
    EXPECT_EQ(fmt.m_column[0], 1);
    EXPECT_EQ(fmt.m_column[1], 2);
    EXPECT_EQ(fmt.m_column[2], 3);
    EXPECT_EQ(fmt.m_formatName, "坐标");
    EXPECT_EQ(fmt.m_formatExtension, "txt");
    EXPECT_EQ(fmt.m_formatSeparator, ",");
    EXPECT_EQ(fmt.m_naming, 1);
    EXPECT_EQ(fmt.m_formatIndex, 0);

    const std::string bytes = ReadBytes(StorePath());
    EXPECT_EQ(bytes, kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");

    // The store is read afresh by the next opening.
    ConversionSession again;
    EXPECT_FALSE(RunFormat(again, [](CWnd& w) {
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetText(0), "坐标 (*.txt)");
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), kPlaneItems);
        Click(w, IDCANCEL);
    }));
}

TEST_F(FormatDialogTest, SpaceSeparatorEndsEveryItemWithOneBlank) {
    ConversionSession s;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        auto& separators = *static_cast<CComboBox*>(w.GetDlgItem(IDC_SEPARATOR));
        ASSERT_EQ(separators.GetCount(), 2);
        EXPECT_EQ(separators.GetLBText(0), ",");
        EXPECT_EQ(separators.GetLBText(1), "{Space}");
        DefinePlaneFormat(w, 1);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "点号 北方向X 东方向Y 水准高 ");
        SelectTab(w, IDC_FORMAT_TAB, 0);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_formatSeparator, " ");
    EXPECT_EQ(s.m_format.m_column[0], 1);
    EXPECT_EQ(s.m_format.m_column[1], 2);
    EXPECT_EQ(s.m_format.m_column[2], 3);
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
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "点号,纬度,");
        SelectComboItem(w, IDC_SEPARATOR, 1);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "点号 纬度 ");
        Click(w, IDCANCEL);
    }));
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        DefineFormat(w, "大地", "geo", 0, {kPointNumber, kLatitude});
        Click(w, IDC_NEW_FORMAT);  // the separator choice stays
        SelectComboItem(w, IDC_SEPARATOR, 1);
        SelectListItem(w, IDC_DATA_ITEMS, kLatitude);
        Click(w, IDC_ADD_ITEM);
        SelectComboItem(w, IDC_SEPARATOR, 0);
        TypeText(w, IDC_FORMAT_NAME, "二");
        TypeText(w, IDC_EXTENSION, "b");
        Click(w, IDC_FINISH_FORMAT);
        SelectTab(w, IDC_FORMAT_TAB, 0);
        SelectListItem(w, IDC_FORMAT_LIST, 1);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), "纬度,");
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_formatName, "二");
    EXPECT_EQ(s.m_format.m_column[0], 0);
    EXPECT_EQ(s.m_format.m_formatIndex, 1);
}

TEST_F(FormatDialogTest, MissingNameOrExtensionIsRefusedAndTheFieldsKeepTheirText) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [&](CWnd& w) {
        Prompts().AnswerMessageBox(IDOK);
        DefineFormat(w, "坐标", "", 0, {kNorthing});
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_NEW_FORMAT);
        TypeText(w, IDC_EXTENSION, "txt");
        Click(w, IDC_FINISH_FORMAT);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        for (const MessageBoxRequest& box : Prompts().MessageBoxes()) {
            EXPECT_EQ(box.text, kMissingNameOrExtension);
            EXPECT_EQ(box.type & MB_TYPEMASK, MB_OK);
        }
        EXPECT_EQ(ControlText(w, IDC_EXTENSION), "txt");
        EXPECT_EQ(ControlText(w, IDC_FORMAT_NAME), "");
        SelectTab(w, IDC_FORMAT_TAB, 0);
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
        SelectTab(w, IDC_FORMAT_TAB, 1);
        SelectComboItem(w, IDC_SEPARATOR, 1);
        TypeText(w, IDC_FORMAT_NAME, "测量");
        TypeText(w, IDC_DESCRIPTION, "外业点");
        SelectTab(w, IDC_FORMAT_TAB, 0);
        SelectListItem(w, IDC_FORMAT_LIST, 1);
        SelectTab(w, IDC_FORMAT_TAB, 2);
        SelectTab(w, IDC_FORMAT_TAB, 1);
        EXPECT_EQ(ControlText(w, IDC_FORMAT_NAME), "测量");
        EXPECT_EQ(ControlText(w, IDC_DESCRIPTION), "外业点");
        EXPECT_EQ(ControlText(w, IDC_SEPARATOR), "{Space}");
        Click(w, IDC_ADD_ITEM);
        Click(w, IDC_NEW_FORMAT);
        EXPECT_EQ(ControlText(w, IDC_FORMAT_NAME), "");
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "");
        EXPECT_EQ(ControlText(w, IDC_DESCRIPTION), "外业点");
        EXPECT_EQ(ControlText(w, IDC_SEPARATOR), "{Space}");
        Click(w, IDCANCEL);
    }));
}

TEST_F(FormatDialogTest, AddAndClearBuildTheItemLine) {
    ConversionSession s;
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, IDC_FORMAT_TAB, 1);
        // The tab selects the first data item, so "添加" adds "点号".
        Click(w, IDC_ADD_ITEM);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "点号,");
        SelectListItem(w, IDC_DATA_ITEMS, 7);
        Click(w, IDC_ADD_ITEM);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "点号,其它,");
        Click(w, IDC_CLEAR_ITEMS);
        EXPECT_EQ(ControlText(w, IDC_ITEM_LINE), "");
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
            for (int id : {IDOK, IDCANCEL, IDC_NEW_FORMAT, IDC_FINISH_FORMAT, IDC_DELETE_FORMAT,
                           IDC_FORMAT_TAB})
                EXPECT_TRUE(ControlVisible(w, id));
            EXPECT_EQ(ControlEnabled(w, IDC_NEW_FORMAT), tab == 1);
            EXPECT_EQ(ControlEnabled(w, IDC_FINISH_FORMAT), tab == 1);
            EXPECT_EQ(ControlEnabled(w, IDC_DELETE_FORMAT), tab == 0);
        };
        auto& tab = *static_cast<CTabCtrl*>(w.GetDlgItem(IDC_FORMAT_TAB));
        ASSERT_EQ(tab.GetItemCount(), 3);
        EXPECT_EQ(tab.GetItemText(0), "文件格式");
        EXPECT_EQ(tab.GetItemText(1), "自定义格式");
        EXPECT_EQ(tab.GetItemText(2), "转换方式");
        EXPECT_EQ(w.GetWindowText(), "文件格式");
        check(0);  // the template's own state
        SelectTab(w, IDC_FORMAT_TAB, 1);
        check(1);
        auto& items = *static_cast<CListBox*>(w.GetDlgItem(IDC_DATA_ITEMS));
        ASSERT_EQ(items.GetCount(), kDataItemCount);
        for (int i = 0; i < kDataItemCount; ++i) EXPECT_EQ(items.GetText(i), kDataItems[i]);
        EXPECT_EQ(items.GetCurSel(), 0);
        SelectTab(w, IDC_FORMAT_TAB, 2);
        check(2);
        SelectTab(w, IDC_FORMAT_TAB, 0);
        check(0);
        Click(w, IDCANCEL);
    });
}

TEST_F(FormatDialogTest, TemplateLaysThePagesInsideTheTabAndTheButtonsBesideIt) {
    const DialogTemplate* tpl = AfxGetResources().FindDialog(IDD_FILE_FORMAT);
    ASSERT_NE(tpl, nullptr);
    EXPECT_EQ(tpl->cx, 268);
    EXPECT_EQ(tpl->cy, 157);
    EXPECT_EQ(tpl->fontName, "宋体");
    const ControlTemplate* tab = tpl->FindControl(IDC_FORMAT_TAB);
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
        EXPECT_GT(tpl->IndexOf(id), tpl->IndexOf(IDC_FORMAT_TAB)) << id;
    }
    for (int id : {IDOK, IDCANCEL, IDC_NEW_FORMAT, IDC_FINISH_FORMAT, IDC_DELETE_FORMAT}) {
        const ControlTemplate* c = tpl->FindControl(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_GE(c->x, tab->x + tab->cx) << id;
        EXPECT_LE(c->x + c->cx, tpl->cx) << id;
    }
    EXPECT_TRUE(tpl->FindControl(IDC_FORMAT_LIST)->style & LBS_NOTIFY);
    EXPECT_FALSE(tpl->FindControl(IDC_FORMAT_LIST)->style & LBS_SORT);
    EXPECT_FALSE(tpl->FindControl(IDC_DATA_ITEMS)->style & LBS_SORT);
    EXPECT_TRUE(tpl->FindControl(IDC_SEPARATOR)->style & CBS_SORT);
    EXPECT_TRUE(tpl->FindControl(IDC_SELECTED_ITEMS)->style & SS_SUNKEN);
    EXPECT_TRUE(tpl->FindControl(IDC_ITEM_LINE)->style & SS_SUNKEN);
}

TEST_F(FormatDialogTest, DeleteThenOkSavesTheTableWithoutItAndChoosesTheFirst) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}, {"大地", "geo", " ", "点号 纬度 经度 椭球高 "}});
    ConversionSession s;
    s.m_format.m_formatIndex = 1;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCurSel(), 1);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), "点号 纬度 经度 椭球高 ");
        Click(w, IDC_DELETE_FORMAT);
        ASSERT_EQ(FormatList(w).GetCount(), 1);
        EXPECT_EQ(FormatList(w).GetCurSel(), 0);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), kPlaneItems);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_formatName, "坐标");
    EXPECT_EQ(s.m_format.m_formatIndex, 0);
    EXPECT_EQ(ReadBytes(StorePath()),
              kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");
}

TEST_F(FormatDialogTest, DeletingTheLastFormatLeavesAnEmptyLine) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    // An empty table has nothing to choose: OK saves it and hands over nothing.
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        Click(w, IDC_DELETE_FORMAT);
        EXPECT_EQ(FormatList(w).GetCount(), 0);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), "");
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
    s.m_format.m_formatIndex = 5;  // names no entry
    EXPECT_TRUE(RunFormat(s, [&](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCurSel(), -1);
        EXPECT_EQ(ControlText(w, IDC_SELECTED_ITEMS), "");
        SelectTab(w, IDC_FORMAT_TAB, 2);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_NE(Prompts().MessageBoxes()[0].text.find("文件格式"), std::string::npos);
        // Still open, back on the list of formats.
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(static_cast<CTabCtrl*>(w.GetDlgItem(IDC_FORMAT_TAB))->GetCurSel(), 0);
        EXPECT_TRUE(ControlVisible(w, IDC_FORMAT_LIST));
        SelectListItem(w, IDC_FORMAT_LIST, 0);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_formatName, "坐标");
    EXPECT_EQ(s.m_format.m_formatIndex, 0);
}

// Guards against lines cut at the first byte of a separator that is not ","
// or " ", such as a full-width "，" from a store edited by hand.
TEST_F(FormatDialogTest, SeparatorsOtherThanCommaAndBlankAreRefused) {
    WriteStore({{"全角", "txt", "，", "点号，北方向X，东方向Y，水准高，"},
                {"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    EXPECT_FALSE(RunFormat(s, [&](CWnd& w) {
        SelectListItem(w, IDC_FORMAT_LIST, 0);
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
    EXPECT_EQ(s.m_format.m_formatName, "坐标");
}

TEST_F(FormatDialogTest, CancelWritesNothingAndLeavesTheSession) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    const std::string storeBefore = ReadBytes(StorePath());
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    EXPECT_FALSE(RunFormat(s, [](CWnd& w) {
        Click(w, IDC_DELETE_FORMAT);
        DefinePlaneFormat(w, 1);
        SelectTab(w, IDC_FORMAT_TAB, 2);
        Click(w, IDC_NAMING_OVERWRITE);
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
    EXPECT_TRUE(config.Entries().empty());
}

TEST_F(FormatDialogTest, NamingRadiosOpenAtTheSessionChoiceAndReachItThroughOk) {
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    ConversionSession s;
    s.m_format.m_naming = 0;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, IDC_FORMAT_TAB, 2);
        EXPECT_EQ(ControlCheck(w, IDC_NAMING_OVERWRITE), BST_CHECKED);
        EXPECT_EQ(ControlText(w, IDC_NAMING_OVERWRITE), "覆盖原文件,如File.txt");
        EXPECT_EQ(ControlText(w, IDC_NAMING_EXTENSION), "扩展名上加1,如File.txt1");
        EXPECT_EQ(ControlText(w, IDC_NAMING_FILE_NAME), "文件名上加1，如File1.txt");
        Click(w, IDC_NAMING_FILE_NAME);
        EXPECT_EQ(static_cast<CFileFormatDlg&>(w).m_naming, 2);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_naming, 2);
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        SelectTab(w, IDC_FORMAT_TAB, 2);
        EXPECT_EQ(ControlCheck(w, IDC_NAMING_FILE_NAME), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_NAMING_OVERWRITE), BST_UNCHECKED);
        Click(w, IDC_NAMING_EXTENSION);
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_naming, 1);
}

// Regression: the table held 100 formats; a longer store overflowed it.
TEST_F(FormatDialogTest, MoreThanAHundredFormatsAreListedChosenAndKept) {
    std::vector<FileFormat> many;
    for (int i = 0; i < 150; ++i) many.push_back({"F" + std::to_string(i), "e", ",", "其它,"});
    many[120].itemLine = "东方向Y,北方向X,";
    WriteStore(many);
    ConversionSession s;
    s.m_format.m_formatIndex = 120;
    EXPECT_TRUE(RunFormat(s, [](CWnd& w) {
        EXPECT_EQ(FormatList(w).GetCount(), 150);
        EXPECT_EQ(FormatList(w).GetCurSel(), 120);
        DefineFormat(w, "F150", "e", 0, {kEasting});
        SelectTab(w, IDC_FORMAT_TAB, 0);
        EXPECT_EQ(FormatList(w).GetText(150), "F150 (*.e)");
        Click(w, IDOK);
    }));
    EXPECT_EQ(s.m_format.m_formatName, "F120");
    EXPECT_EQ(s.m_format.m_column[0], 1);
    EXPECT_EQ(s.m_format.m_column[1], 0);
    EXPECT_EQ(s.m_format.m_column[2], -1);
    std::vector<FileFormat> stored;
    ASSERT_EQ(LoadFormatStore(StorePath(), &stored, nullptr), StoreStatus::Loaded);
    ASSERT_EQ(stored.size(), 151u);
    EXPECT_EQ(stored[150].name, "F150");
}

TEST_F(FormatDialogTest, UnreadableStoreIsReportedAndTheDialogDoesNotOpen) {
    // A directory where the store should be cannot be read as a file.
    ASSERT_TRUE(std::filesystem::create_directories(StorePath()));
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
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    WriteStore({{"坐标", "txt", ",", kPlaneItems}});
    const std::string storeBefore = ReadBytes(StorePath());
    ConversionSession s = SessionWithChoice();
    const Choice before = ChoiceOf(s);
    bool chosen = true;
    {
        ScopedFileSizeLimit cap(8);  // the new store cannot be written whole
        chosen = RunFormat(s, [&](CWnd& w) {
            DefinePlaneFormat(w);
            SelectTab(w, IDC_FORMAT_TAB, 0);
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
    std::filesystem::create_directories(config.File("terrax"));
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
