// The session's defaults, reset, preparation, every single-point conversion
// path against independently computed figures, and the edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "session/ConversionSession.h"
#include "tests/session/SessionTestUtil.h"
#include "tests/support/ConversionReference.h"

namespace {

constexpr double kDeg = 0.017453292519943334;

// Datum table constants, written out.
constexpr double kBeijingA = 6378245.0, kBeijingRf = 298.3;
constexpr double kNational80A = 6378140.0, kNational80Rf = 298.257;
constexpr double kWgs84A = 6378137.0, kWgs84Rf = 298.257223563;
constexpr double kWgs72A = 6378135.0, kWgs72Rf = 298.26;

// Source Beijing-54, target WGS-84, both switches ticked, parameters and
// projections that make every step visible in the result.
ConversionSession Configured(int sourceKind, int targetKind) {
    ConversionSession s;
    s.m_sourceKind = sourceKind;
    s.m_targetKind = targetKind;
    s.m_sourceDatum = 0;
    s.m_targetDatum = 2;
    s.m_useSeven = 1;
    s.m_useFour = 1;
    ConversionParams& p = s.m_params;
    const double seven[7] = {15.8, -154.4, -82.3, 4.8e-6, -1.2e-6, 2.5e-6, 3.1e-6};
    std::copy(seven, seven + 7, p.m_seven);
    const double local1[4] = {120.5, -340.25, 0.0012, 1.0000034};
    const double local2[4] = {-15.0, 22.0, -0.0004, 0.9999987};
    std::copy(local1, local1 + 4, p.m_local1);
    std::copy(local2, local2 + 4, p.m_local2);
    p.m_projBefore.centralMeridian = 117.0;
    p.m_projAfter.centralMeridian = 120.0;
    p.m_projAfter.xConstant = 100;
    p.m_projAfter.yConstant = 400000;
    p.m_projAfter.scale = 0.9996;
    return s;
}

const char* kPlane[3] = {"3378502.125", "20541236.5", "45.5"};
const double kPlaneV[3] = {3378502.125, 20541236.5, 45.5};
const char* kGeodetic[3] = {"030:30:15.2500", "116:45:30.1250", "52.75"};
const char* kSpace[3] = {"-2475000.0", "4898000.0", "3234000.0"};

void SetSource(ConversionSession& s, const char* const texts[3]) {
    for (int i = 0; i < 3; ++i) s.m_sourceText[i] = texts[i];
}

}  // namespace

TEST(SessionDefaults, ConstructionSetsEveryMember) {
    ConversionSession s;
    EXPECT_EQ(s.m_zoneChange, 0);
    EXPECT_EQ(s.m_sourceFileCount, 0);
    EXPECT_TRUE(s.m_outputFiles.empty());
    EXPECT_TRUE(s.m_sourceFiles.empty());
    EXPECT_EQ(s.m_targetDatum, 0);
    EXPECT_EQ(s.m_targetKind, 2);
    EXPECT_EQ(s.m_useFour, 0) << "1 at construction, then 0 by the reset";
    EXPECT_EQ(s.m_useSeven, 0);
    EXPECT_EQ(s.m_sourceDatum, 0);
    EXPECT_EQ(s.m_sourceKind, 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.m_sourceText[i], "");
        EXPECT_EQ(s.m_targetText[i], "");
    }
    const ConversionParams& p = s.m_params;
    const RememberedInputs& in = s.m_inputs;
    const FormatChoice& fmt = s.m_format;
    EXPECT_EQ(in.m_calcThreeH, "0");
    EXPECT_EQ(in.m_calcDatumGeo, 2);
    EXPECT_EQ(p.m_projBefore.yConstant, 500000);
    EXPECT_EQ(p.m_projAfter.centralMeridian, 114.0);
    EXPECT_EQ(fmt.m_naming, 1);
    EXPECT_EQ(fmt.m_column[2], -1);
}

