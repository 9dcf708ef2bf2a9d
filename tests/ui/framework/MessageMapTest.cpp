// Message maps: each notification a user's action raises reaches its entry,
// derived tables come before their base's, commands fall through to the
// application, and entries for controls the template lacks are fatal.

#include <gtest/gtest.h>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"
#include "ui/resources/ResourceSet.h"

namespace {

class ControlsDlg : public CDialog {
public:
    ControlsDlg() : CDialog(kControlsDialog) {}
    std::vector<std::string> log;

    void OnButton() { log.push_back("button"); }
    void OnEditChange() { log.push_back("edit:" + GetDlgItem(102)->GetWindowText()); }
    void OnRadio() { log.push_back("radio"); }
    void OnComboSel() {
        log.push_back("combo:" +
                      std::to_string(static_cast<CComboBox*>(GetDlgItem(108))->GetCurSel()));
    }
    void OnListSel() {
        log.push_back("list:" +
                      std::to_string(static_cast<CListBox*>(GetDlgItem(109))->GetCurSel()));
    }
    void OnListDblClk() { log.push_back("dblclk"); }
    void OnTabChange(NMHDR* header, LRESULT* result) {
        log.push_back(
            "tab:" + std::to_string(static_cast<CTabCtrl*>(GetDlgItem(111))->GetCurSel()) +
            " from " + std::to_string(header->idFrom));
        *result = 0;
    }
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
        log.push_back("private");
        return static_cast<LRESULT>(wParam) + lParam;
    }
    void OnDeep() { log.push_back("deep"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlsDlg, CDialog)
    ON_BN_CLICKED(112, OnButton)
    ON_EN_CHANGE(102, OnEditChange)
    ON_BN_CLICKED(103, OnRadio)
    ON_CBN_SELCHANGE(108, OnComboSel)
    ON_LBN_SELCHANGE(109, OnListSel)
    ON_LBN_DBLCLK(109, OnListDblClk)
    ON_NOTIFY(TCN_SELCHANGE, 111, OnTabChange)
    ON_MESSAGE(WM_USER + 10, OnPrivate)
    ON_COMMAND(33001, OnDeep)
END_MESSAGE_MAP()

class MessageMapTest : public FrameworkTest {};

TEST_F(MessageMapTest, EachUserActionReachesItsEntry) {
    ControlsDlg dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        Click(w, 112);
        TypeText(w, 102, "1.5");
        Click(w, 103);
        SelectComboItem(w, 108, 1);
        auto* list = static_cast<CListBox*>(w.GetDlgItem(109));
        list->AddString("甲");
        list->AddString("乙");
        SelectListItem(w, 109, 1);
        DoubleClickListItem(w, 109, 1);
        auto* tabs = static_cast<CTabCtrl*>(w.GetDlgItem(111));
        tabs->InsertItem(0, "单点转换");
        tabs->InsertItem(1, "文件转换");
        SelectTab(w, 111, 1);
        EXPECT_EQ(w.SendMessage(WM_USER + 10, 40, 2), 42);
    });
    dlg.DoModal();
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"button", "edit:1", "edit:1.", "edit:1.5", "radio",
                                                 "combo:1", "list:1", "dblclk", "tab:1 from 111",
                                                 "private"}));
}

TEST_F(MessageMapTest, ProgrammaticChangesSendOnlyWhatWindowsSends) {
    ControlsDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        w.GetDlgItem(102)->SetWindowText("7");  // EN_CHANGE, as on Windows
        static_cast<CComboBox*>(w.GetDlgItem(108))->SetCurSel(0);
        static_cast<CListBox*>(w.GetDlgItem(109))->AddString("a");
        static_cast<CListBox*>(w.GetDlgItem(109))->SetCurSel(0);
        static_cast<CTabCtrl*>(w.GetDlgItem(111))->InsertItem(0, "a");
        static_cast<CTabCtrl*>(w.GetDlgItem(111))->InsertItem(1, "b");
        static_cast<CTabCtrl*>(w.GetDlgItem(111))->SetCurSel(1);
        static_cast<CButton*>(w.GetDlgItem(103))->SetCheck(BST_CHECKED);
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"edit:7"}));
}

