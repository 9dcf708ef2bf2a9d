// Seven-parameter datum shift, plane four-parameter transform and the
// conversion chains built from them. The public chains take the settings by
// value; the helpers here read them by reference, with identical results.
#include <cmath>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"

using crmath::SinCos;

namespace {

// Small-angle Bursa-Wolf: rotations are not scaled. Rotation signs:
// X' = dX + k X + rZ Y - rY Z (rotations of the coordinate frame).
void SevenParameters(const double s[7], double sign, double* X, double* Y, double* Z) {
    const double dX = sign * s[0], dY = sign * s[1], dZ = sign * s[2];
    const double rX = sign * s[3], rY = sign * s[4], rZ = sign * s[5];
    const double k = 1 + sign * s[6];
    const double x = *X, y = *Y, z = *Z;
    *X = dX + k * x + rZ * y - rY * z;
    *Y = dY - rZ * x + k * y + rX * z;
    *Z = dZ + rY * x - rX * y + k * z;
}

// Geodetic on the source ellipsoid to geodetic on the target one through the
// seven parameters (sign -1: their first-order inverse).
void ShiftDatum(const CGeoCore& core, const ConversionParams& p, double sign, double* B, double* L,
                double* H) {
    double X, Y, Z;
    core.GeodeticToSpace(p.m_sourceEllipsoid[0], p.m_sourceEllipsoid[1], *B, *L, *H, &X, &Y, &Z);
    SevenParameters(p.m_seven, sign, &X, &Y, &Z);
    core.SpaceToGeodetic(p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], X, Y, Z, B, L, H);
}

// Mercator and UTM; every other kind projects by Gauss-Krueger.
void Project(const CGeoCore& core, const ProjectionRecord& proj, double a, double rf, double B,
             double L, double* x, double* y) {
    const double L0 = proj.centralMeridian * kDegToRad;
    const double B0 = proj.baseLatitude * kDegToRad;
    if (proj.kind == ProjectionKind::Mercator) {
        core.MercatorForward(a, rf, B, L, B0, L0, x, y);
    } else if (proj.kind == ProjectionKind::Utm) {
        core.UtmForward(a, rf, B, L, L0, x, y);
    } else {
        core.GaussForward(a, rf, B, L, L0, x, y);
    }
}

void Unproject(const CGeoCore& core, const ProjectionRecord& proj, double a, double rf, double x,
               double y, double* B, double* L) {
    const double L0 = proj.centralMeridian * kDegToRad;
    const double B0 = proj.baseLatitude * kDegToRad;
    if (proj.kind == ProjectionKind::Mercator) {
        core.MercatorInverse(a, rf, x, y, L0, B0, B, L);
    } else if (proj.kind == ProjectionKind::Utm) {
        core.UtmInverse(a, rf, x, y, L0, B, L);
    } else {
        core.GaussInverse(a, rf, x, y, L0, B, L);
    }
}

// Solves [[K cos T, -K sin T], [K sin T, K cos T]] (x', y') = (x - Xo, y - Yo).
void UndoLevel(const CGeoCore& core, const double level[4], double* x, double* y) {
    const double T = level[2], K = level[3];
    double s, c;
    SinCos(T, &s, &c);
    double A[4] = {K * c, -K * s, K * s, K * c};
    double b[2] = {*x - level[0], *y - level[1]};
    int pivot[2] = {0, 0};
    core.SolveLinearSystem(A, 2, b, pivot);
    *x = b[0];
    *y = b[1];
}

// An easting above 1000000 carries a zone number in its millions; it is
// removed. fmod gives exactly y minus the largest whole million not above it
// (the integer rule) and stays defined beyond the 32-bit range.
double RemoveZonePrefix(double y) { return y > 1000000.0 ? std::fmod(y, 1000000.0) : y; }

// Zone prefix, constants and inverse projection on (a, rf).
void PlaneToGeodeticOn(const CGeoCore& core, const ConversionParams& p, double a, double rf,
                       double x, double y, double* B, double* L) {
    const ProjectionRecord& proj = p.m_projBefore;
    y = RemoveZonePrefix(y);
    x = (x - proj.xConstant) / proj.scale;
    y = (y - proj.yConstant) / proj.scale;
    Unproject(core, proj, a, rf, x, y, B, L);
}

}  // namespace

void ApplySevenParametersRef(const CGeoCore&, const double seven[7], const ConversionParams& params,
                             double* X, double* Y, double* Z) {
    if (params.m_savedUseSeven == 0) return;
    const double s[7] = {seven[0], seven[1], seven[2], seven[3], seven[4], seven[5], seven[6]};
    SevenParameters(s, 1.0, X, Y, Z);
}