TEST(SessionReset, SetsTheDefaultsAndTouchesNothingElse) {
    ConversionSession s = ChangedSession();
    s.m_zoneChange = 2;
    s.ResetSession();

    // The defaults, except what the reset must leave as it was.
    ConversionSession expected;
    expected.m_sourceDatum = 3;
    expected.m_targetDatum = 1;
    expected.m_zoneChange = 2;
    expected.m_params.m_sourceEllipsoid[0] = 1;
    expected.m_params.m_targetEllipsoid[1] = 2;
    expected.m_sourceFiles = {"/data/a.txt"};
    expected.m_outputFiles = {"/data/a.out"};
    expected.m_sourceFileCount = 1;
    ExpectSameSession(s, expected);
}

TEST(SessionPrepare, CopiesSelectionsAndFillsEllipsoids) {
    ConversionSession s;
    s.m_sourceDatum = 1;
    s.m_targetDatum = 3;
    s.m_useFour = 1;
    s.m_useSeven = 1;
    s.PrepareConversion();
    const ConversionParams& p = s.m_params;
    EXPECT_EQ(p.m_savedSourceDatum, 1);
    EXPECT_EQ(p.m_savedTargetDatum, 3);
    EXPECT_EQ(p.m_savedUseFour, 1);
    EXPECT_EQ(p.m_savedUseSeven, 1);
    EXPECT_EQ(p.m_sourceEllipsoid[0], kNational80A);
    EXPECT_EQ(p.m_sourceEllipsoid[1], kNational80Rf);
    // WGS-72 has constants of its own.
    EXPECT_EQ(p.m_targetEllipsoid[0], kWgs72A);
    EXPECT_EQ(p.m_targetEllipsoid[1], kWgs72Rf);

    // An index no combo box has leaves that side's constants as they were.
    s.m_sourceDatum = 5;
    s.m_targetDatum = -1;
    s.PrepareConversion();
    EXPECT_EQ(p.m_savedSourceDatum, 5);
    EXPECT_EQ(p.m_savedTargetDatum, -1);
    EXPECT_EQ(p.m_sourceEllipsoid[0], kNational80A);
    EXPECT_EQ(p.m_targetEllipsoid[0], kWgs72A);
}

// ---- Every path against figures computed independently ----

namespace {

int KindNamed(const std::string& name) {
    return name == "space" ? 0 : name == "geodetic" ? 1 : name == "plane" ? 2 : -1;
}

// Which of its three rules plane to plane follows in a block's setting.
std::string PlaneToPlaneRule(const ReferenceBlock& b) {
    if (b.zoneChange == 2) return " (zone change)";
    if (b.useSeven && b.sourceDatum != b.targetDatum) return " (seven parameters)";
    return " (level 1 only)";
}

}  // namespace

