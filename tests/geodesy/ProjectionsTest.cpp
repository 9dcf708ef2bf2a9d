// Projections: published figures, round trips over China on every datum, and
// the behaviour of the two solvers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSec = kDeg / 3600;
constexpr double kA54 = 6378245.0, kRf54 = 298.3;

const CGeoCore geo;

TEST(Projections, GaussForwardFiguresOnBeijing54) {
    double x, y;
    geo.GaussForward(kA54, kRf54, 30 * kDeg, 114 * kDeg, 117 * kDeg, &x, &y);
    EXPECT_NEAR(x, 3323964.539, 0.0005);
    EXPECT_NEAR(y, -289530.331, 0.0005);
    geo.GaussForward(kA54, kRf54, 40 * kDeg, 117.5 * kDeg, 117 * kDeg, &x, &y);
    EXPECT_NEAR(x, 4429727.123, 0.0005);
    EXPECT_NEAR(y, 42697.738, 0.0005);
    double B, L;
    geo.GaussForward(kA54, kRf54, 45 * kDeg, 120 * kDeg, 117 * kDeg, &x, &y);
    geo.GaussInverse(kA54, kRf54, x, y, 117 * kDeg, &B, &L);
    EXPECT_NEAR(B, 45 * kDeg, 2e-5 * kArcSec);
    EXPECT_NEAR(L, 120 * kDeg, 2e-5 * kArcSec);
    // On the central meridian: y = 0 and x is the meridian arc, same as UTM's
    // within the latter's centimetre.
    double ux, uy;
    geo.GaussForward(kA54, kRf54, 36 * kDeg, 117 * kDeg, 117 * kDeg, &x, &y);
    geo.UtmForward(kA54, kRf54, 36 * kDeg, 117 * kDeg, 117 * kDeg, &ux, &uy);
    EXPECT_EQ(y, 0.0);
    EXPECT_EQ(uy, 0.0);
    EXPECT_NEAR(x, ux, 0.01);
}

enum class Kind { Gauss3, Gauss6, Utm, Mercator };

struct Tolerance {
    double B, L;  // radians
};

// Forward then inverse over B 18..54 deg, L 73..135 deg on all four datums.
// Gauss and UTM use the zone's central meridian; Mercator a base latitude of
// 30 deg and L0 = 105 deg (its root search stops at 1e-9 rad).
void RoundTripOverChina(Kind kind, Tolerance tol) {
    for (int datum = 0; datum < kDatumCount; ++datum) {
        double a, rf;
        CGeoCore::DatumTable(datum, &a, &rf);
        for (double b = 18; b <= 54; b += 2) {
            for (double l = 73; l <= 135; l += 1) {
                double L0 =
                    kind == Kind::Gauss3 ? std::round(l / 3) * 3 : std::floor(l / 6) * 6 + 3;
                double x, y, B, L;
                switch (kind) {
                    case Kind::Gauss3:
                    case Kind::Gauss6:
                        geo.GaussForward(a, rf, b * kDeg, l * kDeg, L0 * kDeg, &x, &y);
                        geo.GaussInverse(a, rf, x, y, L0 * kDeg, &B, &L);
                        break;
                    case Kind::Utm:
                        geo.UtmForward(a, rf, b * kDeg, l * kDeg, L0 * kDeg, &x, &y);
                        geo.UtmInverse(a, rf, x, y, L0 * kDeg, &B, &L);
                        break;
                    case Kind::Mercator:
                        L0 = 105;
                        geo.MercatorForward(a, rf, b * kDeg, l * kDeg, 30 * kDeg, L0 * kDeg, &x,
                                            &y);
                        geo.MercatorInverse(a, rf, x, y, L0 * kDeg, 30 * kDeg, &B, &L);
                        break;
                }
                ASSERT_NEAR(B, b * kDeg, tol.B) << "datum " << datum << " B " << b << " L " << l;
                ASSERT_NEAR(L, l * kDeg, tol.L) << "datum " << datum << " B " << b << " L " << l;
            }
        }
    }
}

TEST(Projections, GaussRoundTrip3DegreeZones) {
    RoundTripOverChina(Kind::Gauss3, {1e-5 * kArcSec, 1e-5 * kArcSec});
}
// 2e-5" at 45 deg latitude, 3 deg off the central meridian; 2.1e-5" at 54 deg.
TEST(Projections, GaussRoundTrip6DegreeZones) {
    RoundTripOverChina(Kind::Gauss6, {3e-5 * kArcSec, 3e-5 * kArcSec});
}
// The UTM pair is a shorter series: about 1 cm in B, 1 mm in L.
TEST(Projections, UtmRoundTrip) { RoundTripOverChina(Kind::Utm, {6e-4 * kArcSec, 1e-4 * kArcSec}); }
TEST(Projections, MercatorRoundTripWithBaseLatitude) {
    RoundTripOverChina(Kind::Mercator, {1e-9, 1e-12});
}

