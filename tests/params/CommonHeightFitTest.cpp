// Height models from tables of common heights: plane and geodetic positions
// give the same model, a constant offset over EGM96 is recovered at
// independent points, too few and degenerate points are refused with their
// message and nothing stored; the text report keeps its columns apart, the
// JSON is complete and the plot has one mark and one arrow per point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/Constants.h"
#include "geodesy/GeoidGrid.h"
#include "params/CommonHeightFit.h"
#include "params/HeightFitReport.h"
#include "params/PointText.h"
#include "params/ResidualPlot.h"
#include "session/ConversionSession.h"
#include "session/GeoidFiles.h"
#include "tests/support/JsonReader.h"
#include "tests/support/XmlReader.h"

namespace {

struct Sequence {
    std::uint32_t s = 2024;
    double Next() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0;
    }
};

std::string Text(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.4f", v);
    return text;
}

// A known anomaly over a job of 30 x 30 km around 34.2N 117.1E, metres.
double KnownZeta(double Bdeg, double Ldeg) {
    return -4.25 + 0.06 * (Bdeg - 34.2) - 0.09 * (Ldeg - 117.1);
}

struct Job {
    std::vector<CommonHeight> geodetic, plane;
    std::vector<double> B, L;  // degrees
};

// `count` points with uniform noise of ±noise metres, in both forms: B, L
// as angle texts and x, y projected by `settings` on CGCS2000.
Job MakeJob(int count, double noise, const ConversionParams& settings, Sequence& seq,
            double (*zeta)(double, double) = KnownZeta) {
    Job job;
    ConversionParams p = settings;
    CGeoCore::DatumTable(kDatumCgcs2000, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    const CGeoCore geo;
    for (int i = 0; i < count; ++i) {
        const double B = 34.2 + 0.14 * (2 * seq.Next() - 1), L = 117.1 + 0.16 * (2 * seq.Next() - 1);
        const double H = 30 + 200 * seq.Next();
        const double h = H + zeta(B, L) + noise * (2 * seq.Next() - 1);
        CommonHeight g;
        g.id = "H" + std::to_string(i + 1);
        g.position[0] = AngleTextOfDegrees(B), g.position[1] = AngleTextOfDegrees(L);
        g.h = Text(h), g.H = Text(H);
        double x, y, hh;
        geo.GeodeticToPlaneChain(B * kDegToRad, L * kDegToRad, 0, p, &x, &y, &hh);
        CommonHeight q = g;
        q.position[0] = Text(x), q.position[1] = Text(y);
        job.geodetic.push_back(g);
        job.plane.push_back(q);
        job.B.push_back(B);
        job.L.push_back(L);
    }
    return job;
}

ConversionParams Settings() {
    ConversionParams p;
    p.m_projBefore.centralMeridian = 117.0;
    return p;
}

CommonHeightFit MustFit(const std::vector<CommonHeight>& rows, const HeightFitRequest& request,
                        const GeoidGrid* geoid = nullptr) {
    CommonHeightFit result;
    FitProblem problem;
    EXPECT_TRUE(ComputeHeightFit(rows, request, Settings(), geoid, TextLanguage::English, &result,
                                 &problem))
        << problem.message;
    return result;
}

TEST(CommonHeightFit, PlaneAndGeodeticPositionsGiveTheSameModelAndRecoverTheSurface) {
    Sequence seq;
    const Job job = MakeJob(12, 0.002, Settings(), seq);
    HeightFitRequest request;
    request.positions = HeightPositions::Geodetic;
    const CommonHeightFit g = MustFit(job.geodetic, request);
    request.positions = HeightPositions::Plane;
    const CommonHeightFit p = MustFit(job.plane, request);
    ASSERT_TRUE(g.fit.Solved() && p.fit.Solved());
    for (std::size_t i = 0; i < job.B.size(); ++i) {
        EXPECT_NEAR(p.read[i].B * kRadToDeg, job.B[i], 1e-9);  // 0.1 mm
        EXPECT_NEAR(p.read[i].L * kRadToDeg, job.L[i], 1e-9);
    }
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(g.fit.model.coefficients[j], p.fit.model.coefficients[j], 1e-5) << j;
    }
    // At independent points inside the job the model is within the noise.
    Sequence other{31};
    for (int i = 0; i < 100; ++i) {
        const double B = 34.2 + 0.1 * (2 * other.Next() - 1), L = 117.1 + 0.1 * (2 * other.Next() - 1);
        double zeta = 0;
        ASSERT_TRUE(p.fit.model.Anomaly(nullptr, B * kDegToRad, L * kDegToRad, &zeta));
        EXPECT_NEAR(zeta, KnownZeta(B, L), 0.002) << i;
    }
    // Another datum reads the same x, y as other B, L.
    request.datum = 0;
    const CommonHeightFit b54 = MustFit(job.plane, request);
    EXPECT_GT(std::fabs(b54.read[0].B - p.read[0].B), 1e-8);
}

