// Linear solvers and the seven- and four-parameter estimators.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;

const CGeoCore geo;

TEST(Estimation, GaussJordanWithCompletePivoting) {
    // K = 1, T = 0: the identity leaves b unchanged.
    double I[4] = {1, -0.0, 0.0, 1};
    double b[2] = {123.25, -7.5};
    int piv[2] = {0, 0};
    ASSERT_EQ(geo.SolveLinearSystem(I, 2, b, piv), 1);
    EXPECT_EQ(b[0], 123.25);
    EXPECT_EQ(b[1], -7.5);

    // The largest entry (5, in column 1) is the first pivot; the column swap
    // is undone on the solution.
    double A[4] = {1, 5, 2, 3};
    double c[2] = {1 * 2 + 5 * -1, 2 * 2 + 3 * -1};
    ASSERT_EQ(geo.SolveLinearSystem(A, 2, c, piv), 1);
    EXPECT_EQ(piv[0], 1);
    EXPECT_NEAR(c[0], 2, 1e-15);
    EXPECT_NEAR(c[1], -1, 1e-15);

    double M[9] = {0, 2, 1, 1, 1, 1, 4, 1, 0};
    double d[3] = {2 * 2 + 3, 1 + 2 + 3, 4 + 2};  // x = (1, 2, 3)
    int piv3[3] = {0, 0, 0};
    ASSERT_EQ(geo.SolveLinearSystem(M, 3, d, piv3), 1);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(d[i], i + 1, 1e-14);

    double S[4] = {1, 2, 2, 4};
    double e[2] = {1, 2};
    EXPECT_EQ(geo.SolveLinearSystem(S, 2, e, piv), 0);
}

TEST(Estimation, HouseholderQrReproducesTheMatrix) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int m : {3, 9}) {
        const int n = m == 3 ? 3 : 7;
        double A[63], R[63], Q[81];
        for (int i = 0; i < m * n; ++i) A[i] = R[i] = u(rng);
        ASSERT_EQ(geo.QrDecompose(R, m, n, Q), 1);
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < n; ++j) {
                double qr = 0, qq = 0;
                for (int k = 0; k < m; ++k) qr += Q[i * m + k] * R[k * n + j];
                EXPECT_NEAR(qr, A[i * n + j], 1e-12) << m << " " << i << " " << j;
                if (i > j) {
                    EXPECT_EQ(R[i * n + j], 0.0);
                }
                for (int k = 0; k < m; ++k) qq += Q[k * m + i] * Q[k * m + j];
                EXPECT_NEAR(qq, i == j ? 1.0 : 0.0, 1e-14);
            }
        }
    }
}

