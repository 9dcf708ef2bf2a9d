// Data exchange: each DDX_ routine in both directions, the number texts, and
// what a value that fails validation does to the dialog.

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"
#include "ui/framework/DataExchange.h"

namespace {

TEST(NumberText, DoublesShowFifteenSignificantDigitsLikePrintf) {
    for (double value : {1.0, 500000.0, 114.0, 0.1, -2.5, 1e-7, 6378245.0, 1.0 / 3.0,
                         123456789012345678.0, -0.0, 0.017453292519943334, 1e300}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.15g", value);
        EXPECT_EQ(AfxFormatDouble(value), expected) << value;
    }
    EXPECT_EQ(AfxFormatDouble(1), "1");
    EXPECT_EQ(AfxFormatDouble(500000), "500000");
}

TEST(NumberText, ReadsDecimalNumbersBetweenBlanksAndNothingElse) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1", true, 1},      {" 2.5\t", true, 2.5},     {"-0.5", true, -0.5},
        {"+3", true, 3},     {".5", true, 0.5},         {"5.", true, 5},
        {"1e3", true, 1000}, {"-1.5E-2", true, -0.015}, {"-0", true, 0},
        {"", false, 0},      {"   ", false, 0},         {"abc", false, 0},
        {"1.2.3", false, 0}, {"1,5", false, 0},         {"12abc", false, 0},
        {"1e", false, 0},    {"0x10", false, 0},        {"inf", false, 0},
        {"nan", false, 0},   {"1e999", false, 0},       {"- 1", false, 0},
        {"1 2", false, 0},   {"114:00:00", false, 0},   {".", false, 0},
    };
    for (const Case& c : cases) {
        double value = -99;
        EXPECT_EQ(AfxParseDouble(c.text, &value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : -99) << "a refused text must leave the value: " << c.text;
    }
}

TEST(NumberText, ReadsWholeNumbersWithinIntRange) {
    int value = 0;
    EXPECT_TRUE(AfxParseInt(" 500000 ", &value));
    EXPECT_EQ(value, 500000);
    EXPECT_TRUE(AfxParseInt("-2147483648", &value));
    EXPECT_EQ(value, -2147483648);
    EXPECT_TRUE(AfxParseInt("+7", &value));
    EXPECT_EQ(value, 7);
    value = 5;
    for (const char* bad : {"", "1.0", "2147483648", "1e3", "abc", "--1", "0x10", "1 000"}) {
        EXPECT_FALSE(AfxParseInt(bad, &value)) << bad;
        EXPECT_EQ(value, 5);
    }
}

// A dialog over template 9002 with one member per exchange.
class ExchangeDlg : public CDialog {
public:
    ExchangeDlg() : CDialog(kExchangeDialog) {}
    std::string text = "初值";
    double number = 114.0;
    int whole = 500000;
    std::string after = "untouched";
    int radio = 1;
    int check = 1;
    int comboIndex = 1;
    std::string listText = "乙";
    CEdit textEdit;
    int changes = 0;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 201, textEdit);
        DDX_Text(pDX, 201, text);
        DDX_Text(pDX, 202, number);
        DDX_Text(pDX, 203, whole);
        DDX_Text(pDX, 204, after);
        DDX_Radio(pDX, 205, radio);
        DDX_Check(pDX, 209, check);
        DDX_CBIndex(pDX, 210, comboIndex);
        DDX_LBString(pDX, 211, listText);
    }
    void OnChange() { ++changes; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExchangeDlg, CDialog)
    ON_EN_CHANGE(201, OnChange)
    ON_EN_CHANGE(202, OnChange)
END_MESSAGE_MAP()

class DataExchangeTest : public FrameworkTest {};

TEST_F(DataExchangeTest, OnInitDialogFillsEveryControlWithoutChangeNotifications) {
    ExchangeDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        EXPECT_EQ(ControlText(w, 201), "初值");
        EXPECT_EQ(ControlText(w, 202), "114");
        EXPECT_EQ(ControlText(w, 203), "500000");
        EXPECT_EQ(ControlCheck(w, 205), BST_UNCHECKED);
        EXPECT_EQ(ControlCheck(w, 207), BST_CHECKED) << "index 1 skips the static inside the group";
        EXPECT_EQ(ControlCheck(w, 208), BST_UNCHECKED);
        EXPECT_EQ(ControlCheck(w, 209), BST_CHECKED);
        EXPECT_EQ(static_cast<CComboBox*>(w.GetDlgItem(210))->GetCurSel(), 1);
        EXPECT_EQ(static_cast<CListBox*>(w.GetDlgItem(211))->GetCurSel(), 1);
        EXPECT_EQ(w.GetDlgItem(201), &dlg.textEdit)
            << "DDX_Control makes the member the control's object";
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.changes, 0)
        << "notifications raised while UpdateData writes must not be delivered";
}

