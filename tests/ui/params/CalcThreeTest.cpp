// Computing three parameters: the common point on two datums, the refusal
// of equal datums, the shifts cut to the millimetre toward zero, and the
// seven-parameter settings opened on the result.
#include <cmath>

#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

constexpr char kWgs84[] = "WGS-84坐标系";
constexpr char kBeijing54[] = "北京-54坐标系  ";

class CalcThreeTest : public ParamsTest {
protected:
    // A plane point on Beijing-54 (the session's projection: Gauss, 114°,
    // Y constant 500000) whose space coordinates differ from those of the
    // WGS-84 point 30°N 114°E, 100 m by `shift`.
    struct Pair {
        std::string x, y, h;
        double difference[3];  // plane side minus geodetic side, as the command sees it
    };
    Pair MakePair(const double (&shift)[3]) const {
        const CGeoCore& geo = s.m_geo;
        double a84, rf84, a54, rf54;
        CGeoCore::DatumTable(2, &a84, &rf84);
        CGeoCore::DatumTable(0, &a54, &rf54);
        double X1, Y1, Z1;
        geo.GeodeticToSpace(a84, rf84, geo.ParseDmsText(kB), geo.ParseDmsText(kL), 100.0, &X1, &Y1,
                            &Z1);
        double B, L, H, x, y;
        geo.SpaceToGeodetic(a54, rf54, X1 + shift[0], Y1 + shift[1], Z1 + shift[2], &B, &L, &H);
        if (L < 0) L += 3.1415926535898;  // east of 90°: the half-turn repair
        geo.GaussForward(a54, rf54, B, L, 114.0 * kDegToRad, &x, &y);
        Pair pair{FormatFixed(x, 6), FormatFixed(y + 500000.0, 6), FormatFixed(H, 6), {}};
        // What the command computes from these texts.
        double B2, L2, H2, X2, Y2, Z2;
        geo.PlaneToGeodetic(a54, rf54, AsciiToDouble(pair.x), AsciiToDouble(pair.y),
                            AsciiToDouble(pair.h), s.m_params, &B2, &L2, &H2);
        geo.GeodeticToSpace(a54, rf54, B2, L2, H2, &X2, &Y2, &Z2);
        pair.difference[0] = X2 - X1;
        pair.difference[1] = Y2 - Y1;
        pair.difference[2] = Z2 - Z1;
        return pair;
    }
    static void TypePoint(CWnd& w, const Pair& pair) {
        ReplaceText(w, IDC_CALC_THREE_B, kB);
        ReplaceText(w, IDC_CALC_THREE_L, kL);
        ReplaceText(w, IDC_CALC_THREE_H, "100");
        ReplaceText(w, IDC_CALC_THREE_X, pair.x);
        ReplaceText(w, IDC_CALC_THREE_Y, pair.y);
        ReplaceText(w, IDC_CALC_THREE_PLANE_H, pair.h);
    }
    static constexpr char kB[] = "030:00:00.000";
    static constexpr char kL[] = "114:00:00.000";
};

TEST_F(CalcThreeTest, ShiftsAreCutToTheMillimetreTowardZeroAndRotationsStay) {
    const Pair pair = MakePair({12.3456, -12.3456, 12.3456});
    for (int i = 0; i < 3; ++i) {
        ASSERT_NEAR(std::abs(pair.difference[i]), 12.3456, 1e-4) << "the pair is as intended";
    }
    s.m_params.m_seven[3] = 1e-5;
    s.m_params.m_seven[6] = 3e-6;
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "计算三参数");
        EXPECT_EQ(ControlText(w, IDC_CALC_THREE_GEODETIC_DATUM), kWgs84);
        EXPECT_EQ(ControlText(w, IDC_CALC_THREE_PLANE_DATUM), kBeijing54);
        TypePoint(w, pair);
        Click(w, IDOK);
    });
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标系统转换参数");
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DX), "12.345000");
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DY), "-12.345000");
        EXPECT_EQ(ControlText(w, IDC_SHIFT_DZ), "12.345000");
        EXPECT_EQ(ControlText(w, IDC_SCALE_CHANGE), "3.000000");  // ppm
        Click(w, IDCANCEL);                                       // the new shifts stay
    });
    ParamCommands::OnCalcThree(s);
    EXPECT_DOUBLE_EQ(s.m_params.m_seven[0], 12.345);
    EXPECT_DOUBLE_EQ(s.m_params.m_seven[1], -12.345);
    EXPECT_DOUBLE_EQ(s.m_params.m_seven[2], 12.345);
    EXPECT_EQ(s.m_params.m_seven[3], 1e-5);
    EXPECT_EQ(s.m_params.m_seven[6], 3e-6);

    // The inputs come back at the next opening.
    EXPECT_EQ(s.m_inputs.m_calcThreeB, kB);
    EXPECT_EQ(s.m_inputs.m_calcThreeH, "100");
    Next([&](CWnd& w) {
        EXPECT_EQ(ControlText(w, IDC_CALC_THREE_L), kL);
        EXPECT_EQ(AsciiToDouble(ControlText(w, IDC_CALC_THREE_X)), AsciiToDouble(pair.x));
        Click(w, IDCANCEL);
    });
    ParamCommands::OnCalcThree(s);
}

TEST_F(CalcThreeTest, EqualDatumsAreRefusedAndTheDialogStaysOpen) {
    Next([&](CWnd& w) {
        SelectComboItem(w, IDC_CALC_THREE_PLANE_DATUM, 2);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDOK);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, "椭球基准相同，七参数为零!");
        EXPECT_EQ(Prompts().MessageBoxes()[0].type & MB_TYPEMASK, MB_OK);
        EXPECT_TRUE(w.ContinueModal());
        Click(w, IDCANCEL);
    });
    ParamCommands::OnCalcThree(s);
    EXPECT_EQ(s.m_inputs.m_calcDatumPlane, 0) << "Cancel keeps the inputs too";
    EXPECT_EQ(s.m_params.m_seven[0], 0.0);
}

// Guards against the millimetre count overflowing a 32-bit integer: the
// untouched inputs (0°, 0° against plane 0, 0) lie thousands of kilometres apart.
TEST_F(CalcThreeTest, ShiftsBeyondTwoThousandKilometresAreStillCutNotWrapped) {
    Next([](CWnd& w) { Click(w, IDOK); });
    Next([](CWnd& w) { Click(w, IDOK); });
    ParamCommands::OnCalcThree(s);
    const double dX = s.m_params.m_seven[0];
    EXPECT_LT(dX, -2147483.648);
    EXPECT_NEAR(dX * 1000.0, std::round(dX * 1000.0), 1e-3) << "whole millimetres";
}

}  // namespace
