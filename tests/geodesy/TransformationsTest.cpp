// Seven- and four-parameter transforms and the conversion chains.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSec = kDeg / 3600;
constexpr double kHalfTurn = 3.1415926535898;

const CGeoCore geo;

ConversionParams Params(int kind, int source, int target) {
    ConversionParams p;
    p.m_projBefore.kind = kind;
    p.m_projBefore.centralMeridian = 117.0;
    p.m_projBefore.baseLatitude = 30.0;
    p.m_projBefore.xConstant = 1000;
    p.m_projBefore.yConstant = 500000;
    p.m_projBefore.scale = 0.9996;
    CGeoCore::DatumTable(source, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    CGeoCore::DatumTable(target, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    return p;
}

void SetSeven(ConversionParams* p) {
    const double seven[7] = {-15.4, 120.7, 85.2, 1.2e-5, -0.8e-5, 1.5e-5, 5e-6};
    for (int i = 0; i < 7; ++i) p->m_seven[i] = seven[i];
    p->m_savedUseSeven = 1;
}

TEST(Transformations, SevenParametersSwitchZeroAndScale) {
    ConversionParams p;
    double X = 1e6, Y = 2e6, Z = 3e6;
    geo.ApplySevenParameters(1, 2, 3, 1e-5, 1e-5, 1e-5, 1e-6, p, &X, &Y, &Z);  // switch off
    EXPECT_EQ(X, 1e6);
    p.m_savedUseSeven = 1;
    geo.ApplySevenParameters(0, 0, 0, 0, 0, 0, 0, p, &X, &Y, &Z);
    EXPECT_EQ(X, 1e6);
    EXPECT_EQ(Y, 2e6);
    EXPECT_EQ(Z, 3e6);
    geo.ApplySevenParameters(0, 0, 0, 0, 0, 0, 1e-6, p, &X, &Y, &Z);
    EXPECT_EQ(X, 1e6 * 1.000001);
    EXPECT_EQ(Y, 2e6 * 1.000001);
    EXPECT_EQ(Z, 3e6 * 1.000001);
    // Rotation signs: X' = X + rZ Y, Y' = Y - rZ X; rotations are not scaled.
    X = 1e6, Y = 2e6, Z = 3e6;
    geo.ApplySevenParameters(10, 0, 0, 0, 0, 1e-5, 1.0, p, &X, &Y, &Z);
    EXPECT_DOUBLE_EQ(X, 10 + 2e6 + 20);
    EXPECT_DOUBLE_EQ(Y, 4e6 - 10);
    EXPECT_DOUBLE_EQ(Z, 6e6);
}

TEST(Transformations, FourParametersRotateScaleShift) {
    double x = 3, y = 4;
    geo.ApplyFourParameters(100, 200, 90 * kDeg, 2, &x, &y);
    EXPECT_NEAR(x, 100 - 8, 1e-12);
    EXPECT_NEAR(y, 200 + 6, 1e-12);
}

// Both switches off, one ellipsoid: plane and back returns the point within
// the accuracy of each projection pair, for every projection kind.
TEST(Transformations, ChainsRoundTripWithSwitchesOff) {
    const double tol[5] = {2e-5, 2e-5, 2e-5, 1e-9 / kArcSec, 6e-4};  // arc-seconds
    for (int kind = 0; kind <= 4; ++kind) {
        const ConversionParams p = Params(kind, 1, 1);
        for (double b : {18.5, 31.25, 53.5}) {
            for (double l : {114.5, 117.0, 119.75}) {
                double x, y, h, B, L, H;
                geo.GeodeticToPlaneChain(b * kDeg, l * kDeg, 42.5, p, &x, &y, &h);
                EXPECT_EQ(h, 42.5);
                geo.PlaneToGeodeticChain(x, y, h, p, &B, &L, &H);
                EXPECT_NEAR(B, b * kDeg, tol[kind] * kArcSec) << kind;
                EXPECT_NEAR(L, l * kDeg, tol[kind] * kArcSec) << kind;
                EXPECT_EQ(H, 42.5);
            }
        }
    }
}

TEST(Transformations, ForwardChainProjectsOnTheTargetWithScaleAndConstants) {
    const ConversionParams p = Params(0, 0, 2);
    double x, y, h, gx, gy;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    geo.GaussForward(6378137.0, 298.257223563, 30 * kDeg, 114 * kDeg, 117 * kDeg, &gx, &gy);
    EXPECT_EQ(x, gx * 0.9996 + 1000);
    EXPECT_EQ(y, gy * 0.9996 + 500000);
    // Kinds 0, 1 and 2 are the same Gauss projection.
    for (int kind : {1, 2}) {
        double kx, ky;
        geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, Params(kind, 0, 2), &kx, &ky, &h);
        EXPECT_EQ(kx, x);
        EXPECT_EQ(ky, y);
    }
}

// Guards against unset plane coordinates for a projection kind outside 0..4
// (a damaged project file): such kinds project by Gauss-Krueger.
TEST(Transformations, UnknownKindProjectsByGauss) {
    double gx, gy, h, x, y, B, L, H;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, Params(0, 0, 0), &gx, &gy, &h);
    for (int kind : {-1, 5, 99}) {
        geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, Params(kind, 0, 0), &x, &y, &h);
        EXPECT_EQ(x, gx);
        EXPECT_EQ(y, gy);
        geo.PlaneToGeodeticChain(x, y, h, Params(kind, 0, 0), &B, &L, &H);
        EXPECT_NEAR(B, 30 * kDeg, 2e-5 * kArcSec);
    }
}

