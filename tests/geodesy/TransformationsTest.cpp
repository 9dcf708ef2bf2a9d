// Seven- and four-parameter transforms and the conversion chains.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSec = kDeg / 3600;
constexpr double kHalfTurn = 3.1415926535898;
const CGeoCore geo;

ConversionParams Params(int kind, int source, int target, bool seven = false) {
    ConversionParams p;
    p.m_projBefore = {static_cast<ProjectionKind>(kind), 117.0, 1000, 500000, 0, 0.9996, 30.0};
    CGeoCore::DatumTable(source, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    CGeoCore::DatumTable(target, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    const double s[7] = {-15.4, 120.7, 85.2, 1.2e-5, -0.8e-5, 1.5e-5, 5e-6};
    for (int i = 0; i < 7; ++i) p.m_seven[i] = s[i];
    p.m_savedUseSeven = seven;
    return p;
}

TEST(Transformations, SevenAndFourParameters) {
    ConversionParams p;
    double X = 1e6, Y = 2e6, Z = 3e6;
    geo.ApplySevenParameters(1, 2, 3, 1e-5, 1e-5, 1e-5, 1e-6, p, &X, &Y, &Z);  // switch off
    p.m_savedUseSeven = 1;
    geo.ApplySevenParameters(0, 0, 0, 0, 0, 0, 0, p, &X, &Y, &Z);
    EXPECT_TRUE(X == 1e6 && Y == 2e6 && Z == 3e6);
    geo.ApplySevenParameters(0, 0, 0, 0, 0, 0, 1e-6, p, &X, &Y, &Z);
    EXPECT_TRUE(X == 1e6 * 1.000001 && Y == 2e6 * 1.000001 && Z == 3e6 * 1.000001);
    // Signs: X' = X + rZ Y, Y' = Y - rZ X; the rotation is not scaled (k = 2).
    X = 1e6, Y = 2e6, Z = 3e6;
    geo.ApplySevenParameters(10, 0, 0, 0, 0, 1e-5, 1.0, p, &X, &Y, &Z);
    EXPECT_NEAR(X, 10 + 2e6 + 20, 1e-9);
    EXPECT_NEAR(Y, 4e6 - 10, 1e-9);
    EXPECT_EQ(Z, 6e6);
    double x = 3, y = 4;
    geo.ApplyFourParameters(100, 200, 90 * kDeg, 2, &x, &y);
    EXPECT_NEAR(x, 92, 1e-12);
    EXPECT_NEAR(y, 206, 1e-12);
}

// Switches off, one ellipsoid: plane and back for every kind; kinds outside
// 0..4 (a damaged project file) project by Gauss, guarding against unset
// plane coordinates.
TEST(Transformations, ChainsRoundTripForEveryKind) {
    const double tol[5] = {2e-5 * kArcSec, 2e-5 * kArcSec, 2e-5 * kArcSec, 1e-9, 6e-4 * kArcSec};
    double x, y, h, B, L, H, gx, gy;
    for (int kind : {0, 1, 2, 3, 4, -1, 99}) {
        const ConversionParams p = Params(kind, 1, 1);
        for (double b : {18.5, 31.25, 53.5}) {
            for (double l : {114.5, 117.0, 119.75}) {
                geo.GeodeticToPlaneChain(b * kDeg, l * kDeg, 42.5, p, &x, &y, &h);
                geo.PlaneToGeodeticChain(x, y, h, p, &B, &L, &H);
                const double t = kind >= 0 && kind <= 4 ? tol[kind] : tol[0];
                EXPECT_NEAR(B, b * kDeg, t) << kind;
                EXPECT_NEAR(L, l * kDeg, t) << kind;
                EXPECT_TRUE(h == 42.5 && H == 42.5);
            }
        }
        geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
        geo.GaussForward(6378140.0, 298.257, 30 * kDeg, 114 * kDeg, 117 * kDeg, &gx, &gy);
        if (kind != 3 && kind != 4) {
            EXPECT_TRUE(x == gx * 0.9996 + 1000 && y == gy * 0.9996 + 500000);
        }
    }
}

// 54 -> 84 with seven parameters and back with their first-order inverse:
// the second-order terms stay below 1 cm for these values.
TEST(Transformations, ChainsWithSevenParameters) {
    double x, y, h, x0, y0, h0, B, L, H;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 50, Params(0, 0, 2, true), &x, &y, &h);
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 50, Params(0, 0, 2), &x0, &y0, &h0);
    EXPECT_GT(std::hypot(x - x0, y - y0), 50.0);  // the shift is applied
    geo.PlaneToGeodeticChain(x, y, h, Params(0, 2, 0, true), &B, &L, &H);
    EXPECT_NEAR((B - 30 * kDeg) * 6.4e6, 0, 0.01);
    EXPECT_NEAR((L - 114 * kDeg) * 5.5e6, 0, 0.01);
    EXPECT_NEAR(H, 50, 0.01);
    // ShiftGeodetic shifts as at 15 m whatever the height: it matches the
    // plane chain at 15 m, not at 3000 m.
    double b = 30 * kDeg, l = 114 * kDeg;
    geo.ShiftGeodetic(&b, &l, Params(0, 0, 2));
    EXPECT_TRUE(b == 30 * kDeg && l == 114 * kDeg);  // switch off
    geo.ShiftGeodetic(&b, &l, Params(0, 0, 2, true));
    EXPECT_GT(l, 0);  // repaired by the half-turn
    geo.GeodeticToPlaneChain(b, l, 0, Params(0, 2, 2), &x, &y, &h);
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 15.0, Params(0, 0, 2, true), &x0, &y0, &h0);
    EXPECT_TRUE(x == x0 && y == y0);
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 3000.0, Params(0, 0, 2, true), &x0, &y0, &h0);
    EXPECT_GT(std::fabs(x - x0), 1e-3);
}

