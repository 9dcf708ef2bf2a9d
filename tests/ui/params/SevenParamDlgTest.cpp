// Seven-parameter settings through their command: fixed-point values in
// the units of the dialog of many points (shifts in metres, rotations in
// arc-seconds or as signed angle texts, the scale change in ppm), units
// beside the edits, untouched values kept bit for bit, Cancel storing nothing.
#include <QLabel>
#include <cstring>

#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

using SevenParamTest = ParamsTest;

constexpr int kNumberEdits[] = {IDC_SHIFT_DX, IDC_SHIFT_DY, IDC_SHIFT_DZ, IDC_SCALE_CHANGE};
constexpr int kRotationEdits[] = {IDC_ROTATION_X, IDC_ROTATION_Y, IDC_ROTATION_Z};

// Changed deliberately: the dialog showed "0" and "000:00:00.000000".
TEST_F(SevenParamTest, DefaultsShowFixedPointZeros) {
    Next([](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标系统转换参数");
        for (int id : kNumberEdits) EXPECT_EQ(ControlText(w, id), "0.000000") << id;
        for (int id : kRotationEdits) EXPECT_EQ(ControlText(w, id), "0.000000") << id;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnSevenParamSettings(s);
}

// Each edit has its unit on its right, on its line.
TEST_F(SevenParamTest, EveryEditShowsItsUnitBesideIt) {
    const std::pair<int, const char*> units[] = {{IDC_SHIFT_DX, "米"},     {IDC_SHIFT_DY, "米"},
                                                 {IDC_SHIFT_DZ, "米"},     {IDC_ROTATION_X, "秒"},
                                                 {IDC_ROTATION_Y, "秒"},   {IDC_ROTATION_Z, "秒"},
                                                 {IDC_SCALE_CHANGE, "ppm"}};
    Next([&](CWnd& w) {
        const QList<QLabel*> labels = w.GetSafeHwnd()->findChildren<QLabel*>();
        for (const auto& [id, unit] : units) {
            const QRect edit = ControlWidget(w, id)->geometry();
            int found = 0;
            for (const QLabel* label : labels) {
                const QRect r = label->geometry();
                if (label->text() != QString::fromUtf8(unit) || r.left() < edit.right() ||
                    r.top() > edit.bottom() || r.bottom() < edit.top())
                    continue;
                ++found;
            }
            EXPECT_EQ(found, 1) << id << " " << unit;
        }
        Click(w, IDCANCEL);
    });
    ParamCommands::OnSevenParamSettings(s);
}

// Values of the kind an estimate gives (dX dY dZ, rX rY rZ in radians, m).
const double kEstimate[7] = {
    -15.123456789,       120.25, 80.0000004, 1.2345678901e-5, -2.5 * kArcSecond, 0.75 * kArcSecond,
    1.70975019679698e-06};

// Six decimals in their units, never "e-06".
TEST_F(SevenParamTest, ValuesShowFixedPointInTheirUnitsAndAnUntouchedOkKeepsEveryBit) {
    double* seven = s.m_params.m_seven;
    std::memcpy(seven, kEstimate, sizeof kEstimate);
    Next([](CWnd& w) {
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DX), "-15.123457");
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DY), "120.250000");
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DZ), "80.000000");
        EXPECT_EQ(ControlText(w, IDC_ROTATION_X), "2.546479");  // 1.2345678901e-5 rad
        EXPECT_EQ(ControlText(w, IDC_ROTATION_Y), "-2.500000");
        EXPECT_EQ(ControlText(w, IDC_ROTATION_Z), "0.750000");
        EXPECT_EQ(ControlText(w, IDC_SCALE_CHANGE), "1.709750");
        Click(w, IDOK);
    });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_EQ(std::memcmp(seven, kEstimate, sizeof kEstimate), 0)
        << "the session's doubles changed";
}

// Only the edited value is read back; the others keep their bits.
TEST_F(SevenParamTest, AnEditedValueIsStoredAsItsUnitSaysAndOnlyIt) {
    double* seven = s.m_params.m_seven;
    std::memcpy(seven, kEstimate, sizeof kEstimate);
    Next([](CWnd& w) {
        ReplaceText(w, IDC_ROTATION_Y, "-1.25");
        ReplaceText(w, IDC_SCALE_CHANGE, "3.5");
        Click(w, IDOK);
    });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_DOUBLE_EQ(seven[4], -1.25 * kArcSecond);
    EXPECT_EQ(seven[6], 3.5e-6) << "ppm";
    for (int i : {0, 1, 2, 3, 5})
        EXPECT_EQ(std::memcmp(&seven[i], &kEstimate[i], sizeof(double)), 0) << i;
}

TEST_F(SevenParamTest, OkStoresTheSevenValuesInTheirOrder) {
    Next([](CWnd& w) {
        ReplaceText(w, IDC_SHIFT_DX, "-15.5");
        ReplaceText(w, IDC_SHIFT_DY, "120.25");
        ReplaceText(w, IDC_SHIFT_DZ, "80");
        ReplaceText(w, IDC_ROTATION_X, "-1.5");
        ReplaceText(w, IDC_ROTATION_Y, "000:00:02");  // the angle form is read too
        ReplaceText(w, IDC_ROTATION_Z, "-000:30:00");
        ReplaceText(w, IDC_SCALE_CHANGE, "2.5");
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

// Guards against the shown text truncating -1.5" to -1.499999, which typed
// back would give a different rotation.
TEST_F(SevenParamTest, ARotationOfMinusOneAndAHalfArcSecondsRoundTrips) {
    const std::string text = "-1.500000";
    s.m_params.m_seven[3] = s.m_geo.ParseSignedDmsText("-000:00:01.5");
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
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, "Y 平移必须是以米为单位的数。");
        // A rotation neither seconds nor an angle text, after a good shift.
        ReplaceText(w, IDC_SHIFT_DY, "12");
        ReplaceText(w, IDC_ROTATION_Z, "0:61:00");
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        EXPECT_TRUE(w.ContinueModal());
        EXPECT_EQ(FocusedControlId(w), IDC_ROTATION_Z);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        EXPECT_EQ(Prompts().MessageBoxes()[1].text.rfind("Z 轴旋转必须是", 0), 0u)
            << Prompts().MessageBoxes()[1].text;
        Click(w, IDCANCEL);
    });
    ParamCommands::OnSevenParamSettings(s);
    EXPECT_EQ(s.m_params.m_seven[1], 0.0);
}

}  // namespace
