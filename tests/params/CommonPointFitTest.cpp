// Fits from common-point tables: the sides read strictly and converted as
// the compute commands convert them, the commands' results with the fewest
// points, messages naming the line and field, how a result is applied to the
// session, and the two reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/ConversionSession.h"
#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "params/ValueText.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSecond = kDeg / 3600;
constexpr int kNational80 = 1, kCgcs2000 = 4;
const CGeoCore geo;
// National-80 to CGCS2000: metres, radians, scale change.
const double kSeven[7] = {-110.6,          -58.7,           60.3, 0.95 * kArcSecond,
                          1.6 * kArcSecond, -3.2 * kArcSecond, 1.7e-6};

// The projection of the tables: Gauss 3-degree zone at 117 degrees.
ConversionParams Settings() {
    ConversionParams p;
    p.m_projBefore.centralMeridian = 117.0;
    return p;
}

std::string Text(double v, int decimals) { return FormatFixed(v, decimals); }

// `count` points around 32 N, 117 E over `sideKm`: geodetic on National-80
// (angle texts), plane on CGCS2000 through the seven parameters, to 0.1 mm.
std::vector<CommonPoint> GeodeticToPlaneTable(int count, double sideKm) {
    ConversionParams p = Settings();
    CGeoCore::DatumTable(kNational80, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    CGeoCore::DatumTable(kCgcs2000, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    p.m_savedUseSeven = 1;
    for (int i = 0; i < 7; ++i) p.m_seven[i] = kSeven[i];
    std::vector<CommonPoint> table(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double u = std::sin(i * 2.1) * 0.5, w = std::cos(i * 1.3) * 0.5;
        const double B = (32 + u * sideKm / 111), L = 117 + w * sideKm / 94, H = 20 + 15 * i;
        CommonPoint& pt = table[i];
        pt.id = "P" + std::to_string(i + 1);
        pt.source[0] = geo.FormatDmsPositive(B * kDeg);
        pt.source[1] = geo.FormatDmsPositive(L * kDeg);
        pt.source[2] = Text(H, 3);
        double x, y, h;
        geo.GeodeticToPlaneChain(geo.ParseDmsText(pt.source[0]), geo.ParseDmsText(pt.source[1]),
                                 H, p, &x, &y, &h);
        pt.target[0] = Text(x, 4);
        pt.target[1] = Text(y, 4);
        pt.target[2] = Text(h, 4);
    }
    return table;
}

FitRequest Request(FitModel model, int sourceKind = kGeodeticKind, int targetKind = kPlaneKind) {
    FitRequest r;
    r.model = model;
    r.sourceKind = sourceKind;
    r.sourceDatum = kNational80;
    r.targetKind = targetKind;
    r.targetDatum = kCgcs2000;
    return r;
}

CommonPointFit MustFit(const std::vector<CommonPoint>& table, const FitRequest& request) {
    CommonPointFit result;
    FitProblem problem;
    EXPECT_TRUE(ComputeFit(table, request, Settings(), TextLanguage::English, &result, &problem))
        << problem.message;
    return result;
}

FitProblem MustFail(const std::vector<CommonPoint>& table, const FitRequest& request,
                    TextLanguage language = TextLanguage::English) {
    CommonPointFit result;
    result.points.resize(42);
    FitProblem problem;
    EXPECT_FALSE(ComputeFit(table, request, Settings(), language, &result, &problem));
    EXPECT_EQ(result.points.size(), 42u) << "the result is left as it was";
    return problem;
}

TEST(CommonPointFit, StrictValueReaders) {
    double v = 0;
    for (const char* good : {"0", "-12.5", "+7", "3.2e6", ".5", "5."}) {
        EXPECT_TRUE(ReadNumberText(good, &v)) << good;
    }
    EXPECT_TRUE(ReadNumberText("-12.5", &v) && v == -12.5);
    for (const char* bad : {"", "abc", "12,5", "1e", "nan", "inf", "0x10", "1 2", "--1", "1e999"}) {
        EXPECT_FALSE(ReadNumberText(bad, &v)) << bad;
    }
    for (const char* good : {"030:00:00", "114:30:30.5", "031:51:07.203125", "0:0:0"}) {
        ASSERT_TRUE(ReadAngleText(good, &v)) << good;
        EXPECT_EQ(v, geo.ParseDmsText(good)) << good;
    }
    ASSERT_TRUE(ReadAngleDegrees("117:30:00", &v));
    EXPECT_EQ(v, 117.5);
    ASSERT_TRUE(ReadAngleDegrees("117:00:00", &v));
    EXPECT_EQ(v, 117.0) << "exact, where the radian path gives 116.99999999999999";
    EXPECT_FALSE(ReadAngleDegrees("117", &v));
    for (const char* bad : {"30.5", "30:15", "-030:00:00", "030:60:00", "030:00:60", "030:00:",
                            "030:00:1e1", "1030:00:00", "030:00:00:00", "30 :00:00", "a:b:c"}) {
        EXPECT_FALSE(ReadAngleText(bad, &v)) << bad;
    }
}

TEST(CommonPointFit, RecoversTheParametersFromGeodeticAndPlaneSides) {
    for (int count : {5, 12, 30}) {
        const CommonPointFit r = MustFit(GeodeticToPlaneTable(count, 80), Request(FitModel::Seven));
        ASSERT_TRUE(r.fit.Solved());
        EXPECT_LT(*r.fit.sigma0, 0.0005) << "only the rounding of the texts";
        for (int i = 0; i < 7; ++i) {
            EXPECT_LT(std::fabs(r.fit.parameters[i] - kSeven[i]), 5 * r.fit.deviations[i] + 1e-12)
                << count << " " << i;
        }
    }
}

// With the fewest points: what compute-seven, compute-three and compute-four
// give for the same points, their conversions written out here as the
// commands make them.
TEST(CommonPointFit, MinimumPointsGiveWhatTheComputeCommandsGive) {
    const ConversionParams settings = Settings();
    std::vector<CommonPoint> table = GeodeticToPlaneTable(3, 60);
    // Disturb the targets so that the three points are a real least-squares case.
    table[1].target[0] = Text(AsciiToDouble(table[1].target[0]) + 0.013, 4);
    double a80, rf80, a2k, rf2k;
    CGeoCore::DatumTable(kNational80, &a80, &rf80);
    CGeoCore::DatumTable(kCgcs2000, &a2k, &rf2k);
    double points[18];
    for (int i = 0; i < 3; ++i) {
        double* pair = points + 6 * i;
        geo.GeodeticToSpace(a80, rf80, geo.ParseDmsText(table[i].source[0]),
                            geo.ParseDmsText(table[i].source[1]), AsciiToDouble(table[i].source[2]),
                            &pair[0], &pair[1], &pair[2]);
        double B, L, H;
        geo.PlaneToGeodetic(a2k, rf2k, AsciiToDouble(table[i].target[0]),
                            AsciiToDouble(table[i].target[1]), AsciiToDouble(table[i].target[2]),
                            settings, &B, &L, &H);
        geo.GeodeticToSpace(a2k, rf2k, B, L, H, &pair[3], &pair[4], &pair[5]);
    }
    double seven[7];
    ASSERT_TRUE(geo.EstimateSevenParameters(points, &seven[0], &seven[1], &seven[2], &seven[3],
                                            &seven[4], &seven[5], &seven[6]));
    const CommonPointFit r7 = MustFit(table, Request(FitModel::Seven));
    for (int i = 0; i < 7; ++i) {
        const double rounding = i < 3 ? 0.5e-6 : i < 6 ? 0.5e-10 : 0.5e-12;
        EXPECT_NEAR(r7.fit.parameters[i], seven[i], rounding * 1.01) << i;
    }

    table.resize(1);
    const CommonPointFit r3 = MustFit(table, Request(FitModel::Three));
    for (int i = 0; i < 3; ++i) {
        const double difference = points[3 + i] - points[i];  // plane side minus geodetic side
        EXPECT_NEAR(r3.fit.parameters[i], difference, 1e-9);
        EXPECT_NEAR(r3.fit.parameters[i], std::trunc(difference * 1000.0) * 0.001, 0.001);
    }

    std::vector<CommonPoint> plane(2);
    const double before[2][2] = {{3540123.25, 480456.5}, {3551234.75, 512345.125}};
    const double after[2][2] = {{40123.031, 20456.778}, {51234.612, 52344.902}};
    double four[12];
    for (int i = 0; i < 2; ++i) {
        plane[i].id = "Q" + std::to_string(i);
        for (int k = 0; k < 2; ++k) {
            plane[i].source[k] = Text(before[i][k], 3);
            plane[i].target[k] = Text(after[i][k], 3);
            four[6 * i + k] = after[i][k];
            four[6 * i + 3 + k] = before[i][k];
        }
        plane[i].source[2] = plane[i].target[2] = "0";
        four[6 * i + 2] = four[6 * i + 5] = 0;
    }
    double Xo, Yo, T, K;
    geo.EstimateFourParameters(four, &Xo, &Yo, &T, &K);
    const CommonPointFit r4 = MustFit(plane, Request(FitModel::Four, kPlaneKind, kPlaneKind));
    EXPECT_TRUE(r4.fit.parameters[0] == Xo && r4.fit.parameters[1] == Yo &&
                r4.fit.parameters[2] == T && r4.fit.parameters[3] == K);
}

// Four parameters work on plane x, y: a geodetic or space side is first
// projected with the settings on its datum, as a conversion projects.
TEST(CommonPointFit, FourParametersProjectOtherSidesThroughTheSettings) {
    std::vector<CommonPoint> geodetic = GeodeticToPlaneTable(6, 40);
    std::vector<CommonPoint> plane = geodetic, space = geodetic;
    ConversionParams p = Settings();
    CGeoCore::DatumTable(kNational80, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    double a, rf;
    CGeoCore::DatumTable(kNational80, &a, &rf);
    for (std::size_t i = 0; i < geodetic.size(); ++i) {
        const double B = geo.ParseDmsText(geodetic[i].source[0]);
        const double L = geo.ParseDmsText(geodetic[i].source[1]);
        const double H = AsciiToDouble(geodetic[i].source[2]);
        double x, y, h, X, Y, Z;
        geo.GeodeticToPlaneChain(B, L, H, p, &x, &y, &h);
        plane[i].source[0] = Text(x, 6);
        plane[i].source[1] = Text(y, 6);
        geo.GeodeticToSpace(a, rf, B, L, H, &X, &Y, &Z);
        space[i].source[0] = Text(X, 6);
        space[i].source[1] = Text(Y, 6);
        space[i].source[2] = Text(Z, 6);
    }
    const CommonPointFit fromPlane = MustFit(plane, Request(FitModel::Four, kPlaneKind));
    const CommonPointFit fromGeodetic = MustFit(geodetic, Request(FitModel::Four, kGeodeticKind));
    const CommonPointFit fromSpace = MustFit(space, Request(FitModel::Four, kSpaceKind));
    for (const CommonPointFit* r : {&fromGeodetic, &fromSpace}) {
        EXPECT_NEAR(r->fit.parameters[0], fromPlane.fit.parameters[0], 1e-3);
        EXPECT_NEAR(r->fit.parameters[1], fromPlane.fit.parameters[1], 1e-3);
        EXPECT_NEAR(r->fit.parameters[2], fromPlane.fit.parameters[2], 1e-10);
        EXPECT_NEAR(r->fit.parameters[3], fromPlane.fit.parameters[3], 1e-10);
    }
}

TEST(CommonPointFit, BadValuesAndSettingsNameTheLineOrRowAndTheField) {
    const std::vector<CommonPoint> good = GeodeticToPlaneTable(5, 20);
    struct Case {
        int row, field;
        std::string value, english, chinese;
    } cases[] = {
        {2, 0, "30.5", "line 12 (point P3): the source latitude '30.5' is not a latitude as angle "
                       "text DDD:MM:SS.ffff",
         "第 12 行（点 P3）：源纬度“30.5”不是“度:分:秒”形式的角度"},
        {1, 1, "114:30", "longitude '114:30' is not an angle text", "源经度“114:30”"},
        {0, 0, "091:00:00", "latitude '091:00:00' is not a latitude", "源纬度"},
        {3, 2, "12m", "line 13 (point P4): the source height '12m' is not a number",
         "源大地高“12m”不是数字"},
        {4, 4, "", "the target y '' is not a number", "目标y“”不是数字"},
        {4, 3, "1e400", "target x '1e400'", "目标x"},
    };
    for (const Case& c : cases) {
        std::vector<CommonPoint> table = good;
        for (int i = 0; i < 5; ++i) table[i].line = 10 + i;
        (c.field < 3 ? table[c.row].source[c.field] : table[c.row].target[c.field - 3]) = c.value;
        const FitProblem en = MustFail(table, Request(FitModel::Seven));
        EXPECT_NE(en.message.find(c.english), std::string::npos) << en.message;
        EXPECT_EQ(en.row, c.row);
        EXPECT_EQ(en.field, c.field);
        const FitProblem zh = MustFail(table, Request(FitModel::Seven), TextLanguage::Chinese);
        EXPECT_NE(zh.message.find(c.chinese), std::string::npos) << zh.message;
    }
    // A typed point (no file line) is named by its row; check points are read too.
    std::vector<CommonPoint> typed = good;
    typed[4].used = false;
    typed[4].target[0] = "x";
    EXPECT_NE(MustFail(typed, Request(FitModel::Seven)).message.find("row 5 (point P5)"),
              std::string::npos);
    EXPECT_NE(MustFail(typed, Request(FitModel::Seven), TextLanguage::Chinese)
                  .message.find("表中第 5 行（点 P5）"),
              std::string::npos);

    FitRequest noDatum = Request(FitModel::Seven);
    noDatum.targetDatum = 5;
    EXPECT_EQ(MustFail(good, noDatum).message,
              "choose the coordinate kind and the datum of both sides");
    FitRequest badKind = Request(FitModel::Seven);
    badKind.sourceKind = -1;
    EXPECT_EQ(MustFail(good, badKind, TextLanguage::Chinese).message,
              "请为两边选择坐标类型和椭球基准");
    FitRequest zeroTolerance = Request(FitModel::Seven);
    zeroTolerance.tolerance = 0.0;
    EXPECT_NE(MustFail(good, zeroTolerance).message.find("tolerance"), std::string::npos);
}

TEST(CommonPointFit, PointsThatDoNotDetermineTheParametersAreRefusedByName) {
    std::vector<CommonPoint> table = GeodeticToPlaneTable(4, 20);
    for (int i = 0; i < 4; ++i) table[i].line = 3 + i;
    std::vector<CommonPoint> few = table;
    few[0].used = few[1].used = false;
    FitProblem p = MustFail(few, Request(FitModel::Seven));
    EXPECT_EQ(p.message, "seven parameters need at least 3 points marked as used; there are 2");
    p = MustFail(few, Request(FitModel::Seven), TextLanguage::Chinese);
    EXPECT_EQ(p.message, "计算七参数至少需要 3 个参与计算的公共点，现有 2 个");

    std::vector<CommonPoint> twice = table;
    twice[3].source[0] = twice[1].source[0];
    twice[3].source[1] = twice[1].source[1];
    twice[3].source[2] = twice[1].source[2];
    p = MustFail(twice, Request(FitModel::Three));
    EXPECT_EQ(p.message,
              "line 4 (point P2) and line 6 (point P4) coincide on the source side (less than 1 "
              "mm apart)");
    EXPECT_EQ(p.row, 3);
    p = MustFail(twice, Request(FitModel::Three), TextLanguage::Chinese);
    EXPECT_EQ(p.message, "第 4 行（点 P2）与第 6 行（点 P4）的源坐标重合（相距不到 1 毫米）");

    // Three space rectangular points on one line.
    std::vector<CommonPoint> line(3);
    for (int i = 0; i < 3; ++i) {
        line[i].id = "L" + std::to_string(i);
        for (int k = 0; k < 3; ++k) {
            line[i].source[k] = Text(-2000000.0 + k * 1000000 + i * (k + 1) * 1000.0, 3);
            line[i].target[k] = Text(AsciiToDouble(line[i].source[k]) + 100, 3);
        }
    }
    std::vector<CommonPoint> far = line;
    far[2].target[1] = "1e12";
    p = MustFail(far, Request(FitModel::Three, kSpaceKind, kSpaceKind));
    EXPECT_EQ(p.message, "row 3 (point L2): the values are out of range, or cannot be converted "
                         "with these settings");
    EXPECT_EQ(p.row, 2);
    p = MustFail(line, Request(FitModel::Seven, kSpaceKind, kSpaceKind));
    EXPECT_EQ(p.message,
              "the used points do not determine the seven parameters: they lie on one line, or "
              "nearly so");
    EXPECT_EQ(p.row, -1);
}

TEST(CommonPointFit, ApplyStoresTheResultAsTheCommandsDo) {
    const std::vector<CommonPoint> table = GeodeticToPlaneTable(6, 30);
    const CommonPointFit seven = MustFit(table, Request(FitModel::Seven));
    const CommonPointFit three = MustFit(table, Request(FitModel::Three));
    const CommonPointFit four = MustFit(table, Request(FitModel::Four));

    ConversionSession s;
    for (int i = 0; i < 4; ++i) s.m_params.m_local1[i] = s.m_params.m_local2[i] = 9;
    ApplyFit(seven, 1, s);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(s.m_params.m_seven[i], seven.fit.parameters[i]);
    EXPECT_TRUE(s.m_useSeven == 1 && s.m_params.m_savedUseSeven == 1);
    EXPECT_TRUE(s.m_useFour == 0 && s.m_params.m_savedUseFour == 0);

    ApplyFit(three, 1, s);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(s.m_params.m_seven[i], i < 3 ? three.fit.parameters[i] : 0.0) << i;
    }
    ApplyFit(four, 2, s);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.m_params.m_local2[i], four.fit.parameters[i]);
        EXPECT_EQ(s.m_params.m_local1[i], 9) << "the other level stays";
    }
    EXPECT_TRUE(s.m_useFour == 1 && s.m_params.m_savedUseFour == 1);
    ApplyFit(four, 1, s);
    EXPECT_EQ(s.m_params.m_local1[3], four.fit.parameters[3]);
}