// tests/data/session/conversion_reference.txt: every source and target kind
// in settings with the seven parameters on and off (and cleared by equal
// datums), the four-parameter levels on, off and unset, each projection kind
// and the zone change. Each row checks the target texts exactly and the
// results of the source kind's routine within the block's tolerance.
TEST(ConversionPaths, MatchTheReferenceFigures) {
    std::string error;
    const std::vector<ReferenceBlock> blocks = ReadConversionReference(&error);
    ASSERT_EQ(error, "");
    std::set<std::string> paths;
    std::set<int> kinds, sevens, fours, zoneChanges;
    for (const ReferenceBlock& b : blocks) {
        double worst[2] = {0, 0};  // metres, radians
        int rows = 0;
        for (const ReferenceRow& r : b.rows) {
            if (r.op != "convert") continue;
            const std::vector<std::string>& f = r.fields;
            const std::string where = b.name + ", line " + std::to_string(r.line);
            ASSERT_EQ(f.size(), 11u) << where;
            const int source = KindNamed(f[0]), target = KindNamed(f[1]);
            ASSERT_GE(source, 0) << where;
            ASSERT_GE(target, 0) << where;
            double want[3];
            for (int i = 0; i < 3; ++i) ASSERT_TRUE(ReadReferenceNumber(f[5 + i], &want[i])) << where;

            ConversionSession s;
            b.SetUp(s);
            s.m_sourceKind = source;
            s.m_targetKind = target;
            for (int i = 0; i < 3; ++i) s.m_sourceText[i] = f[2 + i];
            ASSERT_TRUE(s.Convert()) << where;
            for (int i = 0; i < 3; ++i) EXPECT_EQ(s.m_targetText[i], f[8 + i]) << where;

            double got[3];
            if (source == 0) s.ConvertFromSpace(f[2], f[3], f[4], &got[0], &got[1], &got[2]);
            if (source == 1) s.ConvertFromGeodetic(f[2], f[3], f[4], &got[0], &got[1], &got[2]);
            if (source == 2) s.ConvertFromPlane(f[2], f[3], f[4], &got[0], &got[1], &got[2]);
            for (int i = 0; i < 3; ++i) {
                const bool angle = target == 1 && i < 2;
                const double miss = std::fabs(got[i] - want[i]);
                EXPECT_LE(miss, angle ? b.angleTolerance : b.lengthTolerance)
                    << where << ", result " << i << ": " << got[i] << " for " << f[5 + i];
                if (miss > worst[angle]) worst[angle] = miss;
            }
            paths.insert(f[0] + " to " + f[1] + (source == 2 && target == 2 ? PlaneToPlaneRule(b) : ""));
            ++rows;
        }
        std::printf("%s: %d conversions, largest miss %.3g m, %.3g rad\n", b.name.c_str(), rows,
                    worst[0], worst[1]);
        kinds.insert(static_cast<int>(b.before.kind));
        sevens.insert(b.useSeven && b.sourceDatum != b.targetDatum);
        fours.insert(b.useFour);
        zoneChanges.insert(b.zoneChange);
    }
    EXPECT_EQ(paths.size(), 11u) << "nine paths, plane to plane under each of its three rules";
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(sevens, (std::set<int>{0, 1}));
    EXPECT_EQ(fours, (std::set<int>{0, 1}));
    EXPECT_EQ(zoneChanges, (std::set<int>{0, 2}));
}

// ---- Edge cases ----

TEST(ConversionEdges, GeodeticPointOnBeijing54ToSpace) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 0;
    s.m_sourceText[0] = "030:00:00.000";
    s.m_sourceText[1] = "114:00:00.000";
    s.m_sourceText[2] = "0";
    ASSERT_TRUE(s.Convert());
    const double expected[3] = {-2248582.352, 5050398.652, 3170430.097};
    for (int i = 0; i < 3; ++i) {
        const std::string& t = s.m_targetText[i];
        ASSERT_EQ(t.size() - t.find('.'), 7u) << t << ": six decimals";
        EXPECT_NEAR(std::atof(t.c_str()), expected[i], 0.0005) << t;
    }
}

TEST(ConversionEdges, EqualDatumsNeverApplyTheSevenParameters) {
    ConversionSession s = Configured(1, 0);
    s.m_targetDatum = 0;
    SetSource(s, kGeodetic);
    ASSERT_TRUE(s.Convert());
    EXPECT_EQ(s.m_params.m_savedUseSeven, 0);
    EXPECT_EQ(s.m_useSeven, 1) << "the check box itself stays ticked";
    CGeoCore g;
    double e[3];
    g.GeodeticToSpace(kBeijingA, kBeijingRf, g.ParseDmsText(kGeodetic[0]),
                      g.ParseDmsText(kGeodetic[1]), 52.75, &e[0], &e[1], &e[2]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.m_targetText[i], FormatFixed(e[i], 6));
}

TEST(ConversionEdges, PlaneToPlaneWithDefaultsGivesZeroBecauseKIsZero) {
    ConversionSession s;
    SetSource(s, kPlane);
    ASSERT_TRUE(s.Convert());
    EXPECT_EQ(s.m_targetText[0], "0.000000");
    EXPECT_EQ(s.m_targetText[1], "0.000000");
    EXPECT_EQ(s.m_targetText[2], "45.500000");
}

