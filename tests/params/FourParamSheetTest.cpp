// The local four-parameter sheet through its command: two pages, created
// when first shown, no Apply, OK storing both levels and Cancel neither.
#include <algorithm>
#include <iterator>

#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "framework/TabCtrl.h"
#include "params/ParamCommands.h"
#include "params/RotationText.h"
#include "tests/params/ParamsTest.h"

namespace {

class FourParamSheetTest : public ParamsTest {
protected:
    static CPropertySheet& Sheet(CWnd& w) { return dynamic_cast<CPropertySheet&>(w); }
    static CPropertyPage& Page(CWnd& w, int index) { return *Sheet(w).GetPage(index); }
    static void ExpectDefaults(CWnd& page) {
        for (int id : {1019, 1020, 1065}) EXPECT_EQ(ControlText(page, id), "0") << id;
        EXPECT_EQ(ControlText(page, 1064), "000:00:00.000000");
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
        EXPECT_EQ(ControlText(Page(w, 0), 1064), FormatRotation(s.m_geo, level1[2]));
        Click(w, IDOK);
    });
    ParamCommands::OnFourParamSettings(s);
    ExpectLevel(s.m_params.m_local1, level1);
    ExpectLevel(s.m_params.m_local2, level2);
}

TEST_F(FourParamSheetTest, OkStoresWhatWasTypedOnBothPages) {
    Next([&](CWnd& w) {
        ReplaceText(Page(w, 0), 1019, "1000.5");
        ReplaceText(Page(w, 0), 1020, "-2000.25");
        ReplaceText(Page(w, 0), 1064, "-000:30:00");
        ReplaceText(Page(w, 0), 1065, "1.5");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ReplaceText(Page(w, 1), 1065, "0.5");
        ReplaceText(Page(w, 1), 1064, "001:00:00");
        Click(w, IDOK);
    });
    ParamCommands::OnFourParamSettings(s);
    const double* l1 = s.m_params.m_local1;
    EXPECT_EQ(l1[0], 1000.5);
    EXPECT_EQ(l1[1], -2000.25);
    EXPECT_DOUBLE_EQ(l1[2], -0.5 * kDegToRad);
    EXPECT_EQ(l1[3], 1.5);
    const double* l2 = s.m_params.m_local2;
    EXPECT_EQ(l2[0], 0.0);
    EXPECT_DOUBLE_EQ(l2[2], 1.0 * kDegToRad);
    EXPECT_EQ(l2[3], 0.5);
}

TEST_F(FourParamSheetTest, CancelAfterEditingBothPagesChangesNeither) {
    s.m_params.m_local1[3] = 1.0;
    Next([&](CWnd& w) {
        ReplaceText(Page(w, 0), 1019, "77");
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        ReplaceText(Page(w, 1), 1020, "88");
        Click(w, IDCANCEL);
    });
    ParamCommands::OnFourParamSettings(s);
    ExpectLevel(s.m_params.m_local1, {0, 0, 0, 1.0});
    ExpectLevel(s.m_params.m_local2, {0, 0, 0, 0});
}

TEST_F(FourParamSheetTest, AScaleThatIsNotANumberKeepsTheUserOnItsPage) {
    Next([&](CWnd& w) {
        ReplaceText(Page(w, 0), 1065, "k");
        Prompts().AnswerMessageBox(IDOK);
        SelectTab(w, AFX_IDC_TAB_CONTROL, 1);
        EXPECT_EQ(Sheet(w).GetActiveIndex(), 0);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, "请输入一个数字。");
        Click(w, IDCANCEL);
    });
    ParamCommands::OnFourParamSettings(s);
}

}  // namespace
