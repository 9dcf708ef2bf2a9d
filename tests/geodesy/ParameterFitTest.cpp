// Least squares from many common points: parameters recovered from
// synthetic points, standard deviations against repeated noise, a blunder
// found and dropped, the minimum-point results of the one-, two- and
// three-point estimators, and the refused geometries.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geodesy/GeoCore.h"
#include "geodesy/ParameterFit.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kA54 = 6378245.0, kRf54 = 298.3;
constexpr double kA2000 = 6378137.0, kRf2000 = 298.257222101;
const CGeoCore geo;

// Beijing-54 to CGCS2000-like seven parameters: metres, radians (about 1 to
// 2 arc-seconds), scale change 3.5 ppm.
const double kSeven[7] = {-15.4, 120.7, 85.2, 5.8e-6, -3.9e-6, 1.02e-5, 3.5e-6};
// A local grid: shifts, 0.8 degree, scale 1.000012.
const double kFour[4] = {-1234.567, 2345.678, 0.8 * kDeg, 1.000012};

// `count` common points spread over a square of `sideKm` around 34 N, 113 E,
// source and target by `model` with the true parameters, plus normal noise
// of `noise` metres in every coordinate.
std::vector<FitPoint> Synthetic(FitModel model, int count, double sideKm, double noise,
                                std::mt19937_64& rng) {
    std::uniform_real_distribution<double> u(-0.5, 0.5), h(20, 600);
    std::normal_distribution<double> normal(0, noise > 0 ? noise : 1);
    auto e = [&](std::mt19937_64& r) { return noise > 0 ? normal(r) : 0.0; };
    std::vector<FitPoint> points(static_cast<std::size_t>(count));
    ConversionParams on;
    on.m_savedUseSeven = 1;
    for (FitPoint& p : points) {
        const double north = u(rng) * sideKm * 1000, east = u(rng) * sideKm * 1000;
        if (model == FitModel::Four) {
            p.source[0] = 3762000 + north;
            p.source[1] = 512000 + east;
            double x = p.source[0], y = p.source[1];
            geo.ApplyFourParameters(kFour[0], kFour[1], kFour[2], kFour[3], &x, &y);
            p.target[0] = x + e(rng);
            p.target[1] = y + e(rng);
            continue;
        }
        const double B = 34 * kDeg + north / 6371000, L = 113 * kDeg + east / 5280000;
        geo.GeodeticToSpace(kA54, kRf54, B, L, h(rng), &p.source[0], &p.source[1], &p.source[2]);
        double X = p.source[0], Y = p.source[1], Z = p.source[2];
        const double* s = kSeven;
        if (model == FitModel::Seven) {
            geo.ApplySevenParameters(s[0], s[1], s[2], s[3], s[4], s[5], s[6], on, &X, &Y, &Z);
        } else {
            geo.ApplySevenParameters(s[0], s[1], s[2], 0, 0, 0, 0, on, &X, &Y, &Z);
        }
        p.target[0] = X + e(rng);
        p.target[1] = Y + e(rng);
        p.target[2] = Z + e(rng);
    }
    return points;
}

const double* Truth(FitModel model) { return model == FitModel::Four ? kFour : kSeven; }

ParameterFit Fit(FitModel model, const std::vector<FitPoint>& points,
                 std::optional<double> tolerance = std::nullopt) {
    return FitParameters(model, points, kA2000, kRf2000, tolerance);
}

