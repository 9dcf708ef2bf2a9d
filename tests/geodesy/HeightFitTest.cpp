#include "geodesy/HeightFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "geodesy/Constants.h"
#include "geodesy/Distributions.h"
#include "geodesy/GeoidGrid.h"

namespace {

double Rad(double degrees) { return degrees * kDegToRadExact; }

// A fixed sequence in [0, 1).
struct Sequence {
    std::uint32_t s = 12345;
    double Next() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0;
    }
};

// A job of 40 x 30 km around 30.5N 114.5E with a known anomaly (metres):
// tilted and curved by a few centimetres over the area.
double KnownZeta(double B, double L, bool curved) {
    const double n = (B - Rad(30.5)) * 6371000 / 1000, e = (L - Rad(114.5)) * 5487000 / 1000;
    double z = -14.2 + 0.0021 * n - 0.0013 * e;
    if (curved) z += 2.0e-5 * n * n - 1.5e-5 * n * e + 3.0e-5 * e * e;
    return z;
}

// `count` points spread over the job, with uniform noise of ±noise metres on h.
std::vector<HeightPoint> Job(int count, bool curved, double noise, Sequence& seq,
                             double (*extra)(double, double) = nullptr) {
    std::vector<HeightPoint> points;
    for (int i = 0; i < count; ++i) {
        HeightPoint p;
        p.B = Rad(30.5 + 0.18 * (seq.Next() - 0.5) * 2);
        p.L = Rad(114.5 + 0.16 * (seq.Next() - 0.5) * 2);
        p.H = 20 + 300 * seq.Next();
        const double N = extra ? extra(p.B, p.L) : 0;
        p.h = p.H + N + KnownZeta(p.B, p.L, curved) + noise * (2 * seq.Next() - 1);
        points.push_back(p);
    }
    return points;
}

// Worst error of the model's ζ at independent points well inside the job.
double WorstAtCheckPoints(const HeightModel& m, const GeoidGrid* geoid, bool curved,
                          double (*extra)(double, double) = nullptr) {
    Sequence seq{777};
    double worst = 0;
    for (int i = 0; i < 200; ++i) {
        const double B = Rad(30.5 + 0.14 * (seq.Next() - 0.5) * 2);
        const double L = Rad(114.5 + 0.12 * (seq.Next() - 0.5) * 2);
        double zeta = 0;
        EXPECT_TRUE(m.Anomaly(geoid, B, L, &zeta));
        const double truth = KnownZeta(B, L, curved) + (extra ? extra(B, L) : 0);
        worst = std::fmax(worst, std::fabs(zeta - truth));
    }
    return worst;
}

TEST(HeightFit, KnownSurfacesAreRecoveredToTheNoiseLevel) {
    struct Case {
        HeightSurface surface;
        bool curved;
        int count;
    } cases[] = {
        {HeightSurface::Plane, false, 6},    {HeightSurface::Plane, false, 30},
        {HeightSurface::Quadric, true, 12},  {HeightSurface::Quadric, true, 30},
        {HeightSurface::Quadric, false, 20},
    };
    for (const Case& c : cases) {
        Sequence seq;
        const std::vector<HeightPoint> points = Job(c.count, c.curved, 0.0015, seq);
        const HeightFit fit = FitHeights(c.surface, false, points, nullptr);
        ASSERT_TRUE(fit.Solved()) << c.count;
        EXPECT_EQ(fit.usedPoints, c.count);
        EXPECT_EQ(fit.redundancy, c.count - SurfaceUnknowns(c.surface));
        ASSERT_TRUE(fit.sigma0);
        EXPECT_LT(*fit.sigma0, 0.002);  // uniform ±1.5 mm has σ 0.87 mm
        EXPECT_LT(WorstAtCheckPoints(fit.model, nullptr, c.curved), 0.003) << c.count;
        for (const HeightResidual& r : fit.residuals) {
            EXPECT_LT(std::fabs(r.v), 0.003);
            EXPECT_FALSE(r.flagged);
        }
        for (int j = 0; j < fit.unknowns; ++j) EXPECT_GT(fit.deviations[j], 0);
        // The scaling: every used point within one unit of the centroid.
        EXPECT_GE(fit.model.extent[0], -1.0);
        EXPECT_LE(fit.model.extent[1], 1.0);
        EXPECT_GT(fit.model.scale, 10000);
    }
    // A plane cannot follow the curved surface: its σ0 shows it.
    Sequence seq;
    const HeightFit plane = FitHeights(HeightSurface::Plane, false, Job(30, true, 0.0015, seq),
                                       nullptr);
    ASSERT_TRUE(plane.sigma0);
    EXPECT_GT(*plane.sigma0, 0.003);
}