double Egm96(double Bdeg, double Ldeg) {
    static const std::shared_ptr<const GeoidGrid> grid = [] {
        std::string error;
        return OpenGeoid(kEgm96Name, "/nonexistent/", &error);
    }();
    double N = 0;
    if (!grid || !grid->Value(Bdeg * kDegToRad, Ldeg * kDegToRad, &N)) return NAN;
    return N;
}
double Egm96PlusOffset(double Bdeg, double Ldeg) { return Egm96(Bdeg, Ldeg) + 0.412; }

// ζ = N(EGM96) + 0.412 m sampled with millimetre noise: the constant on the
// geoid is the offset, and ζ at independent points is within the noise.
TEST(CommonHeightFit, AConstantOffsetOverEgm96IsRecovered) {
    std::string error;
    const std::shared_ptr<const GeoidGrid> grid = OpenGeoid(kEgm96Name, "/nonexistent/", &error);
    if (!grid) GTEST_SKIP() << error;
    for (int count : {6, 15, 30}) {
        Sequence seq{static_cast<std::uint32_t>(count)};
        const Job job = MakeJob(count, 0.0015, Settings(), seq, Egm96PlusOffset);
        HeightFitRequest request;
        request.surface = HeightSurface::Constant;
        request.positions = HeightPositions::Geodetic;
        request.geoid = kEgm96Name;
        const CommonHeightFit fit = MustFit(job.geodetic, request, grid.get());
        ASSERT_TRUE(fit.fit.Solved());
        EXPECT_TRUE(fit.fit.model.onGeoid);
        EXPECT_NEAR(fit.fit.model.coefficients[0], 0.412, 0.0015) << count;
        ASSERT_TRUE(fit.fit.sigma0);
        EXPECT_LT(*fit.fit.sigma0, 0.0015);
        Sequence other{5};
        for (int i = 0; i < 50; ++i) {
            const double B = 34.2 + 0.12 * (2 * other.Next() - 1);
            const double L = 117.1 + 0.12 * (2 * other.Next() - 1);
            double zeta = 0;
            ASSERT_TRUE(fit.fit.model.Anomaly(grid.get(), B * kDegToRad, L * kDegToRad, &zeta));
            EXPECT_NEAR(zeta, Egm96PlusOffset(B, L), 0.0015);
        }
        // Without the geoid a constant cannot follow EGM96's slope here.
        request.geoid.clear();
        const CommonHeightFit alone = MustFit(job.geodetic, request);
        ASSERT_TRUE(alone.fit.sigma0);
        EXPECT_GT(*alone.fit.sigma0, 0.01);
    }
    // The geoid asked for and none given, a point outside a small grid.
    Sequence seq;
    const Job job = MakeJob(6, 0.001, Settings(), seq);
    HeightFitRequest request;
    request.positions = HeightPositions::Geodetic;
    request.geoid = "small.asc";
    CommonHeightFit result;
    FitProblem problem;
    EXPECT_FALSE(ComputeHeightFit(job.geodetic, request, Settings(), nullptr,
                                  TextLanguage::English, &result, &problem));
    EXPECT_NE(problem.message.find("geoid small.asc is not loaded"), std::string::npos);
    GeoidGrid small;
    ASSERT_TRUE(small.Parse("ncols 3\nnrows 3\nxllcenter 116.8\nyllcenter 33.8\ncellsize 0.5\n"
                            "NODATA_value -9999\n1 1 1\n1 1 1\n1 1 1\n", &error))
        << error;
    std::vector<CommonHeight> rows = job.geodetic;
    rows[3].position[0] = "035:00:00";
    EXPECT_FALSE(ComputeHeightFit(rows, request, Settings(), &small, TextLanguage::English,
                                  &result, &problem));
    EXPECT_EQ(problem.row, 3);
    EXPECT_NE(problem.message.find("(point H4): the point lies outside the geoid small.asc"),
              std::string::npos)
        << problem.message;
}