TEST(ParameterFit, RecoversKnownParametersFromNoisyPoints) {
    std::mt19937_64 rng(20240512);
    const double noise = 0.003;
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        for (int count : {4, 9, 30}) {
            for (double side : {10.0, 60.0, 300.0}) {
                SCOPED_TRACE(testing::Message() << static_cast<int>(model) << " n=" << count
                                                << " side=" << side << " km");
                const std::vector<FitPoint> points = Synthetic(model, count, side, noise, rng);
                const ParameterFit fit = Fit(model, points);
                ASSERT_TRUE(fit.Solved());
                EXPECT_EQ(fit.usedPoints, count);
                EXPECT_EQ(fit.observations, count * ObservationsPerPoint(model));
                EXPECT_EQ(fit.redundancy, fit.observations - UnknownCount(model));
                ASSERT_TRUE(fit.sigma0.has_value());
                EXPECT_GT(*fit.sigma0, 0.3 * noise);
                EXPECT_LT(*fit.sigma0, 2.0 * noise);
                for (int i = 0; i < UnknownCount(model); ++i) {
                    // Each parameter within five of its standard deviations.
                    EXPECT_GT(fit.deviations[i], 0) << i;
                    EXPECT_LT(std::fabs(fit.parameters[i] - Truth(model)[i]),
                              5 * fit.deviations[i])
                        << i;
                }
                ASSERT_EQ(fit.residuals.size(), points.size());
                for (const PointResidual& r : fit.residuals) EXPECT_LT(r.norm, 6 * noise);
            }
        }
    }
}

// The standard deviations must describe the scatter of the parameters over
// repeated noise; this catches a wrong covariance, above all in carrying the
// shifts of the centre back to the origin.
TEST(ParameterFit, StandardDeviationsMatchTheScatterOverRepeatedNoise) {
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        std::mt19937_64 rng(7);
        const int runs = 300, n = UnknownCount(model);
        double sum[7] = {}, sumSq[7] = {}, predicted[7] = {};
        for (int run = 0; run < runs; ++run) {
            const ParameterFit fit = Fit(model, Synthetic(model, 10, 40, 0.004, rng));
            ASSERT_TRUE(fit.Solved());
            for (int i = 0; i < n; ++i) {
                const double d = fit.parameters[i] - Truth(model)[i];
                sum[i] += d;
                sumSq[i] += d * d;
                predicted[i] += fit.deviations[i] / runs;
            }
        }
        for (int i = 0; i < n; ++i) {
            const double scatter = std::sqrt(sumSq[i] / runs - (sum[i] / runs) * (sum[i] / runs));
            EXPECT_NEAR(scatter / predicted[i], 1.0, 0.2) << static_cast<int>(model) << " " << i;
        }
    }
}

// A blunder of 0.3 m gets the largest residual and the flag; as a check
// point it keeps its residual and σ0 comes back to the noise.
TEST(ParameterFit, BlunderIsFlaggedAndDroppingItRestoresSigma0) {
    std::mt19937_64 rng(99);
    const double noise = 0.003;
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        for (int count : {12, 25}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(model) << " n=" << count);
            std::vector<FitPoint> points = Synthetic(model, count, 50, noise, rng);
            const int bad = count / 2;
            points[bad].target[0] += model == FitModel::Four ? 0.3 : 0.3 * 0.6;
            points[bad].target[1] += model == FitModel::Four ? 0.0 : 0.3 * 0.8;
            ParameterFit fit = Fit(model, points);
            ASSERT_TRUE(fit.Solved());
            int largest = 0;
            for (int i = 0; i < count; ++i) {
                if (fit.residuals[i].norm > fit.residuals[largest].norm) largest = i;
                EXPECT_EQ(fit.residuals[i].flagged, i == bad) << i;
            }
            EXPECT_EQ(largest, bad);
            EXPECT_GT(*fit.sigma0, 5 * noise);

            points[bad].used = false;
            fit = Fit(model, points);
            ASSERT_TRUE(fit.Solved());
            EXPECT_EQ(fit.usedPoints, count - 1);
            EXPECT_LT(*fit.sigma0, 1.6 * noise);
            EXPECT_NEAR(fit.residuals[bad].norm, 0.3, 0.02);
            for (int i = 0; i < count; ++i) EXPECT_EQ(fit.residuals[i].flagged, i == bad) << i;
        }
    }
}