// A geoid with a shape of its own: 1.5 m per degree north and a ripple.
double Ripple(double B, double L) {
    const double lat = B * kRadToDeg, lon = L * kRadToDeg;
    return -15 + 1.5 * (lat - 30) + 1.0 * (lon - 114.5) * (lon - 114.5);
}

GeoidGrid RippleGrid() {
    // Nodes every 0.05 degrees over 30..31N, 114..115E, from the south-west.
    std::string asc = "ncols 21\nnrows 21\nxllcenter 114\nyllcenter 30\ncellsize 0.05\n"
                      "NODATA_value -9999\n";
    for (int r = 20; r >= 0; --r) {
        for (int c = 0; c <= 20; ++c) {
            asc += std::to_string(Ripple(Rad(30 + 0.05 * r), Rad(114 + 0.05 * c))) + " ";
        }
        asc += "\n";
    }
    GeoidGrid grid;
    std::string error;
    EXPECT_TRUE(grid.Parse(asc, &error)) << error;
    return grid;
}

TEST(HeightFit, OnAGeoidTheSurfaceTakesTheLocalOffset) {
    const GeoidGrid grid = RippleGrid();
    for (HeightSurface s : {HeightSurface::Constant, HeightSurface::Plane}) {
        Sequence seq;
        // ζ = N + known plane; the constant model sees only the mean of the plane.
        const std::vector<HeightPoint> points = Job(15, false, 0.001, seq, Ripple);
        const HeightFit fit = FitHeights(s, true, points, &grid);
        ASSERT_TRUE(fit.Solved());
        EXPECT_TRUE(fit.model.onGeoid);
        EXPECT_NEAR(fit.model.coefficients[0], -14.2, 0.05);
        if (s == HeightSurface::Plane) {
            // The grid's bilinear error on the ripple stays below a millimetre here.
            EXPECT_LT(WorstAtCheckPoints(fit.model, &grid, false, Ripple), 0.003);
        }
        double zeta = 0;
        EXPECT_FALSE(fit.model.Anomaly(&grid, Rad(31.2), Rad(114.5), &zeta));
        EXPECT_FALSE(fit.model.Anomaly(nullptr, Rad(30.5), Rad(114.5), &zeta));
    }
    // Without the geoid the same points want far more than a plane.
    Sequence seq;
    const HeightFit alone =
        FitHeights(HeightSurface::Plane, false, Job(15, false, 0.001, seq, Ripple), nullptr);
    ASSERT_TRUE(alone.sigma0);
    EXPECT_GT(*alone.sigma0, 0.005);
}

TEST(HeightFit, AFiveCentimetreBlunderIsFlaggedAndCheckPointsPredicted) {
    for (HeightSurface s : {HeightSurface::Plane, HeightSurface::Quadric}) {
        for (int count : {12, 20, 30}) {
            Sequence seq;
            std::vector<HeightPoint> points = Job(count, true, 0.0015, seq);
            if (s == HeightSurface::Plane) {
                for (HeightPoint& p : points) p.h -= KnownZeta(p.B, p.L, true) - KnownZeta(p.B, p.L, false);
            }
            points[5].h += 0.05;
            points[count - 1].used = false;  // a check point
            const HeightFit fit = FitHeights(s, false, points, nullptr);
            ASSERT_TRUE(fit.Solved());
            EXPECT_EQ(fit.usedPoints, count - 1);
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(fit.residuals[i].flagged, i == 5) << count << " point " << i;
            }
            // Left out, the blunder is clean; the check point's error is small.
            points[5].used = false;
            const HeightFit clean = FitHeights(s, false, points, nullptr);
            ASSERT_TRUE(clean.Solved());
            EXPECT_NEAR(clean.residuals[5].v, 0.05, 0.005);
            EXPECT_TRUE(clean.residuals[5].flagged);
            EXPECT_LT(std::fabs(clean.residuals[count - 1].v), 0.004);
            EXPECT_FALSE(clean.residuals[count - 1].flagged);
            // A tolerance given flags besides the test, not instead of it.
            const HeightFit loose = FitHeights(s, false, points, nullptr, 0.1);
            for (int i = 0; i < count; ++i) {
                const HeightResidual& r = loose.residuals[i];
                EXPECT_FALSE(r.beyondTolerance);
                EXPECT_EQ(r.flagged, i == 5) << count << " point " << i;
            }
            const HeightFit tight = FitHeights(s, false, points, nullptr, 0.03);
            EXPECT_TRUE(tight.residuals[5].beyondTolerance);
            EXPECT_FALSE(tight.residuals[0].beyondTolerance);
        }
    }
}