TEST(Projections, MercatorBaseLatitude) {
    double x, y;
    geo.MercatorForward(kA54, kRf54, 30 * kDeg, 120 * kDeg, 30 * kDeg, 110 * kDeg, &x, &y);
    EXPECT_EQ(x, 0.0);
    // With B0 = 0 the radius of the base parallel is a.
    geo.MercatorForward(kA54, kRf54, 10 * kDeg, 111 * kDeg, 0.0, 110 * kDeg, &x, &y);
    EXPECT_DOUBLE_EQ(y, (111 * kDeg - 110 * kDeg) * kA54);
}

// Guards against an unset latitude when the search finds no root, and against
// the pole of tan at pi/2, where the residual jumps from +inf to -inf and a
// bare scan finds a false root: a point south of the equator gives B = 0.
TEST(Projections, MercatorInverseWithoutRootGivesZero) {
    double xEq, y, B = -1, L = -1;
    geo.MercatorForward(kA54, kRf54, 0.0, 110 * kDeg, 30 * kDeg, 110 * kDeg, &xEq, &y);
    geo.MercatorInverse(kA54, kRf54, xEq - 100000, 5000, 110 * kDeg, 30 * kDeg, &B, &L);
    EXPECT_EQ(B, 0.0);
    const double e2 = 1 - (1 - 1 / kRf54) * (1 - 1 / kRf54);
    const double K =
        kA54 * std::cos(30 * kDeg) / std::sqrt(1 - e2 * std::pow(std::sin(30 * kDeg), 2));
    EXPECT_NEAR(L, 110 * kDeg + 5000 / K, 1e-12);
    // The bare search stops at that pole.
    double roots[1] = {-1};
    const double e = std::sqrt(e2);
    EXPECT_EQ(geo.FindRootsInInterval(e, 0.5, 0.0, 1.5707963267949, 0.2, 1e-9, roots, 1), 1);
    EXPECT_NEAR(roots[0], M_PI / 2, 1e-9);
    EXPECT_GT(std::fabs(geo.MercatorResidual(e, 0.5, roots[0])), 1e6);
}

TEST(Projections, RootFinderScanAndBisect) {
    const double e = 0.08;
    double roots[3] = {-1, -1, -1};
    // f(lo) within the tolerance: lo itself is the root.
    const double atLo = geo.MercatorResidual(e, 0.0, 0.0);  // value at B = 0
    EXPECT_EQ(geo.FindRootsInInterval(e, atLo, 0.0, 1.5, 0.2, 1e-9, roots, 1), 1);
    EXPECT_EQ(roots[0], 0.0);
    // A bisected root is within the tolerance of the true latitude.
    const double B = 0.7;
    const double target = geo.MercatorResidual(e, 0.0, B);
    EXPECT_EQ(geo.FindRootsInInterval(e, target, 0.0, 1.5707963267949, 0.2, 1e-9, roots, 1), 1);
    EXPECT_NEAR(roots[0], B, 1e-9);
    // Capacity 1 stops at the first root; the pole of tan beyond pi/2 adds a
    // second sign change that a larger capacity finds.
    EXPECT_EQ(geo.FindRootsInInterval(e, target, 0.0, 1.5707963267949, 0.2, 1e-9, roots, 3), 2);
    EXPECT_NEAR(roots[1], 1.5707963267949, 1e-6);
}

// Guards against an endless scan when the step cannot advance.
TEST(Projections, RootFinderWithNonPositiveStepEnds) {
    double roots[1] = {-1};
    EXPECT_EQ(geo.FindRootsInInterval(0.08, 10.0, 0.0, 1.0, 0.0, 1e-9, roots, 1), 0);
    EXPECT_EQ(geo.FindRootsInInterval(0.08, 10.0, 0.0, 1.0, -0.2, 1e-9, roots, 1), 0);
    EXPECT_EQ(roots[0], -1);
}

TEST(Projections, UtmInverseAtOriginAndFixedPoint) {
    double B = -1, L = -1;
    geo.UtmInverse(kA54, kRf54, 0.0, 0.0, 117 * kDeg, &B, &L);
    EXPECT_EQ(B, 0.0);
    EXPECT_EQ(L, 117 * kDeg);
    double start = 0.0;
    EXPECT_EQ(geo.SolveFixedPoint(&start, 1e-7, 20, 0.0, 0.0025, -1e-6, 1e-9), 19);
    EXPECT_EQ(start, 0.0);
    // A footpoint away from 0 converges in a few steps to a true fixed point.
    start = 0.0;
    const int left = geo.SolveFixedPoint(&start, 1e-7, 20, 0.6, 0.0025, -3e-6, 5e-9);
    EXPECT_GT(left, 14);
    EXPECT_NEAR(geo.FootpointSeries(0.6, 0.0025, -3e-6, 5e-9, start), start, 1e-10);
    // No iterations allowed: the start value stays.
    start = 0.3;
    EXPECT_EQ(geo.SolveFixedPoint(&start, 1e-7, 0, 0.6, 0.0025, 0, 0), 0);
    EXPECT_EQ(start, 0.3);
}

}  // namespace