// Too few points, points on a line for the plane, five for the quadric: a
// message, *result untouched; the fewest that do fit.
TEST(CommonHeightFit, TooFewAndDegeneratePointsAreRefusedWithTheirMessage) {
    Sequence seq;
    const Job job = MakeJob(8, 0.001, Settings(), seq);
    HeightFitRequest request;
    request.positions = HeightPositions::Geodetic;
    CommonHeightFit result;
    result.points.resize(1);
    result.points[0].id = "untouched";
    FitProblem problem;
    auto refused = [&](std::vector<CommonHeight> rows, HeightSurface surface,
                       TextLanguage language = TextLanguage::English) {
        request.surface = surface;
        EXPECT_FALSE(ComputeHeightFit(rows, request, Settings(), nullptr, language, &result,
                                      &problem));
        EXPECT_EQ(result.points[0].id, "untouched");
        return problem.message;
    };
    auto take = [&](int n) {
        return std::vector<CommonHeight>(job.geodetic.begin(), job.geodetic.begin() + n);
    };
    EXPECT_EQ(refused({}, HeightSurface::Constant),
              "a constant surface needs at least 1 point marked as used; there are 0");
    EXPECT_EQ(refused(take(2), HeightSurface::Plane),
              "a plane surface needs at least 3 points marked as used; there are 2");
    EXPECT_NE(refused(take(5), HeightSurface::Quadric)
                  .find("needs at least 6 points marked as used; there are 5"),
              std::string::npos);
    EXPECT_NE(refused(take(5), HeightSurface::Quadric, TextLanguage::Chinese)
                  .find("拟合二次曲面至少需要 6 个参与计算的点，现有 5 个"),
              std::string::npos);
    std::vector<CommonHeight> six = take(6);
    six[1].used = false;
    EXPECT_NE(refused(six, HeightSurface::Quadric).find("there are 5"), std::string::npos);

    std::vector<CommonHeight> line = take(3);
    for (int i = 0; i < 3; ++i) {
        line[i].position[0] = AngleTextOfDegrees(34.1 + 0.01 * i);
        line[i].position[1] = AngleTextOfDegrees(117.0 + 0.02 * i);
    }
    EXPECT_NE(refused(line, HeightSurface::Plane).find("lie on one line"), std::string::npos);
    EXPECT_NE(refused(line, HeightSurface::Plane, TextLanguage::Chinese).find("在一条直线上"),
              std::string::npos);

    // One point fixes a constant, three a plane, six a quadric: no σ0, no test.
    request.surface = HeightSurface::Constant;
    for (auto [surface, n] : {std::pair{HeightSurface::Constant, 1},
                              std::pair{HeightSurface::Plane, 3},
                              std::pair{HeightSurface::Quadric, 6}}) {
        request.surface = surface;
        CommonHeightFit fewest;
        ASSERT_TRUE(ComputeHeightFit(take(n), request, Settings(), nullptr, TextLanguage::English,
                                     &fewest, &problem))
            << problem.message;
        EXPECT_FALSE(fewest.fit.sigma0);
        EXPECT_NE(HeightFitReportText(fewest, TextLanguage::English)
                      .find("Test: none. The redundancy 0 is not above 1: no blunder can be found"),
                  std::string::npos);
    }

    // Bad rows name their row and field; bad requests say what is wrong.
    std::vector<CommonHeight> typed = take(4);
    typed[2].h = "12,5";
    request.surface = HeightSurface::Plane;
    EXPECT_NE(refused(typed, HeightSurface::Plane).find("row 3 (point H3): the ellipsoidal height h '12,5' is not a number"),
              std::string::npos);
    EXPECT_EQ(problem.row, 2);
    EXPECT_EQ(problem.field, 2);
    typed = take(4);
    typed[3].id = "H1";
    EXPECT_NE(refused(typed, HeightSurface::Plane).find("row 4 (point H1) has the name of row 1"),
              std::string::npos);
    request.tolerance = -1;
    EXPECT_NE(refused(take(4), HeightSurface::Plane).find("tolerance"), std::string::npos);
    request.tolerance.reset();
    request.alpha = 0.7;
    EXPECT_NE(refused(take(4), HeightSurface::Plane).find("significance"), std::string::npos);
    request.alpha = kDefaultAlpha;
    request.datum = 9;
    EXPECT_NE(refused(take(4), HeightSurface::Plane).find("datum"), std::string::npos);
}

