// Dialogs: how Enter, Escape and the close box end them, what the template's
// styles become, where controls are placed, and what a handler's exception
// and misuse of GetDlgItem do.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Platform.h"
#include "io/Exception.h"
#include "res/resource.h"
#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"
#include "ui/framework/DialogUnits.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/resources/ResourceSet.h"

namespace {

class RoutingDlg : public CDialog {
public:
    explicit RoutingDlg(UINT id = kExchangeDialog) : CDialog(id) {}
    std::vector<std::string> log;
    bool allowClose = true;

    void OnClose() {
        log.push_back("close");
        if (allowClose) CDialog::OnClose();
    }
    void OnSysCommand(UINT nID, LPARAM lParam) {
        log.push_back("syscommand " + std::to_string(nID));
        CDialog::OnSysCommand(nID, lParam);
    }
    void OnConvert() { log.push_back("convert"); }
    void OnOK() override {
        log.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        log.push_back("cancel");
        CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RoutingDlg, CDialog)
    ON_WM_CLOSE()
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class DefButtonDlg : public RoutingDlg {
public:
    DefButtonDlg() : RoutingDlg(kDefButtonDialog) {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DefButtonDlg, RoutingDlg)
    ON_BN_CLICKED(302, OnConvert)
END_MESSAGE_MAP()

class DialogTest : public FrameworkTest {};

TEST_F(DialogTest, EnterInAnEditSendsIdokWhoseDefaultEndsTheDialog) {
    RoutingDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        TypeText(w, 201, "x");
        PressEnter(w);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"ok"}));
}

TEST_F(DialogTest, EnterOnAPushButtonClicksThatButton) {
    RoutingDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        w.GetDlgItem(IDCANCEL)->SetFocus();
        PressEnter(w);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"cancel"}));
}

TEST_F(DialogTest, EnterSendsTheDefaultPushButtonsId) {
    DefButtonDlg dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        TypeText(w, 301, "1");
        PressEnter(w);
        EXPECT_TRUE(w.ContinueModal());
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"convert"}));
    EXPECT_TRUE(run->closedByGuard);
}

TEST_F(DialogTest, EscapeSendsIdcancel) {
    RoutingDlg dlg;
    Prompts().ArmModal([&](CWnd& w) { PressEscape(w); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"cancel"}));
}

TEST_F(DialogTest, TheCloseBoxGoesThroughSysCommandToCloseWhoseDefaultEndsWithIdcancel) {
    RoutingDlg dlg;
    Prompts().ArmModal([&](CWnd& w) { ClickCloseBox(w); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.log,
              (std::vector<std::string>{"syscommand " + std::to_string(SC_CLOSE), "close"}))
        << "closing must not run OnCancel";
}

TEST_F(DialogTest, AHandlerThatKeepsTheWindowOpenIsObeyed) {
    RoutingDlg dlg;
    dlg.allowClose = false;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        ClickCloseBox(w);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_TRUE(w.IsWindowVisible());
    });
    dlg.DoModal();
    EXPECT_TRUE(run->closedByGuard);
}

TEST_F(DialogTest, TemplateStylesBecomeWidgetStates) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        QWidget* window = w.GetSafeHwnd();
        EXPECT_EQ(window->windowTitle(), QStringLiteral("控件"));
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
        // It has a list: it grows, never below the template's size.
        EXPECT_NE(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(window->minimumSize(), window->size());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(ControlVisible(w, 113));
        EXPECT_FALSE(ControlEnabled(w, 113));
        EXPECT_EQ(w.GetDlgItem(113)->GetStyle() & (WS_VISIBLE | WS_DISABLED), WS_DISABLED);
        w.GetDlgItem(113)->ShowWindow(SW_SHOW);
        w.GetDlgItem(113)->EnableWindow(TRUE);
        EXPECT_TRUE(ControlVisible(w, 113));
        EXPECT_TRUE(ControlEnabled(w, 113));
        auto* label = qobject_cast<QLabel*>(ControlWidget(w, 101));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->alignment() & Qt::AlignRight);
        auto* right = qobject_cast<QLineEdit*>(ControlWidget(w, 115));
        ASSERT_NE(right, nullptr);
        EXPECT_TRUE(right->alignment() & Qt::AlignRight);
        EXPECT_TRUE(right->isReadOnly());
        EXPECT_FALSE(right->hasFrame());
        EXPECT_EQ(ControlWidget(w, 111)->focusPolicy(), Qt::NoFocus) << "TCS_FOCUSNEVER";
        EXPECT_EQ(ControlWidget(w, 102)->objectName(), QStringLiteral("102"));
        EXPECT_EQ(FocusedControlId(w), 102) << "the first tab stop takes the focus";
    });
    dlg.DoModal();

    CDialog resizable(kResizableDialog);
    Prompts().ArmModal([&](CWnd& w) {
        QWidget* window = w.GetSafeHwnd();
        EXPECT_NE(window->minimumSize(), window->maximumSize()) << "WS_THICKFRAME: resizable";
        EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint) << "no WS_SYSMENU";
    });
    resizable.DoModal();
}