TEST_F(MessageMapTest, MenuCommandsReachTheirEntryAtAnyDepth) {
    struct MenuDlg : ControlsDlg {
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            CMenu menu;
            menu.LoadMenu(kTestMenu);
            SetMenu(&menu);
            menu.Detach();
            return TRUE;
        }
    } dlg;
    Prompts().ArmModal([&](CWnd& w) {
        ASSERT_NE(dlg.GetMenu(), nullptr);
        EXPECT_EQ(dlg.GetMenu()->GetMenuString(33001), "深处");
        ClickMenuItem(w, 33001);
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"deep"}));
}

// Chaining: a derived table is searched before its base's; what it lacks is
// found in the base; virtual handlers named in a base table run the override.
class BaseDlg : public CDialog {
public:
    BaseDlg() : CDialog(kControlsDialog) {}
    std::vector<std::string> log;
    void OnButton() { log.push_back("base button"); }
    void OnNew() { log.push_back("base new"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseDlg, CDialog)
    ON_BN_CLICKED(112, OnButton)
    ON_COMMAND(ID_FILE_NEW, OnNew)
END_MESSAGE_MAP()

class DerivedDlg : public BaseDlg {
public:
    void OnButton() { log.push_back("derived button"); }
    void OnOK() override { log.push_back("derived OnOK"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDlg, BaseDlg)
    ON_BN_CLICKED(112, OnButton)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, DerivedEntriesComeFirstAndTheBaseTableAnswersTheRest) {
    DerivedDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        Click(w, 112);
        w.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, 0), 0);
        w.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);  // CDialog's entry, the virtual override
        EXPECT_TRUE(w.ContinueModal());
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"derived button", "base new", "derived OnOK"}));
}

