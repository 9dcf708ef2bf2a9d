// The test of each point: redundancy numbers against the change of a
// residual with its observation, the false-alarm rate on clean sets, a
// blunder of 10 σ in small sets, data snooping with three blunders, and the
// geometry warnings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "crmath/Elementary.h"
#include "geodesy/GeoCore.h"
#include "geodesy/ParameterFit.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kA = 6378137.0, kRf = 298.257222101;
const CGeoCore geo;

// splitmix64, and normal numbers by Box–Muller: the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>((Next() >> 11) + 1) * 0x1.0p-53; }  // (0, 1]
    double Normal() {
        if (spare_) {
            spare_ = false;
            return next_;
        }
        const double r = std::sqrt(-2 * crmath::Log10(Uniform()) * 2.302585092994045684);
        const double t = 6.283185307179586 * Uniform();
        next_ = r * crmath::Sin(t);
        spare_ = true;
        return r * crmath::Cos(t);
    }

private:
    std::uint64_t state_;
    bool spare_ = false;
    double next_ = 0;
};

// `count` points over a square of `sideKm` around 32 N, 117 E, Beijing-54
// to CGCS2000 by seven parameters (space rectangular), or plane to plane by
// four; normal noise of `sigma` metres in every target coordinate. farKm > 0
// puts the last point that far north of the centre instead.
std::vector<FitPoint> Set(FitModel model, int count, double sideKm, double sigma, Random& rng,
                          double farKm = 0, const std::vector<double>* placesKm = nullptr) {
    const double seven[7] = {-15.4, 120.7, 85.2, 5.8e-6, -3.9e-6, 1.02e-5, 3.5e-6};
    ConversionParams on;
    on.m_savedUseSeven = 1;
    std::vector<FitPoint> points(static_cast<std::size_t>(count));
    for (FitPoint& p : points) {
        double north = (rng.Uniform() - 0.5) * sideKm * 1000;
        double east = (rng.Uniform() - 0.5) * sideKm * 1000;
        if (farKm > 0 && &p == &points.back()) north = farKm * 1000, east = 0;
        if (placesKm != nullptr) {  // north, east pairs
            const std::size_t i = static_cast<std::size_t>(&p - points.data());
            north = (*placesKm)[2 * i] * 1000, east = (*placesKm)[2 * i + 1] * 1000;
        }
        if (model == FitModel::Four) {
            double x = p.source[0] = 3540000 + north, y = p.source[1] = 39500000 + east;
            geo.ApplyFourParameters(-1234.5, 2345.6, 0.8 * kDeg, 1.000012, &x, &y);
            p.target[0] = x + sigma * rng.Normal(), p.target[1] = y + sigma * rng.Normal();
            continue;
        }
        geo.GeodeticToSpace(6378245.0, 298.3, 32 * kDeg + north / 6371000,
                            117 * kDeg + east / 5400000, 50 + 400 * rng.Uniform(), &p.source[0],
                            &p.source[1], &p.source[2]);
        double X = p.source[0], Y = p.source[1], Z = p.source[2];
        geo.ApplySevenParameters(seven[0], seven[1], seven[2], seven[3], seven[4], seven[5],
                                 seven[6], on, &X, &Y, &Z);
        p.target[0] = X + sigma * rng.Normal(), p.target[1] = Y + sigma * rng.Normal();
        p.target[2] = Z + sigma * rng.Normal();
    }
    return points;
}

ParameterFit Fit(FitModel model, const std::vector<FitPoint>& points,
                 std::optional<double> tolerance = std::nullopt, double alpha = kDefaultAlpha) {
    return FitParameters(model, points, kA, kRf, tolerance, alpha);
}