TEST_F(DataExchangeTest, OkReadsEveryControlBack) {
    ExchangeDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(w, 201, "新文本");
        ReplaceText(w, 202, " -12.5 ");
        ReplaceText(w, 203, "-7");
        ReplaceText(w, 204, "");
        Click(w, 208);
        Click(w, 209);
        SelectComboItem(w, 210, 0);
        SelectListItem(w, 211, 0);
        Click(w, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.text, "新文本");
    EXPECT_EQ(dlg.number, -12.5);
    EXPECT_EQ(dlg.whole, -7);
    EXPECT_EQ(dlg.after, "");
    EXPECT_EQ(dlg.radio, 2);
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.comboIndex, 0);
    EXPECT_EQ(dlg.listText, "甲");
    EXPECT_GT(dlg.changes, 0) << "typing sends EN_CHANGE";
}

TEST_F(DataExchangeTest, ANumberThatDoesNotReadStopsTheExchangeTellsTheUserAndFocusesTheField) {
    ExchangeDlg dlg;
    Prompts().AnswerMessageBox(IDOK);
    Prompts().AnswerMessageBox(IDOK);
    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(w, 202, "1.5x");
        ReplaceText(w, 204, "later field");
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal()) << "OK must keep the dialog open";
        EXPECT_EQ(FocusedControlId(w), 202);
        ReplaceText(w, 202, "2");
        ReplaceText(w, 203, "3.5");
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(FocusedControlId(w), 203);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, "请输入一个数字。");
    EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Prompts().MessageBoxes()[1].text, "请输入一个整数。");
    EXPECT_EQ(dlg.number, 2) << "the second exchange read the corrected field";
    EXPECT_EQ(dlg.after, "untouched") << "fields after the failing one keep their values";
}

TEST_F(DataExchangeTest, OutOfRangeValuesSelectNothing) {
    ExchangeDlg dlg;
    dlg.radio = 3;  // the group has three radio buttons
    dlg.check = 2;
    dlg.comboIndex = 9;
    dlg.listText = "丙";
    Prompts().ArmModal([&](CWnd& w) {
        for (int id : {205, 207, 208}) EXPECT_EQ(ControlCheck(w, id), BST_UNCHECKED) << id;
        EXPECT_EQ(ControlCheck(w, 209), BST_UNCHECKED);
        EXPECT_EQ(static_cast<CComboBox*>(w.GetDlgItem(210))->GetCurSel(), CB_ERR);
        EXPECT_EQ(static_cast<CListBox*>(w.GetDlgItem(211))->GetCurSel(), LB_ERR);
        Click(w, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.radio, -1);
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.comboIndex, -1);
    EXPECT_EQ(dlg.listText, "");
}

TEST_F(DataExchangeTest, RadioGroupsEndAtTheNextGroupAndClicksCheckOneButton) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        Click(w, 104);
        Click(w, 105);
        EXPECT_EQ(ControlCheck(w, 104), BST_CHECKED) << "105 starts another group";
        EXPECT_EQ(ControlCheck(w, 105), BST_CHECKED);
        Click(w, 103);
        EXPECT_EQ(ControlCheck(w, 103), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, 104), BST_UNCHECKED);
        Click(w, 103);
        EXPECT_EQ(ControlCheck(w, 103), BST_CHECKED)
            << "a click on a checked auto radio keeps it checked";
        int first = 7, second = 7;
        CDataExchange save(&w, TRUE);
        DDX_Radio(&save, 103, first);
        DDX_Radio(&save, 105, second);
        EXPECT_EQ(first, 0);
        EXPECT_EQ(second, 0);
        int none = -1;
        CDataExchange load(&w, FALSE);
        DDX_Radio(&load, 105, none);
        EXPECT_EQ(ControlCheck(w, 105), BST_UNCHECKED);
        EXPECT_EQ(ControlCheck(w, 103), BST_CHECKED) << "the other group is left alone";
    });
    dlg.DoModal();
}

class DataExchangeDeathTest : public FrameworkTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        FrameworkTest::SetUp();
    }
};

TEST_F(DataExchangeDeathTest, MisusedBindingsAreFatal) {
    struct RadioNotAtGroupStart : CDialog {
        RadioNotAtGroupStart() : CDialog(kControlsDialog) {}
        void DoDataExchange(CDataExchange* pDX) override {
            int value = 0;
            DDX_Radio(pDX, 104, value);
        }
    };
    struct WrongMember : CDialog {
        WrongMember() : CDialog(kControlsDialog) {}
        CEdit edit;
        void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 108, edit); }
    };
    struct MissingId : CDialog {
        MissingId() : CDialog(kControlsDialog) {}
        std::string text;
        void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 4711, text); }
    };
    EXPECT_DEATH(RadioNotAtGroupStart().DoModal(),
                 "control 104 of dialog 9001 is not an auto radio button that starts");
    EXPECT_DEATH(WrongMember().DoModal(),
                 "the member for control 108 of dialog 9001 cannot stand for a ComboBox");
    EXPECT_DEATH(MissingId().DoModal(), "dialog 9001 has no control 4711");
}

}  // namespace