TEST(ConversionEdges, NegativeLongitudeIsPrintedPlusTheHalfTurn) {
    ConversionSession s = Configured(0, 1);
    SetSource(s, kSpace);  // X < 0, Y > 0
    ASSERT_TRUE(s.Convert());
    const int degrees = std::atoi(s.m_targetText[1].c_str());
    EXPECT_GT(degrees, 90);
    EXPECT_LT(degrees, 180);
}

TEST(ConversionEdges, Wgs72UsesItsOwnConstants) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 0;
    s.m_sourceDatum = 3;
    s.m_targetDatum = 3;
    s.m_sourceText[0] = "030:00:00.000";
    s.m_sourceText[1] = "114:00:00.000";
    s.m_sourceText[2] = "0";
    ASSERT_TRUE(s.Convert());
    CGeoCore g;
    double e[3];
    g.GeodeticToSpace(kWgs72A, kWgs72Rf, 30 * kDeg, 114 * kDeg, 0, &e[0], &e[1], &e[2]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.m_targetText[i], FormatFixed(e[i], 6));
}

TEST(ConversionEdges, ZoneChangeSurvivesTheResetAndStillTakesItsPath) {
    ConversionSession s;
    s.m_zoneChange = 2;
    s.ResetSession();
    EXPECT_EQ(s.m_zoneChange, 2);
    SetSource(s, kPlane);
    ASSERT_TRUE(s.Convert());
    ConversionParams p = s.m_params;
    CGeoCore g;
    double B, L, H, x, y;
    g.PlaneToGeodetic(kBeijingA, kBeijingRf, kPlaneV[0], kPlaneV[1], kPlaneV[2], p, &B, &L, &H);
    g.GaussForward(kBeijingA, kBeijingRf, B, L, 114.0 * kDeg, &x, &y);
    EXPECT_EQ(s.m_targetText[0], FormatFixed(x * 1.0 + 0, 6));
    EXPECT_EQ(s.m_targetText[1], FormatFixed(y * 1.0 + 500000, 6));
    EXPECT_NE(s.m_targetText[0], "0.000000") << "took the level-1 path";
}

TEST(ConversionRefusal, KindsAndDatumsNoControlCanShowConvertNothing) {
    // Regression: a project file can bring such values; converting then used
    // results that were never computed.
    struct Case {
        int sourceKind, targetKind, sourceDatum, targetDatum;
    } cases[] = {{3, 2, 0, 0}, {-1, 2, 0, 0}, {2, 5, 0, 0}, {1, -1, 0, 0},
                 {2, 2, 5, 0}, {2, 2, 0, -1}, {0, 0, 7, 7}};
    for (const Case& c : cases) {
        ConversionSession s;
        s.m_sourceKind = c.sourceKind;
        s.m_targetKind = c.targetKind;
        s.m_sourceDatum = c.sourceDatum;
        s.m_targetDatum = c.targetDatum;
        SetSource(s, kPlane);
        for (std::string& t : s.m_targetText) t = "old";
        EXPECT_FALSE(s.Convert()) << c.sourceKind << c.targetKind << c.sourceDatum;
        for (const std::string& t : s.m_targetText) EXPECT_EQ(t, "");
        EXPECT_EQ(s.m_sourceText[0], kPlane[0]);
    }
}

TEST(ConversionRefusal, RoutinesGiveZeroForATargetKindOutsideTheRange) {
    ConversionSession s = Configured(2, 4);
    s.PrepareConversion();
    double out[3] = {1, 1, 1};
    s.ConvertFromGeodetic(kGeodetic[0], kGeodetic[1], kGeodetic[2], &out[0], &out[1], &out[2]);
    EXPECT_EQ(out[0] + out[1] + out[2], 0);
}