TEST(CommonHeightFit, ApplyStoresTheModelTheGeoidAndTheSwitch) {
    Sequence seq;
    const Job job = MakeJob(8, 0.001, Settings(), seq);
    HeightFitRequest request;
    request.positions = HeightPositions::Plane;
    request.geoid = "/data/quasi.gtx";
    GeoidGrid flat;
    std::string error;
    ASSERT_TRUE(flat.Parse("ncols 3\nnrows 3\nxllcenter 116\nyllcenter 33\ncellsize 1\nNODATA_value -9999\n"
                           "-3 -3 -3\n-3 -3 -3\n-3 -3 -3\n", &error))
        << error;
    const CommonHeightFit fit = MustFit(job.plane, request, &flat);
    ConversionSession s;
    const ConversionParams before = s.m_params;
    ApplyHeightFit(fit, s);
    EXPECT_TRUE(s.m_heights.enabled);
    EXPECT_EQ(s.m_heights.geoid, "/data/quasi.gtx");
    ASSERT_TRUE(s.m_heights.model);
    EXPECT_TRUE(s.m_heights.model->onGeoid);
    EXPECT_EQ(s.m_heights.model->surface, HeightSurface::Plane);
    // ζ − N is the known plane less the grid's −3 m.
    EXPECT_NEAR(s.m_heights.model->coefficients[0], KnownZeta(34.2, 117.1) + 3, 0.01);
    EXPECT_EQ(s.m_heights.model->scale, fit.fit.model.scale);
    EXPECT_TRUE(s.m_params == before) << "parameters untouched";
}

// The lines of the residual table in the text report: name, v, r, τ².
std::vector<std::vector<std::string>> TableLines(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    bool inTable = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("Residuals (mm)", 0) == 0) inTable = true;
        if (!inTable || line.rfind("Used points", 0) == 0 || line.rfind("Check points", 0) == 0 ||
            line.rfind("Residuals", 0) == 0 || line.empty() || line[0] == '*' || line[0] == '!' ||
            line[0] == '?') {
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> cells;
        for (std::string w; words >> w;) cells.push_back(w);
        rows.push_back(cells);
    }
    return rows;
}

// A 5 cm blunder, a check point 10 km off: flagged, and the columns of the
// text keep apart however wide the residual.
CommonHeightFit BlunderFit(double checkError) {
    Sequence seq{8};
    Job job = MakeJob(12, 0.001, Settings(), seq);
    job.geodetic[4].h = Text(std::atof(job.geodetic[4].h.c_str()) + 0.05);
    job.geodetic[11].H = Text(std::atof(job.geodetic[11].H.c_str()) - checkError);
    job.geodetic[11].used = false;
    HeightFitRequest request;
    request.positions = HeightPositions::Geodetic;
    request.tolerance = 0.03;
    return MustFit(job.geodetic, request);
}

