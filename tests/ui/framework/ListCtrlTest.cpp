// The report-style list view: its operations and bad indexes, the
// notifications of the user's clicks and cell edits (and only of those), and
// how templates and message maps name it.
#include <gtest/gtest.h>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"
#include "ui/resources/ResourceSet.h"

namespace {

// Records every notification of list view 501 as a line of text. Column 0
// cannot be edited, and a cell refuses the text "bad".
class TableDlg : public CDialog {
public:
    TableDlg() : CDialog(kListViewDialog) {}
    std::vector<std::string> log;
    CListCtrl m_table;

    void Fill() {
        m_table.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        m_table.InsertColumn(0, "参与");
        m_table.InsertColumn(1, "点名");
        m_table.InsertColumn(2, "x", LVCFMT_RIGHT, 80);
        for (int i = 0; i < 3; ++i) {
            m_table.InsertItem(i, "");
            m_table.SetItemText(i, 1, "P" + std::to_string(i + 1));
            m_table.SetItemText(i, 2, std::to_string(100 * (i + 1)));
            m_table.SetCheck(i, i != 1);
        }
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, 501, m_table);
    }
    void OnItemChanged(NMHDR* header, LRESULT* result) {
        auto* info = reinterpret_cast<NMLISTVIEW*>(header);
        const UINT changed = info->uOldState ^ info->uNewState;
        const std::string item = std::to_string(info->iItem);
        if (changed & LVIS_STATEIMAGEMASK) {
            log.push_back("check " + item +
                          (info->uNewState == INDEXTOSTATEIMAGEMASK(2) &&
                                   info->uOldState == INDEXTOSTATEIMAGEMASK(1)
                               ? " on"
                           : info->uNewState == INDEXTOSTATEIMAGEMASK(1) &&
                                   info->uOldState == INDEXTOSTATEIMAGEMASK(2)
                               ? " off"
                               : " ?"));
        }
        if (changed & LVIS_SELECTED) {
            log.push_back("select " + item + (info->uNewState & LVIS_SELECTED ? " on" : " off"));
        }
        *result = 0;
    }
    void OnBeginEdit(NMHDR* header, LRESULT* result) {
        auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
        log.push_back("begin " + std::to_string(info->item.iItem) + "," +
                      std::to_string(info->item.iSubItem));
        *result = info->item.iSubItem == 0 ? TRUE : FALSE;
    }
    void OnEndEdit(NMHDR* header, LRESULT* result) {
        auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
        const std::string text = info->item.pszText;
        log.push_back("end " + std::to_string(info->item.iItem) + "," +
                      std::to_string(info->item.iSubItem) + " " + text + " (was " +
                      m_table.GetItemText(info->item.iItem, info->item.iSubItem) + ")");
        *result = text != "bad";
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TableDlg, CDialog)
    ON_NOTIFY(LVN_ITEMCHANGED, 501, OnItemChanged)
    ON_NOTIFY(LVN_BEGINLABELEDIT, 501, OnBeginEdit)
    ON_NOTIFY(LVN_ENDLABELEDIT, 501, OnEndEdit)
END_MESSAGE_MAP()

class ListCtrlTest : public FrameworkTest {};

// The lines of the log that start with `kind`.
std::vector<std::string> Lines(const std::vector<std::string>& log, const std::string& kind) {
    std::vector<std::string> lines;
    for (const std::string& line : log) {
        if (line.rfind(kind, 0) == 0) lines.push_back(line);
    }
    return lines;
}

TEST_F(ListCtrlTest, OperationsKeepTextsAndDataAndRefuseBadIndexesWithoutNotifying) {
    TableDlg dlg;
    Prompts().ArmModal([&](CWnd&) {
        CListCtrl& t = dlg.m_table;
        EXPECT_EQ(t.InsertItem(0, "no columns"), -1);
        dlg.Fill();
        EXPECT_EQ(t.GetColumnCount(), 3);
        EXPECT_EQ(t.GetColumnHeading(1), "点名");
        EXPECT_EQ(t.GetColumnWidth(2), 80);
        EXPECT_GE(t.GetColumnWidth(1), t.GetStringWidth("点名"));
        EXPECT_TRUE(t.SetColumnHeading(2, "y"));
        EXPECT_FALSE(t.SetColumnHeading(3, "z"));
        EXPECT_EQ(t.GetColumnHeading(2), "y");

        ASSERT_EQ(t.GetItemCount(), 3);
        EXPECT_EQ(t.InsertItem(9, "end"), 3) << "beyond the end: at the end";
        const std::string gbk = "\xB5\xE3\xC3\xFB";  // bytes that are not UTF-8
        EXPECT_TRUE(t.SetItemText(3, 1, gbk));
        EXPECT_EQ(t.GetItemText(3, 1), gbk);
        EXPECT_EQ(t.GetItemText(3, 0), "end");
        EXPECT_EQ(t.GetItemText(3, 2), "") << "a new item's subitems are empty";
        EXPECT_FALSE(t.GetCheck(3)) << "and its check box clear";
        EXPECT_EQ(t.GetItemText(1, 2), "200");
        t.SetItemText(0, 2, "3525499.7810000");
        EXPECT_TRUE(t.SetColumnWidth(2, LVSCW_AUTOSIZE_USEHEADER));
        EXPECT_GE(t.GetColumnWidth(2), t.GetStringWidth("3525499.7810000"));
        EXPECT_TRUE(t.GetCheck(0));
        EXPECT_FALSE(t.GetCheck(1));
        EXPECT_EQ(t.GetItemState(2, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
        EXPECT_TRUE(t.SetItemData(2, 4711));
        EXPECT_TRUE(t.SetItemData(3, 99));
        EXPECT_EQ(t.GetItemData(2), 4711u);
        EXPECT_TRUE(t.SetItemColors(2, RGB(128, 0, 0), RGB(255, 220, 220)));
        EXPECT_FALSE(t.SetItemText(4, 0, "x"));
        EXPECT_FALSE(t.SetItemText(0, 3, "x"));
        EXPECT_EQ(t.GetItemText(-1, 0), "");
        EXPECT_FALSE(t.SetCheck(7));
        EXPECT_FALSE(t.DeleteItem(4));

        // Selection: one row at a time in a LVS_SINGLESEL view.
        EXPECT_EQ(t.GetNextItem(-1, LVNI_SELECTED), -1);
        EXPECT_TRUE(t.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
        EXPECT_TRUE(t.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
        EXPECT_EQ(t.GetSelectedCount(), 1);
        EXPECT_EQ(t.GetNextItem(-1, LVNI_SELECTED), 2);
        EXPECT_EQ(t.GetNextItem(-1, LVNI_FOCUSED), 2);
        EXPECT_EQ(t.GetNextItem(2, LVNI_ALL), 3);
        // Deleting moves the rows up, with their data, and leaves no selection.
        EXPECT_TRUE(t.DeleteItem(2));
        EXPECT_EQ(t.GetItemCount(), 3);
        EXPECT_EQ(t.GetItemText(2, 0), "end");
        EXPECT_EQ(t.GetItemData(2), 99u);
        EXPECT_EQ(t.GetSelectedCount(), 0);
        EXPECT_TRUE(t.EnsureVisible(2, FALSE));

        // A column inserted later gets empty cells in every row.
        EXPECT_EQ(t.InsertColumn(9, "h"), 3);
        EXPECT_EQ(t.GetItemText(1, 3), "");
        EXPECT_TRUE(t.DeleteColumn(3));
        EXPECT_FALSE(t.DeleteColumn(3));
        EXPECT_TRUE(t.DeleteAllItems());
        EXPECT_EQ(t.GetItemCount(), 0);

        // The plain view has no check boxes and edits nothing.
        auto* plain = static_cast<CListCtrl*>(dlg.GetDlgItem(502));
        plain->InsertColumn(0, "a");
        EXPECT_EQ(plain->InsertItem(0, "one"), 0);
        EXPECT_FALSE(plain->SetCheck(0));
        EXPECT_FALSE(plain->GetCheck(0));
        EXPECT_FALSE(plain->EditLabel(0));
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.log, std::vector<std::string>{}) << "the functions send nothing";
}

TEST_F(ListCtrlTest, ClicksAndCellEditsNotifyTheOwnerWhoMayRefuseThem) {
    TableDlg dlg;
    Prompts().ArmModal([&](CWnd& w) {
        dlg.Fill();
        CListCtrl& t = dlg.m_table;
        ClickListViewCheck(w, 501, 1);
        EXPECT_TRUE(t.GetCheck(1));
        ClickListViewCheck(w, 501, 0);
        EXPECT_FALSE(t.GetCheck(0));
        EXPECT_EQ(Lines(dlg.log, "check"), (std::vector<std::string>{"check 1 on", "check 0 off"}));
        dlg.log.clear();

        SelectListViewItem(w, 501, 2);
        SelectListViewItem(w, 501, 1);
        EXPECT_EQ(t.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(dlg.log,
                  (std::vector<std::string>{"select 2 on", "select 2 off", "select 1 on"}));
        dlg.log.clear();

        // An accepted edit, a refused text, a cell the owner does not open,
        // and an editor opened by the program.
        EXPECT_TRUE(EditListViewCell(w, 501, 1, 2, "12.5"));
        EXPECT_EQ(t.GetItemText(1, 2), "12.5");
        EXPECT_TRUE(EditListViewCell(w, 501, 1, 1, "bad"));
        EXPECT_EQ(t.GetItemText(1, 1), "P2");
        EXPECT_FALSE(EditListViewCell(w, 501, 2, 0, "x"));
        const std::vector<std::string> edits = {"begin 1,2", "end 1,2 12.5 (was 200)", "begin 1,1",
                                                "end 1,1 bad (was P2)", "begin 2,0"};
        EXPECT_EQ(Lines(dlg.log, "check"), std::vector<std::string>{}) << "edits leave checks";
        std::vector<std::string> seen;
        for (const std::string& line : dlg.log) {
            if (line.rfind("begin", 0) == 0 || line.rfind("end", 0) == 0) seen.push_back(line);
        }
        EXPECT_EQ(seen, edits);
        EXPECT_TRUE(t.EditLabel(0, 2));
        EXPECT_EQ(dlg.log.back(), "begin 0,2");
        EXPECT_FALSE(t.EditLabel(0, 0)) << "refused by the owner";
        PressEscape(w);
    });
    dlg.DoModal();
}

// A handler of a list view notification must name a list view (a list view
// in a template must be a report view: RcParserTest).
class MisnamedDlg : public CDialog {
public:
    MisnamedDlg() : CDialog(kListViewDialog) {}
    void OnChanged(NMHDR*, LRESULT*) {}
    CListCtrl m_table;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 503, m_table); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MisnamedDlg, CDialog)
    ON_NOTIFY(LVN_ITEMCHANGED, 503, OnChanged)
    ON_NOTIFY(LVN_ENDLABELEDIT, 502, OnChanged)
END_MESSAGE_MAP()

TEST_F(ListCtrlTest, TemplatesAndMessageMapsNameReportViewsOnly) {
    const DialogTemplate* tpl = AfxGetResources().FindDialog(kListViewDialog);
    ASSERT_NE(tpl, nullptr);
    EXPECT_EQ(tpl->controls[0].kind, ControlKind::ListView);
    EXPECT_EQ(tpl->controls[0].style & (LVS_TYPEMASK | LVS_EDITLABELS | LVS_SINGLESEL),
              LVS_REPORT | LVS_EDITLABELS | LVS_SINGLESEL);

    const std::string where = "dialog 9005 (" + tpl->file + ":" + std::to_string(tpl->line) + ")";
    EXPECT_EQ(MisnamedDlg().TemplateMismatches(),
              (std::vector<std::string>{
                  "the message map of " + where +
                      " names control 503, an Edit, which cannot send that notification",
                  "the data exchange of " + where +
                      " binds control 503 with DDX_Control, an Edit, not a control its member "
                      "can stand for"}));
}

}  // namespace