TEST(ParameterFit, ResidualsAreNorthEastUpOfTheTargetPoint) {
    // Exact points, then one target moved 0.1 m north and 0.2 m up in the
    // horizon of its latitude and longitude on the target ellipsoid.
    std::mt19937_64 rng(5);
    std::vector<FitPoint> points = Synthetic(FitModel::Three, 4, 20, 0, rng);
    FitPoint moved = points[0];
    double B, L, H;
    geo.SpaceToGeodetic(kA2000, kRf2000, moved.target[0], moved.target[1], moved.target[2], &B,
                        &L, &H);
    geo.GeodeticToSpace(kA2000, kRf2000, B + 0.1 / 6356000, L + 3.1415926535898, H + 0.2,
                        &moved.target[0], &moved.target[1], &moved.target[2]);
    moved.used = false;
    points.push_back(moved);
    const ParameterFit fit = Fit(FitModel::Three, points, 1.0);
    ASSERT_TRUE(fit.Solved());
    const PointResidual& r = fit.residuals.back();
    EXPECT_NEAR(r.v[0], 0.1, 0.002);
    // Within the accuracy of the space-to-geodetic series the point was moved by.
    EXPECT_NEAR(r.v[1], 0.0, 1e-4);
    EXPECT_NEAR(r.v[2], 0.2, 1e-4);
    EXPECT_FALSE(r.flagged) << "the given tolerance, 1 m";
    EXPECT_EQ(*fit.tolerance, 1.0);
}