TEST(HeightFit, TooFewAndDegeneratePointsAreRefused) {
    Sequence seq;
    const std::vector<HeightPoint> many = Job(8, true, 0.001, seq);
    auto take = [&](int n) { return std::vector<HeightPoint>(many.begin(), many.begin() + n); };
    EXPECT_EQ(FitHeights(HeightSurface::Constant, false, {}, nullptr).status,
              HeightStatus::TooFewPoints);
    EXPECT_EQ(FitHeights(HeightSurface::Plane, false, take(2), nullptr).status,
              HeightStatus::TooFewPoints);
    EXPECT_EQ(FitHeights(HeightSurface::Quadric, false, take(5), nullptr).status,
              HeightStatus::TooFewPoints);
    std::vector<HeightPoint> six = take(6);
    six[0].used = false;  // five used
    EXPECT_EQ(FitHeights(HeightSurface::Quadric, false, six, nullptr).status,
              HeightStatus::TooFewPoints);

    // The fewest that fit: exact, no σ0, nothing flagged.
    const HeightFit one = FitHeights(HeightSurface::Constant, false, take(1), nullptr);
    ASSERT_TRUE(one.Solved());
    EXPECT_FALSE(one.sigma0);
    EXPECT_DOUBLE_EQ(one.model.coefficients[0], many[0].h - many[0].H);
    EXPECT_FALSE(one.model.Extrapolates(Rad(40), Rad(100)));
    const HeightFit three = FitHeights(HeightSurface::Plane, false, take(3), nullptr);
    ASSERT_TRUE(three.Solved());
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(three.residuals[i].v, 0, 1e-9);
    EXPECT_TRUE(FitHeights(HeightSurface::Quadric, false, take(6), nullptr).Solved());

    // Points on one line (to the millimetre) fix no plane; points on two lines no quadric.
    std::vector<HeightPoint> line;
    for (int i = 0; i < 7; ++i) {
        HeightPoint p;
        p.B = Rad(30.5 + 0.01 * i);
        p.L = Rad(114.5 + 0.02 * i) + (i % 2) * 1e-3 / 5487000.0;
        p.h = 10 + 0.001 * i, p.H = 25;
        line.push_back(p);
    }
    EXPECT_EQ(FitHeights(HeightSurface::Plane, false, line, nullptr).status,
              HeightStatus::SingularGeometry);
    EXPECT_TRUE(FitHeights(HeightSurface::Constant, false, line, nullptr).Solved());
    std::vector<HeightPoint> cross;
    for (int i = 0; i < 8; ++i) {
        HeightPoint p;
        p.B = Rad(30.5 + (i < 4 ? 0.01 * i : 0));
        p.L = Rad(114.5 + (i < 4 ? 0 : 0.01 * (i - 3)));
        p.h = 10, p.H = 25;
        cross.push_back(p);
    }
    EXPECT_TRUE(FitHeights(HeightSurface::Plane, false, cross, nullptr).Solved());
    EXPECT_EQ(FitHeights(HeightSurface::Quadric, false, cross, nullptr).status,
              HeightStatus::SingularGeometry);

    std::vector<HeightPoint> bad = take(4);
    bad[2].h = NAN;
    const HeightFit nan = FitHeights(HeightSurface::Plane, false, bad, nullptr);
    EXPECT_EQ(nan.status, HeightStatus::OutOfRange);
    EXPECT_EQ(nan.first, 2);
    EXPECT_EQ(FitHeights(HeightSurface::Plane, true, take(4), nullptr).status,
              HeightStatus::NoGeoid);
    const GeoidGrid grid = RippleGrid();
    std::vector<HeightPoint> outside = take(4);
    outside[3].B = Rad(32);
    const HeightFit off = FitHeights(HeightSurface::Plane, true, outside, &grid);
    EXPECT_EQ(off.status, HeightStatus::OutsideGeoid);
    EXPECT_EQ(off.first, 3);
}