TEST(Transformations, LocalLevels) {
    ConversionParams p = Params(0, 0, 0);
    const double l1[4] = {-3.3e6, -4.9e5, 0.3 * kDeg, 1.00002},
                 l2[4] = {250, -120, -1.5 * kDeg, 0.99995};
    for (int i = 0; i < 4; ++i) p.m_local1[i] = l1[i], p.m_local2[i] = l2[i];
    double px, py, x, y, h, B, L, H;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &px, &py, &h);  // switch off
    p.m_savedUseFour = 1;
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    geo.ApplyFourParameters(l1[0], l1[1], l1[2], l1[3], &px, &py);
    double qx = px, qy = py;
    geo.ApplyFourParameters(l2[0], l2[1], l2[2], l2[3], &qx, &qy);
    EXPECT_TRUE(x == qx && y == qy);  // level 1, then level 2
    geo.PlaneToGeodeticChain(x, y, h, p, &B, &L, &H);
    EXPECT_NEAR(B, 30 * kDeg, 2e-5 * kArcSec);
    EXPECT_NEAR(L, 114 * kDeg, 2e-5 * kArcSec);
    p.m_local2[3] = 0;  // K = 0: level 2 unset
    geo.GeodeticToPlaneChain(30 * kDeg, 114 * kDeg, 0, p, &x, &y, &h);
    EXPECT_TRUE(x == px && y == py);
    p.m_local2[3] = l2[3], p.m_local1[3] = 0;  // level 1 unset skips level 2 too
    ConversionParams off = p;
    off.m_savedUseFour = 0;
    double oB, oL, oH;
    geo.PlaneToGeodeticChain(x, y, h, p, &B, &L, &H);
    geo.PlaneToGeodeticChain(x, y, h, off, &oB, &oL, &oH);
    EXPECT_TRUE(B == oB && L == oL);
}

TEST(Transformations, ZonePrefixAndNegativeLatitude) {
    ConversionParams p = Params(0, 0, 0);
    p.m_projBefore.yConstant = 0;
    p.m_projBefore.scale = 1;
    auto lon = [&](double y) {
        double B, L, H;
        geo.PlaneToGeodetic(6378245.0, 298.3, 3.3e6, y, 0, p, &B, &L, &H);
        return L;
    };
    EXPECT_EQ(lon(1000000.5), lon(0.5));
    EXPECT_GT(lon(1000000.0) - lon(0.0), 0.1);  // exactly a million is kept
    EXPECT_NEAR(lon(20512345.6), lon(512345.6), 1e-13);
    // Guards against truncating an easting beyond 32 bits to int (undefined
    // behaviour): the prefix is still removed.
    EXPECT_NEAR(lon(3000512345.6), lon(512345.6), 1e-11);
    double B, L, H, gB, gL;
    geo.PlaneToGeodeticChain(3.3e6, 20512345.6, 0, p, &B, &L, &H);
    EXPECT_NEAR(L, lon(512345.6), 1e-13);
    // South of the equator the latitude is returned increased by the half-turn;
    // PlaneToGeodetic projects on the ellipsoid it is given.
    geo.GaussInverse(6378137.0, 298.257223563, -1e6 - 1000, 0, 117 * kDeg, &gB, &gL);
    geo.PlaneToGeodetic(6378137.0, 298.257223563, -1e6, 0, 7, p, &B, &L, &H);
    EXPECT_TRUE(gB < 0 && B == gB + kHalfTurn && L == gL && H == 7);
    CGeoCore::DatumTable(2, &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    geo.PlaneToGeodeticChain(-1e6, 0, 7, p, &B, &L, &H);
    EXPECT_EQ(B, gB + kHalfTurn);
}

}  // namespace