// With the fewest points the results are those of the commands of today:
// the three-point seven-parameter estimator (rounded to 1e-6 m, 1e-10 rad,
// 1e-12), the two-point four-parameter estimator (to the bit) and the
// one-point shifts (cut to the millimetre).
TEST(ParameterFit, MinimumPointsGiveTheResultsOfTheOneTwoAndThreePointEstimators) {
    std::mt19937_64 rng(11);
    for (double side : {5.0, 80.0, 400.0}) {
        const std::vector<FitPoint> points = Synthetic(FitModel::Seven, 3, side, 0.005, rng);
        double in[18], r[7];
        for (int p = 0; p < 3; ++p) {
            for (int i = 0; i < 3; ++i) {
                in[6 * p + i] = points[p].source[i];
                in[6 * p + 3 + i] = points[p].target[i];
            }
        }
        ASSERT_TRUE(
            geo.EstimateSevenParameters(in, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
        const ParameterFit fit = Fit(FitModel::Seven, points);
        ASSERT_TRUE(fit.Solved());
        EXPECT_EQ(fit.redundancy, 2);
        for (int i = 0; i < 7; ++i) {
            const double rounding = i < 3 ? 0.5e-6 : i < 6 ? 0.5e-10 : 0.5e-12;
            EXPECT_NEAR(fit.parameters[i], r[i], rounding * 1.01) << side << " km, " << i;
        }
    }
    for (double side : {0.5, 30.0, 250.0}) {
        const std::vector<FitPoint> points = Synthetic(FitModel::Four, 2, side, 0.005, rng);
        double in[12], Xo, Yo, T, K;
        for (int p = 0; p < 2; ++p) {
            for (int i = 0; i < 3; ++i) {
                in[6 * p + i] = points[p].target[i];
                in[6 * p + 3 + i] = points[p].source[i];
            }
        }
        geo.EstimateFourParameters(in, &Xo, &Yo, &T, &K);
        const ParameterFit fit = Fit(FitModel::Four, points);
        ASSERT_TRUE(fit.Solved());
        EXPECT_TRUE(fit.parameters[0] == Xo && fit.parameters[1] == Yo &&
                    fit.parameters[2] == T && fit.parameters[3] == K);
        EXPECT_FALSE(fit.sigma0.has_value());
        EXPECT_EQ(fit.redundancy, 0);
        for (const PointResidual& res : fit.residuals) {
            EXPECT_LT(res.norm, 1e-6);
            EXPECT_FALSE(res.flagged) << "no σ0 and no tolerance: nothing to flag by";
        }
    }
    const std::vector<FitPoint> one = Synthetic(FitModel::Three, 1, 1, 0.005, rng);
    const ParameterFit fit = Fit(FitModel::Three, one);
    ASSERT_TRUE(fit.Solved());
    for (int i = 0; i < 3; ++i) {
        const double difference = one[0].target[i] - one[0].source[i];
        EXPECT_EQ(fit.parameters[i], difference);
        EXPECT_NEAR(fit.parameters[i], std::trunc(difference * 1000.0) * 0.001, 0.001);
    }
    EXPECT_FALSE(fit.sigma0.has_value());
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
    // Too few used points: check points do not count.
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        std::vector<FitPoint> pts = Synthetic(model, 5, 20, 0.003, rng);
        for (int i = MinimumPoints(model) - 1; i < 5; ++i) pts[i].used = false;
        cases.push_back({model, pts, FitStatus::TooFewPoints, -1, -1});
        cases.push_back({model, {}, FitStatus::TooFewPoints, -1, -1});
    }
    // Coincident points, on the source side and on the target side; a check
    // point on top of a used one is allowed.
    for (FitModel model : {FitModel::Seven, FitModel::Four, FitModel::Three}) {
        std::vector<FitPoint> pts = Synthetic(model, 6, 20, 0.003, rng);
        std::vector<FitPoint> src = pts, tgt = pts, check = pts;
        for (int i = 0; i < 3; ++i) src[4].source[i] = pts[1].source[i] + 0.0004;
        for (int i = 0; i < 3; ++i) tgt[5].target[i] = pts[2].target[i];
        check[5] = check[0];
        check[5].used = false;
        cases.push_back({model, src, FitStatus::CoincidentPoints, 1, 4});
        cases.push_back({model, tgt, FitStatus::CoincidentPoints, 2, 5});
        cases.push_back({model, check, FitStatus::Solved, -1, -1});
    }
    // Seven parameters from points on one straight line, exactly and to the
    // millimetre: the rotation about the line is free.
    std::vector<FitPoint> line(5), rounded(5);
    for (int i = 0; i < 5; ++i) {
        const double t = i * 2500.0;
        const double s[3] = {-2168000 + 0.3 * t, 4382000 - 0.5 * t, 3547000 + 0.81 * t};
        for (int k = 0; k < 3; ++k) {
            line[i].source[k] = s[k];
            line[i].target[k] = s[k] + 50 + k;
            rounded[i].source[k] = std::round(s[k] * 1000) / 1000;
            rounded[i].target[k] = std::round((s[k] + 50 + k) * 1000) / 1000;
        }
    }
    cases.push_back({FitModel::Seven, line, FitStatus::SingularGeometry, -1, -1});
    cases.push_back({FitModel::Seven, rounded, FitStatus::SingularGeometry, -1, -1});
    cases.push_back({FitModel::Three, line, FitStatus::Solved, -1, -1});
    // Not a number, or a coordinate far beyond the earth, check points included.
    std::vector<FitPoint> nan = Synthetic(FitModel::Seven, 5, 20, 0.003, rng);
    std::vector<FitPoint> far = nan;
    nan[3].used = false;
    nan[3].target[2] = std::nan("");
    cases.push_back({FitModel::Seven, nan, FitStatus::OutOfRange, 3, -1});
    far[1].source[0] = 1e300;
    cases.push_back({FitModel::Four, far, FitStatus::OutOfRange, 1, -1});

    for (std::size_t c = 0; c < cases.size(); ++c) {
        const ParameterFit fit = Fit(cases[c].model, cases[c].points);
        EXPECT_EQ(fit.status, cases[c].status) << "case " << c;
        if (fit.Solved()) continue;
        EXPECT_EQ(fit.first, cases[c].first) << "case " << c;
        EXPECT_EQ(fit.second, cases[c].second) << "case " << c;
        EXPECT_TRUE(fit.residuals.empty() && !fit.sigma0) << "case " << c;
    }
}

}  // namespace
