// Heights in single-point conversions: H = h − ζ towards plane coordinates,
// h = H + ζ from them, nothing between kinds of one side, where ζ is taken,
// EGM96 against PROJ's figures, points outside the grid refused by name,
// extrapolation warned of, and the switch off changing nothing at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "geodesy/Constants.h"
#include "session/ConversionSession.h"
#include "session/GeoidFiles.h"
#include "tests/support/HeightTestData.h"
#include "tests/support/SevenParameterSession.h"

namespace {

const std::string& kSmallGrid = kSmallGeoidGrid;
constexpr double kConstant = 23.456789;

// A point of each source kind near 30°N 114°E, inside the small test grid.
const std::string kPoints[3][3] = {
    {"-2248582.352", "5050398.652", "3170430.097"},
    {"030:10:00.000", "114:20:00.000", "45.5"},
    {"3340000.000", "532000.000", "45.5"},
};

// The three results of the session's routine of its source kind.
struct Result {
    double v[3] = {};
    PointHeight height;
};

Result ConvertWith(const ConversionSession& s) {
    Result r;
    const std::string* t = kPoints[s.m_sourceKind];
    if (s.m_sourceKind == 0) {
        s.ConvertFromSpace(t[0], t[1], t[2], &r.v[0], &r.v[1], &r.v[2], &r.height);
    } else if (s.m_sourceKind == 1) {
        s.ConvertFromGeodetic(t[0], t[1], t[2], &r.v[0], &r.v[1], &r.v[2], &r.height);
    } else {
        s.ConvertFromPlane(t[0], t[1], t[2], &r.v[0], &r.v[1], &r.v[2], &r.height);
    }
    return r;
}

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

ConversionSession Prepared(int sourceKind, int targetKind, const SessionHeights& heights) {
    ConversionSession s = SevenParameterSession(sourceKind, targetKind);
    s.m_heights = heights;
    s.PrepareConversion();
    return s;
}

SessionHeights Constant() {
    SessionHeights h;
    h.enabled = true;
    h.model = HeightModel();
    h.model->coefficients[0] = kConstant;
    return h;
}

// A plane surface around 30.3°N 114.6°E, its common points within 10 km.
SessionHeights Plane() {
    SessionHeights h;
    h.enabled = true;
    h.model = PlaneModelNearTheGrid(-5);
    h.model->coefficients[1] = 0.25;
    h.model->coefficients[2] = -0.5;
    return h;
}

std::string Angle(double degrees) {
    CGeoCore geo;
    return geo.FormatDmsPositive(degrees * kDegToRad);
}

}  // namespace

// Guards the rule for every pair of kinds: x, y, B, L and space coordinates
// are those of the switch off, only the height takes the constant ζ.
TEST(HeightConversion, ConstantModelMovesOnlyHeightsBetweenTheTwoSides) {
    for (int from = 0; from < 3; ++from) {
        for (int to = 0; to < 3; ++to) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            const ConversionSession on = Prepared(from, to, Constant());
            const ConversionSession off = Prepared(from, to, SessionHeights());
            const Result a = ConvertWith(on), b = ConvertWith(off);
            const bool fromPlane = from == 2, toPlane = to == 2;
            if (fromPlane == toPlane) {
                EXPECT_FALSE(on.HeightsChange());
                EXPECT_FALSE(a.height.applied);
                for (int k = 0; k < 3; ++k) EXPECT_TRUE(Same(a.v[k], b.v[k])) << k;
                continue;
            }
            ASSERT_TRUE(on.HeightsChange());
            ASSERT_TRUE(a.height.applied);
            EXPECT_EQ(a.height.zeta, kConstant);
            EXPECT_EQ(a.height.notes, 0u);
            if (toPlane) {
                EXPECT_TRUE(Same(a.v[0], b.v[0]));
                EXPECT_TRUE(Same(a.v[1], b.v[1]));
                EXPECT_EQ(FormatFixed(a.v[2], 6), FormatFixed(b.v[2] - kConstant, 6));
                EXPECT_NEAR(b.v[2] - a.v[2], kConstant, 1e-9);
            } else if (to == 1) {
                EXPECT_TRUE(Same(a.v[0], b.v[0]));
                EXPECT_TRUE(Same(a.v[1], b.v[1]));
                EXPECT_NEAR(a.v[2] - b.v[2], kConstant, 1e-9);
                EXPECT_EQ(FormatFixed(a.v[2], 6), FormatFixed(b.v[2] + kConstant, 6));
            } else {
                // Space coordinates of the point B, L on the target datum at h + ζ.
                const ConversionSession geo = Prepared(2, 1, SessionHeights());
                const Result g = ConvertWith(geo);
                double X, Y, Z;
                geo.m_geo.GeodeticToSpace(geo.m_params.m_targetEllipsoid[0],
                                          geo.m_params.m_targetEllipsoid[1], g.v[0], g.v[1],
                                          g.v[2] + kConstant, &X, &Y, &Z);
                EXPECT_EQ(FormatFixed(a.v[0], 6), FormatFixed(X, 6));
                EXPECT_EQ(FormatFixed(a.v[1], 6), FormatFixed(Y, 6));
                EXPECT_EQ(FormatFixed(a.v[2], 6), FormatFixed(Z, 6));
                EXPECT_GT(std::hypot(a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2]), 23.0);
            }
        }
    }
}