// Seven parameters there (54 -> 84) and their first-order inverse back
// (84 -> 54): the second-order terms stay below 1 cm for these values.
TEST(Transformations, ChainsWithSevenParameters) {
    ConversionParams there = Params(0, 0, 2);
    ConversionParams back = Params(0, 2, 0);
    SetSeven(&there);
    SetSeven(&back);
    double x, y, h, xOff, yOff, hOff, B, L, H;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 50, there, &x, &y, &h);
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 50, Params(0, 0, 2), &xOff, &yOff, &hOff);
    EXPECT_GT(std::hypot(x - xOff, y - yOff), 50.0);  // the shift is really applied
    EXPECT_NE(h, 50.0);
    geo.PlaneToGeodeticChain(x, y, h, back, &B, &L, &H);
    EXPECT_NEAR(B * 6.4e6, 30 * kDeg * 6.4e6, 0.01);
    EXPECT_NEAR(L * 5.5e6, 114 * kDeg * 5.5e6, 0.01);
    EXPECT_NEAR(H, 50, 0.01);
}

TEST(Transformations, LocalLevelsAppliedInOrderAndUndone) {
    ConversionParams p = Params(0, 0, 0);
    const double l1[4] = {-3.3e6, -4.9e5, 0.3 * kDeg, 1.00002};
    const double l2[4] = {250.0, -120.0, -1.5 * kDeg, 0.99995};
    for (int i = 0; i < 4; ++i) p.m_local1[i] = l1[i], p.m_local2[i] = l2[i];
    double px, py, h;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &px, &py, &h);  // switch still off

    p.m_savedUseFour = 1;
    double x, y;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    double ex = px, ey = py;
    geo.ApplyFourParameters(l1[0], l1[1], l1[2], l1[3], &ex, &ey);
    geo.ApplyFourParameters(l2[0], l2[1], l2[2], l2[3], &ex, &ey);
    EXPECT_EQ(x, ex);
    EXPECT_EQ(y, ey);
    double B, L, H;
    geo.PlaneToGeodeticChain(x, y, h, p, &B, &L, &H);
    EXPECT_NEAR(B, 30 * kDeg, 2e-5 * kArcSec);
    EXPECT_NEAR(L, 114 * kDeg, 2e-5 * kArcSec);

    // K = 0 marks a level unset; level 1 unset also skips level 2.
    p.m_local2[3] = 0;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    ex = px, ey = py;
    geo.ApplyFourParameters(l1[0], l1[1], l1[2], l1[3], &ex, &ey);
    EXPECT_EQ(x, ex);
    p.m_local2[3] = l2[3];
    p.m_local1[3] = 0;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    EXPECT_EQ(x, px);
    EXPECT_EQ(y, py);
    geo.PlaneToGeodeticChain(px, py, h, p, &B, &L, &H);
    EXPECT_NEAR(L, 114 * kDeg, 2e-5 * kArcSec);
}