// Commands no window handles go on to the application; its exit command
// sends WM_CLOSE to the main window.
class ExitApp : public CWinApp {
public:
    std::vector<std::string> log;
    void OnHelpCommand() { log.push_back("help"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ExitApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelpCommand)
END_MESSAGE_MAP()

class ClosingDlg : public CDialog {
public:
    ClosingDlg() : CDialog(kControlsDialog) {}
    int closes = 0;
    void OnClose() {
        ++closes;
        CDialog::OnClose();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClosingDlg, CDialog)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

TEST_F(MessageMapTest, UnhandledCommandsGoToTheApplicationWhoseExitClosesTheMainWindow) {
    ExitApp app;
    ClosingDlg dlg;
    app.m_pMainWnd = &dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        w.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        w.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(app.log, (std::vector<std::string>{"help"}));
    EXPECT_EQ(dlg.closes, 1);
    EXPECT_FALSE(run->closedByGuard) << "the exit command must have ended the dialog";
}

// Entries and bindings that fit kControlsDialog, and one of each misfit.
class MisfitDlg : public CDialog {
public:
    MisfitDlg() : CDialog(kControlsDialog) {}
    void OnNothing() {}
    std::string text = "unchanged";
    int number = 7;
    CTabCtrl tab;
    CComboBox combo;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 102, text);
        DDX_Text(pDX, 101, text);
        DDX_Text(pDX, 108, text);
        DDX_Radio(pDX, 103, number);
        DDX_Radio(pDX, 104, number);
        DDX_Check(pDX, 107, number);
        DDX_Check(pDX, 103, number);
        DDX_CBIndex(pDX, 108, number);
        DDX_CBIndex(pDX, 109, number);
        DDX_LBString(pDX, 109, text);
        DDX_LBString(pDX, 116, text);
        DDX_Control(pDX, 111, tab);
        DDX_Control(pDX, 102, combo);
        DDX_Text(pDX, 4711, number);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MisfitDlg, CDialog)
    ON_BN_CLICKED(112, OnNothing)
    ON_BN_CLICKED(4242, OnNothing)
    ON_EN_CHANGE(108, OnNothing)
    ON_LBN_DBLCLK(110, OnNothing)  // LISTBOX notifies unless NOT LBS_NOTIFY
    ON_COMMAND(112, OnNothing)
    ON_COMMAND(33001, OnNothing)
    ON_COMMAND(101, OnNothing)
END_MESSAGE_MAP()

TEST_F(MessageMapTest, TemplateMismatchesListEachEntryAndBindingThatDoesNotFitWithoutAWindow) {
    MisfitDlg dlg;
    const DialogTemplate* tpl = AfxGetResources().FindDialog(kControlsDialog);
    const std::string where = "dialog 9001 (" + tpl->file + ":" + std::to_string(tpl->line) + ")";
    const std::string map = "the message map of " + where + " names ";
    const std::string ddx = "the data exchange of " + where + " binds control ";
    const std::vector<std::string> expected = {
        map + "control 4242, which the template lacks",
        map + "control 108, a ComboBox, which cannot send that notification",
        map + "command 101, which is neither a button of the template nor an item of its menu",
        ddx + "108 with DDX_Text, a ComboBox, not an edit or static",
        ddx +
            "104 with DDX_Radio, a Button, not an auto radio button that starts a group "
            "(WS_GROUP)",
        ddx + "103 with DDX_Check, a Button, not an auto check box",
        ddx + "109 with DDX_CBIndex, a ListBox, not a combo box",
        ddx + "116 with DDX_LBString, a ComboBox, not a list box",
        ddx + "102 with DDX_Control, an Edit, not a control its member can stand for",
        ddx + "4711 with DDX_Text, which the template lacks",
    };
    EXPECT_EQ(dlg.TemplateMismatches(AfxGetResources().FindMenu(kTestMenu)), expected);
    EXPECT_EQ(dlg.text, "unchanged") << "a survey touches no member";
    EXPECT_EQ(dlg.number, 7);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

    // Without the menu, the menu command names nothing the dialog has.
    const std::vector<std::string> noMenu = MisfitDlg().TemplateMismatches();
    ASSERT_EQ(noMenu.size(), expected.size() + 1);
    EXPECT_EQ(noMenu[2],
              map +
                  "command 33001, which is neither a button of the template nor an item of "
                  "a menu");

    ControlsDlg fitting;
    EXPECT_EQ(fitting.TemplateMismatches(AfxGetResources().FindMenu(kTestMenu)),
              std::vector<std::string>{});
}

// An entry for a control that the template lacks, or of the wrong class, is
// a fault of the program found when the dialog is created.
class MissingControlDlg : public CDialog {
public:
    MissingControlDlg() : CDialog(kControlsDialog) {}
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MissingControlDlg, CDialog)
    ON_BN_CLICKED(4242, OnNothing)
END_MESSAGE_MAP()

class WrongClassDlg : public CDialog {
public:
    WrongClassDlg() : CDialog(kControlsDialog) {}
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(WrongClassDlg, CDialog)
    ON_EN_CHANGE(108, OnNothing)
END_MESSAGE_MAP()

class SilentListDlg : public CDialog {
public:
    SilentListDlg() : CDialog(9050) {}
    void OnNothing() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SilentListDlg, CDialog)
    ON_LBN_DBLCLK(5, OnNothing)
END_MESSAGE_MAP()

class MessageMapDeathTest : public FrameworkTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        FrameworkTest::SetUp();
    }
};

TEST_F(MessageMapDeathTest, AnEntryForAControlTheTemplateLacksIsFatal) {
    MissingControlDlg dlg;
    EXPECT_DEATH(dlg.DoModal(),
                 "message map of dialog 9001 .*names control 4242, which the template lacks");
}

TEST_F(MessageMapDeathTest, AnEntryForAControlOfAnotherClassIsFatal) {
    WrongClassDlg dlg;
    EXPECT_DEATH(dlg.DoModal(),
                 "names control 108, a ComboBox, which cannot send that notification");
}

TEST_F(MessageMapDeathTest, ADoubleClickEntryForAListWithoutNotifyIsFatal) {
    std::string error;
    ASSERT_TRUE(AfxGetResources().Load(
        "9050 DIALOG 0,0,50,50\nBEGIN\nLISTBOX 5, 0, 0, 20, 20, NOT LBS_NOTIFY\nEND\n", "silent.rc",
        &error))
        << error;
    SilentListDlg dlg;
    EXPECT_DEATH(dlg.DoModal(), "names control 5, a list box without LBS_NOTIFY");
}

}  // namespace
