// The coordinate-system list opens empty, its buttons change nothing, and
// OK and Cancel both just close it.
#include "tests/ui/params/ParamsTest.h"
#include "ui/framework/ListBox.h"
#include "ui/params/ParamCommands.h"

namespace {

using DatumListTest = ParamsTest;

TEST_F(DatumListTest, OpensEmptyAndItsButtonsChangeNothing) {
    for (int button : {IDOK, IDCANCEL}) {
        auto run = Next([button](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), "坐标系参数");
            auto* list = static_cast<CListBox*>(w.GetDlgItem(IDC_DATUMS));
            EXPECT_EQ(list->GetCount(), 0);
            for (int id : {IDC_DATUM_NAME, IDC_SEMI_MAJOR_AXIS, IDC_INVERSE_FLATTENING})
                EXPECT_EQ(ControlText(w, id), "") << id;
            Click(w, IDC_ADD_DATUM);
            Click(w, IDC_DELETE_DATUM);
            EXPECT_EQ(list->GetCount(), 0);
            for (int id : {IDC_DATUM_NAME, IDC_SEMI_MAJOR_AXIS, IDC_INVERSE_FLATTENING})
                EXPECT_EQ(ControlText(w, id), "") << id;
            EXPECT_TRUE(w.ContinueModal());
            Click(w, button);
            EXPECT_FALSE(w.ContinueModal());
        });
        ParamCommands::OnDatumList(s);
        EXPECT_FALSE(run->closedByGuard);
    }
}

}  // namespace