// r_k is how much of a change of observation k shows in its residual
// (Δv = Q_vv P Δl): moving one target 1 m along each residual axis changes
// that residual component by r_k metres. The numbers add up to the redundancy.
TEST(DataSnooping, RedundancyNumbersAreTheShareOfAChangeThatShowsInTheResidual) {
    Random rng(1);
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        // The last far out: a lever, poorly checked for seven and four.
        std::vector<FitPoint> points = Set(model, 7, 20, 0.01, rng, 150);
        points[2].used = false;
        const ParameterFit fit = Fit(model, points);
        ASSERT_TRUE(fit.Solved());
        double sum = 0;
        for (int i = 0; i < 7; ++i) {
            for (int k = 0; k < fit.dimension; ++k) sum += fit.residuals[i].redundancy[k];
        }
        EXPECT_NEAR(sum, fit.redundancy, 1e-9) << int(model);
        for (int i : {0, 4, 6}) {
            // The residual axes in the frame of the target: north, east, up
            // of the point (seven, three), x and y (four).
            double B, L, H;
            geo.SpaceToGeodetic(kA, kRf, points[i].target[0], points[i].target[1],
                                points[i].target[2], &B, &L, &H);
            L = std::atan2(points[i].target[1], points[i].target[0]);
            const double axes[3][3] = {
                {-std::sin(B) * std::cos(L), -std::sin(B) * std::sin(L), std::cos(B)},
                {-std::sin(L), std::cos(L), 0},
                {std::cos(B) * std::cos(L), std::cos(B) * std::sin(L), std::sin(B)}};
            for (int k = 0; k < fit.dimension; ++k) {
                std::vector<FitPoint> moved = points;
                for (int c = 0; c < 3; ++c) {
                    moved[i].target[c] += model == FitModel::Four ? (c == k ? 1 : 0) : axes[k][c];
                }
                const ParameterFit after = Fit(model, moved);
                EXPECT_NEAR(after.residuals[i].v[k] - fit.residuals[i].v[k],
                            fit.residuals[i].redundancy[k], 2e-6)
                    << int(model) << " point " << i << " axis " << k;
            }
        }
        EXPECT_EQ(fit.residuals[6].poorlyChecked, model != FitModel::Three) << int(model);
        EXPECT_EQ(fit.poorlyChecked, model != FitModel::Three ? 1 : 0);
        EXPECT_EQ(fit.residuals[2].redundancy[0], 0) << "a check point has none";
    }
}

// Pope's τ-test at α = 0.1 %: on clean sets of 30 points a point is flagged
// falsely with probability α, so about 1 - (1 - α)^30 = 3.0 % of the sets
// carry a false flag.
TEST(DataSnooping, CleanSetsAreFlaggedAtTheRateOfTheSignificanceLevel) {
    for (FitModel model : {FitModel::Seven, FitModel::Four}) {
        Random rng(model == FitModel::Seven ? 20240 : 20241);
        int setsFlagged = 0, pointsFlagged = 0;
        const int sets = 1000;
        for (int s = 0; s < sets; ++s) {
            const ParameterFit fit = Fit(model, Set(model, 30, 20, 0.01, rng));
            ASSERT_TRUE(fit.Solved() && fit.testable);
            int flagged = 0;
            for (const PointResidual& r : fit.residuals) flagged += r.flagged ? 1 : 0;
            setsFlagged += flagged > 0 ? 1 : 0;
            pointsFlagged += flagged;
        }
        const double share = static_cast<double>(setsFlagged) / sets;
        std::printf("clean sets of 30 points, %s: %.1f %% with a false flag (%d points)\n",
                    model == FitModel::Seven ? "seven" : "four", 100 * share, pointsFlagged);
        // 2.96 % expected; 1,000 sets scatter by 0.54 %.
        EXPECT_GT(share, 0.012);
        EXPECT_LT(share, 0.050);
        // The old rule (3-D length against 3 σ0) flagged about half of such sets.
    }
}