TEST(CommonHeightFit, TextReportFlagsTheBlunderAndKeepsColumnsApart) {
    const CommonHeightFit fit = BlunderFit(9999.0);
    ASSERT_TRUE(fit.fit.Solved());
    EXPECT_TRUE(fit.fit.residuals[4].failsTest);
    EXPECT_TRUE(fit.fit.residuals[4].beyondTolerance);
    EXPECT_TRUE(fit.fit.residuals[11].flagged);
    const std::string text = HeightFitReportText(fit, TextLanguage::English);
    const std::vector<std::vector<std::string>> rows = TableLines(text);
    ASSERT_EQ(rows.size(), 12u) << text;
    for (const std::vector<std::string>& r : rows) {
        const bool flagged = r[0] == "H5" || r[0] == "H12";
        ASSERT_EQ(r.size(), flagged ? 5u : 4u) << text;
        if (r[0] == "H12") {
            EXPECT_EQ(r[2], "-");  // no redundancy number for a check point
            EXPECT_GT(std::atof(r[1].c_str()), 9.9e6);  // millimetres
        }
    }
    EXPECT_EQ(rows[4][4], "*!");
    EXPECT_NE(text.find("Check points (1)"), std::string::npos);
    EXPECT_NE(text.find("Tolerance 30.0 mm (given)"), std::string::npos);
    EXPECT_NE(text.find("σ0 = "), std::string::npos);
    EXPECT_NE(text.find("a1 Δx"), std::string::npos);
    EXPECT_NE(text.find("(10 % of the larger side) outside it is extrapolated"), std::string::npos);
    const std::string zh = HeightFitReportText(fit, TextLanguage::Chinese);
    EXPECT_NE(zh.find("检查点（1 个）"), std::string::npos);
    EXPECT_NE(zh.find("残差（毫米）"), std::string::npos);
}

TEST(CommonHeightFit, JsonIsComplete) {
    const CommonHeightFit fit = BlunderFit(0.2);
    const std::string text = HeightFitReportJson(fit);
    JsonValue json;
    std::string why;
    ASSERT_TRUE(ParseJson(text, &json, &why)) << why << "\n" << text;
    using K = JsonValue::Kind;
    EXPECT_EQ(json["model"].string, "height");
    EXPECT_EQ(json["surface"].string, "plane");
    EXPECT_FALSE(json["onGeoid"].boolean);
    EXPECT_TRUE(json["geoid"].Is(K::Null));
    EXPECT_EQ(json["positions"].string, "geodetic");
    EXPECT_EQ(json["datum"].number, kDatumCgcs2000);
    EXPECT_EQ(json["used"].number, 11);
    EXPECT_EQ(json["checks"].number, 1);
    EXPECT_EQ(json["observations"].number, 11);
    EXPECT_EQ(json["unknowns"].number, 3);
    EXPECT_EQ(json["redundancy"].number, 8);
    EXPECT_EQ(json["unit"].string, "mm");
    EXPECT_EQ(json["sigma0"].number, *fit.fit.sigma0 * 1000);
    EXPECT_EQ(json["frame"]["scale"].number, fit.fit.model.scale);
    EXPECT_NEAR(json["frame"]["centroidB"].number, 34.2, 0.2);
    ASSERT_EQ(json["coefficients"].items.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(json["coefficients"][j]["name"].string, "a" + std::to_string(j));
        EXPECT_EQ(json["coefficients"][j]["value"].number, fit.fit.model.coefficients[j]);
        EXPECT_EQ(json["coefficients"][j]["deviation"].number, fit.fit.deviations[j]);
    }
    const JsonValue& test = json["test"];
    EXPECT_EQ(test["method"].string, "Pope tau");
    EXPECT_EQ(test["alpha"].number, kDefaultAlpha);
    EXPECT_EQ(test["dimension"].number, 1);
    EXPECT_TRUE(test["testable"].boolean);
    EXPECT_EQ(test["critical"].number, fit.fit.criticalUsed);
    EXPECT_EQ(test["checkCritical"].number, fit.fit.criticalCheck);
    EXPECT_EQ(json["tolerance"].number, 30);
    EXPECT_EQ(json["extent"]["north"].items.size(), 2u);
    EXPECT_GT(json["extent"]["margin"].number, 1000);
    EXPECT_TRUE(json["warnings"].Is(K::Array));
    const JsonValue& points = json["points"];
    ASSERT_EQ(points.items.size(), 12u);
    double redundancy = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        const JsonValue& p = points[i];
        const HeightResidual& r = fit.fit.residuals[i];
        const bool used = i != 11;
        EXPECT_EQ(p["id"].string, "H" + std::to_string(i + 1));
        EXPECT_EQ(p["used"].boolean, used);
        EXPECT_EQ(p["residual"].number, r.v * 1000);
        EXPECT_EQ(p["north"].number, r.north);
        EXPECT_EQ(p["east"].number, r.east);
        EXPECT_EQ(p["statistic"].number, *r.statistic);
        EXPECT_EQ(p["flagged"].boolean, r.flagged);
        EXPECT_EQ(p["failsTest"].boolean, r.failsTest);
        EXPECT_EQ(p["beyondTolerance"].boolean, r.beyondTolerance);
        EXPECT_EQ(p["poorlyChecked"].boolean, r.poorlyChecked);
        for (const char* key : {"redundancy", "standardized"}) {
            EXPECT_EQ(p[key].Is(K::Null), !used) << key;
        }
        if (used) redundancy += p["redundancy"].number;
    }
    EXPECT_NEAR(redundancy, 8, 1e-9);
    EXPECT_TRUE(points[4]["flagged"].boolean);
    EXPECT_TRUE(points[11]["flagged"].boolean);

    // Redundancy 0: no σ0 and no test, said in a warning.
    HeightFitRequest request;
    request.positions = HeightPositions::Geodetic;
    const std::vector<CommonHeight> three(fit.points.begin(), fit.points.begin() + 3);
    ASSERT_TRUE(ParseJson(HeightFitReportJson(MustFit(three, request)), &json, &why)) << why;
    EXPECT_TRUE(json["sigma0"].Is(K::Null));
    EXPECT_TRUE(json["test"]["critical"].Is(K::Null));
    EXPECT_TRUE(json["coefficients"][0]["deviation"].Is(K::Null));
    bool noTest = false;
    for (const JsonValue& w : json["warnings"].items) noTest = noTest || w["kind"].string == "no-test";
    EXPECT_TRUE(noTest);
}