TEST(CommonPointFit, TextReportListsUsedAndCheckPointsApartAndMarksFlags) {
    std::vector<CommonPoint> table = GeodeticToPlaneTable(15, 30);
    table[2].target[1] = Text(AsciiToDouble(table[2].target[1]) + 0.5, 4);
    table[6].used = false;
    const CommonPointFit r = MustFit(table, Request(FitModel::Seven));
    const std::string en = FitReportText(r, TextLanguage::English);
    const std::string zh = FitReportText(r, TextLanguage::Chinese);
    for (const char* part :
         {"Seven parameters from 14 common points, least squares\n",
          "Source: geodetic coordinates, National-80\nTarget: plane coordinates, CGCS2000\n",
          "Observations 42, unknowns 7, redundancy 35\n", " m (3 σ0)\n", "\nParameter ",
          "Std. dev.\n", "\nrZ (\") ", "\nm (ppm) ", "Used points (14)\nP1 ",
          "Check points (1)\nP7 ", "* residual beyond the tolerance\n"}) {
        EXPECT_NE(en.find(part), std::string::npos) << part << "\n" << en;
    }
    for (const char* part : {"七参数（14 个公共点，最小二乘）", "源：大地坐标，国家-80坐标系",
                             "目标：平面坐标，CGCS2000坐标系", "多余观测数 35", "单位权中误差 σ0 = ",
                             "参与计算的点（14 个）", "检查点（1 个）", "* 残差超出限差"}) {
        EXPECT_NE(zh.find(part), std::string::npos) << part << "\n" << zh;
    }
    // The row of P3 carries the mark, and only it; its norm is the one computed.
    const std::size_t p3 = en.find("\nP3 ");
    const std::string row = en.substr(p3 + 1, en.find('\n', p3 + 1) - p3 - 1);
    EXPECT_EQ(row.substr(row.size() - 3), "  *");
    EXPECT_NE(row.find(FormatFixed(r.fit.residuals[2].norm, 4)), std::string::npos);
    EXPECT_EQ(std::count(en.begin(), en.end(), '*'), 2);
    // The fewest points: no σ0, no tolerance, dashes for the deviations.
    const std::string none =
        FitReportText(MustFit({table[0]}, Request(FitModel::Three)), TextLanguage::English);
    EXPECT_NE(none.find("σ0: none (redundancy 0)\nTolerance: none"), std::string::npos) << none;
    const std::size_t dX = none.find("\ndX (m)");
    ASSERT_NE(dX, std::string::npos);
    EXPECT_EQ(none.substr(none.find('\n', dX + 1) - 2, 2), " -") << none;
    EXPECT_EQ(none.find('*'), std::string::npos);
}

