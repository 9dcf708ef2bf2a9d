// Height anomaly surfaces from common points by least squares.
#include "geodesy/HeightFit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
#include "geodesy/Distributions.h"
#include "geodesy/GeoidGrid.h"
#include "geodesy/LeastSquares.h"

namespace {

// Heights and anomalies beyond this many metres are no heights on the earth.
constexpr double kHeightLimit = 1e5;
// The design row of a point at scaled offsets dx, dy.
void DesignRow(double dx, double dy, double* row) {
    row[0] = 1, row[1] = dx, row[2] = dy;
    row[3] = dx * dx, row[4] = dx * dy, row[5] = dy * dy;
}

bool Reasonable(const HeightPoint& p) {
    return std::fabs(p.B) <= 1.5707963267948966 && std::fabs(p.L) <= 2 * 3.141592653589793 &&
           std::fabs(p.h) <= kHeightLimit && std::fabs(p.H) <= kHeightLimit;
}

}  // namespace

int SurfaceUnknowns(HeightSurface surface) {
    return surface == HeightSurface::Quadric ? 6 : surface == HeightSurface::Plane ? 3 : 1;
}

void HeightModel::Offsets(double B, double L, double* dx, double* dy) const {
    *dx = kHeightFrameRadius * (B - centroidB) / scale;
    *dy = kHeightFrameRadius * crmath::Cos(centroidB) * (L - centroidL) / scale;
}

double HeightModel::Surface(double B, double L) const {
    double dx, dy, row[6];
    Offsets(B, L, &dx, &dy);
    DesignRow(dx, dy, row);
    double s = 0;
    for (int j = 0; j < SurfaceUnknowns(surface); ++j) s += coefficients[j] * row[j];
    return s;
}

bool HeightModel::Extrapolates(double B, double L) const {
    if (surface == HeightSurface::Constant) return false;
    double dx, dy;
    Offsets(B, L, &dx, &dy);
    const double margin =
        kExtrapolationMargin * std::max(extent[1] - extent[0], extent[3] - extent[2]);
    return dx < extent[0] - margin || dx > extent[1] + margin || dy < extent[2] - margin ||
           dy > extent[3] + margin;
}

bool HeightModel::Anomaly(const GeoidGrid* geoid, double B, double L, double* zeta) const {
    double N = 0;
    if (onGeoid && (geoid == nullptr || !geoid->Value(B, L, &N))) return false;
    *zeta = N + Surface(B, L);
    return true;
}