// One blunder of 10 σ in one coordinate of a set of 6 or 8 points: flagged in
// most sets, and the other points then rarely.
TEST(DataSnooping, ABlunderOfTenSigmaIsFlaggedInMostSmallSets) {
    for (FitModel model : {FitModel::Seven, FitModel::Four}) {
        for (int count : {6, 8}) {
            Random rng(77 + count);
            const int sets = 500;
            int found = 0, others = 0;
            for (int s = 0; s < sets; ++s) {
                std::vector<FitPoint> points = Set(model, count, 15, 0.01, rng);
                const int bad = static_cast<int>(rng.Next() % count);
                const int axis = static_cast<int>(rng.Next() % (model == FitModel::Four ? 2 : 3));
                points[bad].target[axis] += (rng.Next() % 2 == 0 ? 0.1 : -0.1);
                const ParameterFit fit = Fit(model, points);
                ASSERT_TRUE(fit.testable);
                found += fit.residuals[bad].failsTest ? 1 : 0;
                for (int i = 0; i < count; ++i) others += i != bad && fit.residuals[i].failsTest;
            }
            const double share = static_cast<double>(found) / sets;
            std::printf("%d points, %s, 10 sigma blunder flagged in %.1f %% of the sets, %d "
                        "other points flagged\n",
                        count, model == FitModel::Seven ? "seven" : "four", 100 * share, others);
            EXPECT_GT(share, 0.5) << count;
            EXPECT_LT(others, sets / 10) << count;
        }
    }
}

// The case: six points for seven parameters, +40 cm on P03. Its
// residual (0.24 m) stays below 3 σ0, the test finds it.
TEST(DataSnooping, SixPointsWithFortyCentimetresOnOneAreFlagged) {
    Random rng(3);
    std::vector<FitPoint> points = Set(FitModel::Seven, 6, 10, 0.01, rng);
    points[2].target[2] += 0.4;
    const ParameterFit fit = Fit(FitModel::Seven, points);
    ASSERT_TRUE(fit.testable);
    EXPECT_LT(fit.residuals[2].norm, 3 * *fit.sigma0) << "the old default could not flag it";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fit.residuals[i].failsTest, i == 2) << i;
    EXPECT_GT(*fit.residuals[2].statistic, fit.criticalUsed);
    EXPECT_LE(*fit.residuals[2].statistic, fit.redundancy) << "τ² cannot exceed f";
}

// Thirty points with three blunders: remove the point of the largest test
// statistic and fit again while one fails; exactly the three go.
TEST(DataSnooping, RemovingTheLargestOneAtATimeFindsThreeBlunders) {
    for (FitModel model : {FitModel::Seven, FitModel::Four}) {
        Random rng(5);
        std::vector<FitPoint> points = Set(model, 30, 25, 0.005, rng);
        points[4].target[0] += 0.10;
        points[17].target[1] -= 0.15;
        points[23].target[model == FitModel::Four ? 0 : 2] += 0.25;
        std::vector<int> removed;
        for (int round = 0; round < 10; ++round) {
            const ParameterFit fit = Fit(model, points);
            ASSERT_TRUE(fit.testable);
            int worst = -1;
            for (int i = 0; i < 30; ++i) {
                const PointResidual& r = fit.residuals[i];
                if (!points[i].used || !r.failsTest) continue;
                if (worst < 0 || *r.statistic > *fit.residuals[worst].statistic) worst = i;
            }
            if (worst < 0) {
                // All three now check points, each failing the check-point test.
                for (int i : {4, 17, 23}) EXPECT_TRUE(fit.residuals[i].failsTest) << i;
                EXPECT_LT(*fit.sigma0, 0.0075);
                break;
            }
            points[worst].used = false;
            removed.push_back(worst);
        }
        std::sort(removed.begin(), removed.end());
        EXPECT_EQ(removed, (std::vector<int>{4, 17, 23})) << int(model);
    }
}

