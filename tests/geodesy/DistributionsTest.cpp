// The incomplete beta function and its inverse against closed forms and
// tabulated quantiles of F; the τ² quantiles the point test uses.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/Distributions.h"

namespace {

TEST(Distributions, LogGammaAtIntegersAndHalves) {
    double factorial = 1;
    for (int n = 1; n <= 30; ++n) {
        EXPECT_NEAR(LogGamma(n), std::log(factorial), 1e-13 * std::max(1.0, std::log(factorial)))
            << n;
        factorial *= n;
    }
    EXPECT_NEAR(LogGamma(0.5), 0.5723649429247001, 1e-13);  // ln √π
    EXPECT_NEAR(LogGamma(1.5), 0.5723649429247001 - std::log(2.0), 1e-13);
    EXPECT_NEAR(LogGamma(100.5), std::lgamma(100.5), 1e-12);
}

// Beta(1, b), Beta(a, 1), Beta(1/2, 1/2) and Beta(2, 2) have closed forms;
// the rest is tied to them by the symmetry I_x(a, b) = 1 - I_{1-x}(b, a).
TEST(Distributions, RegularizedBetaMatchesClosedForms) {
    const double pi = 3.14159265358979323846;
    for (double x : {1e-6, 0.01, 0.1, 0.3, 0.5, 0.77, 0.95, 0.999999}) {
        for (double b : {0.5, 1.0, 1.5, 4.5, 13.5, 500.0}) {
            EXPECT_NEAR(RegularizedBeta(x, 1, b), 1 - std::pow(1 - x, b), 1e-13) << x << " " << b;
            EXPECT_NEAR(RegularizedBeta(x, b, 1), std::pow(x, b), 1e-13) << x << " " << b;
            EXPECT_NEAR(RegularizedBeta(x, 2.5, b) + RegularizedBeta(1 - x, b, 2.5), 1, 1e-13);
        }
        EXPECT_NEAR(RegularizedBeta(x, 0.5, 0.5), 2 / pi * std::asin(std::sqrt(x)), 1e-13) << x;
        EXPECT_NEAR(RegularizedBeta(x, 2, 2), 3 * x * x - 2 * x * x * x, 1e-13) << x;
    }
    EXPECT_EQ(RegularizedBeta(0, 3, 4), 0);
    EXPECT_EQ(RegularizedBeta(1, 3, 4), 1);
    EXPECT_EQ(RegularizedBeta(-1, 3, 4), 0);
}

TEST(Distributions, QuantilesInvertAndMatchFTables) {
    for (double p : {0.001, 0.05, 0.5, 0.9, 0.999, 0.999999}) {
        for (double a : {0.5, 1.0, 1.5}) {
            for (double b : {1.0, 2.5, 13.5, 148.5}) {
                const double x = InverseRegularizedBeta(p, a, b);
                EXPECT_NEAR(RegularizedBeta(x, a, b), p, 1e-12) << p << " " << a << " " << b;
            }
        }
        // Beta(1, b): x = 1 - (1 - p)^(1/b).
        EXPECT_NEAR(InverseRegularizedBeta(p, 1, 4.5), 1 - std::pow(1 - p, 1 / 4.5), 1e-11);
        // F(1, 1) is the square of Cauchy's t: P(F <= q) = 2 atan(√q) / π.
        const double q = FQuantile(p, 1, 1);
        EXPECT_NEAR(2 / 3.14159265358979323846 * std::atan(std::sqrt(q)), p, 1e-10) << p;
        // F(2, n): P(F <= q) = 1 - (1 + 2q/n)^(-n/2).
        for (double n : {3.0, 10.0, 57.0}) {
            EXPECT_NEAR(FQuantile(p, 2, n), n / 2 * (std::pow(1 - p, -2 / n) - 1),
                        1e-10 * FQuantile(p, 2, n));
        }
    }
    // Printed F tables (three or four figures) and t(10) squared.
    EXPECT_NEAR(FQuantile(0.95, 3, 10), 3.708, 0.0005);
    EXPECT_NEAR(FQuantile(0.99, 5, 20), 4.103, 0.0005);
    EXPECT_NEAR(FQuantile(0.95, 1, 10), 2.228139 * 2.228139, 1e-5);
}

// τ²/f is Beta(d/2, (f-d)/2): for two components the quantile is closed,
// and τ² never exceeds f (a point cannot carry more than all residuals).
TEST(Distributions, TauSquaredQuantiles) {
    for (int f : {3, 4, 11, 50, 1000}) {
        for (double p : {0.9, 0.999}) {
            const double closed = f * (1 - std::pow(1 - p, 2.0 / (f - 2)));
            EXPECT_NEAR(TauSquaredQuantile(p, 2, f), closed, 1e-11 * f) << f;
            for (int d : {1, 2, 3}) {
                if (f <= d) continue;
                const double t = TauSquaredQuantile(p, d, f);
                EXPECT_TRUE(t > 0 && t < f) << d << " " << f;
            }
        }
    }
    // One component and a large redundancy: τ² tends to χ²(1), whose 99.9 %
    // point is 3.2905² = 10.828; three components to χ²(3), 16.266.
    EXPECT_NEAR(TauSquaredQuantile(0.999, 1, 100000), 10.828, 0.01);
    EXPECT_NEAR(TauSquaredQuantile(0.999, 3, 100000), 16.266, 0.01);
}

}  // namespace