HeightFit FitHeights(HeightSurface surface, bool onGeoid, const std::vector<HeightPoint>& points,
                     const GeoidGrid* geoid, std::optional<double> tolerance, double alpha) {
    HeightFit fit;
    const int count = static_cast<int>(points.size());
    for (int i = 0; i < count; ++i) {
        if (!Reasonable(points[i])) {
            fit.status = HeightStatus::OutOfRange;
            fit.first = i;
            return fit;
        }
    }
    if (onGeoid && (geoid == nullptr || geoid->Empty())) {
        fit.status = HeightStatus::NoGeoid;
        return fit;
    }
    // Observed ζ, less the geoid on one.
    std::vector<double> observed(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double N = 0;
        if (onGeoid && !geoid->Value(points[i].B, points[i].L, &N)) {
            fit.status = HeightStatus::OutsideGeoid;
            fit.first = i;
            return fit;
        }
        observed[i] = points[i].h - points[i].H - N;
    }
    const int n = SurfaceUnknowns(surface);
    int used = 0;
    HeightModel& model = fit.model;
    model.surface = surface;
    model.onGeoid = onGeoid;
    for (const HeightPoint& p : points) {
        if (!p.used) continue;
        model.centroidB += p.B;
        model.centroidL += p.L;
        ++used;
    }
    if (used < n) {
        fit = HeightFit();
        fit.status = HeightStatus::TooFewPoints;
        return fit;
    }
    model.centroidB /= used;
    model.centroidL /= used;
    double far = 0;
    for (const HeightPoint& p : points) {
        if (!p.used) continue;
        double dx, dy;
        model.Offsets(p.B, p.L, &dx, &dy);
        far = std::max(far, std::sqrt(dx * dx + dy * dy));
    }
    model.scale = far > 1 ? far : 1;  // metres; one point or points within a metre: 1

    std::vector<double> A, l;
    bool firstUsed = true;
    for (int i = 0; i < count; ++i) {
        if (!points[i].used) continue;
        double dx, dy, row[6];
        model.Offsets(points[i].B, points[i].L, &dx, &dy);
        DesignRow(dx, dy, row);
        A.insert(A.end(), row, row + n);
        l.push_back(observed[i]);
        if (firstUsed) {
            model.extent[0] = model.extent[1] = dx;
            model.extent[2] = model.extent[3] = dy;
            firstUsed = false;
        }
        model.extent[0] = std::min(model.extent[0], dx), model.extent[1] = std::max(model.extent[1], dx);
        model.extent[2] = std::min(model.extent[2], dy), model.extent[3] = std::max(model.extent[3], dy);
    }
    double x[6] = {}, Q[36] = {};
    if (!SolveScaledLeastSquares(A, used, n, l, x, Q)) {
        fit = HeightFit();
        fit.status = HeightStatus::SingularGeometry;
        return fit;
    }
    for (int j = 0; j < n; ++j) model.coefficients[j] = x[j];

    fit.status = HeightStatus::Solved;
    fit.usedPoints = used;
    fit.unknowns = n;
    fit.redundancy = used - n;
    // Residuals and each point's q = aᵀ Q a: 1 − r when used.
    std::vector<double> leverage(static_cast<std::size_t>(count));
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        double dx, dy, row[6];
        model.Offsets(points[i].B, points[i].L, &dx, &dy);
        DesignRow(dx, dy, row);
        double q = 0;
        for (int a = 0; a < n; ++a) {
            for (int b = 0; b < n; ++b) q += row[a] * Q[a * n + b] * row[b];
        }
        leverage[i] = q;
        HeightResidual r;
        r.v = observed[i] - model.Surface(points[i].B, points[i].L);
        r.north = dx * model.scale;
        r.east = dy * model.scale;
        fit.residuals.push_back(r);
        if (points[i].used) sum += Sq(r.v);
    }
    const double s0 = fit.redundancy > 0 ? std::sqrt(sum / fit.redundancy) : 0;
    if (fit.redundancy > 0) {
        fit.sigma0 = s0;
        for (int j = 0; j < n; ++j) fit.deviations[j] = s0 * std::sqrt(Q[j * n + j]);
    }
    fit.tolerance = tolerance;
    fit.alpha = alpha;
    const int f = fit.redundancy;
    fit.testable = s0 > 0 && f > 1;
    if (fit.testable) {
        fit.criticalUsed = TauSquaredQuantile(1 - alpha, 1, f);
        fit.criticalCheck = FQuantile(1 - alpha, 1, f);
    }
    for (int i = 0; i < count; ++i) {
        HeightResidual& r = fit.residuals[i];
        if (points[i].used) {
            // Rounding may leave a point that fixes the surface alone just above 0.
            r.redundancy = std::max(0.0, 1 - leverage[i]);
            if (r.redundancy < 1e-12) r.redundancy = 0;
            r.poorlyChecked = r.redundancy < kPoorlyChecked;
            fit.poorlyChecked += r.poorlyChecked ? 1 : 0;
            if (r.redundancy > 0 && s0 > 0) {
                r.standardized = r.v / (s0 * std::sqrt(r.redundancy));
                if (fit.testable) {
                    r.statistic = Sq(r.standardized);
                    r.failsTest = *r.statistic > fit.criticalUsed;
                }
            }
        } else if (fit.testable) {
            r.statistic = Sq(r.v / s0) / (1 + leverage[i]);
            r.failsTest = *r.statistic > fit.criticalCheck;
        }
        r.beyondTolerance = tolerance && std::fabs(r.v) > *tolerance;
        r.flagged = r.failsTest || r.beyondTolerance;
    }
    return fit;
}
