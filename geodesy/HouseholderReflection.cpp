#include "geodesy/HouseholderReflection.h"

#include <cmath>

HouseholderReflection HouseholderReflection::Of(const double* A, int m, int n, int g) {
    double c = 0.0;
    for (int k = g; k < m; ++k) {
        const double a = std::fabs(A[k * n + g]);
        if (a > c) c = a;
    }
    // A zero column has sigma = 0; dividing by c = 0 would make it NaN.
    double s = 0.0;
    if (c > 0) {
        for (int k = g; k < m; ++k) {
            const double q = A[k * n + g] / c;
            s += q * q;
        }
    }
    const double agg = A[g * n + g];
    HouseholderReflection h;
    h.sigma = agg > 0 ? -c * std::sqrt(s) : c * std::sqrt(s);
    h.u = std::sqrt(2.0 * h.sigma * (h.sigma - agg));
    return h;
}

void HouseholderReflection::Vector(const double* A, int m, int n, int g, double* v) const {
    v[g] = (A[g * n + g] - sigma) / u;
    for (int k = g + 1; k < m; ++k) v[k] = A[k * n + g] / u;
}

void HouseholderReflection::Apply(const double* v, int g, int m, double* y, int stride) {
    double dot = 0.0;
    for (int k = g; k < m; ++k) dot += v[k] * y[k * stride];
    for (int k = g; k < m; ++k) y[k * stride] -= 2.0 * v[k] * dot;
}