// Too little redundancy says so; the minimum of points has residuals but no
// test; α and a tolerance act side by side.
TEST(DataSnooping, RedundancyTooSmallSignificanceAndTolerance) {
    Random rng(9);
    const ParameterFit three = Fit(FitModel::Seven, Set(FitModel::Seven, 3, 10, 0.01, rng));
    EXPECT_EQ(three.redundancy, 2);
    EXPECT_TRUE(three.sigma0 && !three.testable);
    EXPECT_GT(three.residuals[0].norm, 0);
    EXPECT_FALSE(three.residuals[0].statistic);
    const ParameterFit two = Fit(FitModel::Four, Set(FitModel::Four, 2, 10, 0.01, rng));
    EXPECT_TRUE(!two.sigma0 && !two.testable);

    std::vector<FitPoint> points = Set(FitModel::Four, 12, 10, 0.01, rng);
    points[3].target[1] += 0.08;
    const ParameterFit strict = Fit(FitModel::Four, points, 0.05, 1e-6);
    const ParameterFit loose = Fit(FitModel::Four, points, std::nullopt, 0.05);
    EXPECT_GT(strict.criticalUsed, loose.criticalUsed);
    EXPECT_EQ(*strict.residuals[3].statistic, *loose.residuals[3].statistic);
    EXPECT_TRUE(strict.residuals[3].beyondTolerance && strict.residuals[3].flagged);
    EXPECT_FALSE(loose.residuals[3].beyondTolerance);
    EXPECT_TRUE(loose.residuals[3].failsTest && loose.residuals[3].flagged);
    // Four parameters: both components share r = 1 - 1/n - (distance from
    // the centre)² / Σ distance², and τ² = |v|² / (r σ0²).
    const PointResidual& r = loose.residuals[3];
    EXPECT_NEAR(*r.statistic, r.norm * r.norm / (r.redundancy[0] * *loose.sigma0 * *loose.sigma0),
                1e-9 * *r.statistic);
    EXPECT_NEAR(r.redundancy[0], r.redundancy[1], 1e-15);
}

// Points on one line on the map (the case: seven parameters, the
// earth's curvature keeps them off a line in space, so the solution goes
// through) warn, and the edge of the extent shows how badly a point off the
// line is known; a spread set does not warn; two points 5 m apart in 20 km do.
TEST(DataSnooping, GeometryWarnsOfCollinearAndNearCoincidentPoints) {
    Random rng(21);
    std::vector<double> line, spread;
    for (int i = 0; i < 8; ++i) {
        line.insert(line.end(), {-10 + 20.0 * i / 7, 0.6 * (-10 + 20.0 * i / 7)});
        spread.insert(spread.end(), {10 * crmath::Cos(i * 0.8), 10 * crmath::Sin(i * 0.8)});
    }
    const ParameterFit onLine =
        Fit(FitModel::Seven, Set(FitModel::Seven, 8, 0, 0.005, rng, 0, &line));
    ASSERT_TRUE(onLine.Solved());
    const FitGeometry& g = onLine.geometry;
    EXPECT_TRUE(g.nearCollinear);
    EXPECT_LT(g.ratio, 0.01) << g.ratio;
    EXPECT_NEAR(g.extent[0], 20000 * std::sqrt(1 + 0.36), 50);
    EXPECT_GT(g.edgeDeviation, 20 * g.centreDeviation) << g.edgeDeviation;
    EXPECT_EQ(g.nearFirst, -1);

    const ParameterFit round = Fit(FitModel::Seven, Set(FitModel::Seven, 8, 0, 0.005, rng, 0, &spread));
    EXPECT_FALSE(round.geometry.nearCollinear);
    EXPECT_GT(round.geometry.ratio, 0.8);
    EXPECT_LT(round.geometry.edgeDeviation, 3 * round.geometry.centreDeviation);
    EXPECT_TRUE(round.geometry.extent[0] > 17000 && round.geometry.extent[0] < 20001);

    // Four parameters on a line are determined all the same: no warning.
    const ParameterFit four = Fit(FitModel::Four, Set(FitModel::Four, 8, 0, 0.005, rng, 0, &line));
    EXPECT_TRUE(four.geometry.ratio < 0.01 && !four.geometry.nearCollinear);

    std::vector<double> close = spread;
    close[10] = close[4] + 0.004, close[11] = close[5] - 0.003;  // point 5 5 m from point 2
    const ParameterFit near = Fit(FitModel::Four, Set(FitModel::Four, 8, 0, 0.005, rng, 0, &close));
    EXPECT_TRUE(near.geometry.nearFirst == 2 && near.geometry.nearSecond == 5);
    EXPECT_NEAR(near.geometry.nearDistance, 5, 0.1);
}

}  // namespace
