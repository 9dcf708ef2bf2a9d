// Fits from common-point tables: strict values, the sides converted as
// compute-seven converts them, messages naming the line and field, how a
// result is applied to the session, and the two reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "params/ValueText.h"
#include "session/ConversionSession.h"

namespace {

constexpr double kDeg = 0.017453292519943334, kArcSecond = kDeg / 3600;
const CGeoCore geo;
// National-80 (1) to CGCS2000 (4): metres, radians, scale change.
const double kSeven[7] = {
    -110.6, -58.7, 60.3, 0.95 * kArcSecond, 1.6 * kArcSecond, -3.2 * kArcSecond, 1.7e-6};

ConversionParams Settings() {  // Gauss 3-degree zone at 117 degrees
    ConversionParams p;
    p.m_projBefore.centralMeridian = 117.0;
    return p;
}

// `count` points around 32 N, 117 E: geodetic on National-80 as angle texts,
// plane on CGCS2000 through the seven parameters, to 0.1 mm; lines 10, 11, ...
std::vector<CommonPoint> Table(int count, double sideKm) {
    ConversionParams p = Settings();
    CGeoCore::DatumTable(1, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    CGeoCore::DatumTable(4, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    p.m_savedUseSeven = 1;
    std::copy(kSeven, kSeven + 7, p.m_seven);
    std::vector<CommonPoint> table(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        CommonPoint& pt = table[i];
        pt.id = "P" + std::to_string(i + 1);
        pt.line = 10 + i;
        pt.source[0] = geo.FormatDmsPositive((32 + std::sin(i * 2.1) * sideKm / 222) * kDeg);
        pt.source[1] = geo.FormatDmsPositive((117 + std::cos(i * 1.3) * sideKm / 188) * kDeg);
        pt.source[2] = FormatFixed(20 + 15 * i, 3);
        double x, y, h;
        geo.GeodeticToPlaneChain(geo.ParseDmsText(pt.source[0]), geo.ParseDmsText(pt.source[1]),
                                 20 + 15 * i, p, &x, &y, &h);
        pt.target[0] = FormatFixed(x, 4), pt.target[1] = FormatFixed(y, 4);
        pt.target[2] = FormatFixed(h, 4);
    }
    return table;
}

FitRequest Request(FitModel model, int sourceKind = kGeodeticKind) {
    FitRequest r;
    r.model = model;
    r.sourceKind = sourceKind;
    r.sourceDatum = 1;
    r.targetKind = kPlaneKind;
    r.targetDatum = 4;
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
    FitProblem problem;
    EXPECT_FALSE(ComputeFit(table, request, Settings(), language, &result, &problem));
    EXPECT_TRUE(result.points.empty()) << "nothing is handed out";
    return problem;
}

TEST(CommonPointFit, StrictValueReaders) {
    double v = 0;
    for (const char* good : {"0", "-12.5", "+7", "3.2e6", ".5"})
        EXPECT_TRUE(ReadNumberText(good, &v));
    for (const char* bad : {"", "abc", "12,5", "1e", "nan", "inf", "0x10", "1 2", "1e999"}) {
        EXPECT_FALSE(ReadNumberText(bad, &v)) << bad;
    }
    for (const char* good : {"030:00:00", "114:30:30.5", "0:0:0"}) {
        ASSERT_TRUE(ReadAngleText(good, &v)) << good;
        EXPECT_EQ(v, geo.ParseDmsText(good));
    }
    for (const char* bad : {"30.5", "30:15", "-030:00:00", "030:60:00", "030:00:1e1", "a:b:c"}) {
        EXPECT_FALSE(ReadAngleText(bad, &v)) << bad;
    }
    ASSERT_TRUE(ReadAngleDegrees("117:00:00", &v));
    EXPECT_EQ(v, 117.0) << "exact, where the radian path gives 116.99999999999999";
}

// The sides read and converted as compute-seven does (written out here), so
// three points give its estimator's result; more points recover the truth.
TEST(CommonPointFit, SidesAreConvertedAsComputeSevenDoes) {
    std::vector<CommonPoint> table = Table(3, 60);
    table[1].target[0] = FormatFixed(AsciiToDouble(table[1].target[0]) + 0.013, 4);
    double a80, rf80, a2k, rf2k, pts[18], r[7];
    CGeoCore::DatumTable(1, &a80, &rf80);
    CGeoCore::DatumTable(4, &a2k, &rf2k);
    for (int i = 0; i < 3; ++i) {
        const CommonPoint& t = table[i];
        geo.GeodeticToSpace(a80, rf80, geo.ParseDmsText(t.source[0]), geo.ParseDmsText(t.source[1]),
                            AsciiToDouble(t.source[2]), &pts[6 * i], &pts[6 * i + 1],
                            &pts[6 * i + 2]);
        double B, L, H;
        geo.PlaneToGeodetic(a2k, rf2k, AsciiToDouble(t.target[0]), AsciiToDouble(t.target[1]),
                            AsciiToDouble(t.target[2]), Settings(), &B, &L, &H);
        geo.GeodeticToSpace(a2k, rf2k, B, L, H, &pts[6 * i + 3], &pts[6 * i + 4], &pts[6 * i + 5]);
    }
    ASSERT_TRUE(geo.EstimateSevenParameters(pts, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
    const CommonPointFit three = MustFit(table, Request(FitModel::Seven));
    for (int i = 0; i < 7; ++i) {
        const double rounding = i < 3 ? 0.5e-6 : i < 6 ? 0.5e-10 : 0.5e-12;
        EXPECT_NEAR(three.fit.parameters[i], r[i], rounding * 1.01);
    }
    const CommonPointFit many = MustFit(Table(12, 80), Request(FitModel::Seven));
    EXPECT_LT(*many.fit.sigma0, 0.0005) << "only the rounding of the texts";
    for (int i = 0; i < 7; ++i) {
        EXPECT_LT(std::fabs(many.fit.parameters[i] - kSeven[i]), 5 * many.fit.deviations[i]);
    }
}

TEST(CommonPointFit, ProblemsNameTheLineOrRowAndTheField) {
    const std::vector<CommonPoint> good = Table(4, 20);
    struct Case {
        int row, field;
        std::string value, english, chinese;
    } cases[] = {
        {2, 0, "30.5",
         "line 12 (point P3): the source latitude '30.5' is not a latitude as angle "
         "text DDD:MM:SS.ffff",
         "第 12 行（点 P3）：源纬度“30.5”不是“度:分:秒”形式的角度"},
        {3, 2, "12m", "line 13 (point P4): the source height '12m' is not a number",
         "源大地高“12m”不是数字"},
        {1, 4, "", "the target y '' is not a number", "目标y“”不是数字"},
    };
    for (const Case& c : cases) {
        std::vector<CommonPoint> table = good;
        (c.field < 3 ? table[c.row].source[c.field] : table[c.row].target[c.field - 3]) = c.value;
        const FitProblem en = MustFail(table, Request(FitModel::Seven));
        EXPECT_NE(en.message.find(c.english), std::string::npos) << en.message;
        EXPECT_TRUE(en.row == c.row && en.field == c.field) << en.message;
        const FitProblem zh = MustFail(table, Request(FitModel::Seven), TextLanguage::Chinese);
        EXPECT_NE(zh.message.find(c.chinese), std::string::npos) << zh.message;
    }
    std::vector<CommonPoint> table = good;  // a typed check point: named by its row
    table[3].line = 0;
    table[3].used = false;
    table[3].target[0] = "x";
    EXPECT_NE(MustFail(table, Request(FitModel::Seven)).message.find("row 4 (point P4)"),
              std::string::npos);
    table = good;
    table[0].used = table[1].used = false;
    EXPECT_EQ(MustFail(table, Request(FitModel::Seven), TextLanguage::Chinese).message,
              "计算七参数至少需要 3 个参与计算的公共点，现有 2 个");
    table = good;
    std::copy(table[1].source, table[1].source + 3, table[3].source);
    const FitProblem same = MustFail(table, Request(FitModel::Three));
    EXPECT_EQ(same.row, 3);
    EXPECT_EQ(MustFail(table, Request(FitModel::Three), TextLanguage::Chinese).message,
              "第 11 行（点 P2）与第 13 行（点 P4）的源坐标重合（相距不到 1 毫米）");
}

// Names used twice (typed rows too), and values no point of the earth has:
// a space coordinate or a plane northing beyond 10,000 km.
TEST(CommonPointFit, DuplicateNamesAndImpossibleCoordinatesAreRefused) {
    std::vector<CommonPoint> table = Table(5, 20);
    table[3].id = "P2";
    table[3].line = 0;
    FitProblem p = MustFail(table, Request(FitModel::Seven));
    EXPECT_EQ(p.message, "row 4 (point P2) has the name of line 11 (point P2)");
    EXPECT_EQ(p.row, 3);
    EXPECT_EQ(MustFail(table, Request(FitModel::Four), TextLanguage::Chinese).message,
              "表中第 4 行（点 P2）与第 11 行（点 P2）重名");

    table = Table(5, 20);
    table[4].target[0] = "9e8";
    p = MustFail(table, Request(FitModel::Seven));
    EXPECT_EQ(p.message,
              "line 14 (point P5): the target x 9e8 is beyond 10,000 km, farther than any point "
              "of the earth");
    EXPECT_TRUE(p.row == 4 && p.field == 3);
    table[4].target[0] = "-10000000.001";
    EXPECT_EQ(MustFail(table, Request(FitModel::Four)).field, 3);
    table[4].target[0] = "9999999.9";  // within: refused later as a point off the earth, or solved
    table[4].target[1] = "5e8";         // an easting with its zone prefix may be large
    CommonPointFit result;
    ComputeFit(table, Request(FitModel::Four), Settings(), TextLanguage::English, &result, &p);
    EXPECT_EQ(p.message.find("10,000 km"), std::string::npos) << p.message;

    table = Table(5, 20);
    FitRequest space = Request(FitModel::Seven, kSpaceKind);
    for (CommonPoint& pt : table) pt.source[0] = "-2100000", pt.source[1] = "4900000";
    table[1].source[2] = "1.2e7";
    p = MustFail(table, space, TextLanguage::Chinese);
    EXPECT_EQ(p.message, "第 11 行（点 P2）：源Z 1.2e7 超过 10,000 公里，不可能是地球上的点");
    EXPECT_TRUE(p.row == 1 && p.field == 2);
}

TEST(CommonPointFit, ApplyStoresTheResultAsTheCommandsDo) {
    const std::vector<CommonPoint> table = Table(6, 30);
    const CommonPointFit seven = MustFit(table, Request(FitModel::Seven));
    const CommonPointFit three = MustFit(table, Request(FitModel::Three));
    const CommonPointFit four = MustFit(table, Request(FitModel::Four));
    ConversionSession s;
    std::fill(s.m_params.m_local1, s.m_params.m_local1 + 4, 9.0);
    ApplyFit(seven, 1, s);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(s.m_params.m_seven[i], seven.fit.parameters[i]);
    EXPECT_TRUE(s.m_useSeven == 1 && s.m_params.m_savedUseSeven == 1 && s.m_useFour == 0);
    ApplyFit(three, 1, s);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(s.m_params.m_seven[i], i < 3 ? three.fit.parameters[i] : 0.0);
    ApplyFit(four, 2, s);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.m_params.m_local2[i], four.fit.parameters[i]);
        EXPECT_EQ(s.m_params.m_local1[i], 9.0) << "the other level stays";
    }
    EXPECT_TRUE(s.m_useFour == 1 && s.m_params.m_savedUseFour == 1);
}

// The English report is pinned by the help page's example; the window's
// report is in Chinese, flags the blunder and lists the check point apart.
TEST(CommonPointFit, ChineseReportListsUsedAndCheckPointsApartAndMarksFlags) {
    std::vector<CommonPoint> table = Table(15, 30);
    table[2].target[1] = FormatFixed(AsciiToDouble(table[2].target[1]) + 0.5, 4);
    table[6].used = false;
    const CommonPointFit r = MustFit(table, Request(FitModel::Seven));
    const std::string zh = FitReportText(r, TextLanguage::Chinese);
    for (const char* part :
         {"七参数（14 个公共点，最小二乘）\n源：大地坐标，国家-80坐标系\n目标："
          "平面坐标，CGCS2000坐标系\n观测数 42，未知数 7，多余观测数 35\n单位权中误差 σ0 = ",
          "\nrZ（秒） ", "参与计算的点（14 个）\nP1 ", "  *\nP4 ", "检查点（1 个）\nP7 ",
          "* 未通过检验，可能含有粗差"}) {
        EXPECT_NE(zh.find(part), std::string::npos) << part << "\n" << zh;
    }
    EXPECT_EQ(std::count(zh.begin(), zh.end(), '*'), 2) << "P3 and the legend";
    const std::string none =
        FitReportText(MustFit({table[0]}, Request(FitModel::Three)), TextLanguage::English);
    EXPECT_NE(none.find("σ0: none (redundancy 0)\nTest: none. The redundancy 0"), std::string::npos) << none;
    EXPECT_NE(none.find(" -\ndY (m)"), std::string::npos) << "no deviations\n" << none;
}

// A typing error of 10 km in a target: the residuals run to hundreds of
// kilometres and every column still stands apart, in both languages and
// for both models; each cell reads back as the value it shows.
TEST(CommonPointFit, ResidualColumnsStayApartForResidualsOfKilometres) {
    for (FitModel model : {FitModel::Seven, FitModel::Four}) {
        std::vector<CommonPoint> table = Table(6, 30);
        table[0].target[0] = FormatFixed(AsciiToDouble(table[0].target[0]) + 10000, 4);
        table[3].target[1] = FormatFixed(AsciiToDouble(table[3].target[1]) - 987654.3, 4);
        table[5].used = false;
        const CommonPointFit r = MustFit(table, Request(model));
        const int columns = model == FitModel::Four ? 2 : 3;
        for (TextLanguage language : {TextLanguage::English, TextLanguage::Chinese}) {
            const std::string text = FitReportText(r, language);
            std::istringstream lines(text);
            int rows = 0;
            for (std::string line; std::getline(lines, line);) {
                std::istringstream in(line);
                std::vector<std::string> cells;
                for (std::string w; in >> w;) cells.push_back(w);
                if (cells.empty() || cells[0].size() != 2 || cells[0][0] != 'P') continue;
                const int i = cells[0][1] - '1';
                ++rows;
                ASSERT_GE(cells.size(), static_cast<std::size_t>(columns + 4)) << line;
                for (int c = 0; c < columns; ++c) {
                    EXPECT_EQ(cells[1 + c], FormatFitMetres(r.fit.residuals[i].v[c])) << line;
                }
                EXPECT_EQ(cells[1 + columns], FormatFitMetres(r.fit.residuals[i].norm)) << line;
            }
            EXPECT_EQ(rows, 6) << text;
        }
        EXPECT_GT(r.fit.residuals[3].norm, 1e5);
    }
}

// The JSON has everything the text report has, with the numbers of the fit.
TEST(CommonPointFit, JsonIsComplete) {
    std::vector<CommonPoint> table = Table(9, 30);
    table[2].target[1] = FormatFixed(AsciiToDouble(table[2].target[1]) + 0.5, 4);
    table[7].used = false;
    FitRequest request = Request(FitModel::Seven);
    request.tolerance = 0.05;
    request.alpha = 0.01;
    const CommonPointFit r = MustFit(table, request);
    const std::string json = FitReportJson(r);
    auto value = [&json](const std::string& key, std::size_t from = 0) {
        const std::size_t at = json.find("\"" + key + "\": ", from);
        EXPECT_NE(at, std::string::npos) << key;
        return at == std::string::npos ? std::string() : json.substr(at + key.size() + 4, 24);
    };
    EXPECT_EQ(value("observations").substr(0, 3), "24,");  // 8 used points
    EXPECT_EQ(value("unknowns").substr(0, 2), "7,");
    EXPECT_EQ(value("redundancy").substr(0, 3), "17,");
    EXPECT_EQ(AsciiToDouble(value("sigma0")), *r.fit.sigma0);
    EXPECT_EQ(AsciiToDouble(value("tolerance")), 0.05);
    EXPECT_EQ(AsciiToDouble(value("alpha")), 0.01);
    EXPECT_EQ(AsciiToDouble(value("critical")), r.fit.criticalUsed);
    EXPECT_EQ(AsciiToDouble(value("checkCritical")), r.fit.criticalCheck);
    const std::size_t deviations = json.find("\"deviations\": {");
    ASSERT_NE(deviations, std::string::npos);
    EXPECT_EQ(AsciiToDouble(value("dX", deviations)), r.fit.deviations[0]);
    EXPECT_EQ(AsciiToDouble(value("m", deviations)), r.fit.deviations[6] / kPpm);
    for (const char* key : {"model", "used", "parameters", "test", "method", "dimension",
                            "testable", "geometry", "extent", "ratio", "centreDeviation",
                            "edgeDeviation", "warnings", "points"}) {
        value(key);
    }
    // Per point, in input order: P3 fails the test and the tolerance, P8 is a check point.
    std::size_t at = json.find("\"points\": [");
    for (std::size_t i = 0; i < table.size(); ++i) {
        at = json.find("{\"id\": \"" + table[i].id + "\"", at);
        ASSERT_NE(at, std::string::npos) << i;
        const PointResidual& p = r.fit.residuals[i];
        EXPECT_EQ(AsciiToDouble(value("north", at)), p.v[0]);
        EXPECT_EQ(AsciiToDouble(value("norm", at)), p.norm);
        EXPECT_EQ(AsciiToDouble(value("statistic", at)), *p.statistic);
        const std::string redundancy = value("redundancy", at);
        if (table[i].used) {
            EXPECT_EQ(AsciiToDouble(value("north", json.find("\"redundancy\": ", at))),
                      p.redundancy[0]);
            EXPECT_EQ(AsciiToDouble(value("east", json.find("\"standardized\": ", at))),
                      p.standardized[1]);
        } else {
            EXPECT_EQ(redundancy.substr(0, 4), "null");
        }
        EXPECT_EQ(value("used", at).substr(0, 4), table[i].used ? "true" : "fals");
        EXPECT_EQ(value("flagged", at).substr(0, 4), p.flagged ? "true" : "fals");
        EXPECT_EQ(value("failsTest", at).substr(0, 4), i == 2 ? "true" : "fals") << i;
        EXPECT_EQ(value("beyondTolerance", at).substr(0, 4), p.beyondTolerance ? "true" : "fals");
        value("poorlyChecked", at);
        value("map", at);
    }
    // Warnings carry their kind and the report's words.
    std::vector<CommonPoint> few(table.begin(), table.begin() + 3);
    const std::string minimum = FitReportJson(MustFit(few, Request(FitModel::Seven)));
    EXPECT_NE(minimum.find("{\"kind\": \"no-test\", \"message\": \"Test: none. The redundancy 2"),
              std::string::npos)
        << minimum;
    EXPECT_NE(minimum.find("\"critical\": null"), std::string::npos);
}

}  // namespace
