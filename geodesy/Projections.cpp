// Map projections: Gauss-Krueger, normal Mercator with a base latitude and the
// transverse Mercator series of the UTM setting, with the two small solvers
// their inverses need. Bare projections: no scale factor, no false offsets.
// x is the northing and y the easting (m); angles are radians.
#include <cmath>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/GeoCore.h"

using crmath::Log10;
using crmath::Pow;
using crmath::Sin;
using crmath::SinCos;
using crmath::SinCosTan;
using crmath::Tan;

namespace {

constexpr double kQuarterTurn = 0.78539816339745;
constexpr double kLn10 = 2.3025849970469348;  // reciprocal of kLog10e
constexpr double kLog10e = 0.4342945;
constexpr double kRadPerArcSec = 4.84813681109536e-06;

// Isometric latitude of phi, through the base-10 logarithm.
double IsometricLatitude(double e, double phi) {
    const double s = e * Sin(phi);
    return Log10(Pow((1.0 - s) / (1.0 + s), e / 2.0) * Tan(phi / 2.0 + kQuarterTurn)) * kLn10;
}

// Radius of the base parallel B0.
double MercatorRadius(double a, double e, double B0) {
    double sinB0, cosB0;
    SinCos(B0, &sinB0, &cosB0);
    return a * cosB0 / std::sqrt(1.0 - Sq(e * sinB0));
}

}  // namespace

// Gauss-Krueger series to m^6; within 2e-5" of GaussInverse 3 deg off the
// central meridian L0.
void CGeoCore::GaussForward(double a, double rf, double B, double L, double L0, double* x,
                            double* y) const {
    const double e2 = EccentricitySq(rf);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;

    const double A0 = 1.0 + 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.67291259765625 * e8;
    const double A2 = -0.5 * (0.75 * e2 + 0.9375 * e4 + 1.025390625 * e6 + 1.07666015625 * e8);
    const double A4 = 0.25 * (0.234375 * e4 + 0.41015625 * e6 + 0.538330078125 * e8);
    const double A6 = -0.16666666666666666 * (0.068359375 * e6 + 0.15380859375 * e8);
    const double A8 = 0.00240325927734375 * e8;
    const double arc =
        a * (1.0 - e2) *
        (A0 * B + A2 * Sin(2.0 * B) + A4 * Sin(4.0 * B) + A6 * Sin(6.0 * B) + A8 * Sin(8.0 * B));

    double sinB, cosB, t;
    SinCosTan(B, &sinB, &cosB, &t);
    const double m = (L - L0) * cosB;
    const double N = a / std::sqrt(1.0 - e2 * Sq(sinB));
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double eta2 = cosB * cosB * e2 / (1.0 - e2);
    const double eta4 = eta2 * eta2;
    const double m2 = m * m;
    const double m3 = m2 * m;
    const double m4 = m2 * m2;
    const double m5 = m4 * m;
    const double m6 = m4 * m2;

    *x = arc + N * t *
                   (m2 * 0.5 + (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) * m4 * 0.041666666666666664 +
                    (61.0 - 58.0 * t2 + t4) * m6 * 0.001388888888888889);
    *y = N * (m + (1.0 - t2 + eta2) * m3 * 0.16666666666666666 +
              (5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2) * m5 * 0.008333333333333333);
}

// Closed footpoint series (no iteration), then the series in q = y / Nf.
void CGeoCore::GaussInverse(double a, double rf, double x, double y, double L0, double* B,
                            double* L) const {
    const double e2 = EccentricitySq(rf);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;
    const double S = 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.67291259765625 * e8;

    const double beta = x / ((1.0 + S) * (1.0 - e2) * a);
    const double s2 = Sq(Sin(beta));
    const double Bf =
        beta +
        Sin(2.0 * beta) *
            (S / 2.0 +
             s2 * (-(0.984375 * e4 + 2.1640625 * e6 + 3.55462646484375 * e8) * 0.3333333333333333 +
                   s2 * ((1.1796875 * e6 + 4.179931640625 * e8) * 0.3333333333333333 -
                         0.53564453125 * e8 * s2)));

    double sinBf, cosBf, t;
    SinCosTan(Bf, &sinBf, &cosBf, &t);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double eta2 = cosBf * cosBf * e2 / (1.0 - e2);
    const double Nf = a / std::sqrt(1.0 - e2 * Sq(sinBf));
    const double V2 = 1.0 + eta2;
    const double q = y / Nf;
    const double q2 = q * q;
    const double q3 = q2 * q;
    const double q4 = q2 * q2;
    const double q5 = q4 * q;
    const double q6 = q4 * q2;

    *B = Bf - V2 * t * q2 / 2.0 + V2 * t * q4 * (5.0 + 3.0 * t2 + eta2 - 9.0 * eta2 * t2) / 24.0 -
         V2 * t * q6 * (61.0 + 90.0 * t2 + 45.0 * t4) / 720.0;
    *L = L0 + q / cosBf - q3 * (1.0 + 2.0 * t2 + eta2) / (6.0 * cosBf) +
         q5 * (5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta2 + 8.0 * eta2 * t2) / (120.0 * cosBf);
}