// Guards the switch: off, a session with a model, a geoid and an open grid
// converts every pair of kinds exactly as one without any heights.
TEST(HeightConversion, SwitchOffChangesNoOutputOfAnyKind) {
    SessionHeights held = Plane();
    held.model->onGeoid = true;
    held.geoid = kSmallGrid;
    held.enabled = false;
    for (int from = 0; from < 3; ++from) {
        for (int to = 0; to < 3; ++to) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            ConversionSession with = SevenParameterSession(from, to);
            ConversionSession without = with;
            with.m_heights = held;
            std::string error;
            ASSERT_TRUE(with.OpenGeoidGrid("", &error)) << error;
            for (int k = 0; k < 3; ++k) {
                with.m_sourceText[k] = without.m_sourceText[k] = kPoints[from][k];
            }
            std::string message = "stale";
            ASSERT_TRUE(with.Convert(&message));
            ASSERT_TRUE(without.Convert());
            EXPECT_EQ(message, "");
            for (int k = 0; k < 3; ++k) EXPECT_EQ(with.m_targetText[k], without.m_targetText[k]);
            const Result a = ConvertWith(with), b = ConvertWith(without);
            for (int k = 0; k < 3; ++k) EXPECT_TRUE(Same(a.v[k], b.v[k])) << k;
        }
    }
}

// Guards where ζ is taken: at the ellipsoidal side's B, L, the given ones
// towards plane coordinates and the converted ones from them.
TEST(HeightConversion, AnomalyIsTakenAtTheEllipsoidalSidesPosition) {
    ConversionSession toPlane = Prepared(1, 2, Plane());
    const Result a = ConvertWith(toPlane);
    CGeoCore geo;
    EXPECT_TRUE(Same(a.height.B, geo.ParseDmsText(kPoints[1][0])));
    EXPECT_TRUE(Same(a.height.L, geo.ParseDmsText(kPoints[1][1])));
    EXPECT_TRUE(Same(a.height.zeta, Plane().model->Surface(a.height.B, a.height.L)));

    ConversionSession fromPlane = Prepared(2, 1, Plane());
    const Result b = ConvertWith(fromPlane);
    EXPECT_TRUE(Same(b.height.B, b.v[0]));
    EXPECT_TRUE(Same(b.height.L, b.v[1]));
    EXPECT_TRUE(Same(b.height.zeta, Plane().model->Surface(b.v[0], b.v[1])));
}

