// Computing seven parameters from three common points: known parameters
// recovered from points synthesized with the core, the message when the
// points do not determine them, and Cancel.
#include "tests/ui/params/ParamsTest.h"
#include "ui/params/ParamCommands.h"

namespace {

constexpr int kB[3] = {IDC_CALC_SEVEN_B1, IDC_CALC_SEVEN_B2, IDC_CALC_SEVEN_B3};
constexpr int kL[3] = {IDC_CALC_SEVEN_L1, IDC_CALC_SEVEN_L2, IDC_CALC_SEVEN_L3};
constexpr int kHGeo[3] = {IDC_CALC_SEVEN_H1, IDC_CALC_SEVEN_H2, IDC_CALC_SEVEN_H3};
constexpr int kX[3] = {IDC_CALC_SEVEN_X1, IDC_CALC_SEVEN_X2, IDC_CALC_SEVEN_X3};
constexpr int kY[3] = {IDC_CALC_SEVEN_Y1, IDC_CALC_SEVEN_Y2, IDC_CALC_SEVEN_Y3};
constexpr int kHPlane[3] = {IDC_CALC_SEVEN_PLANE_H1, IDC_CALC_SEVEN_PLANE_H2,
                            IDC_CALC_SEVEN_PLANE_H3};

struct Point {
    const char* b;
    const char* l;
    double h;
    std::string x, y, hPlane;
};

class CalcSevenTest : public ParamsTest {
protected:
    // dX, dY, dZ (m), rX, rY, rZ (rad), m.
    const double known[7] = {
        -90.5, 120.25, 60.75, 1.2 * kArcSecond, -0.8 * kArcSecond, 2.5 * kArcSecond, 3.5e-6};

    // WGS-84 points, and the same points carried by `known` onto Beijing-54
    // and projected with the session's Gauss 3-degree zone at 114°.
    std::vector<Point> Points() const {
        std::vector<Point> points = {{"025:00:00.000", "113:00:00.000", 50.0, "", "", ""},
                                     {"032:30:00.000", "115:10:00.000", 120.0, "", "", ""},
                                     {"040:00:00.000", "113:30:00.000", 800.0, "", "", ""}};
        const CGeoCore& geo = s.m_geo;
        double a84, rf84, a54, rf54;
        CGeoCore::DatumTable(2, &a84, &rf84);
        CGeoCore::DatumTable(0, &a54, &rf54);
        ConversionParams on;
        on.m_savedUseSeven = 1;
        for (Point& p : points) {
            double X, Y, Z, B, L, H, x, y;
            geo.GeodeticToSpace(a84, rf84, geo.ParseDmsText(p.b), geo.ParseDmsText(p.l), p.h, &X,
                                &Y, &Z);
            geo.ApplySevenParameters(known[0], known[1], known[2], known[3], known[4], known[5],
                                     known[6], on, &X, &Y, &Z);
            geo.SpaceToGeodetic(a54, rf54, X, Y, Z, &B, &L, &H);
            if (L < 0) L += 3.1415926535898;  // east of 90°: the half-turn repair
            geo.GaussForward(a54, rf54, B, L, 114.0 * kDegToRad, &x, &y);
            p.x = FormatFixed(x, 6);
            p.y = FormatFixed(y + 500000.0, 6);
            p.hPlane = FormatFixed(H, 6);
        }
        return points;
    }
    static void TypePoints(CWnd& w, const std::vector<Point>& points) {
        for (int i = 0; i < 3; ++i) {
            ReplaceText(w, kB[i], points[i].b);
            ReplaceText(w, kL[i], points[i].l);
            ReplaceText(w, kHGeo[i], FormatFixed(points[i].h, 3));
            ReplaceText(w, kX[i], points[i].x);
            ReplaceText(w, kY[i], points[i].y);
            ReplaceText(w, kHPlane[i], points[i].hPlane);
        }
    }
};

TEST_F(CalcSevenTest, ThreePointsReproduceKnownShiftsRotationsAndScale) {
    const std::vector<Point> points = Points();
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "计算七参数");
        EXPECT_EQ(ControlText(w, IDC_CALC_SEVEN_GEODETIC_DATUM), "WGS-84坐标系");
        EXPECT_EQ(ControlText(w, IDC_CALC_SEVEN_PLANE_DATUM), "北京-54坐标系  ");
        EXPECT_EQ(ControlText(w, IDOK), "确定");
        EXPECT_EQ(ControlText(w, IDCANCEL), "取消");
        EXPECT_EQ(ControlText(w, IDC_CALC_SEVEN_B1), "000:00:00.000");
        TypePoints(w, points);
        Click(w, IDOK);
    });
    Next([&](CWnd& w) {
        EXPECT_EQ(w.GetWindowText(), "坐标系统转换参数");
        const double* seven = s.m_params.m_seven;
        // The dialog shows the computed values in its units, six decimals.
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_ROTATION_X)), seven[3] / kArcSecond, 5e-7);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_ROTATION_Z)), seven[5] / kArcSecond, 5e-7);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_SHIFT_DX)), seven[0], 5e-7);
        EXPECT_NEAR(AsciiToDouble(ControlText(w, IDC_SCALE_CHANGE)), seven[6] * 1e6, 5e-7);
        Click(w, IDOK);
    });
    ParamCommands::OnCalcSeven(s);
    const double* seven = s.m_params.m_seven;
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(seven[i], known[i], 1e-3) << "shift " << i;
    for (int i = 3; i < 6; ++i) EXPECT_NEAR(seven[i], known[i], 2e-10) << "rotation " << i;
    EXPECT_NEAR(seven[6], known[6], 1e-10);
    // The inputs are kept for the next opening.
    EXPECT_EQ(s.m_inputs.m_calcSevenB[1], points[1].b);
    EXPECT_EQ(s.m_inputs.m_calcSevenH[2], 800.0);
    EXPECT_EQ(s.m_inputs.m_calcSevenZ[0], AsciiToDouble(points[0].hPlane));
}

// Guards against a failed estimation passing silently: the user is told,
// m_seven keeps its values and no settings dialog presents them as a result.
TEST_F(CalcSevenTest, PointsThatDetermineNothingAreReportedAndChangeNoParameter) {
    s.m_params.m_seven[0] = 11.0;
    s.m_params.m_seven[4] = 2e-6;
    Prompts().AnswerMessageBox(IDOK);
    Next([](CWnd& w) {
        SelectComboItem(w, IDC_CALC_SEVEN_GEODETIC_DATUM, 1);
        Click(w, IDOK);  // three equal points at 0°, 0°
    });
    ParamCommands::OnCalcSeven(s);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, "三个公共点不能确定七参数，七参数未改变!");
    EXPECT_EQ(s.m_params.m_seven[0], 11.0);
    EXPECT_EQ(s.m_params.m_seven[4], 2e-6);
    EXPECT_EQ(s.m_inputs.m_calcDatumGeo, 1) << "the inputs are still kept";
}

}  // namespace