// Normal Mercator; the base latitude B0 is the standard parallel and maps to x = 0.
void CGeoCore::MercatorForward(double a, double rf, double B, double L, double B0, double L0,
                               double* x, double* y) const {
    const double e = std::sqrt(EccentricitySq(rf));
    const double K = MercatorRadius(a, e, B0);
    *x = K * IsometricLatitude(e, B) - K * IsometricLatitude(e, B0);
    *y = (L - L0) * K;
}

// Root search over latitudes 0..pi/2. Where no root is found, B is 0. The
// residual rises on [0, pi/2) and jumps from +inf to -inf at pi/2: a residual
// already positive at 0 (a point south of the equator) has no root, and the
// scan would only stop at that pole, so it is not run. The same pole hides
// latitudes above about 80 deg from the scan (no root: B = 0).
void CGeoCore::MercatorInverse(double a, double rf, double x, double y, double L0, double B0,
                               double* B, double* L) const {
    const double e = std::sqrt(EccentricitySq(rf));
    const double K = MercatorRadius(a, e, B0);
    *L = y / K + L0;
    const double target = Pow(10.0, (x + K * IsometricLatitude(e, B0)) / K * kLog10e);
    double root = 0.0;  // kept when the search finds nothing
    if (MercatorResidual(e, target, 0.0) < 1e-9) {
        FindRootsInInterval(e, target, 0.0, 1.5707963267949, 0.2, 1e-9, &root, 1);
    }
    *B = root;
}

// Transverse Mercator series of the UTM setting, without scale factor or
// false offsets; no l^6 term in x.
void CGeoCore::UtmForward(double a, double rf, double B, double L, double L0, double* x,
                          double* y) const {
    const double b = (1.0 - 1.0 / rf) * a;
    const double e2 = (a * a - b * b) / (a * a);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;
    const double c = b * b / a;
    double sinB, cosB, t;
    SinCosTan(B, &sinB, &cosB, &t);
    const double eta = cosB * std::sqrt((a * a - b * b) / (b * b));
    const double eta2 = eta * eta;
    const double eta4 = eta2 * eta2;
    const double N = (a * a / b) / std::sqrt(1.0 + eta2);

    const double lSec = (L - L0) * kRadToDeg * 3600.0;
    const double l = lSec * kRadPerArcSec;
    const double S = 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.67291259765625 * e8;

    const double sin3 = sinB * sinB * sinB;
    const double sin5 = sin3 * sinB * sinB;
    const double sin7 = sin5 * sinB * sinB;
    const double arc =
        (1.0 + S) * c * (B * kRadToDeg * kDegToRadExact) - S * c * sinB * cosB -
        c * (0.46875 * e4 + 0.47554347826086957 * e6 + 0.4486083984375 * e8) * sin3 * cosB -
        c * (0.3645833333333333 * e6 + 0.35888671875 * e8) * sin5 * cosB -
        c * 0.3076171875 * e8 * sin7 * cosB;

    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double cos3 = cosB * cosB * cosB;
    const double l2 = l * l;
    const double l4 = l2 * l2;
    *x = arc +
         N * sinB * (l2 * cosB / 2.0 + (5.0 - t2 + 9.0 * eta2 + 4.0 * eta4) * cos3 * l4 / 24.0);

    const double w = l * cosB;
    const double w3 = w * w * w;
    const double w5 = w3 * w * w;
    *y = N * (cosB * lSec * kRadPerArcSec + (1.0 - t2 + eta2) * w3 / 6.0 +
              (5.0 - 18.0 * t2 + t4) * w5 / 120.0);
}