// Guards EGM96 against PROJ: geodetic WGS-84 to plane coordinates gives
// H = h − N as cct's vgridshift does, and the way back gives h again.
TEST(HeightConversion, Egm96HeightsMatchProjAcrossChina) {
    ConversionSession s;
    s.m_heights.enabled = true;
    s.m_heights.geoid = kEgm96Name;
    std::string error;
    if (FindEgm96("").empty()) GTEST_SKIP() << "proj-data is not installed";
    ASSERT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    s.m_sourceDatum = s.m_targetDatum = 2;
    std::ifstream ref(TERRAX_TEST_DATA "/session/egm96_heights_reference.txt");
    ASSERT_TRUE(ref);
    std::string line;
    int points = 0;
    double worst = 0;
    while (std::getline(ref, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        double B, L, h, H;
        ASSERT_TRUE(f >> B >> L >> h >> H) << line;
        s.m_params.m_projBefore.centralMeridian = 3 * std::round(L / 3);
        s.m_sourceKind = 1;
        s.m_targetKind = 2;
        s.m_sourceText[0] = Angle(B);
        s.m_sourceText[1] = Angle(L);
        s.m_sourceText[2] = FormatFixed(h, 4);
        std::string message;
        ASSERT_TRUE(s.Convert(&message)) << line << message;
        const double normal = AsciiToDouble(s.m_targetText[2]);
        worst = std::fmax(worst, std::fabs(normal - H));
        EXPECT_NEAR(normal, H, 1e-4) << line;

        s.m_sourceKind = 2;
        s.m_targetKind = 1;
        s.m_sourceText[0] = s.m_targetText[0];
        s.m_sourceText[1] = s.m_targetText[1];
        s.m_sourceText[2] = FormatFixed(H, 4);
        ASSERT_TRUE(s.Convert(&message)) << line << message;
        EXPECT_NEAR(AsciiToDouble(s.m_targetText[2]), h, 1e-4) << line;
        ++points;
    }
    EXPECT_EQ(points, 60);
    EXPECT_LT(worst, 1e-4);
}

// Guards the grid's edge: inside, ζ = N of the test grid (a linear surface
// its bilinear interpolation gives exactly); outside, nothing is converted
// and the message names the point.
TEST(HeightConversion, PointOutsideTheGridIsRefusedByName) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_heights.enabled = true;
    s.m_heights.geoid = kSmallGrid;
    std::string error;
    ASSERT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    s.m_sourceText[0] = "030:18:00.000";
    s.m_sourceText[1] = "114:36:00.000";
    s.m_sourceText[2] = "100";
    std::string message;
    ASSERT_TRUE(s.Convert(&message)) << message;
    // N = -20 + 4 (B - 30°) + (L - 114°) = -18.2
    EXPECT_EQ(s.m_targetText[2], "118.200000");
    EXPECT_EQ(message, "");

    s.m_sourceText[0] = "031:30:00.000";
    ASSERT_FALSE(s.Convert(&message));
    for (const std::string& t : s.m_targetText) EXPECT_EQ(t, "");
    EXPECT_NE(message.find("B=031:30:00.000"), std::string::npos) << message;
    EXPECT_NE(message.find("L=114:36:00.000"), std::string::npos) << message;
    EXPECT_NE(message.find("大地水准面格网之外"), std::string::npos) << message;

    // The routines give no height there rather than a wrong one.
    double x, y, H = 0;
    PointHeight height;
    s.ConvertGeodeticPoint(31.5 * kDegToRad, 114.6 * kDegToRad, 100, &x, &y, &H, &height);
    EXPECT_TRUE(std::isnan(H));
    EXPECT_EQ(height.notes, kHeightOutsideGeoid);
    EXPECT_FALSE(height.applied);
    // From plane coordinates the converted B, L decide.
    s.m_sourceKind = 2;
    s.m_targetKind = 0;
    s.m_sourceText[0] = "2000000";
    s.m_sourceText[1] = "500000";
    ASSERT_FALSE(s.Convert(&message));
    EXPECT_NE(message.find("x=2000000, y=500000"), std::string::npos) << message;
}

TEST(HeightConversion, ExtrapolationIsWarnedOfAndStillConverted) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_heights = Plane();
    s.m_sourceText[0] = "030:18:00.000";
    s.m_sourceText[1] = "114:36:00.000";
    s.m_sourceText[2] = "50";
    std::string message = "stale";
    ASSERT_TRUE(s.Convert(&message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(s.m_targetText[2], "55.000000");  // the centroid: ζ = a0 = -5

    s.m_sourceText[0] = "030:48:00.000";  // 55 km north of the centroid
    ASSERT_TRUE(s.Convert(&message));
    EXPECT_NE(message.find("外推"), std::string::npos) << message;
    EXPECT_NE(s.m_targetText[2], "");
    // The constant surface never extrapolates.
    s.m_heights = Constant();
    ASSERT_TRUE(s.Convert(&message));
    EXPECT_EQ(message, "");
}

TEST(HeightConversion, HeightsThatCannotConvertConvertNothing) {
    ConversionSession s;
    s.m_sourceKind = 2;
    s.m_targetKind = 1;
    for (int k = 0; k < 3; ++k) s.m_sourceText[k] = kPoints[2][k];
    s.m_heights.enabled = true;
    std::string message;
    EXPECT_EQ(s.CheckHeights(), ConversionSession::HeightsProblem::NothingGivesZeta);
    EXPECT_FALSE(s.Convert(&message));
    EXPECT_NE(message.find("既没有高程拟合模型"), std::string::npos) << message;
    for (const std::string& t : s.m_targetText) EXPECT_EQ(t, "");

    s.m_heights.geoid = kSmallGrid;
    EXPECT_EQ(s.CheckHeights(), ConversionSession::HeightsProblem::GridNotOpen);
    EXPECT_FALSE(s.Convert(&message));
    EXPECT_NE(message.find(kSmallGrid), std::string::npos) << message;

    // Between kinds of one side the heights are not needed.
    s.m_targetKind = 2;
    s.m_params.m_local1[3] = 1;
    EXPECT_TRUE(s.Convert(&message));

    std::string error;
    s.m_heights.geoid = "/no/such/grid.gtx";
    EXPECT_FALSE(s.OpenGeoidGrid("", &error));
    EXPECT_NE(error.find("/no/such/grid.gtx"), std::string::npos) << error;
    EXPECT_EQ(s.Grid(), nullptr);
    // A grid opened for one name is not taken for another.
    s.m_heights.geoid = kSmallGrid;
    ASSERT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    EXPECT_NE(s.Grid(), nullptr);
    s.m_heights.geoid = kEgm96Name;
    EXPECT_EQ(s.Grid(), nullptr);
}