TEST(CommonPointFit, JsonHasTheShapeOfTheCommandLine) {
    CommonPointFit r;
    r.request.model = FitModel::Four;
    r.points.resize(2);
    r.points[0].id = "A\"1";
    r.points[1].id = "北京";
    r.points[1].used = false;
    r.fit.model = FitModel::Four;
    r.fit.status = FitStatus::Solved;
    r.fit.usedPoints = 1;
    const double p[4] = {10.5, -20.25, 0.0, 1.0000125};
    for (int i = 0; i < 4; ++i) r.fit.parameters[i] = p[i];
    r.fit.residuals.resize(2);
    r.fit.residuals[1].v[0] = 0.125;
    r.fit.residuals[1].v[1] = -0.5;
    r.fit.residuals[1].flagged = true;
    EXPECT_EQ(FitReportJson(r),
              "{\"model\": \"four\", \"used\": 1, \"sigma0\": null, \"parameters\": {\"Xo\": "
              "10.5, \"Yo\": -20.25, \"T\": 0, \"K\": 1.0000125}, \"points\": [{\"id\": "
              "\"A\\\"1\", \"used\": true, \"residual\": {\"x\": 0, \"y\": 0}, \"flagged\": "
              "false}, {\"id\": \"北京\", \"used\": false, \"residual\": {\"x\": 0.125, \"y\": "
              "-0.5}, \"flagged\": true}]}\n");
    r.request.model = r.fit.model = FitModel::Seven;
    r.fit.sigma0 = 0.0025;
    r.fit.parameters[3] = 2.0 / kArcSecondsPerRadian;
    r.fit.parameters[6] = 3.5e-6;
    const std::string seven = FitReportJson(r);
    EXPECT_NE(seven.find("\"model\": \"seven\", \"used\": 1, \"sigma0\": 0.0025, \"parameters\": "
                         "{\"dX\": 10.5, \"dY\": -20.25, \"dZ\": "),
              std::string::npos)
        << seven;
    const std::size_t rX = seven.find("\"rX\": ");
    ASSERT_NE(rX, std::string::npos) << seven;
    EXPECT_NEAR(AsciiToDouble(seven.substr(rX + 6)), 2.0, 1e-12) << "arc-seconds";
    EXPECT_NE(seven.find("\"rY\": 0, \"rZ\": 0, \"m\": 3.5}"), std::string::npos) << seven;
    EXPECT_NE(seven.find("\"residual\": {\"north\": 0.125, \"east\": -0.5, \"up\": 0}"),
              std::string::npos)
        << seven;
}

}  // namespace
