// The local four-parameter sheet through its command: two pages, created
// when first shown, no Apply, OK storing both levels and Cancel neither.
#include <algorithm>
#include <iterator>

#include "params/RotationText.h"
#include "tests/ui/params/ParamsTest.h"
#include "ui/framework/PropertyPage.h"
#include "ui/framework/PropertySheet.h"
#include "ui/framework/TabCtrl.h"
#include "ui/params/ParamCommands.h"

namespace {

class FourParamSheetTest : public ParamsTest {
protected:
    static CPropertySheet& Sheet(CWnd& w) { return dynamic_cast<CPropertySheet&>(w); }
    static CPropertyPage& Page(CWnd& w, int index) { return *Sheet(w).GetPage(index); }
    static void ExpectDefaults(CWnd& page) {
        for (int id : {IDC_LOCAL_X0, IDC_LOCAL_Y0, IDC_LOCAL_SCALE})
            EXPECT_EQ(ControlText(page, id), "0") << id;
        EXPECT_EQ(ControlText(page, IDC_LOCAL_ROTATION), "000:00:00.000000");
    }
    static void ExpectLevel(const double (&actual)[4], const double (&expected)[4]) {
        for (int i = 0; i < 4; ++i) EXPECT_EQ(actual[i], expected[i]) << "value " << i;
    }
};

TEST_F(FourParamSheetTest, TwoLevelPagesWithoutApplyTheSecondCreatedWhenFirstShown) {
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "地方坐标转换参数");
        EXPECT_EQ(w.FindChild(ID_APPLY_NOW), nullptr);
        EXPECT_EQ(ControlText(w, IDOK), "确定");
        EXPECT_EQ(ControlText(w, IDCANCEL), "取消");
        auto* tabs = static_cast<CTabCtrl*>(w.GetDlgItem(AFX_IDC_TAB_CONTROL));
        ASSERT_EQ(tabs->GetItemCount(), 2);
        EXPECT_EQ(tabs->GetItemText(0), "一级地方坐标变换");
        EXPECT_EQ(tabs->GetItemText(1), "二级地方坐标变换");
        EXPECT_NE(Page(w, 0).m_hWnd, nullptr);
        EXPECT_EQ(Page(w, 1).m_hWnd, nullptr);
        ExpectDefaults(Page(w, 0));
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ASSERT_NE(Page(w, 1).m_hWnd, nullptr);
        ExpectDefaults(Page(w, 1));
        Click(w, IDCANCEL);
    });
    ParamCommands::OnFourParamSettings(s);
}

TEST_F(FourParamSheetTest, OkAtOnceKeepsBothLevelsExactly) {
    const double level1[4] = {123.456, -789.25, 0.00123456789, 1.0000123};
    const double level2[4] = {5.5, -6.0, -2.2e-5, 0.99998};
    std::copy(std::begin(level1), std::end(level1), s.m_params.m_local1);
    std::copy(std::begin(level2), std::end(level2), s.m_params.m_local2);
    Next([&](CWnd& w) {
        EXPECT_EQ(ControlText(Page(w, 0), IDC_LOCAL_ROTATION), FormatRotation(s.m_geo, level1[2]));
        Click(w, IDOK);
    });
    ParamCommands::OnFourParamSettings(s);
    ExpectLevel(s.m_params.m_local1, level1);
    ExpectLevel(s.m_params.m_local2, level2);
}

TEST_F(FourParamSheetTest, CancelAfterEditingBothPagesChangesNeither) {
    s.m_params.m_local1[3] = 1.0;
    Next([&](CWnd& w) {
        ReplaceText(Page(w, 0), IDC_LOCAL_X0, "77");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ReplaceText(Page(w, 1), IDC_LOCAL_Y0, "88");
        Click(w, IDCANCEL);
    });
    ParamCommands::OnFourParamSettings(s);
    ExpectLevel(s.m_params.m_local1, {0, 0, 0, 1.0});
    ExpectLevel(s.m_params.m_local2, {0, 0, 0, 0});
}

}  // namespace
