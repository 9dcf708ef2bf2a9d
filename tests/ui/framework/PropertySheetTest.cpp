// Property sheets: pages are created when first shown, leaving a page
// exchanges it, OK exchanges every created page and only those, and Apply is
// there unless PSH_NOAPPLYNOW.

#include <gtest/gtest.h>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"

namespace {

class LevelPage : public CPropertyPage {
public:
    explicit LevelPage(UINT id) : CPropertyPage(id) {}
    double shift = 0;
    std::string text = "000:00:00";
    int inits = 0;
    int applies = 0;
    BOOL OnInitDialog() override {
        ++inits;
        return CPropertyPage::OnInitDialog();
    }
    void OnOK() override { ++applies; }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 401, shift);
        if (GetTemplateId() == kPageOne) DDX_Text(pDX, 402, text);
    }
};

class PropertySheetTest : public FrameworkTest {
protected:
    LevelPage one{kPageOne};
    LevelPage two{kPageTwo};
    CPropertySheet sheet{"地方坐标转换参数"};
    void SetUp() override {
        FrameworkTest::SetUp();
        sheet.AddPage(&one);
        sheet.AddPage(&two);
    }
};

TEST_F(PropertySheetTest, OnlyTheFirstPageExistsUntilAnotherTabIsChosen) {
    Prompts().ArmModal([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "地方坐标转换参数");
        EXPECT_EQ(one.inits, 1);
        EXPECT_EQ(two.inits, 0);
        EXPECT_EQ(two.m_hWnd, nullptr);
        EXPECT_EQ(static_cast<CTabCtrl*>(w.GetDlgItem(AFX_IDC_TAB_CONTROL))->GetItemText(1),
                  "二级");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        EXPECT_EQ(two.inits, 1);
        EXPECT_EQ(sheet.GetActivePage(), &two);
        SelectTab(w, AFX_IDC_TAB_CONTROL, 0);
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        EXPECT_EQ(two.inits, 1) << "OnInitDialog runs once per showing of the sheet";
    });
    sheet.DoModal();
}

TEST_F(PropertySheetTest, OkAtOnceExchangesOnlyTheCreatedPage) {
    one.shift = 1;
    two.shift = 2;
    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(*sheet.GetActivePage(), 401, "10.5");
        Click(w, IDOK);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(one.shift, 10.5);
    EXPECT_EQ(two.shift, 2) << "a page never shown keeps the values given";
    EXPECT_EQ(one.applies, 1);
    EXPECT_EQ(two.applies, 0);
}

TEST_F(PropertySheetTest, OkExchangesEveryCreatedPageAndCancelNone) {
    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(one, 402, "-000:30:00");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ReplaceText(two, 401, "7");
        PressEnter(w);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(one.text, "-000:30:00");
    EXPECT_EQ(two.shift, 7);
    EXPECT_EQ(one.applies, 1);
    EXPECT_EQ(two.applies, 1);

    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(one, 402, "changed");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ReplaceText(two, 401, "8");
        Click(w, IDCANCEL);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(two.shift, 7) << "Cancel exchanges nothing";
    EXPECT_EQ(one.text, "changed") << "leaving a page exchanged it, as the framework does";
}

TEST_F(PropertySheetTest, APageThatFailsValidationKeepsTheUserOnIt) {
    Prompts().AnswerMessageBox(IDOK);
    Prompts().AnswerMessageBox(IDOK);
    Prompts().ArmModal([&](CWnd& w) {
        ReplaceText(one, 401, "abc");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_EQ(static_cast<CTabCtrl*>(w.GetDlgItem(AFX_IDC_TAB_CONTROL))->GetCurSel(), 0);
        EXPECT_EQ(two.m_hWnd, nullptr);
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(FocusedControlId(w), 401);
    });
    sheet.DoModal();
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, "请输入一个数字。");
}

TEST_F(PropertySheetTest, ApplyIsThereUnlessTheFlagRemovesIt) {
    Prompts().ArmModal([&](CWnd& w) {
        ASSERT_NE(w.FindChild(ID_APPLY_NOW), nullptr);
        EXPECT_EQ(w.GetDlgItem(ID_APPLY_NOW)->GetWindowText(), "应用(&A)");
        EXPECT_TRUE(ControlVisible(w, IDOK));
        EXPECT_EQ(ControlText(w, IDOK), "确定");
        EXPECT_EQ(ControlText(w, IDCANCEL), "取消");
    });
    sheet.DoModal();
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    Prompts().ArmModal([&](CWnd& w) { EXPECT_EQ(w.FindChild(ID_APPLY_NOW), nullptr); });
    sheet.DoModal();
}

TEST_F(PropertySheetTest, EscapeAndTheCloseBoxCancel) {
    Prompts().ArmModal([&](CWnd& w) { PressEscape(w); });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    Prompts().ArmModal([&](CWnd& w) { ClickCloseBox(w); });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(one.applies, 0);
}

TEST_F(PropertySheetTest, TheStartPageIsTheOneCreatedFirst) {
    CPropertySheet second("s", nullptr, 1);
    LevelPage a{kPageOne}, b{kPageTwo};
    second.AddPage(&a);
    second.AddPage(&b);
    Prompts().ArmModal([&](CWnd&) {
        EXPECT_EQ(a.inits, 0);
        EXPECT_EQ(b.inits, 1);
    });
    second.DoModal();
}

}  // namespace

namespace {

class BadMapPage : public CPropertyPage {
public:
    BadMapPage() : CPropertyPage(kPageTwo) {}
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BadMapPage, CPropertyPage)
    ON_EN_CHANGE(402, OnNothing)  // 402 is on the other page only
END_MESSAGE_MAP()

class PropertySheetDeathTest : public FrameworkTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        FrameworkTest::SetUp();
    }
};

// Regression: a fault in the map of a page that is not shown first would
// otherwise surface only when the user picks its tab.
TEST_F(PropertySheetDeathTest, EveryPagesMapIsCheckedWhenTheSheetOpens) {
    CPropertySheet sheet("s");
    LevelPage first{kPageOne};
    BadMapPage second;
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    EXPECT_DEATH(sheet.DoModal(),
                 "property page 9011 .*names control 402, which the template lacks");
}

}  // namespace
