// Datum table and the geodetic <-> space rectangular pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSec = kDeg / 3600;
constexpr double kHalfTurn = 3.1415926535898;

const CGeoCore geo;

TEST(Ellipsoids, DatumTableHoldsFourEllipsoids) {
    const double expected[4][2] = {
        {6378245.0, 298.3}, {6378140.0, 298.257}, {6378137.0, 298.257223563}, {6378135.0, 298.26}};
    for (int i = 0; i < kDatumCount; ++i) {
        double a = 0, rf = 0;
        ASSERT_TRUE(CGeoCore::DatumTable(i, &a, &rf));
        EXPECT_EQ(a, expected[i][0]);
        EXPECT_EQ(rf, expected[i][1]);
    }
    for (int bad : {-1, 4, 100}) {
        double a = -7, rf = -8;
        EXPECT_FALSE(CGeoCore::DatumTable(bad, &a, &rf));
        EXPECT_EQ(a, -7);
        EXPECT_EQ(rf, -8);
    }
}

TEST(Ellipsoids, EquatorAndQuadrantCases) {
    double X, Y, Z, B, L, H;
    geo.GeodeticToSpace(6378245.0, 298.3, 0, 0, 0, &X, &Y, &Z);
    EXPECT_EQ(X, 6378245.0);
    EXPECT_EQ(Y, 0.0);
    EXPECT_EQ(Z, 0.0);
    geo.SpaceToGeodetic(6378245.0, 298.3, X, Y, Z, &B, &L, &H);
    EXPECT_EQ(B, 0.0);
    EXPECT_EQ(L, 0.0);
    EXPECT_EQ(H, 0.0);

    // Longitude above 90 deg east comes back negative by pi.
    geo.GeodeticToSpace(6378137.0, 298.257223563, 30 * kDeg, 114 * kDeg, 100, &X, &Y, &Z);
    ASSERT_LT(X, 0);
    geo.SpaceToGeodetic(6378137.0, 298.257223563, X, Y, Z, &B, &L, &H);
    EXPECT_LT(L, 0);
    EXPECT_NEAR(L + kHalfTurn, 114 * kDeg, 1e-13);
    EXPECT_NEAR(B, 30 * kDeg, 1e-6 * kArcSec);
    EXPECT_NEAR(H, 100, 1e-4);

    geo.SpaceToGeodetic(6378137.0, 298.257223563, 0, 6378137.0, 0, &B, &L, &H);
    EXPECT_EQ(L, M_PI / 2);
}

// Guards against atan(0/0) = NaN as the longitude of a point on the polar axis.
TEST(Ellipsoids, PolarAxisGivesLongitudeZero) {
    double B, L, H;
    geo.SpaceToGeodetic(6378245.0, 298.3, 0, 0, 6356863.0, &B, &L, &H);
    EXPECT_EQ(L, 0.0);
    EXPECT_NEAR(B, kHalfTurn / 2, 1e-12);
}

// Every datum, a grid across China and heights from below sea level to high
// mountains: B within 1e-6", L exact after the repair, H within 0.1 mm.
TEST(Ellipsoids, RoundTripOverChinaOnEveryDatum) {
    double worstB = 0, worstH = 0;
    for (int datum = 0; datum < kDatumCount; ++datum) {
        double a, rf;
        CGeoCore::DatumTable(datum, &a, &rf);
        for (double b = 18; b <= 54; b += 3) {
            for (double l = 73; l <= 135; l += 4) {
                for (double h : {-150.0, 0.0, 8848.0}) {
                    double X, Y, Z, B, L, H;
                    geo.GeodeticToSpace(a, rf, b * kDeg, l * kDeg, h, &X, &Y, &Z);
                    geo.SpaceToGeodetic(a, rf, X, Y, Z, &B, &L, &H);
                    if (L < 0) L += kHalfTurn;
                    worstB = std::max(worstB, std::fabs(B - b * kDeg));
                    worstH = std::max(worstH, std::fabs(H - h));
                    ASSERT_NEAR(L, l * kDeg, 1e-13) << datum << " " << b << " " << l;
                }
            }
        }
    }
    EXPECT_LT(worstB, 1e-6 * kArcSec);
    EXPECT_LT(worstH, 1e-4);
}

}  // namespace
