// The test support itself: an armed callback runs inside the dialog, a
// callback that leaves the dialog open (a failed check) cannot hang the
// test, an unscripted dialog fails the test and is closed, and typed text
// reaches the edit one character at a time.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"

namespace {

class DialogDriverTest : public FrameworkTest {};

class CountingDlg : public CDialog {
public:
    CountingDlg() : CDialog(kExchangeDialog) {}
    std::vector<std::string> seen;
    void OnChange() { seen.push_back(GetDlgItem(201)->GetWindowText()); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingDlg, CDialog)
    ON_EN_CHANGE(201, OnChange)
END_MESSAGE_MAP()

TEST_F(DialogDriverTest, ADialogLeftOpenIsCancelledByTheGuard) {
    CDialog dlg(kExchangeDialog);
    auto run = Prompts().ArmModal([&](CWnd& w) {
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_TRUE(w.IsWindowVisible());
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(run->ran);
    EXPECT_TRUE(run->closedByGuard);
    EXPECT_EQ(run->window, "dialog 9002");
}

TEST_F(DialogDriverTest, AnUnscriptedDialogFailsTheTestInsteadOfHanging) {
    CDialog dlg(kExchangeDialog);
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = dlg.DoModal(), "unscripted modal dialog 9002 \"交换\"");
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(DialogDriverTest, NestedDialogsTakeTheArmedCallbacksInOrder) {
    CDialog outer(kExchangeDialog);
    CDialog inner(kDefButtonDialog);
    std::vector<std::string> order;
    Prompts().ArmModal([&](CWnd&) {
        order.push_back("outer");
        inner.DoModal();
        order.push_back("outer again");
    });
    Prompts().ArmModal([&](CWnd& w) {
        order.push_back("inner");
        Click(w, IDOK);
    });
    outer.DoModal();
    EXPECT_EQ(order, (std::vector<std::string>{"outer", "inner", "outer again"}));
}

TEST_F(DialogDriverTest, TypingChineseSendsOneChangePerCharacter) {
    CountingDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        TypeText(w, 201, "北京 54");
        ReplaceText(w, 201, "𠀀x");  // a character outside the basic plane
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.seen,
              (std::vector<std::string>{"北", "北京", "北京 ", "北京 5", "北京 54", "𠀀", "𠀀x"}));
}

TEST_F(DialogDriverTest, ActingOnAHiddenControlFailsTheTest) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        EXPECT_NONFATAL_FAILURE(Click(w, 113), "control 113 of dialog 9001 is not visible");
    });
    dlg.DoModal();
}

TEST_F(DialogDriverTest, TemplateChecks) {
    EXPECT_TRUE(TemplateHasControl(kControlsDialog, 108, ControlKind::ComboBox));
    EXPECT_FALSE(TemplateHasControl(kControlsDialog, 108, ControlKind::Edit));
    EXPECT_FALSE(TemplateHasControl(kControlsDialog, 999, ControlKind::Edit));
    EXPECT_FALSE(TemplateHasControl(4444, 1, ControlKind::Edit));
}

}  // namespace
