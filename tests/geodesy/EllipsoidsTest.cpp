// Datum table and the geodetic <-> space rectangular pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kHalfTurn = 3.1415926535898;
const CGeoCore geo;

TEST(Ellipsoids, DatumTable) {
    const double want[5][2] = {{6378245.0, 298.3},
                               {6378140.0, 298.257},
                               {6378137.0, 298.257223563},
                               {6378135.0, 298.26},
                               {6378137.0, 298.257222101}};
    for (int i = -1; i <= kDatumCount; ++i) {
        double a = -7, rf = -8;
        const bool known = i >= 0 && i < kDatumCount;
        EXPECT_EQ(CGeoCore::DatumTable(i, &a, &rf), known);
        EXPECT_EQ(a, known ? want[i][0] : -7);  // untouched outside 0..4
        EXPECT_EQ(rf, known ? want[i][1] : -8);
    }
}

TEST(Ellipsoids, SpecialPoints) {
    double X, Y, Z, B, L, H;
    geo.GeodeticToSpace(6378245.0, 298.3, 0, 0, 0, &X, &Y, &Z);
    EXPECT_TRUE(X == 6378245.0 && Y == 0 && Z == 0);
    geo.SpaceToGeodetic(6378245.0, 298.3, X, Y, Z, &B, &L, &H);
    EXPECT_TRUE(B == 0 && L == 0 && H == 0);
    geo.SpaceToGeodetic(6378137.0, 298.257223563, 0, 6378137.0, 0, &B, &L, &H);
    EXPECT_EQ(L, M_PI / 2);
    // Guards against atan(0/0) = NaN as the longitude of the polar axis.
    geo.SpaceToGeodetic(6378245.0, 298.3, 0, 0, 6356863.0, &B, &L, &H);
    EXPECT_EQ(L, 0.0);
    EXPECT_NEAR(B, M_PI / 2, 1e-12);
}

// Every datum, B 18..54, L 73..135 (beyond 90 deg L comes back negative by
// pi), heights -150..8848 m: B within 1e-6", L after the repair within
// 1e-13 rad, H within 0.1 mm.
TEST(Ellipsoids, RoundTripOverChina) {
    double worstB = 0, worstH = 0;
    for (int datum = 0; datum < kDatumCount; ++datum) {
        double a, rf, X, Y, Z, B, L, H;
        CGeoCore::DatumTable(datum, &a, &rf);
        for (double b = 18; b <= 54; b += 3) {
            for (double l = 73; l <= 135; l += 4) {
                for (double h : {-150.0, 0.0, 8848.0}) {
                    geo.GeodeticToSpace(a, rf, b * kDeg, l * kDeg, h, &X, &Y, &Z);
                    geo.SpaceToGeodetic(a, rf, X, Y, Z, &B, &L, &H);
                    ASSERT_EQ(L<0, l> 90);
                    ASSERT_NEAR(L < 0 ? L + kHalfTurn : L, l * kDeg, 1e-13) << b << " " << l;
                    worstB = std::max(worstB, std::fabs(B - b * kDeg));
                    worstH = std::max(worstH, std::fabs(H - h));
                }
            }
        }
    }
    EXPECT_LT(worstB, 1e-6 * kDeg / 3600);
    EXPECT_LT(worstH, 1e-4);
}

}  // namespace
