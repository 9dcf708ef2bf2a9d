// The zone change: two projection dialogs, the armed state after each
// combination of their answers, and a plane-to-plane conversion from a
// 3-degree zone into a 6-degree zone once armed.
#include <cmath>

#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

constexpr char kBeforeCaption[] = "转换前投影设置";
constexpr char kAfterCaption[] = "转换后投影设置";

class ZoneChangeTest : public ParamsTest {
protected:
    // The after-dialog set to a 6-degree zone at 117°, then ended with `button`.
    void NextAfterSixDegrees117(int button) {
        Next([button](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), kAfterCaption);
            Click(w, IDC_GAUSS_6_DEGREE);
            ReplaceText(w, IDC_CENTRAL_MERIDIAN, "117:00:00");
            Click(w, button);
        });
    }
};

TEST_F(ZoneChangeTest, OnlyTwoConfirmedDialogsArmTheStateAndEachOkStoresItsRecord) {
    struct Case {
        int first, second, state;
    };
    const Case cases[] = {
        {IDOK, IDOK, 2}, {IDOK, IDCANCEL, 0}, {IDCANCEL, IDOK, 0}, {IDCANCEL, IDCANCEL, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "first " << c.first << " second " << c.second);
        ConversionSession session;
        session.m_zoneChange = 2;  // armed by an earlier command
        Next([&](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), kBeforeCaption);
            ReplaceText(w, IDC_Y_CONSTANT, "38500000");
            Click(w, c.first);
        });
        NextAfterSixDegrees117(c.second);
        ParamCommands::OnZoneChange(session);
        Prompts().VerifyAllUsed();
        EXPECT_EQ(session.m_zoneChange, c.state);
        EXPECT_EQ(session.m_params.m_projBefore.yConstant, c.first == IDOK ? 38500000 : 500000);
        const ProjectionRecord& after = session.m_params.m_projAfter;
        EXPECT_EQ(after.kind, c.second == IDOK ? ProjectionKind::Gauss6 : ProjectionKind::Gauss3);
        EXPECT_DOUBLE_EQ(after.centralMeridian, c.second == IDOK ? 117.0 : 114.0);
    }
}

TEST_F(ZoneChangeTest, BothDialogsOpenWithTheDefaultsAndConfirmingEqualProjectionsArms) {
    for (const char* caption : {kBeforeCaption, kAfterCaption}) {
        Next([caption](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), caption);
            EXPECT_EQ(ControlCheck(w, IDC_GAUSS_3_DEGREE), BST_CHECKED);
            EXPECT_EQ(ControlText(w, IDC_CENTRAL_MERIDIAN), "114:00:00");
            EXPECT_EQ(ControlText(w, IDC_PROJECTION_SCALE), "1");
            EXPECT_EQ(ControlText(w, IDC_X_CONSTANT), "0");
            EXPECT_EQ(ControlText(w, IDC_Y_CONSTANT), "500000");
            Click(w, IDOK);
        });
    }
    ParamCommands::OnZoneChange(s);
    EXPECT_EQ(s.m_zoneChange, 2);
}

TEST_F(ZoneChangeTest, PlaneFromThe3DegreeZoneAt114IntoThe6DegreeZoneAt117) {
    NextAnswer(kBeforeCaption, IDOK);
    NextAfterSixDegrees117(IDOK);
    ParamCommands::OnZoneChange(s);
    ASSERT_EQ(s.m_zoneChange, 2);

    // One point on Beijing-54, projected into both zones with the core.
    double a, rf;
    CGeoCore::DatumTable(0, &a, &rf);
    const double B = 35.25 * kDegToRad, L = 115.75 * kDegToRad;
    double x3, y3, x6, y6;
    s.m_geo.GaussForward(a, rf, B, L, 114.0 * kDegToRad, &x3, &y3);
    s.m_geo.GaussForward(a, rf, B, L, 117.0 * kDegToRad, &x6, &y6);

    s.m_sourceKind = s.m_targetKind = 2;
    s.m_sourceDatum = s.m_targetDatum = 0;
    s.m_sourceText[0] = FormatFixed(x3, 6);
    s.m_sourceText[1] = FormatFixed(y3 + 500000.0, 6);
    s.m_sourceText[2] = "12.5";
    ASSERT_TRUE(s.Convert());
    EXPECT_NEAR(AsciiToDouble(s.m_targetText[0]), x6, 1e-3);
    EXPECT_NEAR(AsciiToDouble(s.m_targetText[1]), y6 + 500000.0, 1e-3);
    EXPECT_EQ(s.m_targetText[2], "12.500000");
    EXPECT_GT(std::abs(y6 - y3), 1000.0) << "the two zones give different eastings";

    // Cancelling a dialog of the next zone change turns the state off: the
    // same conversion is then the (untouched, K = 0) level-1 transform.
    NextAnswer(kBeforeCaption, IDCANCEL);
    NextAnswer(kAfterCaption, IDOK);
    ParamCommands::OnZoneChange(s);
    ASSERT_EQ(s.m_zoneChange, 0);
    ASSERT_TRUE(s.Convert());
    EXPECT_EQ(s.m_targetText[0], "0.000000");
}

}  // namespace