// One mark and one arrow per point; arrows point north for a positive
// residual and south for a negative one, at the scale of the bar.
TEST(CommonHeightFit, PlotHasOneMarkAndOneVerticalArrowPerPoint) {
    const CommonHeightFit fit = BlunderFit(0.2);
    const ResidualPlot plot = MakeHeightResidualPlot(fit, 800, 600);
    ASSERT_EQ(plot.points.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        const PlotPoint& p = plot.points[i];
        const double v = fit.fit.residuals[i].v;
        EXPECT_DOUBLE_EQ(p.arrowX, p.x);
        EXPECT_NEAR(p.y - p.arrowY, v * plot.pixelsPerMetre, 1e-9);
        EXPECT_EQ(p.flagged, fit.fit.residuals[i].flagged);
        EXPECT_EQ(p.used, i != 11);
    }
    // North of the centroid is up the page.
    std::size_t north = 0, south = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        if (fit.fit.residuals[i].north > fit.fit.residuals[north].north) north = i;
        if (fit.fit.residuals[i].north < fit.fit.residuals[south].north) south = i;
    }
    EXPECT_LT(plot.points[north].y, plot.points[south].y);
    EXPECT_FALSE(plot.note.empty());

    std::vector<XmlElement> elements;
    std::string why;
    const std::string svg = ResidualPlotSvg(plot);
    ASSERT_TRUE(ReadXml(svg, &elements, &why)) << why;
    int circles = 0, arrows = 0, checks = 0, red = 0, notes = 0;
    for (const XmlElement& e : elements) {
        const auto cls = e.attributes.find("class");
        if (cls == e.attributes.end()) continue;
        if (e.name == "circle" && cls->second.rfind("point", 0) == 0) {
            ++circles;
            checks += cls->second.find("check") != std::string::npos ? 1 : 0;
            red += cls->second.find("flagged") != std::string::npos ? 1 : 0;
        }
        arrows += e.name == "line" && cls->second == "residual" ? 1 : 0;
        notes += e.name == "text" && cls->second == "note" ? 1 : 0;
    }
    EXPECT_EQ(circles, 12);
    EXPECT_EQ(arrows, 12);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(red, 2);
    EXPECT_EQ(notes, 1);
}

}  // namespace
