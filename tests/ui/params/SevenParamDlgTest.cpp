// Seven-parameter settings through their command: shifts and scale as
// numbers, rotations as signed angle texts, Cancel storing nothing.
#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

using SevenParamTest = ParamsTest;

constexpr int kNumberEdits[] = {IDC_SHIFT_DX, IDC_SHIFT_DY, IDC_SHIFT_DZ, IDC_SCALE_CHANGE};
constexpr int kRotationEdits[] = {IDC_ROTATION_X, IDC_ROTATION_Y, IDC_ROTATION_Z};

TEST_F(SevenParamTest, DefaultsShowZerosAndZeroRotations) {
    Next([](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标系统转换参数");
        for (int id : kNumberEdits) EXPECT_EQ(ControlText(w, id), "0") << id;
        for (int id : kRotationEdits) EXPECT_EQ(ControlText(w, id), "000:00:00.000000") << id;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnSevenParamSettings(s);
}

TEST_F(SevenParamTest, OkStoresTheSevenValuesInTheirOrder) {
    Next([](CWnd& w) {
        ReplaceText(w, IDC_SHIFT_DX, "-15.5");
        ReplaceText(w, IDC_SHIFT_DY, "120.25");
        ReplaceText(w, IDC_SHIFT_DZ, "80");
        ReplaceText(w, IDC_ROTATION_X, "-000:00:01.500000");
        ReplaceText(w, IDC_ROTATION_Y, "000:00:02");
        ReplaceText(w, IDC_ROTATION_Z, "-000:30:00");
        ReplaceText(w, IDC_SCALE_CHANGE, "2.5e-6");
        Click(w, IDOK);
    });
    ParamCommands::OnSevenParamSettings(s);
    const double* seven = s.m_params.m_seven;
    EXPECT_EQ(seven[0], -15.5);
    EXPECT_EQ(seven[1], 120.25);
    EXPECT_EQ(seven[2], 80.0);
    EXPECT_DOUBLE_EQ(seven[3], -1.5 * kArcSecond);
    EXPECT_DOUBLE_EQ(seven[4], 2.0 * kArcSecond);
    EXPECT_DOUBLE_EQ(seven[5], -0.5 * kDegToRad);
    EXPECT_EQ(seven[6], 2.5e-6);
}

// Guards against the shown text truncating -1.5" to -000:00:01.499999, which
// typed back would give a different rotation.
TEST_F(SevenParamTest, ARotationOfMinusOneAndAHalfArcSecondsRoundTrips) {
    const std::string text = "-000:00:01.500000";
    s.m_params.m_seven[3] = s.m_geo.ParseSignedDmsText(text);
    const double radians = s.m_params.m_seven[3];
    EXPECT_DOUBLE_EQ(radians, -1.5 * kArcSecond);
    Next([&](CWnd& w) {
        EXPECT_EQ(ControlText(w, IDC_ROTATION_X), text);
        ReplaceText(w, IDC_ROTATION_X, text);  // typed back
        Click(w, IDOK);
    });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_EQ(s.m_params.m_seven[3], radians);
}

// Guards against a rotation losing digits when the dialog is confirmed
// without touching it: its text holds only millionths of an arc-second.
TEST_F(SevenParamTest, AnUntouchedRotationKeepsItsExactValue) {
    s.m_params.m_seven[5] = 1.2345678901e-5;
    Next([](CWnd& w) { Click(w, IDOK); });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_EQ(s.m_params.m_seven[5], 1.2345678901e-5);
}

// Guards against the number message being shown twice for one press of OK.
TEST_F(SevenParamTest, AShiftThatIsNotANumberIsReportedOnceAndKeepsTheDialogOpen) {
    Next([&](CWnd& w) {
        ReplaceText(w, IDC_SHIFT_DY, "abc");
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(FocusedControlId(w), IDC_SHIFT_DY);
        EXPECT_EQ(Prompts().MessageBoxes().size(), 1u);
        Click(w, IDCANCEL);
    });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_EQ(s.m_params.m_seven[1], 0.0);
}

}  // namespace
