// Linear solvers and the seven- and four-parameter estimators.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
const CGeoCore geo;

TEST(Estimation, GaussJordan) {
    double I[4] = {1, -0.0, 0.0, 1}, b[2] = {123.25, -7.5};  // K = 1, T = 0
    int piv[3] = {0, 0, 0};
    ASSERT_EQ(geo.SolveLinearSystem(I, 2, b, piv), 1);
    EXPECT_TRUE(b[0] == 123.25 && b[1] == -7.5);
    // Complete pivoting: the first of the equal maxima, 5 in column 1, is the
    // first pivot; the column swap is undone.
    double A[4] = {1, 5, 5, 3}, c[2] = {2 - 5, 10 - 3};  // x = (2, -1)
    ASSERT_EQ(geo.SolveLinearSystem(A, 2, c, piv), 1);
    EXPECT_EQ(piv[0], 1);
    EXPECT_NEAR(c[0], 2, 1e-15);
    EXPECT_NEAR(c[1], -1, 1e-15);
    double M[9] = {0, 2, 1, 1, 1, 1, 4, 1, 0}, d[3] = {7, 6, 6};  // x = (1, 2, 3)
    ASSERT_EQ(geo.SolveLinearSystem(M, 3, d, piv), 1);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(d[i], i + 1, 1e-14);
    double S[4] = {1, 2, 2, 4}, e[2] = {1, 2};
    EXPECT_EQ(geo.SolveLinearSystem(S, 2, e, piv), 0);
}

TEST(Estimation, HouseholderQrAndLeastSquares) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int m : {3, 9}) {  // square: the last column is not reflected
        const int n = m == 3 ? 3 : 7;
        double A[63], R[63], Q[81];
        for (int i = 0; i < m * n; ++i) A[i] = R[i] = u(rng);
        ASSERT_EQ(geo.QrDecompose(R, m, n, Q), 1);
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < n; ++j) {
                double qr = 0, qq = 0;
                for (int k = 0; k < m; ++k) qr += Q[i * m + k] * R[k * n + j];
                for (int k = 0; k < m; ++k) qq += Q[k * m + i] * Q[k * m + j];
                EXPECT_NEAR(qr, A[i * n + j], 1e-12);
                EXPECT_NEAR(qq, i == j, 1e-14);
                EXPECT_TRUE(i <= j || R[i * n + j] == 0);
            }
        }
    }
    // Line fit y = c0 + c1 t against the normal equations.
    const double t[5] = {0, 1, 2, 3, 4}, y[5] = {2.1, 4.9, 8.2, 10.9, 14.1};
    double A[10], l[5], Q[25], st = 0, sy = 0, stt = 0, sty = 0;
    for (int i = 0; i < 5; ++i) {
        A[2 * i] = 1, A[2 * i + 1] = t[i], l[i] = y[i];
        st += t[i], sy += y[i], stt += t[i] * t[i], sty += t[i] * y[i];
    }
    ASSERT_EQ(geo.SolveLeastSquares(A, 5, 2, l, Q), 1);
    const double slope = (5 * sty - st * sy) / (5 * stt - st * st);
    EXPECT_NEAR(l[1], slope, 1e-13);
    EXPECT_NEAR(l[0], (sy - slope * st) / 5, 1e-13);
}

// Each guards against a failure reported as success: fewer rows than
// columns; an all-zero column (0/0 made everything NaN); a square singular
// system (division by its unchecked last diagonal). l stays as it was.
TEST(Estimation, FailuresPrintFail) {
    double wide[6] = {1, 2, 3, 4, 5, 6}, zero[6] = {1, 0, 2, 0, 3, 0}, S[4] = {1, 1, 1, 1};
    double Q[9], l[3] = {3, 4, 5};
    struct {
        double* A;
        int m, n;
    } cases[] = {{wide, 2, 3}, {zero, 3, 2}, {S, 2, 2}};
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(geo.SolveLeastSquares(c.A, c.m, c.n, l, Q), 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
        EXPECT_TRUE(l[0] == 3 && l[1] == 4 && l[2] == 5);
    }
}

