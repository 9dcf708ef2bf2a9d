// Least squares from many common points: parameters recovered from noisy
// synthetic points, standard deviations against repeated noise, a blunder
// found and dropped, the one-, two- and three-point estimators' results with
// the fewest points, and the refused geometries.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geodesy/GeoCore.h"
#include "geodesy/ParameterFit.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
const CGeoCore geo;
const FitModel kModels[] = {FitModel::Seven, FitModel::Four, FitModel::Three};
// Seven (m, rad, scale change; about 1 to 2 arc-seconds) and four parameters.
const double kSeven[7] = {-15.4, 120.7, 85.2, 5.8e-6, -3.9e-6, 1.02e-5, 3.5e-6};
const double kFour[4] = {-1234.567, 2345.678, 0.8 * kDeg, 1.000012};
const double* Truth(FitModel m) { return m == FitModel::Four ? kFour : kSeven; }

// `count` points over a square of `sideKm` around 34 N, 113 E (Beijing-54),
// targets by the true parameters plus normal noise in every coordinate.
std::vector<FitPoint> Synthetic(FitModel model, int count, double sideKm, double noise,
                                std::mt19937_64& rng) {
    std::uniform_real_distribution<double> u(-0.5, 0.5), h(20, 600);
    std::normal_distribution<double> normal(0, noise > 0 ? noise : 1);
    auto e = [&] { return noise > 0 ? normal(rng) : 0.0; };
    ConversionParams on;
    on.m_savedUseSeven = 1;
    const double* s = kSeven;
    const double k = model == FitModel::Seven ? 1 : 0;
    std::vector<FitPoint> points(static_cast<std::size_t>(count));
    for (FitPoint& p : points) {
        const double north = u(rng) * sideKm * 1000, east = u(rng) * sideKm * 1000;
        if (model == FitModel::Four) {
            double x = p.source[0] = 3762000 + north, y = p.source[1] = 512000 + east;
            geo.ApplyFourParameters(kFour[0], kFour[1], kFour[2], kFour[3], &x, &y);
            p.target[0] = x + e(), p.target[1] = y + e();
            continue;
        }
        geo.GeodeticToSpace(6378245.0, 298.3, 34 * kDeg + north / 6371000,
                            113 * kDeg + east / 5280000, h(rng), &p.source[0], &p.source[1],
                            &p.source[2]);
        double X = p.source[0], Y = p.source[1], Z = p.source[2];
        geo.ApplySevenParameters(s[0], s[1], s[2], k * s[3], k * s[4], k * s[5], k * s[6], on, &X,
                                 &Y, &Z);
        p.target[0] = X + e(), p.target[1] = Y + e(), p.target[2] = Z + e();
    }
    return points;
}

ParameterFit Fit(FitModel model, const std::vector<FitPoint>& points,
                 std::optional<double> tolerance = std::nullopt) {
    return FitParameters(model, points, 6378137.0, 298.257222101, tolerance);
}

TEST(ParameterFit, RecoversKnownParametersFromNoisyPoints) {
    std::mt19937_64 rng(20240512);
    for (FitModel model : kModels) {
        for (int count : {4, 9, 30}) {
            for (double side : {10.0, 60.0, 300.0}) {
                SCOPED_TRACE(testing::Message() << int(model) << " n=" << count << " " << side);
                const ParameterFit fit = Fit(model, Synthetic(model, count, side, 0.003, rng));
                ASSERT_TRUE(fit.Solved());
                EXPECT_EQ(fit.redundancy,
                          count * ObservationsPerPoint(model) - UnknownCount(model));
                EXPECT_TRUE(*fit.sigma0 > 0.001 && *fit.sigma0 < 0.006) << *fit.sigma0;
                for (int i = 0; i < UnknownCount(model); ++i) {
                    EXPECT_LT(std::fabs(fit.parameters[i] - Truth(model)[i]), 5 * fit.deviations[i])
                        << i;
                }
            }
        }
    }
}

