// Projections: round trips over China on every datum, and the two solvers.
// Reference values are in ReferenceTest.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSec = kDeg / 3600;
constexpr double kA = 6378245.0, kRf = 298.3;
const CGeoCore geo;

// Forward then inverse over B 18..54, L 73..135 on all four datums. Gauss and
// UTM use the zone's central meridian, Mercator B0 = 30 and L0 = 105.
TEST(Projections, RoundTripsOverChina) {
    enum Kind { kGauss3, kGauss6, kUtm, kMercator };
    const double tolerance[4] = {
        1e-5 * kArcSec,  // Gauss within 1.5 deg of the meridian
        3e-5 * kArcSec,  // 3 deg off: 2e-5" at 45 deg, 2.1e-5" at 54 deg
        6e-4 * kArcSec,  // the shorter UTM series: about 1 cm
        1e-9,            // the Mercator root search stops at 1e-9 rad
    };
    for (int kind = kGauss3; kind <= kMercator; ++kind) {
        for (int datum = 0; datum < kDatumCount; ++datum) {
            double a, rf, x, y, B, L;
            CGeoCore::DatumTable(datum, &a, &rf);
            for (double b = 18; b <= 54; b += 2) {
                for (double l = 73; l <= 135; l += 1) {
                    const double L0 =
                        (kind == kGauss3 ? std::round(l / 3) * 3 : std::floor(l / 6) * 6 + 3) *
                        kDeg;
                    if (kind == kUtm) {
                        geo.UtmForward(a, rf, b * kDeg, l * kDeg, L0, &x, &y);
                        geo.UtmInverse(a, rf, x, y, L0, &B, &L);
                    } else if (kind == kMercator) {
                        geo.MercatorForward(a, rf, b * kDeg, l * kDeg, 30 * kDeg, 105 * kDeg, &x,
                                            &y);
                        geo.MercatorInverse(a, rf, x, y, 105 * kDeg, 30 * kDeg, &B, &L);
                    } else {
                        geo.GaussForward(a, rf, b * kDeg, l * kDeg, L0, &x, &y);
                        geo.GaussInverse(a, rf, x, y, L0, &B, &L);
                    }
                    ASSERT_NEAR(B, b * kDeg, tolerance[kind])
                        << kind << " " << datum << " " << b << " " << l;
                    ASSERT_NEAR(L, l * kDeg, tolerance[kind])
                        << kind << " " << datum << " " << b << " " << l;
                }
            }
        }
    }
    double x, y, B, L;  // the published bound: 45 deg, 3 deg off, 2e-5"
    geo.GaussForward(kA, kRf, 45 * kDeg, 120 * kDeg, 117 * kDeg, &x, &y);
    geo.GaussInverse(kA, kRf, x, y, 117 * kDeg, &B, &L);
    EXPECT_NEAR(B, 45 * kDeg, 2e-5 * kArcSec);
    EXPECT_NEAR(L, 120 * kDeg, 2e-5 * kArcSec);
}

TEST(Projections, MercatorBaseLatitude) {
    double x, y, B = -1, L;
    geo.MercatorForward(kA, kRf, 30 * kDeg, 120 * kDeg, 30 * kDeg, 110 * kDeg, &x, &y);
    EXPECT_EQ(x, 0.0);
    geo.MercatorForward(kA, kRf, 10 * kDeg, 111 * kDeg, 0.0, 110 * kDeg, &x, &y);
    EXPECT_EQ(y, (111 * kDeg - 110 * kDeg) * kA);  // B0 = 0: K = a
    // Guards against an unset latitude when the search finds no root, and
    // against the pole of tan at pi/2, where a bare scan finds a false root:
    // a point south of the equator gives B = 0.
    geo.MercatorForward(kA, kRf, 0.0, 110 * kDeg, 30 * kDeg, 110 * kDeg, &x, &y);
    geo.MercatorInverse(kA, kRf, x - 100000, 5000, 110 * kDeg, 30 * kDeg, &B, &L);
    EXPECT_EQ(B, 0.0);
    const double e = std::sqrt(1 - (1 - 1 / kRf) * (1 - 1 / kRf)), target = 0.5;
    double root = -1;
    EXPECT_EQ(geo.FindRootsInInterval(e, target, 0.0, 1.5707963267949, 0.2, 1e-9, &root, 1), 1);
    EXPECT_GT(std::fabs(geo.MercatorResidual(e, target, root)), 1e6);  // that false root
}

TEST(Projections, RootFinder) {
    const double e = 0.08, B = 0.7, target = geo.MercatorResidual(e, 0.0, B);
    double roots[3] = {-1, -1, -1};
    // f(lo) within the tolerance: lo is the root.
    EXPECT_EQ(
        geo.FindRootsInInterval(e, geo.MercatorResidual(e, 0, 0), 0, 1.5, 0.2, 1e-9, roots, 1), 1);
    EXPECT_EQ(roots[0], 0.0);
    EXPECT_EQ(geo.FindRootsInInterval(e, target, 0, 1.5707963267949, 0.2, 1e-9, roots, 1), 1);
    EXPECT_NEAR(roots[0], B, 1e-9);
    // Capacity 3: the scan resumes beyond the root and also stops at the pole.
    EXPECT_EQ(geo.FindRootsInInterval(e, target, 0, 1.5707963267949, 0.2, 1e-9, roots, 3), 2);
    EXPECT_NEAR(roots[1], M_PI / 2, 1e-9);
    // Guards against an endless scan when the step cannot advance.
    roots[0] = -1;
    EXPECT_EQ(geo.FindRootsInInterval(e, 10.0, 0.0, 1.0, 0.0, 1e-9, roots, 1), 0);
    EXPECT_EQ(geo.FindRootsInInterval(e, 10.0, 0.0, 1.0, -0.2, 1e-9, roots, 1), 0);
    EXPECT_EQ(roots[0], -1);
}

TEST(Projections, UtmOriginAndFixedPoint) {
    double B = -1, L = -1, start = 0.0;
    geo.UtmInverse(kA, kRf, 0.0, 0.0, 117 * kDeg, &B, &L);
    EXPECT_EQ(B, 0.0);
    EXPECT_EQ(L, 117 * kDeg);
    EXPECT_EQ(geo.SolveFixedPoint(&start, 1e-7, 20, 0.0, 0.0025, -1e-6, 1e-9), 19);  // first step
    EXPECT_GT(geo.SolveFixedPoint(&start, 1e-7, 20, 0.6, 0.0025, -3e-6, 5e-9), 14);
    EXPECT_NEAR(geo.FootpointSeries(0.6, 0.0025, -3e-6, 5e-9, start), start, 1e-10);
    start = 0.3;
    EXPECT_EQ(geo.SolveFixedPoint(&start, 1e-7, 0, 0.6, 0.0025, 0, 0), 0);
    EXPECT_EQ(start, 0.3);  // no iteration allowed: the start stays
}

}  // namespace