void CGeoCore::ApplySevenParameters(double dX, double dY, double dZ, double rX, double rY,
                                    double rZ, double m, ConversionParams params, double* X,
                                    double* Y, double* Z) const {
    const double s[7] = {dX, dY, dZ, rX, rY, rZ, m};
    ApplySevenParametersRef(*this, s, params, X, Y, Z);
}

void CGeoCore::ApplyFourParameters(double Xo, double Yo, double T, double K, double* x,
                                   double* y) const {
    double s, c;
    SinCos(T, &s, &c);
    const double x0 = *x, y0 = *y;
    *x = K * (c * x0) + Xo - K * (s * y0);
    *y = K * (x0 * s + c * y0) + Yo;
}

void GeodeticToPlaneChainRef(const CGeoCore& core, double B, double L, double H,
                             const ConversionParams& p, double* x, double* y, double* h) {
    if (p.m_savedUseSeven != 0) {
        ShiftDatum(core, p, 1.0, &B, &L, &H);
        if (L < 0) L += kHalfTurn;
    }
    const ProjectionRecord& proj = p.m_projBefore;
    double px, py;
    Project(core, proj, p.m_targetEllipsoid[0], p.m_targetEllipsoid[1], B, L, &px, &py);
    px = px * proj.scale + proj.xConstant;
    py = py * proj.scale + proj.yConstant;
    if (p.m_savedUseFour != 0 && p.m_local1[3] != 0) {
        core.ApplyFourParameters(p.m_local1[0], p.m_local1[1], p.m_local1[2], p.m_local1[3], &px,
                                 &py);
        if (p.m_local2[3] != 0) {
            core.ApplyFourParameters(p.m_local2[0], p.m_local2[1], p.m_local2[2], p.m_local2[3],
                                     &px, &py);
        }
    }
    *x = px;
    *y = py;
    *h = H;
}

void CGeoCore::GeodeticToPlaneChain(double B, double L, double H, ConversionParams params,
                                    double* x, double* y, double* h) const {
    GeodeticToPlaneChainRef(*this, B, L, H, params, x, y, h);
}

void PlaneToGeodeticChainRef(const CGeoCore& core, double x, double y, double h,
                             const ConversionParams& p, double* B, double* L, double* H) {
    // The local levels are undone on the easting as entered, zone prefix included.
    if (p.m_savedUseFour != 0 && p.m_local1[3] != 0) {
        if (p.m_local2[3] != 0) UndoLevel(core, p.m_local2, &x, &y);
        UndoLevel(core, p.m_local1, &x, &y);
    }
    double b, l, ht = h;
    PlaneToGeodeticOn(core, p, p.m_sourceEllipsoid[0], p.m_sourceEllipsoid[1], x, y, &b, &l);
    if (p.m_savedUseSeven != 0) ShiftDatum(core, p, -1.0, &b, &l, &ht);
    if (b < 0) b += kHalfTurn;
    if (l < 0) l += kHalfTurn;
    *B = b;
    *L = l;
    *H = ht;
}

void CGeoCore::PlaneToGeodeticChain(double x, double y, double h, ConversionParams params,
                                    double* B, double* L, double* H) const {
    PlaneToGeodeticChainRef(*this, x, y, h, params, B, L, H);
}

void PlaneToGeodeticRef(const CGeoCore& core, double a, double rf, double x, double y, double h,
                        const ConversionParams& params, double* B, double* L, double* H) {
    double b, l;
    PlaneToGeodeticOn(core, params, a, rf, x, y, &b, &l);
    if (b < 0) b += kHalfTurn;
    if (l < 0) l += kHalfTurn;
    *B = b;
    *L = l;
    *H = h;
}

void CGeoCore::PlaneToGeodetic(double a, double rf, double x, double y, double h,
                               ConversionParams params, double* B, double* L, double* H) const {
    PlaneToGeodeticRef(*this, a, rf, x, y, h, params, B, L, H);
}

// The height used for the shift is always 15 m; the shifted height is dropped.
void ShiftGeodeticRef(const CGeoCore& core, double* B, double* L, const ConversionParams& params) {
    if (params.m_savedUseSeven == 0) return;
    double H = 15.0;
    ShiftDatum(core, params, 1.0, B, L, &H);
    if (*L < 0) *L += kHalfTurn;
}

void CGeoCore::ShiftGeodetic(double* B, double* L, ConversionParams params) const {
    ShiftGeodeticRef(*this, B, L, params);
}