TEST_F(DialogTest, ControlsSitAtTheirTemplatePositionsInDialogUnitsOfTheTemplateFont) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        QFont font = ControlWidget(w, 102)->font();
        const QString family = QString::fromLatin1(Platform::DialogFontFamily());
        EXPECT_EQ(font.family(), family) << "\"宋体\" is mapped";
        // Drawn with it wherever it is installed (Linux: a dependency of the package).
        if (QFontDatabase::hasFamily(family)) {
            EXPECT_EQ(QFontInfo(font).family(), family);
        }
        EXPECT_EQ(font.pointSize(), 9);
        CDialogUnits units(font);
        RECT rc{30, 10, 30 + 60, 10 + 14};
        static_cast<CDialog&>(w).MapDialogRect(&rc);
        EXPECT_EQ(ControlWidget(w, 102)->geometry(),
                  QRect(units.X(30), units.Y(10), units.X(60), units.Y(14)));
        EXPECT_EQ(rc.left, units.X(30));
        EXPECT_EQ(rc.bottom, units.Y(24));
        RECT client;
        w.GetClientRect(&client);
        EXPECT_EQ(client.right, units.X(200));
        EXPECT_EQ(client.bottom, units.Y(150));
        auto* combo = qobject_cast<QComboBox*>(ControlWidget(w, 108));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->height(), combo->sizeHint().height())
            << "the template height is the open list's";
        EXPECT_LT(combo->height(), units.Y(60));
    });
    dlg.DoModal();
}

TEST_F(DialogTest, DialogUnitsFollowTheTemplatesPointSize) {
    CDialogUnits small(AfxDialogFont(DialogTemplate{}));
    DialogTemplate big;
    big.fontSize = 18;
    CDialogUnits large(AfxDialogFont(big));
    EXPECT_GT(large.BaseX(), small.BaseX());
    EXPECT_GT(large.BaseY(), small.BaseY());
    DialogTemplate sans;
    sans.fontSize = 9;
    sans.fontName = "MS Sans Serif";
    DialogTemplate song = sans;
    song.fontName = "宋体";
    EXPECT_EQ(CDialogUnits(AfxDialogFont(sans)).BaseX(), CDialogUnits(AfxDialogFont(song)).BaseX());
}

TEST(DialogUnits, MapsLikeMulDivRoundingHalvesAwayFromZero) {
    EXPECT_EQ(CDialogUnits::MulDiv(5, 6, 4), 8);  // 7.5
    EXPECT_EQ(CDialogUnits::MulDiv(3, 6, 4), 5);  // 4.5
    EXPECT_EQ(CDialogUnits::MulDiv(1, 6, 4), 2);  // 1.5
    EXPECT_EQ(CDialogUnits::MulDiv(1, 5, 4), 1);  // 1.25
    EXPECT_EQ(CDialogUnits::MulDiv(-5, 6, 4), -8);
    EXPECT_EQ(CDialogUnits::MulDiv(7, 13, 8), 11);  // 11.375
    CDialogUnits units(6, 12);
    EXPECT_EQ(units.X(324), 486);
    EXPECT_EQ(units.Y(191), 287);  // 286.5
}

TEST_F(DialogTest, ComboBoxesAreFilledFromDlgInitWithNothingSelected) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        auto* combo = static_cast<CComboBox*>(w.GetDlgItem(108));
        ASSERT_EQ(combo->GetCount(), 2);
        EXPECT_EQ(combo->GetLBText(0), "北京-54坐标系  ");
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        auto* sorted = static_cast<CListBox*>(w.GetDlgItem(110));
        EXPECT_EQ(sorted->GetText(0), "a");
        EXPECT_EQ(sorted->GetText(1), "b");
        EXPECT_EQ(sorted->GetText(2), "C") << "LBS_SORT ignores case";
        auto* sortedCombo = static_cast<CComboBox*>(w.GetDlgItem(116));
        EXPECT_EQ(sortedCombo->GetLBText(0), ",");
        EXPECT_EQ(sortedCombo->GetLBText(1), "{Space}");
    });
    dlg.DoModal();
}

