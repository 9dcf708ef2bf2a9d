#include "geodesy/LeastSquares.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "geodesy/Constants.h"
#include "geodesy/HouseholderReflection.h"

bool SolveScaledLeastSquares(std::vector<double> A, int m, int n, std::vector<double> l, double* x,
                             double* inverse) {
    std::vector<double> scale(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        double s = 0;
        for (int i = 0; i < m; ++i) s += Sq(A[i * n + j]);
        s = std::sqrt(s);
        if (!(s > 0)) return false;
        scale[j] = s;
        for (int i = 0; i < m; ++i) A[i * n + j] /= s;
    }
    std::vector<double> v(static_cast<std::size_t>(m));
    for (int k = 0; k < n; ++k) {
        const HouseholderReflection h = HouseholderReflection::Of(A.data(), m, n, k);
        if (std::fabs(h.sigma) < kSingular) return false;
        h.Vector(A.data(), m, n, k, v.data());
        // The remaining columns and the observations.
        for (int j = k + 1; j < n; ++j) HouseholderReflection::Apply(v.data(), k, m, &A[j], n);
        HouseholderReflection::Apply(v.data(), k, m, l.data(), 1);
        A[k * n + k] = h.sigma;
    }
    // R x = (Qᵀ l)[0..n-1], then the inverse of R for the covariance.
    std::vector<double> Rinv(static_cast<std::size_t>(n * n), 0.0);
    for (int i = n - 1; i >= 0; --i) {
        double s = l[i];
        for (int j = i + 1; j < n; ++j) s -= A[i * n + j] * x[j];
        x[i] = s / A[i * n + i];
        Rinv[i * n + i] = 1 / A[i * n + i];
        for (int j = i + 1; j < n; ++j) {
            double t = 0;
            for (int k = i + 1; k <= j; ++k) t += A[i * n + k] * Rinv[k * n + j];
            Rinv[i * n + j] = -t / A[i * n + i];
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double s = 0;
            for (int k = std::max(i, j); k < n; ++k) s += Rinv[i * n + k] * Rinv[j * n + k];
            // A diagonal of (AᵀA)⁻¹ is 1 / (distance of the unit column from the others)².
            if (i == j && s > 1 / Sq(kSingular)) return false;
            inverse[i * n + j] = s / (scale[i] * scale[j]);
        }
    }
    for (int j = 0; j < n; ++j) x[j] /= scale[j];
    return true;
}