// The deviations must describe the scatter over repeated noise: catches a
// wrong covariance, above all in carrying the centre's shifts to the origin.
TEST(ParameterFit, StandardDeviationsMatchTheScatterOverRepeatedNoise) {
    for (FitModel model : kModels) {
        std::mt19937_64 rng(7);
        const int runs = 300;
        double sum[7] = {}, sumSq[7] = {}, predicted[7] = {};
        for (int run = 0; run < runs; ++run) {
            const ParameterFit fit = Fit(model, Synthetic(model, 10, 40, 0.004, rng));
            for (int i = 0; i < UnknownCount(model); ++i) {
                const double d = fit.parameters[i] - Truth(model)[i];
                sum[i] += d, sumSq[i] += d * d, predicted[i] += fit.deviations[i] / runs;
            }
        }
        for (int i = 0; i < UnknownCount(model); ++i) {
            const double scatter = std::sqrt(sumSq[i] / runs - std::pow(sum[i] / runs, 2));
            EXPECT_NEAR(scatter / predicted[i], 1.0, 0.2) << int(model) << " " << i;
        }
    }
}

// 0.3 m on one point: the largest residual and the only flag; as a check
// point it keeps its residual and σ0 comes back to the noise.
TEST(ParameterFit, BlunderIsFlaggedAndDroppingItRestoresSigma0) {
    std::mt19937_64 rng(99);
    for (FitModel model : kModels) {
        for (int count : {12, 25}) {
            std::vector<FitPoint> points = Synthetic(model, count, 50, 0.003, rng);
            const int bad = count / 2;
            points[bad].target[0] += model == FitModel::Four ? 0.3 : 0.18;
            points[bad].target[1] += model == FitModel::Four ? 0.0 : 0.24;
            for (bool dropped : {false, true}) {
                points[bad].used = !dropped;
                const ParameterFit fit = Fit(model, points);
                ASSERT_TRUE(fit.Solved());
                for (int i = 0; i < count; ++i) {
                    EXPECT_EQ(fit.residuals[i].flagged, i == bad) << int(model) << " " << i;
                    EXPECT_LE(fit.residuals[i].norm, fit.residuals[bad].norm);
                }
                EXPECT_EQ(*fit.sigma0 < 0.0048, dropped) << *fit.sigma0;
                EXPECT_NEAR(fit.residuals[bad].norm, 0.3, dropped ? 0.02 : 0.2);
            }
        }
    }
}

TEST(ParameterFit, ResidualsAreNorthEastUpOfTheTargetPoint) {
    std::mt19937_64 rng(5);
    std::vector<FitPoint> points = Synthetic(FitModel::Three, 4, 20, 0, rng);
    FitPoint moved = points[0];  // 0.1 m north, 0.2 m up, as a check point
    double B, L, H;
    geo.SpaceToGeodetic(6378137.0, 298.257222101, moved.target[0], moved.target[1], moved.target[2],
                        &B, &L, &H);
    geo.GeodeticToSpace(6378137.0, 298.257222101, B + 0.1 / 6356000, L + M_PI, H + 0.2,
                        &moved.target[0], &moved.target[1], &moved.target[2]);
    moved.used = false;
    points.push_back(moved);
    const ParameterFit fit = Fit(FitModel::Three, points, 1.0);
    const PointResidual& r = fit.residuals.back();
    // Within the accuracy of the space-to-geodetic series used to move it.
    EXPECT_NEAR(r.v[0], 0.1, 0.002);
    EXPECT_NEAR(r.v[1], 0.0, 1e-4);
    EXPECT_NEAR(r.v[2], 0.2, 1e-4);
    EXPECT_FALSE(r.flagged) << "the tolerance given, 1 m";
}

