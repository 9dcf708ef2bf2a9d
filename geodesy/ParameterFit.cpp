// Least-squares estimation of seven, four and three parameters from common
// points, with σ0, standard deviations and residuals.
#include "geodesy/ParameterFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/Distributions.h"
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
// The three rows of the equations of a point at X, Y, Z from the centre, in
// the unknowns cX, cY, cZ, rX, rY, rZ, m.
void SevenRows(double X, double Y, double Z, double* r0) {
    double* r1 = r0 + 7;
    double* r2 = r1 + 7;
    for (int i = 0; i < 21; ++i) r0[i] = 0;
    r0[0] = 1, r0[4] = -Z, r0[5] = Y, r0[6] = X;
    r1[1] = 1, r1[3] = Z, r1[5] = -X, r1[6] = Y;
    r2[2] = 1, r2[3] = -Y, r2[4] = X, r2[6] = Z;
}

bool SolveSeven(const std::vector<FitPoint>& points, double* p, double (*cov)[7], double* mean,
                double* inv) {
    for (int i = 0; i < 3; ++i) mean[i] = 0;
    int n = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        for (int i = 0; i < 3; ++i) mean[i] += pt.source[i];
        ++n;
    }
    for (int i = 0; i < 3; ++i) mean[i] /= n;
    const int m = 3 * n;
    std::vector<double> A(static_cast<std::size_t>(m * 7), 0.0), l(static_cast<std::size_t>(m));
    int row = 0;
    for (const FitPoint& pt : points) {
        if (!pt.used) continue;
        const double X = pt.source[0] - mean[0], Y = pt.source[1] - mean[1],
                     Z = pt.source[2] - mean[2];
        SevenRows(X, Y, Z, &A[static_cast<std::size_t>(row * 7)]);
        for (int i = 0; i < 3; ++i) l[row + i] = pt.target[i] - pt.source[i];
        row += 3;
    }
    double c[7];
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
bool SolveFour(const std::vector<FitPoint>& points, double* p, double* variance, double* mean,
               double* spread) {
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
    mean[0] = msx, mean[1] = msy;
    *spread = d;
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
// The rows of the local horizon (north, east, up) at the space point xyz.
void Horizon(const double* xyz, double a, double rf, double (*R)[3]) {
    static const CGeoCore geo;
    double B, L, H;
    geo.SpaceToGeodetic(a, rf, xyz[0], xyz[1], xyz[2], &B, &L, &H);
    L = Atan2(xyz[1], xyz[0]);
    const double sB = Sin(B), cB = Cos(B), sL = Sin(L), cL = Cos(L);
    const double rows[3][3] = {{-sB * cL, -sB * sL, cB}, {-sL, cL, 0}, {cB * cL, cB * sL, sB}};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) R[i][j] = rows[i][j];
    }
}

// Observed minus transformed; *R gets the rows of the frame of v in the
// frame of the equations (the horizon for seven and three, the unit matrix
// for four).
PointResidual Residual(FitModel model, const FitPoint& pt, const double* p, double a, double rf,
                       double (*R)[3]) {
    static const CGeoCore geo;
    PointResidual r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) R[i][j] = i == j ? 1 : 0;
    }
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
        Horizon(pt.target, a, rf, R);
        for (int i = 0; i < 3; ++i) r.v[i] = R[i][0] * dX + R[i][1] * dY + R[i][2] * dZ;
    }
    r.norm = std::sqrt(Sq(r.v[0]) + Sq(r.v[1]) + Sq(r.v[2]));
    return r;
}


// The first pair (i < j, by i, then j) of used points within
// kCoincidentDistance of each other on either side, or (-1, -1). The points
// sorted by their first coordinate, only neighbours within the distance in
// it are compared.
std::pair<int, int> CoincidentPair(const std::vector<FitPoint>& points, int dims) {
    std::pair<int, int> best(-1, -1);
    for (int side = 0; side < 2; ++side) {
        auto at = [&](int i) -> const double(&)[3] {
            return side == 0 ? points[static_cast<std::size_t>(i)].source
                             : points[static_cast<std::size_t>(i)].target;
        };
        std::vector<int> order;
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            if (points[static_cast<std::size_t>(i)].used) order.push_back(i);
        }
        std::sort(order.begin(), order.end(), [&](int a, int b) { return at(a)[0] < at(b)[0]; });
        for (std::size_t k = 0; k < order.size(); ++k) {
            for (std::size_t l = k + 1; l < order.size(); ++l) {
                if (at(order[l])[0] - at(order[k])[0] >= kCoincidentDistance) break;
                if (Distance(at(order[k]), at(order[l]), dims) >= kCoincidentDistance) continue;
                const std::pair<int, int> pair(std::min(order[k], order[l]),
                                               std::max(order[k], order[l]));
                if (best.first < 0 || pair < best) best = pair;
            }
        }
    }
    return best;
}