TEST(HeightFit, SurfacesWarnOfExtrapolationBeyondTheMargin) {
    Sequence seq;
    const HeightFit fit = FitHeights(HeightSurface::Plane, false, Job(10, false, 0.001, seq),
                                     nullptr);
    ASSERT_TRUE(fit.Solved());
    const HeightModel& m = fit.model;
    EXPECT_FALSE(m.Extrapolates(m.centroidB, m.centroidL));
    // Just inside and well outside the margin north of the box.
    const double side = std::fmax(m.extent[1] - m.extent[0], m.extent[3] - m.extent[2]);
    const double perUnit = m.scale / kHeightFrameRadius;  // radians of B per scaled unit
    const double inside = m.centroidB + (m.extent[1] + 0.9 * kExtrapolationMargin * side) * perUnit;
    const double outside = m.centroidB + (m.extent[1] + 1.1 * kExtrapolationMargin * side) * perUnit;
    EXPECT_FALSE(m.Extrapolates(inside, m.centroidL));
    EXPECT_TRUE(m.Extrapolates(outside, m.centroidL));
}

// Normal noise from the fixed sequence (Box–Muller).
double Gauss(Sequence& seq) {
    const double u = 1 - seq.Next(), w = seq.Next();
    return std::sqrt(-2 * std::log(u)) * std::cos(2 * 3.141592653589793 * w);
}

// The redundancy number of a used point is what leaving it out shows: its
// prediction error as a check point is v / r, and its F statistic then is
// its τ² rescaled by the σ0 without it. The numbers add up to the redundancy.
TEST(HeightFit, RedundancyNumbersAgreeWithLeavingEachPointOut) {
    for (HeightSurface s : {HeightSurface::Constant, HeightSurface::Plane, HeightSurface::Quadric}) {
        Sequence seq{99};
        std::vector<HeightPoint> points = Job(14, true, 0.002, seq);
        const HeightFit fit = FitHeights(s, false, points, nullptr);
        ASSERT_TRUE(fit.Solved());
        ASSERT_TRUE(fit.testable);
        double sum = 0;
        for (int i = 0; i < 14; ++i) {
            const HeightResidual& r = fit.residuals[i];
            EXPECT_GT(r.redundancy, 0);
            EXPECT_LT(r.redundancy, 1);
            sum += r.redundancy;
            ASSERT_TRUE(r.statistic);
            EXPECT_NEAR(*r.statistic, Sq(r.v / *fit.sigma0) / r.redundancy, 1e-9);
            EXPECT_NEAR(r.standardized * r.standardized, *r.statistic, 1e-9);
            std::vector<HeightPoint> without = points;
            without[i].used = false;
            const HeightFit left = FitHeights(s, false, without, nullptr);
            ASSERT_TRUE(left.Solved());
            EXPECT_NEAR(left.residuals[i].v, r.v / r.redundancy, 1e-9) << i;
            EXPECT_EQ(left.residuals[i].redundancy, 0);
            // Without the point, σ0² is (Σv² − v²/r) / (f − 1).
            const double rest = (Sq(*fit.sigma0) * fit.redundancy - Sq(r.v) / r.redundancy) /
                                (fit.redundancy - 1);
            ASSERT_TRUE(left.residuals[i].statistic);
            ASSERT_TRUE(left.sigma0);
            EXPECT_NEAR(Sq(*left.sigma0), rest, 1e-12);
            // and 1 + q of the left-out point is 1 / r.
            EXPECT_NEAR(*left.residuals[i].statistic, Sq(r.v) / (r.redundancy * rest),
                        1e-6 * *left.residuals[i].statistic);
        }
        EXPECT_NEAR(sum, fit.redundancy, 1e-9) << static_cast<int>(s);
        EXPECT_DOUBLE_EQ(fit.criticalUsed, TauSquaredQuantile(1 - kDefaultAlpha, 1, fit.redundancy));
    }
}