// Three common points spread over China; targets by the same linear model,
// so the parameters come back to their rounding (1e-6 m, 1e-10 rad, 1e-12).
TEST(Estimation, SevenParameters) {
    const double cases[3][7] = {{0, 0, 0, 0, 0, 0, 0},
                                {100, -50, 20, 0, 0, 0, 0},
                                {-15.4, 120.7, 85.2, 1.2e-5, -0.8e-5, 1.5e-5, 5e-6}};
    const double geodetic[3][3] = {{22.5, 101.0, 1200}, {45.0, 127.0, 150}, {36.0, 80.0, 3000}};
    ConversionParams on;
    on.m_savedUseSeven = 1;
    for (const auto& s : cases) {
        double pts[18], r[7];
        for (int p = 0; p < 3; ++p) {
            double* pt = pts + 6 * p;
            geo.GeodeticToSpace(6378245.0, 298.3, geodetic[p][0] * kDeg, geodetic[p][1] * kDeg,
                                geodetic[p][2], &pt[0], &pt[1], &pt[2]);
            pt[3] = pt[0], pt[4] = pt[1], pt[5] = pt[2];
            geo.ApplySevenParameters(s[0], s[1], s[2], s[3], s[4], s[5], s[6], on, &pt[3], &pt[4],
                                     &pt[5]);
        }
        ASSERT_TRUE(
            geo.EstimateSevenParameters(pts, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
        for (int i = 0; i < 7; ++i)
            EXPECT_NEAR(r[i], s[i], i < 3 ? 1e-6 : i < 6 ? 1e-10 : 1e-12) << i;
        EXPECT_TRUE(r[0] == AsciiToDouble(FormatFixed(r[0], 6)) &&
                    r[3] == AsciiToDouble(FormatFixed(r[3], 10)) &&
                    r[6] == AsciiToDouble(FormatFixed(r[6], 12)));
        if (s[3] == 0) {  // shifts only: exact
            EXPECT_TRUE(r[0] == s[0] && r[1] == s[1] && r[2] == s[2] && r[3] == 0);
        }
    }
    // Sources at the origin cannot fix rotations and scale: false, outputs kept.
    double pts[18] = {0, 0, 0, 10, 20, 30, 0, 0, 0, 10, 20, 30, 0, 0, 0, 10, 20, 30};
    double r[7] = {1, 2, 3, 4, 5, 6, 7};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(geo.EstimateSevenParameters(pts, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fail\n");
    for (int i = 0; i < 7; ++i) EXPECT_EQ(r[i], i + 1);
}

// Guards against testing only p != 0, which turned a 90-degree rotation into
// the identity. Only coincident sources or targets give the identity.
TEST(Estimation, FourParameters) {
    const double src[4] = {3323964.5, 500123.25, 3325010.75, 502210.5};
    double Xo, Yo, T, K;
    for (double deg : {0.0, 1.5, -30.0, 89.0, 90.0, 135.0}) {
        const double t = deg * kDeg, k = 1.0000125, xo = -123456.75, yo = 98765.5;
        double pts[12];
        for (int p = 0; p < 2; ++p) {
            double x = src[2 * p], y = src[2 * p + 1];
            pts[6 * p + 3] = x, pts[6 * p + 4] = y, pts[6 * p + 5] = 100.0 * p;  // heights ignored
            geo.ApplyFourParameters(xo, yo, t, k, &x, &y);
            pts[6 * p] = x, pts[6 * p + 1] = y, pts[6 * p + 2] = -5.0;
        }
        geo.EstimateFourParameters(pts, &Xo, &Yo, &T, &K);
        EXPECT_NEAR(T, t, 1e-9) << deg;
        EXPECT_NEAR(K, k, 1e-9) << deg;
        EXPECT_NEAR(Xo, xo, 1e-4) << deg;
        EXPECT_NEAR(Yo, yo, 1e-4) << deg;
    }
    // Exactly 90 degrees: centred sources (+-1, +-2), p = 0.
    const double rot90[12] = {8, 21, 0, 1, 2, 0, 12, 19, 0, -1, -2, 0};
    geo.EstimateFourParameters(rot90, &Xo, &Yo, &T, &K);
    EXPECT_TRUE(T == M_PI / 2 && K == 1 && Xo == 10 && Yo == 20);
    const double sameSource[12] = {5, 6, 0, 1, 1, 0, 7, 8, 0, 1, 1, 0};
    const double sameTarget[12] = {5, 6, 0, 1, 1, 0, 5, 6, 0, 3, 4, 0};
    for (const double* pts : {sameSource, sameTarget}) {
        geo.EstimateFourParameters(pts, &Xo, &Yo, &T, &K);
        EXPECT_TRUE(T == 0 && K == 1 && Xo == 0 && Yo == 0);
    }
}

}  // namespace