// The rows a (dims x u) of the equations of a point at c from the centre,
// turned into the frame of its residual by R.
void PointRows(FitModel model, const double* c, const double (*R)[3], double* a) {
    if (model == FitModel::Four) {
        const double rows[8] = {1, 0, c[0], -c[1], 0, 1, c[1], c[0]};
        for (int i = 0; i < 8; ++i) a[i] = rows[i];
        return;
    }
    const int u = model == FitModel::Seven ? 7 : 3;
    double rows[21];
    if (model == FitModel::Seven) {
        SevenRows(c[0], c[1], c[2], rows);
    } else {
        for (int i = 0; i < 9; ++i) rows[i] = i % 4 == 0 ? 1 : 0;
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < u; ++j) {
            a[i * u + j] = R[i][0] * rows[j] + R[i][1] * rows[u + j] + R[i][2] * rows[2 * u + j];
        }
    }
}

// out (d x d) = a N⁻¹ aᵀ for a (d x u) and N⁻¹ (u x u).
void Spread(const double* a, int d, int u, const double* ninv, double* out) {
    for (int i = 0; i < d; ++i) {
        double t[7];
        for (int l = 0; l < u; ++l) {
            double s = 0;
            for (int k = 0; k < u; ++k) s += a[i * u + k] * ninv[k * u + l];
            t[l] = s;
        }
        for (int j = 0; j < d; ++j) {
            double s = 0;
            for (int l = 0; l < u; ++l) s += t[l] * a[j * u + l];
            out[i * 3 + j] = s;
        }
    }
}

