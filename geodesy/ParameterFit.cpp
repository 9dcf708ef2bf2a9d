// Least-squares estimation of seven, four and three parameters from common
// points, with σ0, standard deviations and residuals.
#include "geodesy/ParameterFit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"
#include "geodesy/LeastSquares.h"

using crmath::Atan2;
using crmath::Cos;
using crmath::Sin;

namespace {

bool InRange(const double (&v)[3], int count) {
    for (int i = 0; i < count; ++i) {
        if (!(std::fabs(v[i]) <= kCoordinateLimit)) return false;  // NaN fails too
    }
    return true;
}

double Distance(const double (&a)[3], const double (&b)[3], int count) {
    double s = 0;
    for (int i = 0; i < count; ++i) s += Sq(a[i] - b[i]);
    return std::sqrt(s);
}

// Seven parameters. The source coordinates are centred on the mean of the
// used points before the equations are formed: the rotation and scale columns
// are then free of the 6,400 km of the earth's radius that would tie them to
// the shifts, and the shifts found for the centre are carried back to the
// origin afterwards (with their covariance).
bool SolveSeven(const std::vector<FitPoint>& points, double* p, double (*cov)[7]) {
    double mean[3] = {};
    int n = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        for (int i = 0; i < 3; ++i) mean[i] += pt.source[i];
        ++n;
    }
    for (double& c : mean) c /= n;
    const int m = 3 * n;
    std::vector<double> A(static_cast<std::size_t>(m * 7), 0.0), l(static_cast<std::size_t>(m));
    int row = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        const double X = pt.source[0] - mean[0], Y = pt.source[1] - mean[1],
                     Z = pt.source[2] - mean[2];
        // Unknowns: shifts of the centre cX, cY, cZ, then rX, rY, rZ, m.
        double* r0 = &A[static_cast<std::size_t>(row * 7)];
        double* r1 = r0 + 7;
        double* r2 = r1 + 7;
        r0[0] = 1, r0[4] = -Z, r0[5] = Y, r0[6] = X;
        r1[1] = 1, r1[3] = Z, r1[5] = -X, r1[6] = Y;
        r2[2] = 1, r2[3] = -Y, r2[4] = X, r2[6] = Z;
        for (int i = 0; i < 3; ++i) l[row + i] = pt.target[i] - pt.source[i];
        row += 3;
    }
    double c[7], inv[49];
    if (!SolveScaledLeastSquares(A, m, 7, l, c, inv)) return false;

    // dX = cX - (m x̄ + rZ ȳ - rY z̄), dY = cY - (-rZ x̄ + m ȳ + rX z̄),
    // dZ = cZ - (rY x̄ - rX ȳ + m z̄): the rows of J in p = J c.
    const double x = mean[0], y = mean[1], z = mean[2];
    const double J[7][7] = {
        {1, 0, 0, 0, z, -y, -x}, {0, 1, 0, -z, 0, x, -y}, {0, 0, 1, y, -x, 0, -z},
        {0, 0, 0, 1, 0, 0, 0},   {0, 0, 0, 0, 1, 0, 0},   {0, 0, 0, 0, 0, 1, 0},
        {0, 0, 0, 0, 0, 0, 1},
    };
    for (int i = 0; i < 7; ++i) {
        double s = 0;
        for (int k = 0; k < 7; ++k) s += J[i][k] * c[k];
        p[i] = s;
    }
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 7; ++j) {
            double s = 0;
            for (int a = 0; a < 7; ++a) {
                for (int b = 0; b < 7; ++b) s += J[i][a] * inv[a * 7 + b] * J[j][b];
            }
            cov[i][j] = s;
        }
    }
    return true;
}

// Four parameters in closed form: with the means taken out the normal
// equations are diagonal. The same sums and formulas as the two-point
// estimator, so two points give its result to the bit.
bool SolveFour(const std::vector<FitPoint>& points, double* p, double* variance) {
    double msx = 0, msy = 0, mtx = 0, mty = 0;
    int n = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        msx += pt.source[0], msy += pt.source[1], mtx += pt.target[0], mty += pt.target[1];
        ++n;
    }
    msx /= n, msy /= n, mtx /= n, mty /= n;
    double sp = 0, sq = 0, d = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        const double xs = pt.source[0] - msx, ys = pt.source[1] - msy;
        const double xt = pt.target[0] - mtx, yt = pt.target[1] - mty;
        sp += xs * xt + ys * yt;
        sq += xs * yt - ys * xt;
        d += xs * xs + ys * ys;
    }
    if (!(d > 0) || (sp == 0 && sq == 0)) return false;
    const double t = Atan2(sq, sp);
    const double k = std::sqrt(sp * sp + sq * sq) / d;
    p[0] = mtx - msx * Cos(t) * k + msy * Sin(t) * k;
    p[1] = mty - Sin(t) * k * msx - k * Cos(t) * msy;
    p[2] = t;
    p[3] = k;
    // Variances per σ0²: the mean target has 1/n, K cos T and K sin T have 1/d.
    variance[0] = variance[1] = 1.0 / n + (msx * msx + msy * msy) / d;
    variance[2] = 1 / (d * k * k);
    variance[3] = 1 / d;
    return true;
}