TEST(Transformations, ZonePrefixIsRemoved) {
    ConversionParams p = Params(0, 0, 0);
    p.m_projBefore.yConstant = 0;
    p.m_projBefore.scale = 1.0;
    auto inverse = [&](double y, double* B, double* L) {
        double H;
        geo.PlaneToGeodetic(6378245.0, 298.3, 3.3e6, y, 0, p, B, L, &H);
    };
    double B1, L1, B2, L2;
    inverse(1000000.5, &B1, &L1);
    inverse(0.5, &B2, &L2);
    EXPECT_EQ(B1, B2);
    EXPECT_EQ(L1, L2);
    inverse(1000000.0, &B1, &L1);  // exactly a million is kept
    inverse(0.0, &B2, &L2);
    EXPECT_GT(L1 - L2, 0.1);  // a million metres east of the central meridian
    // 20512345.6 becomes 512345.6; in the chain too.
    inverse(20512345.6, &B1, &L1);
    inverse(512345.6, &B2, &L2);
    EXPECT_NEAR(L1, L2, 1e-13);
    double B3, L3, H;
    geo.PlaneToGeodeticChain(3.3e6, 20512345.6, 0, p, &B3, &L3, &H);
    EXPECT_NEAR(L3, L2, 1e-13);
    // Guards against truncating an easting beyond 32 bits to int (undefined
    // behaviour): the prefix is still removed.
    inverse(3000512345.6, &B1, &L1);
    EXPECT_NEAR(L1, L2, 1e-11);
}

TEST(Transformations, PlaneToGeodeticUsesItsEllipsoidAndRepairsNegatives) {
    const ConversionParams p = Params(0, 0, 0);
    double B, L, H, gB, gL;
    geo.PlaneToGeodetic(6378137.0, 298.257223563, 3323964.539, 210469.669, 7, p, &B, &L, &H);
    geo.GaussInverse(6378137.0, 298.257223563, (3323964.539 - 1000) / 0.9996,
                     (210469.669 - 500000) / 0.9996, 117 * kDeg, &gB, &gL);
    EXPECT_EQ(B, gB);
    EXPECT_EQ(L, gL);
    EXPECT_EQ(H, 7);
    // South of the equator the latitude comes back increased by the half-turn.
    geo.PlaneToGeodetic(6378245.0, 298.3, -1e6, 500000, 0, p, &B, &L, &H);
    geo.GaussInverse(6378245.0, 298.3, (-1e6 - 1000) / 0.9996, 0, 117 * kDeg, &gB, &gL);
    ASSERT_LT(gB, 0);
    EXPECT_EQ(B, gB + kHalfTurn);
    geo.PlaneToGeodeticChain(-1e6, 500000, 0, p, &B, &L, &H);
    EXPECT_EQ(B, gB + kHalfTurn);
}

TEST(Transformations, ShiftGeodeticAlwaysUses15Metres) {
    ConversionParams p = Params(0, 0, 2);
    double B = 30 * kDeg, L = 114 * kDeg;
    geo.ShiftGeodetic(&B, &L, p);  // switch off
    EXPECT_EQ(B, 30 * kDeg);
    EXPECT_EQ(L, 114 * kDeg);
    SetSeven(&p);
    geo.ShiftGeodetic(&B, &L, p);
    // The same shift of a point given at 15 m, through the plane chain.
    ConversionParams unprojected = p;
    double x, y, h, x15, y15;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 15.0, p, &x15, &y15, &h);
    unprojected.m_savedUseSeven = 0;
    geo.GeodeticToPlaneChain(B, L, 0, unprojected, &x, &y, &h);
    EXPECT_NEAR(x, x15, 1e-6);
    EXPECT_NEAR(y, y15, 1e-6);
    EXPECT_GT(L, 0);  // repaired by the half-turn
    // At 3000 m the true shift differs; ShiftGeodetic cannot see the height.
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 3000.0, p, &x15, &y15, &h);
    EXPECT_GT(std::fabs(x - x15), 1e-3);
}

}  // namespace
