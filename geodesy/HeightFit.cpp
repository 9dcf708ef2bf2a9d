// Height anomaly surfaces from common points by least squares.
#include "geodesy/HeightFit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "crmath/Elementary.h"
#include "geodesy/Constants.h"
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

double FlagLimit(int redundancy) {
    // t(0.995, f) for f = 1..10; beyond, the quantiles fall below 3.
    static constexpr double kT[10] = {63.657, 9.925, 5.841, 4.604, 4.032,
                                      3.707, 3.499, 3.355, 3.250, 3.169};
    if (redundancy < 2) return HUGE_VAL;
    const int f = redundancy - 1;  // an internal point's own observation is left out
    return f <= 10 ? kT[f - 1] : 3.0;
}

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
                     const GeoidGrid* geoid, std::optional<double> tolerance) {
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
    // Residuals and each point's q = aᵀ Q a (its leverage when used).
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
        fit.residuals.push_back(r);
        if (points[i].used) sum += Sq(r.v);
    }
    if (fit.redundancy > 0) {
        const double s0 = std::sqrt(sum / fit.redundancy);
        fit.sigma0 = s0;
        for (int j = 0; j < n; ++j) fit.deviations[j] = s0 * std::sqrt(Q[j * n + j]);
        for (int i = 0; i < count; ++i) {
            HeightResidual& r = fit.residuals[i];
            if (points[i].used) {
                // σ0 without the point's own observation.
                const double free = 1 - leverage[i];
                if (fit.redundancy < 2 || !(free > 1e-12)) continue;
                const double rest = (sum - Sq(r.v) / free) / (fit.redundancy - 1);
                if (rest > 0) r.studentized = r.v / std::sqrt(rest * free);
            } else if (s0 > 0) {
                r.studentized = r.v / (s0 * std::sqrt(1 + leverage[i]));
            }
        }
    }
    fit.tolerance = tolerance;
    for (HeightResidual& r : fit.residuals) {
        r.flagged = tolerance ? std::fabs(r.v) > *tolerance
                              : std::fabs(r.studentized) > FlagLimit(fit.redundancy);
    }
    return fit;
}
