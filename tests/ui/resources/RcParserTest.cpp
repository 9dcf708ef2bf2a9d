// The resource-script reader and the resource set: what good scripts give,
// and that every kind of fault is refused with its file, line and reason.

#include <gtest/gtest.h>

#include <map>

#include "ui/resources/RcParser.h"
#include "ui/resources/ResourceSet.h"

namespace {

ResourceScript ParseOk(const std::string& text) {
    ResourceScript script;
    std::string error;
    EXPECT_TRUE(CRcParser::Parse(text, "t.rc", &script, &error)) << error;
    return script;
}

std::string ParseError(const std::string& text) {
    ResourceScript script;
    std::string error;
    EXPECT_FALSE(CRcParser::Parse(text, "t.rc", &script, &error)) << "accepted:\n" << text;
    return error;
}

const char kDialogHead[] =
    "7 DIALOG 0, 0, 100, 50\n"
    "STYLE WS_POPUP | WS_CAPTION\n"
    "BEGIN\n";

TEST(RcParser, ReadsDialogHeaderAndControlsInOrder) {
    ResourceScript script = ParseOk(
        "\xEF\xBB\xBF// a comment\n"
        "102 DIALOG 0, 0, 324, 191\n"
        "STYLE DS_MODALFRAME | WS_MINIMIZEBOX | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU\n"
        "EXSTYLE WS_EX_APPWINDOW\n"
        "CAPTION \"坐标\"\"转换\"\n"
        "FONT 9, \"宋体\"\n"
        "BEGIN\n"
        "    GROUPBOX \"选择\", -1, 7, 7, 102, 62   // trailing comment\n"
        "    RTEXT \"x=\", 1012, 15, 103, 12, 8, WS_GROUP\n"
        "    EDITTEXT 1002, 34, 101, 84, 14, ES_AUTOHSCROLL\n"
        "    CONTROL \"七参数转换\", 1007, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 135, 25, 56, "
        "10\n"
        "    ICON 128, -1, 11, 17, 20, 20\n"
        "END\n");
    ASSERT_EQ(script.dialogs.size(), 1u);
    const DialogTemplate& dlg = script.dialogs[0];
    EXPECT_EQ(dlg.id, 102);
    EXPECT_EQ(dlg.cx, 324);
    EXPECT_EQ(dlg.cy, 191);
    EXPECT_EQ(dlg.caption, "坐标\"转换");
    EXPECT_EQ(dlg.fontSize, 9);
    EXPECT_EQ(dlg.fontName, "宋体");
    EXPECT_EQ(dlg.style, DS_MODALFRAME | WS_MINIMIZEBOX | WS_POPUP | WS_VISIBLE | WS_CAPTION |
                             WS_SYSMENU | DS_SETFONT);
    EXPECT_EQ(dlg.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(dlg.line, 2);
    ASSERT_EQ(dlg.controls.size(), 5u);
    EXPECT_TRUE(dlg.controls[0].IsGroupBox());
    EXPECT_EQ(dlg.controls[0].id, -1);
    EXPECT_EQ(dlg.controls[1].kind, ControlKind::Static);
    EXPECT_EQ(dlg.controls[1].style & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(dlg.controls[2].kind, ControlKind::Edit);
    EXPECT_EQ(dlg.controls[2].line, 10);
    EXPECT_TRUE(dlg.controls[3].IsCheckBox());
    EXPECT_EQ(dlg.controls[3].text, "七参数转换");
    EXPECT_TRUE(dlg.controls[4].IsIcon());
    EXPECT_EQ(dlg.controls[4].iconId, 128);
}

// A pane that the dialog fills with a view of its own.
TEST(RcParser, AViewPaneIsAPaneWithTheStylesGiven) {
    ResourceScript script = ParseOk(
        "7 DIALOG 0, 0, 100, 80\nBEGIN\n"
        "    CONTROL \"\", 1321, \"viewpane\", WS_TABSTOP | WS_BORDER, 50, 5, 45, 70\nEND\n");
    ASSERT_EQ(script.dialogs.size(), 1u);
    ASSERT_EQ(script.dialogs[0].controls.size(), 1u);
    const ControlTemplate& pane = script.dialogs[0].controls[0];
    EXPECT_EQ(pane.kind, ControlKind::Pane);
    EXPECT_STREQ(ControlKindName(pane.kind), "ViewPane");
    EXPECT_EQ(pane.style, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER);
    EXPECT_EQ(pane.cx, 45);
}

TEST(RcParser, KeywordsStartFromTheResourceCompilersDefaultStyles) {
    ResourceScript script = ParseOk(std::string(kDialogHead) +
                                    "LTEXT \"a\", 1, 0, 0, 1, 1\n"
                                    "PUSHBUTTON \"b\", 2, 0, 0, 1, 1\n"
                                    "DEFPUSHBUTTON \"c\", 3, 0, 0, 1, 1\n"
                                    "EDITTEXT 4, 0, 0, 1, 1\n"
                                    "COMBOBOX 5, 0, 0, 1, 1\n"
                                    "LISTBOX 6, 0, 0, 1, 1\n"
                                    "GROUPBOX \"g\", 7, 0, 0, 1, 1\n"
                                    "CONTROL \"r\", 8, \"Button\", BS_AUTORADIOBUTTON, 0, 0, 1, 1\n"
                                    "END\n");
    const auto& c = script.dialogs.at(0).controls;
    constexpr DWORD base = WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(c[0].style, base | SS_LEFT | WS_GROUP);
    EXPECT_EQ(c[1].style, base | BS_PUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(c[2].style, base | BS_DEFPUSHBUTTON | WS_TABSTOP);
    EXPECT_EQ(c[3].style, base | ES_LEFT | WS_BORDER | WS_TABSTOP);
    EXPECT_EQ(c[4].style, base | CBS_SIMPLE | WS_TABSTOP);
    EXPECT_EQ(c[5].style, base | LBS_NOTIFY | WS_BORDER);
    EXPECT_EQ(c[6].style, base | BS_GROUPBOX);
    EXPECT_EQ(c[7].style, base | BS_AUTORADIOBUTTON);
}

// Regression: combining CBS_DROPDOWN with the default CBS_SIMPLE bit for bit
// would give CBS_DROPDOWNLIST (3), and BS_AUTOCHECKBOX on a PUSHBUTTON
// statement must make a check box, not a mixture.
TEST(RcParser, ATypeStyleReplacesTheDefaultTypeAndNotRemovesFlags) {
    ResourceScript script =
        ParseOk(std::string(kDialogHead) +
                "COMBOBOX 5, 0, 0, 1, 1, CBS_DROPDOWN | CBS_SORT\n"
                "PUSHBUTTON \"b\", 2, 0, 0, 1, 1, BS_AUTOCHECKBOX | NOT WS_TABSTOP\n"
                "LTEXT \"x\", 3, 0, 0, 1, 1, SS_CENTER | NOT WS_VISIBLE | NOT WS_GROUP\n"
                "END\n");
    const auto& c = script.dialogs.at(0).controls;
    EXPECT_EQ(c[0].style & CBS_TYPEMASK, CBS_DROPDOWN);
    EXPECT_TRUE(c[0].style & CBS_SORT);
    EXPECT_TRUE(c[1].IsCheckBox());
    EXPECT_FALSE(c[1].style & WS_TABSTOP);
    EXPECT_EQ(c[2].style, WS_CHILD | SS_CENTER);
}

TEST(RcParser, DialogWithoutStyleGetsTheDefaultAndCaptionAddsTitleBar) {
    ResourceScript script = ParseOk("5 DIALOG 1, 2, 3, 4\nCAPTION \"c\"\nBEGIN\nEND\n");
    EXPECT_EQ(script.dialogs.at(0).style, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION);
    EXPECT_EQ(script.dialogs.at(0).fontSize, 0);
}

TEST(RcParser, ReadsMenusWithNestedPopupsAndDlgInit) {
    ResourceScript script = ParseOk(
        "128 MENU\nBEGIN\n"
        "  POPUP \"文件(&F)\"\n  BEGIN\n"
        "    MENUITEM \"新建(&N)...\", 57600\n    MENUITEM SEPARATOR\n"
        "    POPUP \"更多\"\n    BEGIN\n      MENUITEM \"深\", 33000\n    END\n"
        "  END\n"
        "  MENUITEM \"帮助\", 57664\n"
        "END\n"
        "102 DLGINIT\nBEGIN\n  1011, \"北京-54坐标系  \"\n  1011, \"WGS-84坐标系\"\nEND\n");
    ASSERT_EQ(script.menus.size(), 1u);
    const auto& items = script.menus[0].items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].type, MenuItemTemplate::Type::Popup);
    EXPECT_EQ(items[0].text, "文件(&F)");
    ASSERT_EQ(items[0].items.size(), 3u);
    EXPECT_EQ(items[0].items[0].id, 57600u);
    EXPECT_EQ(items[0].items[1].type, MenuItemTemplate::Type::Separator);
    EXPECT_EQ(items[0].items[2].items.at(0).id, 33000u);
    EXPECT_EQ(items[1].id, 57664u);
    ASSERT_EQ(script.dlgInits.size(), 1u);
    ASSERT_EQ(script.dlgInits[0].entries.size(), 2u);
    EXPECT_EQ(script.dlgInits[0].entries[0].text, "北京-54坐标系  ");  // trailing blanks kept
    EXPECT_EQ(script.dlgInits[0].entries[1].controlId, 1011);
}

// A header of names and a script that includes it, as res/ has them.
const char kIdsHeader[] =
    "// Names.\n"
    "#pragma once\n"
    "\n"
    "#define IDD_SAMPLE 7\n"
    "  #define IDC_CHOICE 5   // the combo box\n"
    "#define IDM_GO 33000\n"
    "#define IDC_NEGATIVE -3\n";

ResourceScript ParseWithHeader(const std::string& text, const char* header = kIdsHeader) {
    const ResourceHeaders headers = {{"res/ids.h", header}};
    ResourceScript script;
    std::string error;
    EXPECT_TRUE(CRcParser::Parse(text, "res/t.rc", &script, &error, &headers)) << error;
    return script;
}

std::string HeaderError(const std::string& header) {
    const ResourceHeaders headers = {{"res/ids.h", header}};
    ResourceScript script;
    std::string error;
    EXPECT_FALSE(CRcParser::Parse("#include \"ids.h\"\n", "res/t.rc", &script, &error, &headers));
    return error;
}

TEST(RcParser, NamesOfTheIncludedHeaderTheScriptAndTheFrameworkStandForTheirIds) {
    ResourceScript script = ParseWithHeader(
        "#include \"ids.h\"\n"
        "#include \"ids.h\"   // a second include reads nothing twice\n"
        "#define IDC_LABEL 6\n"
        "IDD_SAMPLE DIALOG 0, 0, 100, 50\n"
        "BEGIN\n"
        "    COMBOBOX IDC_CHOICE, 0, 0, 1, 1, CBS_DROPDOWNLIST\n"
        "    LTEXT \"a\", IDC_LABEL, 0, 0, 1, 1\n"
        "    LTEXT \"b\", IDC_STATIC, 0, 0, 1, 1\n"
        "    ICON IDD_SAMPLE, 9, 0, 0, 1, 1\n"
        "    DEFPUSHBUTTON \"OK\", IDOK, 0, 0, 1, 1\n"
        "    PUSHBUTTON \"Cancel\", IDCANCEL, 0, 0, 1, 1\n"
        "END\n"
        "IDD_SAMPLE DLGINIT\nBEGIN\n    IDC_CHOICE, \"x\"\nEND\n"
        "40 MENU\nBEGIN\n    MENUITEM \"go\", IDM_GO\n    MENUITEM \"new\", ID_FILE_NEW\n"
        "    MENUITEM \"exit\", ID_APP_EXIT\nEND\n");
    ASSERT_EQ(script.dialogs.size(), 1u);
    const DialogTemplate& dlg = script.dialogs[0];
    EXPECT_EQ(dlg.id, 7);
    ASSERT_EQ(dlg.controls.size(), 6u);
    EXPECT_EQ(dlg.controls[0].id, 5);
    EXPECT_EQ(dlg.controls[1].id, 6);
    EXPECT_EQ(dlg.controls[2].id, -1);
    EXPECT_EQ(dlg.controls[3].iconId, 7);
    EXPECT_EQ(dlg.controls[4].id, 1);
    EXPECT_EQ(dlg.controls[5].id, 2);
    EXPECT_EQ(dlg.line, 4);
    EXPECT_EQ(dlg.controls[1].line, 7);
    ASSERT_EQ(script.dlgInits.size(), 1u);
    EXPECT_EQ(script.dlgInits[0].dialogId, 7);
    EXPECT_EQ(script.dlgInits[0].entries.at(0).controlId, 5);
    const auto& items = script.menus.at(0).items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 33000u);
    EXPECT_EQ(items[1].id, ID_FILE_NEW);
    EXPECT_EQ(items[2].id, ID_APP_EXIT);
    const std::map<std::string, int> names = {{"IDD_SAMPLE", 7},
                                              {"IDC_CHOICE", 5},
                                              {"IDM_GO", 33000},
                                              {"IDC_NEGATIVE", -3},
                                              {"IDC_LABEL", 6}};
    EXPECT_EQ(script.names, names) << "the framework's names are not the script's";
}

TEST(RcParser, FaultsInAHeaderNameTheHeaderAndItsLine) {
    EXPECT_EQ(HeaderError("#define IDC_A 1\nint x;\n"),
              "res/ids.h:2: expected a # line or a comment");
    EXPECT_EQ(HeaderError("#define IDC_A 1\n\n#define IDC_A 2\n"),
              "res/ids.h:3: IDC_A is defined twice (first in res/ids.h:1)");
    EXPECT_EQ(HeaderError("#define IDC_A 0x10\n"), "res/ids.h:1: \"0x10\" is not a decimal number");
    EXPECT_EQ(HeaderError("#define IDC_A\n"), "res/ids.h:1: expected #define NAME number");
    EXPECT_EQ(HeaderError("#include \"other.h\"\n"), "res/ids.h:1: unknown directive #include");
    EXPECT_EQ(HeaderError("#ifdef X\n"), "res/ids.h:1: unknown directive #ifdef");
    EXPECT_EQ(HeaderError("#define IDOK 1\n"),
              "res/ids.h:1: IDOK is defined twice (first in the framework)");
    EXPECT_EQ(HeaderError("#define BEGIN 1\n"),
              "res/ids.h:1: BEGIN is a word of the script language");
    EXPECT_EQ(HeaderError("// \xD7\xF8\n"), "res/ids.h:1: the text is not valid UTF-8");
}

struct BadScript {
    const char* name;
    std::string text;
    const char* error;  // expected "t.rc:<line>: ..." text
};

void PrintTo(const BadScript& script, std::ostream* os) { *os << script.name; }

class RcParserErrors : public ::testing::TestWithParam<BadScript> {};

TEST_P(RcParserErrors, NamesFileLineAndFault) {
    EXPECT_EQ(ParseError(GetParam().text), GetParam().error);
}

const std::string kHead = kDialogHead;  // three lines; controls start on line 4

INSTANTIATE_TEST_SUITE_P(
    EveryFault, RcParserErrors,
    ::testing::Values(
        BadScript{"UnknownResourceType", "1 DIALOGEX 0, 0, 1, 1\n",
                  "t.rc:1: unknown resource type DIALOGEX"},
        BadScript{"MissingId", "DIALOG 0, 0, 1, 1\n",
                  "t.rc:1: expected a resource ID, found \"DIALOG\""},
        BadScript{"ZeroResourceId", "0 MENU\nBEGIN\nEND\n",
                  "t.rc:1: a resource ID 0 is out of range 1..65535"},
        BadScript{"HexNumber", "0x10 MENU\n", "t.rc:1: \"0x10\" is not a decimal number"},
        BadScript{"HugeNumber", "1 DIALOG 0, 0, 1234567890, 1\n",
                  "t.rc:1: number 1234567890 is too large"},
        BadScript{"CoordinateRange", "1 DIALOG 0, 0, 40000, 1\n",
                  "t.rc:1: a coordinate 40000 is out of range -32768..32767"},
        BadScript{"MissingComma", "1 DIALOG 0 0, 1, 1\n", "t.rc:1: expected \",\", found 0"},
        BadScript{"UnknownDialogStatement", "1 DIALOG 0, 0, 1, 1\nMENU 5\nBEGIN\nEND\n",
                  "t.rc:2: unknown dialog statement MENU"},
        BadScript{"RepeatedStatement",
                  "1 DIALOG 0, 0, 1, 1\nCAPTION \"a\"\nCAPTION \"b\"\nBEGIN\nEND\n",
                  "t.rc:3: CAPTION given twice"},
        BadScript{"FontWithoutName", "1 DIALOG 0, 0, 1, 1\nFONT 9\nBEGIN\nEND\n",
                  "t.rc:3: expected \",\", found \"BEGIN\""},
        BadScript{"UnknownStyle", kHead + "EDITTEXT 5, 0, 0, 1, 1, ES_RIGTH\nEND\n",
                  "t.rc:4: unknown style ES_RIGTH"},
        BadScript{"StyleOfAnotherClass", kHead + "EDITTEXT 5, 0, 0, 1, 1, BS_AUTOCHECKBOX\nEND\n",
                  "t.rc:4: BS_AUTOCHECKBOX does not apply to an Edit control"},
        BadScript{"DialogStyleOnControl", kHead + "LTEXT \"a\", 5, 0, 0, 1, 1, WS_CAPTION\nEND\n",
                  "t.rc:4: WS_CAPTION does not apply to a Static control"},
        BadScript{"ControlStyleOnDialog", "1 DIALOG 0, 0, 1, 1\nSTYLE WS_TABSTOP\nBEGIN\nEND\n",
                  "t.rc:2: WS_TABSTOP does not apply to a dialog's STYLE"},
        BadScript{"ExStyleOnStyle", "1 DIALOG 0, 0, 1, 1\nSTYLE WS_EX_APPWINDOW\nBEGIN\nEND\n",
                  "t.rc:2: WS_EX_APPWINDOW does not apply to a dialog's STYLE"},
        BadScript{"NotOfAType", kHead + "PUSHBUTTON \"a\", 5, 0, 0, 1, 1, NOT BS_PUSHBUTTON\nEND\n",
                  "t.rc:4: NOT BS_PUSHBUTTON: a type cannot be removed"},
        BadScript{
            "TwoTypes",
            kHead +
                "CONTROL \"a\", 5, \"Button\", BS_AUTOCHECKBOX | BS_GROUPBOX, 0, 0, 1, 1\nEND\n",
            "t.rc:4: BS_GROUPBOX: a second type in one list"},
        BadScript{"NumericStyle", kHead + "EDITTEXT 5, 0, 0, 1, 1, 0x80\nEND\n",
                  "t.rc:4: \"0x80\" is not a decimal number"},
        BadScript{"NotWithoutName", kHead + "EDITTEXT 5, 0, 0, 1, 1, NOT\nEND\n",
                  "t.rc:5: unknown style END"},
        BadScript{"UnknownControlStatement", kHead + "AUTOCHECKBOX \"a\", 5, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: unknown control statement AUTOCHECKBOX"},
        BadScript{"UnknownClass",
                  kHead + "CONTROL \"\", 5, \"msctls_updown32\", WS_TABSTOP, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: unknown control class \"msctls_updown32\""},
        BadScript{"ListStyleOnAPane",
                  kHead + "CONTROL \"\", 5, \"ViewPane\", LVS_REPORT, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: LVS_REPORT does not apply to a ViewPane control"},
        BadScript{"ListViewNotReport",
                  kHead + "CONTROL \"\", 5, \"SysListView32\", WS_BORDER, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: a SysListView32 control needs LVS_REPORT (only the report view is "
                  "supported)"},
        BadScript{
            "ListBoxStyleOnListView",
            kHead + "CONTROL \"\", 5, \"SysListView32\", LVS_REPORT | LBS_SORT, 0, 0, 1, 1\nEND\n",
            "t.rc:4: LBS_SORT does not apply to a SysListView32 control"},
        BadScript{"ControlWithoutStyles", kHead + "CONTROL \"\", 5, \"Button\", 0, 0, 1, 1\nEND\n",
                  "t.rc:4: expected a style name, found 0"},
        BadScript{"NegativeControlId", kHead + "EDITTEXT -5, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: a control ID -5 is negative"},
        BadScript{"ControlIdTooLarge", kHead + "EDITTEXT 70000, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: a control ID 70000 is out of range -1..65535"},
        BadScript{"DuplicateControlId",
                  kHead + "EDITTEXT 5, 0, 0, 1, 1\nLTEXT \"a\", 5, 0, 0, 1, 1\nEND\n",
                  "t.rc:5: control ID 5 appears twice in dialog 7"},
        BadScript{"DialogWithoutEnd", kHead + "EDITTEXT 5, 0, 0, 1, 1\n",
                  "t.rc:5: dialog 7 has no END"},
        BadScript{"MissingBegin", "1 DIALOG 0, 0, 1, 1\n",
                  "t.rc:2: expected BEGIN or a dialog statement, found end of file"},
        BadScript{"StringAcrossLines", kHead + "LTEXT \"a\nb\", 5, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: string not closed on its line"},
        BadScript{"StrayCharacter", kHead + "LTEXT \"a\", 5; 0, 0, 1, 1\nEND\n",
                  "t.rc:4: unexpected character \";\""},
        BadScript{"TextMissing", kHead + "PUSHBUTTON 5, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: expected a string, found 5"},
        BadScript{"MenuWithoutBegin", "1 MENU\nMENUITEM \"a\", 5\n",
                  "t.rc:2: expected BEGIN, found \"MENUITEM\""},
        BadScript{"MenuOption", "1 MENU\nBEGIN\nMENUITEM \"a\", 5, GRAYED\nEND\n",
                  "t.rc:3: expected POPUP, MENUITEM or END, found \",\""},
        BadScript{"UnknownMenuStatement", "1 MENU\nBEGIN\nSUBMENU \"a\"\nEND\n",
                  "t.rc:3: unknown menu statement SUBMENU"},
        BadScript{"PopupWithoutEnd", "1 MENU\nBEGIN\nPOPUP \"a\"\nBEGIN\nMENUITEM \"b\", 5\n",
                  "t.rc:6: popup \"a\" has no END"},
        BadScript{"MenuCommandZero", "1 MENU\nBEGIN\nMENUITEM \"a\", 0\nEND\n",
                  "t.rc:3: a command ID 0 is out of range 1..65535"},
        BadScript{"DlgInitWithoutText", "1 DLGINIT\nBEGIN\n5, 6\nEND\n",
                  "t.rc:3: expected a string, found 6"},
        BadScript{"DlgInitWithoutEnd", "1 DLGINIT\nBEGIN\n5, \"a\"\n",
                  "t.rc:4: DLGINIT 1 has no END"},
        BadScript{"UnknownName", kHead + "EDITTEXT IDC_NOPE, 0, 0, 1, 1\nEND\n",
                  "t.rc:4: unknown name IDC_NOPE"},
        BadScript{"NameUsedBeforeItsDefine", "IDD_LATER MENU\nBEGIN\nEND\n#define IDD_LATER 3\n",
                  "t.rc:1: unknown name IDD_LATER"},
        BadScript{"NamedIdOutOfRange", "IDC_STATIC MENU\nBEGIN\nEND\n",
                  "t.rc:1: a resource ID IDC_STATIC (-1) is out of range 1..65535"},
        BadScript{"NamedNegativeControlId",
                  "#define IDC_BAD -3\n" + kHead + "EDITTEXT IDC_BAD, 0, 0, 1, 1\nEND\n",
                  "t.rc:5: a control ID IDC_BAD (-3) is out of range -1..65535"},
        BadScript{"DefinedTwice", "#define IDC_A 1\n#define IDC_A 1\n",
                  "t.rc:2: IDC_A is defined twice (first in t.rc:1)"},
        BadScript{"MissingHeader", "// names\n#include \"resource.h\"\n",
                  "t.rc:2: cannot find \"resource.h\" to include (no resource.h)"},
        BadScript{"IncludeWithoutQuotes", "#include <resource.h>\n",
                  "t.rc:1: expected #include \"file\""},
        BadScript{"UnknownDirective", "#undef IDC_A\n", "t.rc:1: unknown directive #undef"},
        BadScript{"NotUtf8", "1 DIALOG 0, 0, 1, 1\nCAPTION \"\xD7\xF8\xB1\xEA\"\n",
                  "t.rc:2: the text is not valid UTF-8"}),
    [](const ::testing::TestParamInfo<BadScript>& info) { return std::string(info.param.name); });

// The resource set over several scripts.

const char kMain[] =
    "10 DIALOG 0, 0, 10, 10\nBEGIN\n  COMBOBOX 1, 0, 0, 1, 1\n  LTEXT \"t\", 2, 0, 0, 1, 1\nEND\n"
    "20 MENU\nBEGIN\n  MENUITEM \"a\", 5\nEND\n";

TEST(ResourceSet, FindsWhatScriptsDefineAndAttachesDlgInitToTheirControls) {
    CResourceSet set;
    std::string error;
    ASSERT_TRUE(set.Load(kMain, "a.rc", &error)) << error;
    ASSERT_TRUE(set.Load("10 DLGINIT\nBEGIN\n1, \"x\"\n1, \"y\"\nEND\n", "b.rc", &error)) << error;
    const DialogTemplate* dlg = set.FindDialog(10);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->file, "a.rc");
    EXPECT_EQ(dlg->FindControl(1)->initialStrings, (std::vector<std::string>{"x", "y"}));
    EXPECT_NE(set.FindMenu(20), nullptr);
    EXPECT_EQ(set.FindDialog(20), nullptr);
    EXPECT_EQ(set.FindMenu(10), nullptr);
}