// On clean sets the share of points flagged is near α; a 5 cm blunder over
// 2 mm noise in a set of six (plane) or ten (quadric) points is flagged in
// most sets at α = 5 %, and more often than any clean point.
TEST(HeightFit, FalseAlarmsComeAtTheRateOfAlphaAndBlundersAreFound) {
    for (double alpha : {0.001, 0.05}) {
        Sequence seq{4242};
        int flagged = 0, tested = 0;
        for (int set = 0; set < 1000; ++set) {
            std::vector<HeightPoint> points = Job(20, false, 0, seq);
            for (HeightPoint& p : points) p.h += 0.002 * Gauss(seq);
            const HeightFit fit = FitHeights(HeightSurface::Plane, false, points, nullptr,
                                             std::nullopt, alpha);
            ASSERT_TRUE(fit.testable);
            for (const HeightResidual& r : fit.residuals) flagged += r.failsTest ? 1 : 0;
            tested += 20;
        }
        const double share = static_cast<double>(flagged) / tested;
        std::printf("alpha %g: %d of %d clean points flagged (%.3f %%)\n", alpha, flagged, tested,
                    100 * share);
        EXPECT_GT(share, alpha * 0.5) << alpha;
        EXPECT_LT(share, alpha * 1.6) << alpha;
    }
    struct Case {
        HeightSurface surface;
        int count;
    } cases[] = {{HeightSurface::Plane, 6}, {HeightSurface::Quadric, 10}};
    for (const Case& c : cases) {
        Sequence seq{77};
        int found = 0, wrong = 0;
        for (int set = 0; set < 200; ++set) {
            std::vector<HeightPoint> points = Job(c.count, true, 0, seq);
            for (HeightPoint& p : points) p.h += 0.002 * Gauss(seq);
            if (c.surface == HeightSurface::Plane) {
                for (HeightPoint& p : points) {
                    p.h -= KnownZeta(p.B, p.L, true) - KnownZeta(p.B, p.L, false);
                }
            }
            points[2].h += 0.05;
            const HeightFit fit = FitHeights(c.surface, false, points, nullptr, std::nullopt, 0.05);
            ASSERT_TRUE(fit.Solved());
            if (!fit.testable) continue;
            found += fit.residuals[2].flagged && !fit.residuals[2].poorlyChecked ? 1 : 0;
            for (int i = 0; i < c.count; ++i) wrong += i != 2 && fit.residuals[i].flagged ? 1 : 0;
        }
        std::printf("%d points, one 5 cm blunder: flagged in %d of 200 sets, %d clean points "
                    "flagged\n", c.count, found, wrong);
        EXPECT_GT(found, 100) << c.count;  // most of 200
        EXPECT_LT(wrong, found) << c.count;
    }
}

// A point far from the others carries a tilted plane alone: poorly checked.
// With the redundancy 1 there is no test; with none there is no σ0.
TEST(HeightFit, PoorlyCheckedPointsAndFitsWithoutATestAreMarked) {
    Sequence seq;
    std::vector<HeightPoint> points = Job(8, false, 0.001, seq);
    HeightPoint far = points[0];
    far.B += 2 * kDegToRad;  // 220 km north of a 20 km job
    points.push_back(far);
    const HeightFit fit = FitHeights(HeightSurface::Plane, false, points, nullptr);
    ASSERT_TRUE(fit.Solved());
    EXPECT_TRUE(fit.residuals[8].poorlyChecked);
    EXPECT_LT(fit.residuals[8].redundancy, kPoorlyChecked);
    EXPECT_EQ(fit.poorlyChecked, 1);
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(fit.residuals[i].poorlyChecked) << i;

    const std::vector<HeightPoint> four(points.begin(), points.begin() + 4);
    const HeightFit one = FitHeights(HeightSurface::Plane, false, four, nullptr);
    ASSERT_TRUE(one.Solved());
    EXPECT_EQ(one.redundancy, 1);
    ASSERT_TRUE(one.sigma0);
    EXPECT_FALSE(one.testable);
    for (const HeightResidual& r : one.residuals) {
        EXPECT_FALSE(r.statistic);
        EXPECT_FALSE(r.failsTest);
    }
    const std::vector<HeightPoint> three(points.begin(), points.begin() + 3);
    const HeightFit none = FitHeights(HeightSurface::Plane, false, three, nullptr);
    ASSERT_TRUE(none.Solved());
    EXPECT_FALSE(none.sigma0);
    EXPECT_FALSE(none.testable);
    for (const HeightResidual& r : none.residuals) EXPECT_TRUE(r.poorlyChecked);
}

}  // namespace