void SolveThree(const std::vector<FitPoint>& points, double* p, double* variance) {
    int n = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        for (int i = 0; i < 3; ++i) p[i] += pt.target[i] - pt.source[i];
        ++n;
    }
    for (int i = 0; i < 3; ++i) {
        p[i] /= n;
        variance[i] = 1.0 / n;
    }
}

// Observed minus transformed, in the frame the model reports.
PointResidual Residual(FitModel model, const FitPoint& pt, const double* p, double a, double rf) {
    static const CGeoCore geo;
    PointResidual r;
    if (model == FitModel::Four) {
        double x = pt.source[0], y = pt.source[1];
        geo.ApplyFourParameters(p[0], p[1], p[2], p[3], &x, &y);
        r.v[0] = pt.target[0] - x;
        r.v[1] = pt.target[1] - y;
    } else {
        ConversionParams on;
        on.m_savedUseSeven = 1;
        double X = pt.source[0], Y = pt.source[1], Z = pt.source[2];
        ApplySevenParametersRef(geo, p, on, &X, &Y, &Z);
        const double dX = pt.target[0] - X, dY = pt.target[1] - Y, dZ = pt.target[2] - Z;
        double B, L, H;
        geo.SpaceToGeodetic(a, rf, pt.target[0], pt.target[1], pt.target[2], &B, &L, &H);
        L = Atan2(pt.target[1], pt.target[0]);
        const double sB = Sin(B), cB = Cos(B), sL = Sin(L), cL = Cos(L);
        r.v[0] = -sB * cL * dX - sB * sL * dY + cB * dZ;  // north
        r.v[1] = -sL * dX + cL * dY;                      // east
        r.v[2] = cB * cL * dX + cB * sL * dY + sB * dZ;   // up
    }
    r.norm = std::sqrt(Sq(r.v[0]) + Sq(r.v[1]) + Sq(r.v[2]));
    return r;
}

}  // namespace

int UnknownCount(FitModel model) {
    return model == FitModel::Seven ? 7 : model == FitModel::Four ? 4 : 3;
}

int MinimumPoints(FitModel model) {
    return model == FitModel::Seven ? 3 : model == FitModel::Four ? 2 : 1;
}

int ObservationsPerPoint(FitModel model) { return model == FitModel::Four ? 2 : 3; }

ParameterFit FitParameters(FitModel model, const std::vector<FitPoint>& points, double targetA,
                           double targetRf, std::optional<double> tolerance) {
    ParameterFit fit;
    fit.model = model;
    const int dims = model == FitModel::Four ? 2 : 3;
    const int count = static_cast<int>(points.size());
    for (int i = 0; i < count; ++i) {
        if (!InRange(points[i].source, dims) || !InRange(points[i].target, dims)) {
            fit.status = FitStatus::OutOfRange;
            fit.first = i;
            return fit;
        }
    }
    int used = 0;
    for (const FitPoint& pt : points) used += pt.used ? 1 : 0;
    if (used < MinimumPoints(model)) {
        fit.status = FitStatus::TooFewPoints;
        return fit;
    }
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count && points[i].used; ++j) {
            if (!points[j].used) continue;
            if (Distance(points[i].source, points[j].source, dims) < kCoincidentDistance ||
                Distance(points[i].target, points[j].target, dims) < kCoincidentDistance) {
                fit.status = FitStatus::CoincidentPoints;
                fit.first = i;
                fit.second = j;
                return fit;
            }
        }
    }

    double p[7] = {}, variance[7] = {};
    bool solved = true;
    if (model == FitModel::Seven) {
        double cov[7][7];
        solved = SolveSeven(points, p, cov);
        for (int i = 0; i < 7 && solved; ++i) variance[i] = cov[i][i];
    } else if (model == FitModel::Four) {
        solved = SolveFour(points, p, variance);
    } else {
        SolveThree(points, p, variance);
    }
    if (!solved) {
        fit.status = FitStatus::SingularGeometry;
        return fit;
    }

    fit.status = FitStatus::Solved;
    fit.usedPoints = used;
    fit.unknowns = UnknownCount(model);
    fit.observations = used * ObservationsPerPoint(model);
    fit.redundancy = fit.observations - fit.unknowns;
    for (int i = 0; i < 7; ++i) fit.parameters[i] = p[i];
    double sum = 0;
    for (const FitPoint& pt : points) {
        fit.residuals.push_back(Residual(model, pt, p, targetA, targetRf));
        if (pt.used) sum += Sq(fit.residuals.back().norm);
    }
    if (fit.redundancy > 0) {
        const double s0 = std::sqrt(sum / fit.redundancy);
        fit.sigma0 = s0;
        for (int i = 0; i < fit.unknowns; ++i) fit.deviations[i] = s0 * std::sqrt(variance[i]);
    }
    fit.tolerance = tolerance;
    if (!fit.tolerance && fit.sigma0) fit.tolerance = 3 * *fit.sigma0;
    if (fit.tolerance) {
        for (PointResidual& r : fit.residuals) r.flagged = r.norm > *fit.tolerance;
    }
    return fit;
}