// The fewest points give the three-point seven-parameter estimator's result
// (within its rounding to 1e-6 m, 1e-10 rad, 1e-12), the two-point
// four-parameter one's to the bit and the one-point shifts (which the
// command cuts to the millimetre); no σ0 where nothing is redundant.
TEST(ParameterFit, MinimumPointsGiveTheOneTwoAndThreePointEstimatorsResults) {
    std::mt19937_64 rng(11);
    for (double side : {5.0, 80.0, 400.0}) {
        const std::vector<FitPoint> seven = Synthetic(FitModel::Seven, 3, side, 0.005, rng);
        const std::vector<FitPoint> four = Synthetic(FitModel::Four, 2, side, 0.005, rng);
        double in7[18], in4[12], r[7];
        for (int p = 0; p < 3; ++p) {
            for (int i = 0; i < 3; ++i) {
                in7[6 * p + i] = seven[p].source[i], in7[6 * p + 3 + i] = seven[p].target[i];
                if (p < 2)
                    in4[6 * p + i] = four[p].target[i], in4[6 * p + 3 + i] = four[p].source[i];
            }
        }
        ASSERT_TRUE(
            geo.EstimateSevenParameters(in7, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
        const ParameterFit fit7 = Fit(FitModel::Seven, seven);
        for (int i = 0; i < 7; ++i) {
            EXPECT_NEAR(fit7.parameters[i], r[i],
                        (i < 3   ? 0.5e-6
                         : i < 6 ? 0.5e-10
                                 : 0.5e-12) *
                            1.01);
        }
        geo.EstimateFourParameters(in4, &r[0], &r[1], &r[2], &r[3]);
        const ParameterFit fit4 = Fit(FitModel::Four, four);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(fit4.parameters[i], r[i]);
        EXPECT_FALSE(fit4.sigma0 || fit4.residuals[0].flagged || fit4.residuals[0].norm > 1e-6);
        const ParameterFit fit3 = Fit(FitModel::Three, {seven[0]});
        for (int i = 0; i < 3; ++i) {
            const double d = seven[0].target[i] - seven[0].source[i];
            EXPECT_EQ(fit3.parameters[i], d);
            EXPECT_NEAR(fit3.parameters[i], std::trunc(d * 1000.0) * 0.001, 0.001);
        }
    }
}

TEST(ParameterFit, RefusesWhatDoesNotDetermineTheParameters) {
    std::mt19937_64 rng(3);
    struct Case {
        FitModel model;
        std::vector<FitPoint> points;
        FitStatus status;
        int first, second;
    };
    std::vector<Case> cases;
    for (FitModel model : kModels) {
        std::vector<FitPoint> few = Synthetic(model, 5, 20, 0.003, rng);
        for (int i = MinimumPoints(model) - 1; i < 5; ++i) few[i].used = false;  // check points
        std::vector<FitPoint> src = Synthetic(model, 6, 20, 0.003, rng), tgt = src, check = src;
        for (int i = 0; i < 3; ++i) src[4].source[i] = src[1].source[i] + 0.0004;
        for (int i = 0; i < 3; ++i) tgt[5].target[i] = tgt[2].target[i];
        check[5] = check[0];
        check[5].used = false;
        cases.push_back({model, few, FitStatus::TooFewPoints, -1, -1});
        cases.push_back({model, src, FitStatus::CoincidentPoints, 1, 4});
        cases.push_back({model, tgt, FitStatus::CoincidentPoints, 2, 5});
        cases.push_back({model, check, FitStatus::Solved, -1, -1});
    }
    // Points on one line, exactly and to the millimetre: the rotation about it is free.
    std::vector<FitPoint> line(5), rounded(5);
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 3; ++k) {
            const double s = std::vector<double>{-2168000, 4382000, 3547000}[k] +
                             std::vector<double>{0.3, -0.5, 0.81}[k] * i * 2500.0;
            line[i].source[k] = s, line[i].target[k] = s + 50 + k;
            rounded[i].source[k] = std::round(s * 1000) / 1000;
            rounded[i].target[k] = std::round((s + 50 + k) * 1000) / 1000;
        }
    }
    cases.push_back({FitModel::Seven, line, FitStatus::SingularGeometry, -1, -1});
    cases.push_back({FitModel::Seven, rounded, FitStatus::SingularGeometry, -1, -1});
    cases.push_back({FitModel::Three, line, FitStatus::Solved, -1, -1});
    std::vector<FitPoint> nan = Synthetic(FitModel::Seven, 5, 20, 0.003, rng), far = nan;
    nan[3].used = false;  // check points too
    nan[3].target[2] = std::nan("");
    far[1].source[0] = 1e300;
    cases.push_back({FitModel::Seven, nan, FitStatus::OutOfRange, 3, -1});
    cases.push_back({FitModel::Four, far, FitStatus::OutOfRange, 1, -1});

    for (std::size_t c = 0; c < cases.size(); ++c) {
        const ParameterFit fit = Fit(cases[c].model, cases[c].points);
        EXPECT_EQ(fit.status, cases[c].status) << "case " << c;
        if (fit.Solved()) continue;
        EXPECT_TRUE(fit.first == cases[c].first && fit.second == cases[c].second) << "case " << c;
        EXPECT_TRUE(fit.residuals.empty() && !fit.sigma0) << "case " << c;
    }
}

}  // namespace