// vᵀ Q⁻¹ v for the symmetric d x d matrix Q (rows of 3) by Cholesky; false
// when Q is not clearly positive definite.
bool QuadraticForm(const double* Q, const double* v, int d, double* out) {
    double L[3][3] = {}, y[3] = {};
    for (int i = 0; i < d; ++i) {
        for (int j = 0; j <= i; ++j) {
            double s = Q[i * 3 + j];
            for (int k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
            if (i == j) {
                if (!(s > 1e-9)) return false;
                L[i][i] = std::sqrt(s);
            } else {
                L[i][j] = s / L[j][j];
            }
        }
    }
    double sum = 0;
    for (int i = 0; i < d; ++i) {
        double s = v[i];
        for (int k = 0; k < i; ++k) s -= L[i][k] * y[k];
        y[i] = s / L[i][i];
        sum += y[i] * y[i];
    }
    *out = sum;
    return true;
}

// Redundancy numbers, standardized residuals, the τ-test of the used points
// and the F-test of the check points, and the tolerance.
void Test(const std::vector<FitPoint>& points, const std::vector<std::array<double, 9>>& q,
          ParameterFit* fit) {
    const int d = fit->dimension, f = fit->redundancy;
    const double s0 = fit->sigma0.value_or(0);
    fit->testable = s0 > 0 && f > d;
    if (fit->testable) {
        fit->criticalUsed = TauSquaredQuantile(1 - fit->alpha, d, f);
        fit->criticalCheck = d * FQuantile(1 - fit->alpha, d, f);
    }
    for (std::size_t k = 0; k < points.size(); ++k) {
        PointResidual& r = fit->residuals[k];
        const bool used = points[k].used;
        double Q[9];
        for (int i = 0; i < 9; ++i) {
            const double unit = i % 4 == 0 ? 1 : 0;
            Q[i] = used ? unit - q[k][static_cast<std::size_t>(i)]
                        : unit + q[k][static_cast<std::size_t>(i)];
        }
        if (used) {
            double smallest = 1;
            for (int i = 0; i < d; ++i) {
                r.redundancy[i] = Q[i * 4];
                smallest = std::min(smallest, r.redundancy[i]);
                if (r.redundancy[i] > 1e-12 && s0 > 0) {
                    r.standardized[i] = r.v[i] / (s0 * std::sqrt(r.redundancy[i]));
                }
            }
            r.poorlyChecked = smallest < kPoorlyChecked;
            fit->poorlyChecked += r.poorlyChecked ? 1 : 0;
        }
        double form = 0;
        if ((used ? fit->testable : s0 > 0 && fit->testable) && QuadraticForm(Q, r.v, d, &form)) {
            r.statistic = form / (s0 * s0);
            r.failsTest = *r.statistic > (used ? fit->criticalUsed : fit->criticalCheck);
        }
        r.beyondTolerance = fit->tolerance && r.norm > *fit->tolerance;
        r.flagged = r.failsTest || r.beyondTolerance;
    }
}

// Map positions, principal extents, near-coincident points and the predicted
// deviations of transformed points.
void Geometry(const std::vector<FitPoint>& points, const double* p, const double* ninv, double a, double rf, ParameterFit* fit) {
    const FitModel model = fit->model;
    const int d = fit->dimension, u = fit->unknowns;
    double centre[3] = {}, R0[3][3];
    for (const FitPoint& pt : points) {
        for (int i = 0; pt.used && i < 3; ++i) centre[i] += pt.target[i] / fit->usedPoints;
    }
    if (model != FitModel::Four) Horizon(centre, a, rf, R0);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double* t = points[k].target;
        double* m = fit->residuals[k].map;
        if (model == FitModel::Four) {
            m[0] = t[0], m[1] = t[1];
            continue;
        }
        const double c[3] = {t[0] - centre[0], t[1] - centre[1], t[2] - centre[2]};
        for (int i = 0; i < 2; ++i) m[i] = R0[i][0] * c[0] + R0[i][1] * c[1] + R0[i][2] * c[2];
    }
    // Principal axes of the used points on the map.
    double mn = 0, me = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!points[k].used) continue;
        mn += fit->residuals[k].map[0] / fit->usedPoints;
        me += fit->residuals[k].map[1] / fit->usedPoints;
    }
    double snn = 0, see = 0, sne = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!points[k].used) continue;
        const double dn = fit->residuals[k].map[0] - mn, de = fit->residuals[k].map[1] - me;
        snn += dn * dn, see += de * de, sne += dn * de;
    }
    const double theta = 0.5 * Atan2(2 * sne, snn - see);
    const double axis[2][2] = {{Cos(theta), Sin(theta)}, {-Sin(theta), Cos(theta)}};
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (!points[k].used) continue;
        const double dn = fit->residuals[k].map[0] - mn, de = fit->residuals[k].map[1] - me;
        for (int i = 0; i < 2; ++i) {
            const double w = axis[i][0] * dn + axis[i][1] * de;
            lo[i] = std::min(lo[i], w), hi[i] = std::max(hi[i], w);
        }
    }
    FitGeometry& g = fit->geometry;
    const int major = hi[0] - lo[0] >= hi[1] - lo[1] ? 0 : 1;
    g.extent[0] = hi[major] - lo[major];
    g.extent[1] = hi[1 - major] - lo[1 - major];
    g.ratio = g.extent[0] > 0 ? g.extent[1] / g.extent[0] : 0;
    g.nearCollinear = model == FitModel::Seven && g.ratio < kCollinearRatio;

    // The closest pair nearer than the share of the extent. The points go
    // into square cells of that size, and each is compared only with the
    // points of its cell and the eight around it: the cost stays linear in
    // the number of points however densely they lie.
    const double limit = kNearCoincidentShare * g.extent[0];
    auto map = [&](int i) { return fit->residuals[static_cast<std::size_t>(i)].map; };
    struct Cell {
        long long n, e;
        int index;
        bool operator<(const Cell& o) const {
            return n != o.n ? n < o.n : e != o.e ? e < o.e : index < o.index;
        }
    };
    std::vector<Cell> cells;
    for (int i = 0; limit > 0 && i < static_cast<int>(points.size()); ++i) {
        if (!points[static_cast<std::size_t>(i)].used) continue;
        cells.push_back({static_cast<long long>(std::floor(map(i)[0] / limit)),
                         static_cast<long long>(std::floor(map(i)[1] / limit)), i});
    }
    std::sort(cells.begin(), cells.end());
    for (const Cell& c : cells) {
        for (long long dn = -1; dn <= 1; ++dn) {
            for (long long de = -1; de <= 1; ++de) {
                auto it = std::lower_bound(cells.begin(), cells.end(), Cell{c.n + dn, c.e + de, 0});
                for (; it != cells.end() && it->n == c.n + dn && it->e == c.e + de; ++it) {
                    if (it->index <= c.index) continue;
                    const double dist = std::hypot(map(it->index)[0] - map(c.index)[0],
                                                   map(it->index)[1] - map(c.index)[1]);
                    if (dist >= limit || (g.nearFirst >= 0 && dist >= g.nearDistance)) continue;
                    g.nearFirst = c.index;
                    g.nearSecond = it->index;
                    g.nearDistance = dist;
                }
            }
        }
    }

    if (!fit->sigma0) return;
    const double s0 = *fit->sigma0;
    const double unit[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    auto deviation = [&](const double* c) {
        double rows[21], spread[9];
        PointRows(model, c, unit, rows);
        Spread(rows, d, u, ninv, spread);
        double trace = 0;
        for (int i = 0; i < d; ++i) trace += spread[i * 4];
        return s0 * std::sqrt(trace);
    };
    const double zero[3] = {};
    g.centreDeviation = deviation(zero);
    // The map centre is the image of the centre of the used sources (mean).
    for (int end = 0; end < 4; ++end) {
        const double* dir = axis[end / 2 == 0 ? major : 1 - major];
        const double sign = end % 2 == 0 ? 1 : -1;
        const double dn = sign * dir[0] * g.extent[0] / 2, de = sign * dir[1] * g.extent[0] / 2;
        double c[3] = {};
        if (model == FitModel::Four) {
            // Back through the similarity: rotated by -T, divided by K.
            const double cT = Cos(p[2]), sT = Sin(p[2]);
            c[0] = (cT * dn + sT * de) / p[3];
            c[1] = (-sT * dn + cT * de) / p[3];
        } else {
            for (int i = 0; i < 3; ++i) c[i] = R0[0][i] * dn + R0[1][i] * de;
        }
        g.edgeDeviation = std::max(g.edgeDeviation, deviation(c));
    }
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
                           double targetRf, std::optional<double> tolerance, double alpha) {
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
    if (const std::pair<int, int> same = CoincidentPair(points, dims); same.first >= 0) {
        fit.status = FitStatus::CoincidentPoints;
        fit.first = same.first;
        fit.second = same.second;
        return fit;
    }

    // The parameters, and the inverse normal matrix N⁻¹ in the unknowns of
    // the centred equations the point rows below are written in.
    const int u = UnknownCount(model);
    double p[7] = {}, variance[7] = {}, mean[3] = {}, ninv[49] = {};
    bool solved = true;
    if (model == FitModel::Seven) {
        double cov[7][7];
        solved = SolveSeven(points, p, cov, mean, ninv);
        for (int i = 0; i < 7 && solved; ++i) variance[i] = cov[i][i];
    } else if (model == FitModel::Four) {
        double d = 0;
        solved = SolveFour(points, p, variance, mean, &d);
        if (solved) {
            ninv[0] = ninv[5] = 1.0 / used;
            ninv[10] = ninv[15] = 1 / d;
        }
    } else {
        SolveThree(points, p, variance);
        for (const FitPoint& pt : points) {
            for (int i = 0; pt.used && i < 3; ++i) mean[i] += pt.source[i] / used;
        }
        for (int i = 0; i < 3; ++i) ninv[i * 3 + i] = 1.0 / used;
    }
    if (!solved) {
        fit.status = FitStatus::SingularGeometry;
        return fit;
    }

    fit.status = FitStatus::Solved;
    fit.usedPoints = used;
    fit.unknowns = u;
    fit.observations = used * ObservationsPerPoint(model);
    fit.redundancy = fit.observations - fit.unknowns;
    fit.dimension = dims;
    fit.alpha = alpha;
    for (int i = 0; i < 7; ++i) fit.parameters[i] = p[i];

    // Residuals, and per point q = a N⁻¹ aᵀ for its rows a in the frame of
    // its residual: Q_vv = I - q for a used point, I + q for a check point.
    std::vector<std::array<double, 9>> q(points.size());
    double sum = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const FitPoint& pt = points[k];
        double R[3][3];
        fit.residuals.push_back(Residual(model, pt, p, targetA, targetRf, R));
        if (pt.used) sum += Sq(fit.residuals.back().norm);
        const double c[3] = {pt.source[0] - mean[0], pt.source[1] - mean[1],
                             model == FitModel::Four ? 0 : pt.source[2] - mean[2]};
        double a[21];
        PointRows(model, c, R, a);
        Spread(a, dims, u, ninv, q[k].data());
    }
    if (fit.redundancy > 0) {
        const double s0 = std::sqrt(sum / fit.redundancy);
        fit.sigma0 = s0;
        for (int i = 0; i < fit.unknowns; ++i) fit.deviations[i] = s0 * std::sqrt(variance[i]);
    }
    fit.tolerance = tolerance;
    Test(points, q, &fit);
    Geometry(points, p, ninv, targetA, targetRf, &fit);
    return fit;
}