TEST_F(DialogTest, GroupBoxesLieBelowTheControlsTheyFrameAndLetClicksThrough) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        QWidget* client = ControlWidget(w, 102)->parentWidget();
        QWidget* box = client->findChild<QGroupBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_EQ(client->children().indexOf(box), 0) << "lowest in the stacking order";
        Click(w, 103);  // inside the group box
        EXPECT_EQ(ControlCheck(w, 103), BST_CHECKED);
    });
    dlg.DoModal();
}

class ThrowingDlg : public CDialog {
public:
    ThrowingDlg() : CDialog(kControlsDialog) {}
    void OnButton() { throw CException("无法打开文件 a.cod。"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingDlg, CDialog)
    ON_BN_CLICKED(112, OnButton)
END_MESSAGE_MAP()

TEST_F(DialogTest, AnExceptionFromAHandlerIsShownAndTheDialogGoesOn) {
    ThrowingDlg dlg;
    Prompts().AnswerMessageBox(IDOK);
    Prompts().ArmModal([&](CWnd& w) {
        Click(w, 112);
        EXPECT_TRUE(w.ContinueModal());
    });
    dlg.DoModal();
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, "无法打开文件 a.cod。");
}

TEST_F(DialogTest, TheWindowIsGoneAfterDoModalAndMembersAreDetached) {
    struct MemberDlg : CDialog {
        MemberDlg() : CDialog(kControlsDialog) {}
        CEdit edit;
        void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 102, edit); }
    } dlg;
    Prompts().ArmModal([&](CWnd&) { EXPECT_NE(dlg.edit.m_hWnd, nullptr); });
    dlg.DoModal();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.edit.m_hWnd, nullptr);
    Prompts().ArmModal([&](CWnd& w) {
        EXPECT_EQ(w.GetDlgItem(102), &dlg.edit) << "a second DoModal attaches again";
    });
    dlg.DoModal();
}

class IconDlg : public CDialog {
public:
    IconDlg() : CDialog(kControlsDialog) {}
    HICON icon = nullptr;
    int paints = 0;
    BOOL drawn = FALSE;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        icon = AfxGetResources().FindIcon(IDI_APP);
        SetIcon(icon, TRUE);
        SetIcon(icon, FALSE);
        return TRUE;
    }
    void OnPaint() {
        ++paints;
        CPaintDC dc(this);
        drawn = dc.DrawIcon(0, 0, icon);
    }
    HCURSOR OnQueryDragIcon() { return icon; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(IconDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

TEST_F(DialogTest, IconsPaintingAndTheDragIcon) {
    IconDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        ASSERT_NE(dlg.icon, nullptr);
        EXPECT_FALSE(w.GetSafeHwnd()->windowIcon().isNull()) << "WM_SETICON sets the window's icon";
        EXPECT_EQ(w.GetIcon(TRUE), dlg.icon);
        int before = dlg.paints;
        w.RedrawWindow();
        EXPECT_GT(dlg.paints, before) << "RDW_UPDATENOW paints at once, through WM_PAINT";
        EXPECT_TRUE(dlg.drawn) << "a paint DC draws while WM_PAINT is handled";
        CPaintDC outside(&w);
        EXPECT_FALSE(outside.DrawIcon(0, 0, dlg.icon)) << "outside WM_PAINT nothing is drawn";
        EXPECT_EQ(reinterpret_cast<HICON>(w.SendMessage(WM_QUERYDRAGICON)), dlg.icon);
    });
    dlg.DoModal();
}

TEST_F(DialogTest, EndDialogInOnInitDialogEndsBeforeTheDialogRuns) {
    struct Quick : CDialog {
        Quick() : CDialog(kControlsDialog) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            EndDialog(IDOK);
            return TRUE;
        }
    } dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);  // no armed callback: the dialog never ran its event loop
}

class DialogDeathTest : public FrameworkTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        FrameworkTest::SetUp();
    }
};

TEST_F(DialogDeathTest, AMissingControlOrTemplateOrWindowIsFatal) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal(
        [&](CWnd& w) { EXPECT_DEATH(w.GetDlgItem(999), "dialog 9001 has no control 999"); });
    dlg.DoModal();
    EXPECT_DEATH(dlg.GetDlgItem(102), "GetDlgItem on dialog 9001, which has no window");
    EXPECT_DEATH(CDialog(8888).DoModal(), "no dialog template 8888");
    CEdit loose;
    EXPECT_DEATH(loose.SetWindowText("x"), "SetWindowText on window, which has no window");
}

}  // namespace