TEST(ResourceSet, RefusesRedefinitionsAndBadDlgInitWithoutAddingAnything) {
    CResourceSet set;
    std::string error;
    ASSERT_TRUE(set.Load(kMain, "a.rc", &error)) << error;

    EXPECT_FALSE(
        set.Load("30 MENU\nBEGIN\nEND\n\n10 DIALOG 0, 0, 1, 1\nBEGIN\nEND\n", "b.rc", &error));
    EXPECT_EQ(error, "b.rc:5: dialog 10 is defined twice (first at a.rc:1)");
    EXPECT_EQ(set.FindMenu(30), nullptr) << "a refused script must add nothing";

    EXPECT_FALSE(set.Load("20 MENU\nBEGIN\nEND\n", "c.rc", &error));
    EXPECT_EQ(error, "c.rc:1: menu 20 is defined twice (first at a.rc:6)");

    EXPECT_FALSE(
        set.Load("11 DIALOG 0,0,1,1\nBEGIN\nEND\n11 DIALOG 0,0,1,1\nBEGIN\nEND\n", "d.rc", &error));
    EXPECT_EQ(error, "d.rc:4: dialog 11 is defined twice (first at d.rc:1)");

    EXPECT_FALSE(set.Load("99 DLGINIT\nBEGIN\nEND\n", "e.rc", &error));
    EXPECT_EQ(error, "e.rc:1: DLGINIT 99 names no dialog");
    EXPECT_FALSE(set.Load("10 DLGINIT\nBEGIN\n1, \"a\"\n7, \"b\"\nEND\n", "f.rc", &error));
    EXPECT_EQ(error, "f.rc:4: dialog 10 has no control 7");
    EXPECT_FALSE(set.Load("10 DLGINIT\nBEGIN\n2, \"a\"\nEND\n", "g.rc", &error));
    EXPECT_EQ(error, "g.rc:3: control 2 is a Static, not a combo or list box");
    EXPECT_TRUE(set.FindDialog(10)->FindControl(1)->initialStrings.empty())
        << "a refused DLGINIT must leave the combo box empty";

    ASSERT_TRUE(set.Load("10 DLGINIT\nBEGIN\n1, \"a\"\nEND\n", "h.rc", &error)) << error;
    EXPECT_FALSE(set.Load("10 DLGINIT\nBEGIN\n1, \"b\"\nEND\n", "i.rc", &error));
    EXPECT_EQ(error, "i.rc:1: DLGINIT 10 is given twice");
}