TEST(Estimation, QrFailuresPrintFail) {
    double A[6] = {1, 2, 3, 4, 5, 6}, Q[4];
    testing::internal::CaptureStdout();
    EXPECT_EQ(geo.QrDecompose(A, 2, 3, Q), 0);  // fewer rows than columns
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
    // Guards against 0/0 for an all-zero column, which made the whole
    // result NaN and reported success.
    double Z[6] = {1, 0, 2, 0, 3, 0}, QZ[9];
    testing::internal::CaptureStdout();
    EXPECT_EQ(geo.QrDecompose(Z, 3, 2, QZ), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
}

TEST(Estimation, LeastSquares) {
    // Line fit y = 2 + 3 t through noisy points; compare with the normal equations.
    const double t[5] = {0, 1, 2, 3, 4}, y[5] = {2.1, 4.9, 8.2, 10.9, 14.1};
    double A[10], l[5], Q[25];
    for (int i = 0; i < 5; ++i) A[2 * i] = 1, A[2 * i + 1] = t[i], l[i] = y[i];
    ASSERT_EQ(geo.SolveLeastSquares(A, 5, 2, l, Q), 1);
    double st = 0, sy = 0, stt = 0, sty = 0;
    for (int i = 0; i < 5; ++i) st += t[i], sy += y[i], stt += t[i] * t[i], sty += t[i] * y[i];
    const double slope = (5 * sty - st * sy) / (5 * stt - st * st);
    EXPECT_NEAR(l[1], slope, 1e-13);
    EXPECT_NEAR(l[0], (sy - slope * st) / 5, 1e-13);

    // Guards against dividing by the unchecked last diagonal of a square
    // singular system: it fails and leaves l alone.
    double S[4] = {1, 1, 1, 1}, r[2] = {3, 4}, QS[4];
    testing::internal::CaptureStdout();
    EXPECT_EQ(geo.SolveLeastSquares(S, 2, 2, r, QS), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
    EXPECT_EQ(r[0], 3);
    EXPECT_EQ(r[1], 4);
}

// Three common points spread over China on Beijing-54, the targets made with
// the same linearised model, so the parameters are recovered to the rounding.
void CommonPoints(const double seven[7], double points[18]) {
    const double geodetic[3][3] = {{22.5, 101.0, 1200}, {45.0, 127.0, 150}, {36.0, 80.0, 3000}};
    for (int p = 0; p < 3; ++p) {
        double* pt = points + 6 * p;
        geo.GeodeticToSpace(6378245.0, 298.3, geodetic[p][0] * kDeg, geodetic[p][1] * kDeg,
                            geodetic[p][2], &pt[0], &pt[1], &pt[2]);
        pt[3] = pt[0], pt[4] = pt[1], pt[5] = pt[2];
        ConversionParams on;
        on.m_savedUseSeven = 1;
        geo.ApplySevenParameters(seven[0], seven[1], seven[2], seven[3], seven[4], seven[5],
                                 seven[6], on, &pt[3], &pt[4], &pt[5]);
    }
}

TEST(Estimation, SevenParametersFromSyntheticPoints) {
    struct Case {
        double seven[7];
        double tolShift;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 0.0},
        {{100, -50, 20, 0, 0, 0, 0}, 0.0},
        {{-15.4, 120.7, 85.2, 1.2e-5, -0.8e-5, 1.5e-5, 5e-6}, 1e-6},
    };
    for (const Case& c : cases) {
        double points[18];
        CommonPoints(c.seven, points);
        double r[7];
        ASSERT_TRUE(
            geo.EstimateSevenParameters(points, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], c.seven[i], c.tolShift) << i;
        for (int i = 3; i < 6; ++i) EXPECT_NEAR(r[i], c.seven[i], 1e-10) << i;
        EXPECT_NEAR(r[6], c.seven[6], 1e-12);
        // Rounded through text to 1e-6 m, 1e-10 rad and 1e-12.
        EXPECT_EQ(r[0], AsciiToDouble(FormatFixed(r[0], 6)));
        EXPECT_EQ(r[3], AsciiToDouble(FormatFixed(r[3], 10)));
        EXPECT_EQ(r[6], AsciiToDouble(FormatFixed(r[6], 12)));
    }
}

// Guards against reporting success (with NaN parameters) when the points
// cannot determine rotations and scale.
TEST(Estimation, SevenParametersFailureLeavesOutputs) {
    double points[18] = {0, 0, 0, 10, 20, 30, 0, 0, 0, 10, 20, 30, 0, 0, 0, 10, 20, 30};
    double r[7] = {1, 2, 3, 4, 5, 6, 7};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(
        geo.EstimateSevenParameters(points, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
    for (int i = 0; i < 7; ++i) EXPECT_EQ(r[i], i + 1);
}

struct Four {
    double Xo, Yo, T, K;
};

// Two source points mapped by a known transform; heights are arbitrary.
Four EstimateFrom(const double src[4], Four f) {
    double pts[12];
    for (int p = 0; p < 2; ++p) {
        double x = src[2 * p], y = src[2 * p + 1];
        pts[6 * p + 3] = x, pts[6 * p + 4] = y, pts[6 * p + 5] = 100.0 * p;
        geo.ApplyFourParameters(f.Xo, f.Yo, f.T, f.K, &x, &y);
        pts[6 * p] = x, pts[6 * p + 1] = y, pts[6 * p + 2] = -5.0;
    }
    Four r{};
    geo.EstimateFourParameters(pts, &r.Xo, &r.Yo, &r.T, &r.K);
    return r;
}

TEST(Estimation, FourParametersRecoverRotationScaleShift) {
    const double src[4] = {3323964.5, 500123.25, 3325010.75, 502210.5};
    for (double deg : {0.0, 1.5, -30.0, 89.0, 90.0, 135.0, 180.0}) {
        const Four f{-123456.75, 98765.5, deg * kDeg, 1.0000125};
        const Four r = EstimateFrom(src, f);
        EXPECT_NEAR(std::remainder(r.T - f.T, 2 * M_PI), 0.0, 1e-9) << deg;
        EXPECT_NEAR(r.K, f.K, 1e-9) << deg;
        EXPECT_NEAR(r.Xo, f.Xo, 1e-4) << deg;
        EXPECT_NEAR(r.Yo, f.Yo, 1e-4) << deg;
    }
}

// Guards against testing only p != 0: an exact 90-degree rotation has p = 0
// and must still be found. Only coincident sources or targets give the identity.
TEST(Estimation, FourParametersNinetyDegreesAndDegenerateCases) {
    // Centred sources (+-1, +-2) and targets rotated by exactly 90 degrees.
    const double rot90[12] = {-2 + 10, 1 + 20, 0, 1, 2, 0, 2 + 10, -1 + 20, 0, -1, -2, 0};
    double Xo, Yo, T, K;
    geo.EstimateFourParameters(rot90, &Xo, &Yo, &T, &K);
    EXPECT_EQ(T, std::atan2(1.0, 0.0));
    EXPECT_EQ(K, 1.0);
    EXPECT_NEAR(Xo, 10, 1e-14);
    EXPECT_NEAR(Yo, 20, 1e-14);

    const double sameSource[12] = {5, 6, 0, 1, 1, 0, 7, 8, 0, 1, 1, 0};
    const double sameTarget[12] = {5, 6, 0, 1, 1, 0, 5, 6, 0, 3, 4, 0};
    for (const double* pts : {sameSource, sameTarget}) {
        Xo = Yo = T = K = -1;
        geo.EstimateFourParameters(pts, &Xo, &Yo, &T, &K);
        EXPECT_EQ(T, 0.0);
        EXPECT_EQ(K, 1.0);
        EXPECT_EQ(Xo, 0.0);
        EXPECT_EQ(Yo, 0.0);
    }
}

}  // namespace