// Footpoint latitude by Steffensen iteration, then the series in y.
void CGeoCore::UtmInverse(double a, double rf, double x, double y, double L0, double* B,
                          double* L) const {
    const double e2 = EccentricitySq(rf);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double D = 1.0 - e2 / 4.0 - 0.046875 * e4 - 0.01953125 * e6;
    const double mu = x / (D * a);
    const double c2 = (0.375 * e2 + 0.09375 * e4 + 0.0439453125 * e6) / D;
    const double c4 = -(0.05859375 * e4 + 0.0439453125 * e6) / D;
    const double c6 = 0.011393229166666666 * e6 / D;

    double Bf = 0.0;
    SolveFixedPoint(&Bf, 1e-7, 20, mu, c2, c4, c6);

    double sinBf, cosBf, t;
    SinCosTan(Bf, &sinBf, &cosBf, &t);
    const double W2 = 1.0 - e2 * Sq(sinBf);
    const double M = (1.0 - e2) * a / Pow(W2, 1.5);
    const double N = a / std::sqrt(W2);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double eta2 = cosBf * cosBf * e2 / (1.0 - e2);
    const double y2 = y * y;
    const double y4 = y2 * y2;
    const double N3 = N * N * N;
    const double yn = y / N;
    const double yn3 = yn * yn * yn;
    const double yn5 = yn3 * yn * yn;

    *B = Bf - t * y2 / (2.0 * M * N) + t * (5.0 + 3.0 * t2) * y4 / (24.0 * M * N3);
    *L = L0 + y / (N * cosBf) - (1.0 + 2.0 * t2 + eta2) * yn3 / (6.0 * cosBf) +
         (5.0 + 28.0 * t2 + 24.0 * t4) * yn5 / (120.0 * cosBf);
}

// Rises with B on 0..pi/2; zero where B's Mercator value equals target.
double CGeoCore::MercatorResidual(double e, double target, double B) const {
    const double s = e * Sin(B);
    return Pow((1.0 - s) / (1.0 + s), e / 2.0) * Tan(B / 2.0 + kQuarterTurn) - target;
}

// Scans [lo, hi + step/2] in steps, bisects each sign change down to tol and
// resumes half a step beyond each root. A step that cannot advance the scan
// ends it (no roots rather than an endless loop).
int CGeoCore::FindRootsInInterval(double e, double target, double lo, double hi, double step,
                                  double tol, double* roots, int capacity) const {
    const double h = step / 2.0;
    const double limit = hi + h;
    double xl = lo;
    double fl = MercatorResidual(e, target, xl);
    int count = 0;
    while (xl <= limit && count < capacity) {
        if (std::fabs(fl) < tol) {
            roots[count++] = xl;
            xl = xl + h;
            fl = MercatorResidual(e, target, xl);
            continue;
        }
        double xr = xl + step;
        if (!(xr > xl)) break;
        double fr = MercatorResidual(e, target, xr);
        if (std::fabs(fr) < tol) {
            roots[count++] = xr;
            xl = xr + h;
            fl = MercatorResidual(e, target, xl);
            continue;
        }
        if (fl * fr > 0) {
            xl = xr;
            fl = fr;
            continue;
        }
        for (;;) {
            if (std::fabs(xr - xl) < tol) {
                roots[count++] = (xl + xr) / 2.0;
                xl = xr + h;
                break;
            }
            const double xm = (xl + xr) / 2.0;
            const double fm = MercatorResidual(e, target, xm);
            if (std::fabs(fm) < tol) {
                roots[count++] = xm;
                xl = xm + h;
                break;
            }
            if (fm * fl >= 0) {
                xl = xm;
                fl = fm;
            } else {
                xr = xm;
            }
        }
        fl = MercatorResidual(e, target, xl);
    }
    return count;
}

double CGeoCore::FootpointSeries(double mu, double c2, double c4, double c6, double B) const {
    return mu + c2 * Sin(2.0 * B) + c4 * Sin(4.0 * B) + c6 * Sin(6.0 * B);
}

// Steffensen iteration with Aitken extrapolation for B = FootpointSeries(B).
int CGeoCore::SolveFixedPoint(double* start, double tol, int limit, double mu, double c2, double c4,
                              double c6) const {
    double g = *start;
    for (int used = 1; used <= limit; ++used) {
        const double f1 = FootpointSeries(mu, c2, c4, c6, g);
        const double f2 = FootpointSeries(mu, c2, c4, c6, f1);
        if (std::fabs(f1 - f2) < tol) {
            *start = f2;
            return limit - used;
        }
        g = f2 - (f2 - f1) * (f2 - f1) / (f2 - 2.0 * f1 + g);
    }
    *start = g;
    return limit < 0 ? limit : 0;
}