TEST(ResourceSet, ScriptsIncludeTheHeadersAddedBesideThemAndKeepTheirNamesToThemselves) {
    CResourceSet set;
    set.AddHeader("res/ids.h", kIdsHeader);
    std::string error;
    ASSERT_TRUE(
        set.Load("#include \"ids.h\"\nIDD_SAMPLE DIALOG 0, 0, 9, 9\nBEGIN\n"
                 "COMBOBOX IDC_CHOICE, 0, 0, 1, 1\nEND\n",
                 "res/a.rc", &error))
        << error;
    ASSERT_NE(set.FindDialog(7), nullptr);
    EXPECT_NE(set.FindDialog(7)->FindControl(5), nullptr);
    EXPECT_FALSE(set.Load("#include \"ids.h\"\n", "b.rc", &error));
    EXPECT_EQ(error, "b.rc:1: cannot find \"ids.h\" to include (no ids.h)");
    EXPECT_FALSE(set.Load("7 DLGINIT\nBEGIN\nIDC_CHOICE, \"x\"\nEND\n", "res/c.rc", &error));
    EXPECT_EQ(error, "res/c.rc:3: unknown name IDC_CHOICE");
}

TEST(ResourceSetDeathTest, AnUnknownNameInAnEmbeddedScriptStopsTheStartWithFileAndLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(AfxRegisterResourceScript("res/bad.rc",
                                           "5 DIALOG 0, 0, 9, 9\nBEGIN\n"
                                           "EDITTEXT IDC_TYPO, 0, 0, 1, 1\nEND\n"),
                 "resource script: res/bad.rc:3: unknown name IDC_TYPO");
}

TEST(ResourceSet, TemplatesHandedOutStayValidWhenMoreScriptsLoad) {
    CResourceSet set;
    std::string error;
    ASSERT_TRUE(set.Load(kMain, "a.rc", &error));
    const DialogTemplate* before = set.FindDialog(10);
    for (int id = 100; id < 140; ++id) {
        ASSERT_TRUE(set.Load(std::to_string(id) + " DIALOG 0,0,1,1\nBEGIN\nEND\n", "x.rc", &error))
            << error;
    }
    EXPECT_EQ(set.FindDialog(10), before);
    EXPECT_EQ(before->controls.size(), 2u);
}

}  // namespace
