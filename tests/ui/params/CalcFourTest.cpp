// Computing four parameters from two common points: the transform found,
// the level that receives it, the refusal of points that coincide, and the
// local-transform sheet opened on the result.
#include "params/RotationText.h"
#include "tests/ui/params/ParamsTest.h"
#include "ui/framework/PropertySheet.h"
#include "ui/params/ParamCommands.h"

namespace {

// Points in edit order: before the transform IDC_CALC_FOUR_BEFORE_X1, _Y1,
// _X2, _Y2; after it IDC_CALC_FOUR_AFTER_X1, _Y1, _X2, _Y2.
struct TwoPoints {
    double src[4];  // x1, y1, x2, y2
    double dst[4];
};

class CalcFourTest : public ParamsTest {
protected:
    static constexpr double kXo = 1234.5, kYo = -678.25, kT = 0.3, kK = 1.0002;

    TwoPoints KnownTransform() const {
        TwoPoints p{{3378000.0, 512000.0, 3381500.0, 509250.0}, {}};
        for (int i = 0; i < 4; i += 2) {
            double x = p.src[i], y = p.src[i + 1];
            s.m_geo.ApplyFourParameters(kXo, kYo, kT, kK, &x, &y);
            p.dst[i] = x;
            p.dst[i + 1] = y;
        }
        return p;
    }
    static void TypePoints(CWnd& w, const TwoPoints& p) {
        const int src[4] = {IDC_CALC_FOUR_BEFORE_X1, IDC_CALC_FOUR_BEFORE_Y1,
                            IDC_CALC_FOUR_BEFORE_X2, IDC_CALC_FOUR_BEFORE_Y2};
        const int dst[4] = {IDC_CALC_FOUR_AFTER_X1, IDC_CALC_FOUR_AFTER_Y1, IDC_CALC_FOUR_AFTER_X2,
                            IDC_CALC_FOUR_AFTER_Y2};
        for (int i = 0; i < 4; ++i) {
            ReplaceText(w, src[i], FormatFixed(p.src[i], 9));
            ReplaceText(w, dst[i], FormatFixed(p.dst[i], 9));
        }
    }
    void ExpectKnownTransform(const double* level) const {
        EXPECT_NEAR(level[0], kXo, 1e-4);
        EXPECT_NEAR(level[1], kYo, 1e-4);
        EXPECT_NEAR(level[2], kT, 1e-11);
        EXPECT_NEAR(level[3], kK, 1e-11);
    }
};

TEST_F(CalcFourTest, TwoPointsGiveTheKnownTransformAtLevelOneAndTheSheetShowsIt) {
    const TwoPoints points = KnownTransform();
    s.m_params.m_local2[3] = 2.0;
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "计算转换参数");
        EXPECT_EQ(ControlCheck(w, IDC_CALC_FOUR_LEVEL1), BST_CHECKED);
        EXPECT_EQ(ControlCheck(w, IDC_CALC_FOUR_LEVEL2), BST_UNCHECKED);
        TypePoints(w, points);
        Click(w, IDOK);
    });
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "地方坐标转换参数");
        CWnd& page = *dynamic_cast<CPropertySheet&>(w).GetPage(0);
        EXPECT_EQ(ControlText(page, IDC_LOCAL_ROTATION),
                  FormatRotation(s.m_geo, s.m_params.m_local1[2]));
        EXPECT_NEAR(AsciiToDouble(ControlText(page, IDC_LOCAL_SCALE)), s.m_params.m_local1[3],
                    1e-14);
        Click(w, IDCANCEL);  // the computed level stays
    });
    ParamCommands::OnCalcFour(s);
    ExpectKnownTransform(s.m_params.m_local1);
    EXPECT_EQ(s.m_params.m_local2[3], 2.0);
    EXPECT_EQ(s.m_params.m_local2[0], 0.0);
    // The inputs in their stored order: before x1, x2, y1, y2, then after.
    const double* in = s.m_inputs.m_calcFour;
    EXPECT_EQ(in[0], AsciiToDouble(FormatFixed(points.src[0], 9)));
    EXPECT_EQ(in[1], AsciiToDouble(FormatFixed(points.src[2], 9)));
    EXPECT_EQ(in[2], AsciiToDouble(FormatFixed(points.src[1], 9)));
    EXPECT_EQ(in[7], AsciiToDouble(FormatFixed(points.dst[3], 9)));
    EXPECT_EQ(s.m_inputs.m_calcFourLevel, 0);
}

TEST_F(CalcFourTest, LevelTwoChangesOnlyLevelTwoAndIsRemembered) {
    s.m_params.m_local1[0] = 9.0;
    Next([&](CWnd& w) {
        TypePoints(w, KnownTransform());
        Click(w, IDC_CALC_FOUR_LEVEL2);
        Click(w, IDOK);
    });
    NextAnswer("地方坐标转换参数", IDOK);
    ParamCommands::OnCalcFour(s);
    ExpectKnownTransform(s.m_params.m_local2);
    EXPECT_EQ(s.m_params.m_local1[0], 9.0);
    EXPECT_EQ(s.m_params.m_local1[3], 0.0);
    EXPECT_EQ(s.m_inputs.m_calcFourLevel, 1);

    Next([&](CWnd& w) {
        EXPECT_EQ(ControlCheck(w, IDC_CALC_FOUR_LEVEL2), BST_CHECKED);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_CALC_FOUR_AFTER_X2)), s.m_inputs.m_calcFour[5],
                    1e-8);
        Click(w, IDCANCEL);
    });
    ParamCommands::OnCalcFour(s);
}

TEST_F(CalcFourTest, TheSamePointsOnBothSidesGiveTheIdentity) {
    TwoPoints same{{100, 200, 300, 450}, {100, 200, 300, 450}};
    Next([&](CWnd& w) {
        TypePoints(w, same);
        Click(w, IDOK);
    });
    NextAnswer("地方坐标转换参数", IDOK);
    ParamCommands::OnCalcFour(s);
    const double* l1 = s.m_params.m_local1;
    EXPECT_NEAR(l1[0], 0.0, 1e-9);
    EXPECT_NEAR(l1[1], 0.0, 1e-9);
    EXPECT_EQ(l1[2], 0.0);
    EXPECT_DOUBLE_EQ(l1[3], 1.0);
}

// Guards against two coincident points silently replacing a level with the
// identity transform that the estimator falls back to.
TEST_F(CalcFourTest, PointsThatCoincideOnEitherSideAreRefused) {
    s.m_params.m_local1[3] = 1.5;
    const TwoPoints cases[] = {{{10, 20, 10, 20}, {1, 2, 3, 4}}, {{1, 2, 3, 4}, {7, 7, 7, 7}}};
    for (const TwoPoints& points : cases) {
        Next([&](CWnd& w) {
            TypePoints(w, points);
            Prompts().AnswerMessageBox(IDOK);
            Click(w, IDOK);
            EXPECT_TRUE(w.ContinueModal());
            Click(w, IDCANCEL);
        });
        ParamCommands::OnCalcFour(s);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, ParamCommands::kCoincidentPoints);
        Prompts().VerifyAllUsed();
    }
    EXPECT_EQ(s.m_params.m_local1[3], 1.5);
    EXPECT_EQ(s.m_inputs.m_calcFour[0], 0.0) << "Cancel keeps the inputs as they were";
}

}  // namespace
