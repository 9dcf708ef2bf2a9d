#include "geodesy/Distributions.h"

#include <cmath>

#include "crmath/Elementary.h"

namespace {

constexpr double kLn10 = 2.302585092994045684;
constexpr double kE = 2.718281828459045235;
constexpr double kHalfLn2Pi = 0.918938533204672742;

double Ln(double x) { return crmath::Log10(x) * kLn10; }
double Exp(double x) { return crmath::Pow(kE, x); }

// The continued fraction of I_x(a, b) / (x^a (1-x)^b / (a B(a, b))), by the
// modified Lentz method; converges fast for x < (a + 1) / (a + b + 2).
double BetaFraction(double x, double a, double b) {
    constexpr double kTiny = 1e-300;
    double c = 1, d = 1 - (a + b) * x / (a + 1);
    if (std::fabs(d) < kTiny) d = kTiny;
    d = 1 / d;
    double h = d;
    for (int m = 1; m <= 1000; ++m) {
        for (int odd = 0; odd < 2; ++odd) {
            // d_2m = m (b - m) x / ((a + 2m - 1)(a + 2m)),
            // d_2m+1 = -(a + m)(a + b + m) x / ((a + 2m)(a + 2m + 1)).
            const double coeff = odd == 0 ? m * (b - m) * x / ((a + 2 * m - 1) * (a + 2 * m))
                                          : -(a + m) * (a + b + m) * x /
                                                ((a + 2 * m) * (a + 2 * m + 1));
            d = 1 + coeff * d;
            if (std::fabs(d) < kTiny) d = kTiny;
            c = 1 + coeff / c;
            if (std::fabs(c) < kTiny) c = kTiny;
            d = 1 / d;
            const double step = c * d;
            h *= step;
            if (odd == 1 && std::fabs(step - 1) < 1e-16) return h;
        }
    }
    return h;
}

}  // namespace

double LogGamma(double x) {
    // Shifted up to 15, then Stirling's series: its first omitted term,
    // 1/(1188 x^9), is below 2e-14 there.
    double shift = 0;
    while (x < 15) {
        shift += Ln(x);
        x += 1;
    }
    const double r = 1 / x, r2 = r * r;
    const double series =
        r * (1.0 / 12 - r2 * (1.0 / 360 - r2 * (1.0 / 1260 - r2 * (1.0 / 1680))));
    return (x - 0.5) * Ln(x) - x + kHalfLn2Pi + series - shift;
}

double RegularizedBeta(double x, double a, double b) {
    if (!(x > 0)) return 0;
    if (!(x < 1)) return 1;
    const double front =
        Exp(LogGamma(a + b) - LogGamma(a) - LogGamma(b) + a * Ln(x) + b * Ln(1 - x));
    if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(x, a, b) / a;
    return 1 - front * BetaFraction(1 - x, b, a) / b;
}

double InverseRegularizedBeta(double p, double a, double b) {
    if (!(p > 0)) return 0;
    if (!(p < 1)) return 1;
    // Bisection: I_x rises from 0 to 1; 1,100 halvings reach the smallest
    // spacing of doubles in (0, 1), and the loop stops when the midpoint is
    // one of the ends.
    double lo = 0, hi = 1;
    for (int i = 0; i < 1100; ++i) {
        const double mid = lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) break;
        (RegularizedBeta(mid, a, b) < p ? lo : hi) = mid;
    }
    return lo + (hi - lo) / 2;
}

double FQuantile(double p, double d1, double d2) {
    const double x = InverseRegularizedBeta(p, d1 / 2, d2 / 2);
    return d2 / d1 * x / (1 - x);
}

double TauSquaredQuantile(double p, int d, int f) {
    return f * InverseRegularizedBeta(p, d / 2.0, (f - d) / 2.0);
}
