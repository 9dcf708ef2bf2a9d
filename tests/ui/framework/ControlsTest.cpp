// The control classes' own operations: indexes, sorting, bad indexes, and
// texts kept byte for byte.

#include <gtest/gtest.h>

#include "tests/ui/framework/TestTemplates.h"
#include "tests/ui/support/DialogDriver.h"
#include "ui/framework/AfxWin.h"

namespace {

class ControlsTest : public FrameworkTest {};

TEST_F(ControlsTest, ListBoxIndexesAndBadIndexes) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        auto* list = static_cast<CListBox*>(w.GetDlgItem(109));
        EXPECT_EQ(list->GetCurSel(), LB_ERR);
        EXPECT_EQ(list->AddString("C:/…/Data/pts.txt"), 0);
        EXPECT_EQ(list->AddString("b"), 1);
        EXPECT_EQ(list->InsertString(0, "first"), 0);
        EXPECT_EQ(list->InsertString(-1, "last"), 3);
        EXPECT_EQ(list->InsertString(9, "beyond"), LB_ERR);
        EXPECT_EQ(list->GetCount(), 4);
        EXPECT_EQ(list->GetText(1), "C:/…/Data/pts.txt");
        std::string text = "kept";
        EXPECT_EQ(list->GetText(7, text), LB_ERR);
        EXPECT_EQ(text, "");
        EXPECT_EQ(list->SetCurSel(2), 2);
        EXPECT_EQ(list->GetCurSel(), 2);
        EXPECT_EQ(list->SetCurSel(4), LB_ERR);
        EXPECT_EQ(list->GetCurSel(), LB_ERR) << "a bad index clears the selection";
        EXPECT_EQ(list->FindString(-1, "B"), 2);
        EXPECT_EQ(list->FindString(2, "f"), 0) << "the search wraps around";
        EXPECT_EQ(list->FindString(-1, "zz"), LB_ERR);
        list->SetCurSel(1);
        EXPECT_EQ(list->DeleteString(1), 3);
        EXPECT_EQ(list->GetCurSel(), LB_ERR) << "deleting the selected entry leaves none";
        EXPECT_EQ(list->DeleteString(5), LB_ERR);
        list->ResetContent();
        EXPECT_EQ(list->GetCount(), 0);
    });
    dlg.DoModal();
}

// Regression: list entries are compared and returned as the bytes added, so
// a path that is not valid UTF-8 comes back unchanged.
TEST_F(ControlsTest, EntriesKeepTheirBytes) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        const std::string odd = "/data/\xD7\xF8\xB1\xEA.txt";  // GBK bytes in a file name
        auto* list = static_cast<CListBox*>(w.GetDlgItem(109));
        list->AddString(odd);
        EXPECT_EQ(list->GetText(0), odd);
        auto* combo = static_cast<CComboBox*>(w.GetDlgItem(108));
        int index = combo->AddString(odd);
        EXPECT_EQ(combo->GetLBText(index), odd);
        combo->SetCurSel(index);
        EXPECT_EQ(combo->GetWindowText(), odd);
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, ComboBoxSelectionAndEditableText) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        auto* combo = static_cast<CComboBox*>(w.GetDlgItem(108));
        EXPECT_EQ(combo->SetCurSel(1), 1);
        EXPECT_EQ(combo->GetWindowText(), "国家-80坐标系  ");
        EXPECT_EQ(combo->SetCurSel(-1), CB_ERR);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(combo->SetCurSel(2), CB_ERR);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(combo->InsertString(0, "零"), 0);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR) << "inserting selects nothing";
        EXPECT_EQ(combo->DeleteString(0), 2);
        auto* editable = static_cast<CComboBox*>(w.GetDlgItem(116));
        editable->SetWindowText("自由");
        EXPECT_EQ(editable->GetWindowText(), "自由");
        EXPECT_EQ(editable->AddString("a"), 1) << "sorted between \",\" and \"{Space}\"";
        EXPECT_EQ(editable->GetWindowText(), "自由") << "adding an entry keeps the typed text";
    });
    dlg.DoModal();
}

TEST_F(ControlsTest, TabControlAndButtons) {
    CDialog dlg(kControlsDialog);
    Prompts().ArmModal([&](CWnd& w) {
        auto* tabs = static_cast<CTabCtrl*>(w.GetDlgItem(111));
        EXPECT_EQ(tabs->GetCurSel(), -1);
        EXPECT_EQ(tabs->InsertItem(0, "单点转换"), 0);
        EXPECT_EQ(tabs->InsertItem(5, "文件转换"), 1);
        EXPECT_EQ(tabs->GetItemCount(), 2);
        EXPECT_EQ(tabs->GetCurSel(), 0);
        EXPECT_EQ(tabs->SetCurSel(1), 0);
        EXPECT_EQ(tabs->SetCurSel(2), -1);
        EXPECT_EQ(tabs->GetCurSel(), 1);
        EXPECT_EQ(tabs->GetItemText(1), "文件转换");
        auto* check = static_cast<CButton*>(w.GetDlgItem(107));
        check->SetCheck(BST_CHECKED);
        EXPECT_EQ(check->GetCheck(), BST_CHECKED);
        Click(w, 107);  // regression: Qt counts only the mark and the text as the button
        EXPECT_EQ(check->GetCheck(), BST_UNCHECKED)
            << "a click in the middle of the rectangle toggles";
        auto* push = static_cast<CButton*>(w.GetDlgItem(112));
        push->SetCheck(BST_CHECKED);
        EXPECT_EQ(push->GetCheck(), BST_UNCHECKED) << "a push button has no check state";
        w.GetDlgItem(114)->SetWindowText("X=");
        EXPECT_EQ(ControlText(w, 114), "X=");
        w.SetWindowText("C:/T/a.cod");
        EXPECT_EQ(w.GetWindowText(), "C:/T/a.cod");
    });
    dlg.DoModal();
}

}  // namespace
