// Linear algebra and the estimators of the seven- and four-parameter
// transforms. Matrices are row-major: element (i, j) of an m x n matrix is at
// i * n + j.
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <utility>
#include <vector>

#include "crmath/Elementary.h"
#include "geodesy/GeoCore.h"
#include "geodesy/HouseholderReflection.h"

using crmath::Atan2;
using crmath::Cos;
using crmath::Sin;

namespace {

// Work space of n doubles: on the stack for the small systems of the core.
class Scratch {
public:
    explicit Scratch(int n) {
        if (n > kLocal) {
            heap_.resize(static_cast<size_t>(n));
            data_ = heap_.data();
        }
    }
    double& operator[](int i) { return data_[i]; }

private:
    static constexpr int kLocal = 32;
    double local_[kLocal];
    std::vector<double> heap_;
    double* data_ = local_;
};

void PrintFail() { std::fputs("fail\n", stdout); }

// Rounds v to the given decimals through its printed text.
double RoundThroughText(double v, int decimals) {
    char text[400];
    FormatFixedTo(text, sizeof text, v, decimals);
    return AsciiToDouble(text);
}

}  // namespace

// Gauss-Jordan elimination with complete pivoting; A (n x n) is destroyed and
// b becomes the solution. Returns 0 when the largest remaining pivot is below
// the rounding of 1.0.
int CGeoCore::SolveLinearSystem(double* A, int n, double* b, int* pivot) const {
    for (int i = 0; i < n; ++i) {
        double largest = 0.0;
        int pr = i, pc = i;
        for (int r = i; r < n; ++r) {
            for (int c = i; c < n; ++c) {
                const double v = std::fabs(A[r * n + c]);
                if (v > largest) {
                    largest = v;
                    pr = r;
                    pc = c;
                }
            }
        }
        pivot[i] = pc;
        if (largest + 1.0 == 1.0) return 0;
        if (pc != i) {
            for (int r = 0; r < n; ++r) std::swap(A[r * n + i], A[r * n + pc]);
        }
        if (pr != i) {
            for (int c = i; c < n; ++c) std::swap(A[i * n + c], A[pr * n + c]);
            std::swap(b[i], b[pr]);
        }
        const double d = A[i * n + i];
        for (int c = i + 1; c < n; ++c) A[i * n + c] /= d;
        b[i] /= d;
        for (int k = 0; k < n; ++k) {
            if (k == i) continue;
            const double f = A[k * n + i];
            for (int c = i + 1; c < n; ++c) A[k * n + c] -= f * A[i * n + c];
            b[k] -= f * b[i];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        if (pivot[i] != i) std::swap(b[i], b[pivot[i]]);
    }
    return 1;
}

// Householder QR: A (m x n, m >= n) becomes R and Q (m x m) the orthogonal
// factor with A = Q R. With m = n the last column is not reflected.
int CGeoCore::QrDecompose(double* A, int m, int n, double* Q) const {
    if (m < n) {
        PrintFail();
        return 0;
    }
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < m; ++j) Q[i * m + j] = i == j ? 1.0 : 0.0;
    }
    Scratch v(m);
    const int columns = m > n ? n : m - 1;
    for (int g = 0; g < columns; ++g) {
        const HouseholderReflection h = HouseholderReflection::Of(A, m, n, g);
        if (std::fabs(h.sigma) + 1.0 == 1.0) {
            PrintFail();
            return 0;
        }
        if (h.u + 1.0 == 1.0) continue;
        h.Vector(A, m, n, g, &v[0]);
        for (int j = 0; j < m; ++j) HouseholderReflection::Apply(&v[0], g, m, Q + j, m);
        for (int j = g + 1; j < n; ++j) HouseholderReflection::Apply(&v[0], g, m, A + j, n);
        A[g * n + g] = h.sigma;
        for (int k = g + 1; k < m; ++k) A[k * n + g] = 0.0;
    }
    for (int i = 0; i < m; ++i) {
        for (int j = i + 1; j < m; ++j) std::swap(Q[i * m + j], Q[j * m + i]);
    }
    return 1;
}

// Minimises |A x - l|; the solution goes to l[0..n-1]. On failure l is
// unchanged. A square system whose last diagonal entry of R (the one the
// reflections do not check) is below the rounding of 1.0 fails too, rather
// than dividing by (nearly) zero.
int CGeoCore::SolveLeastSquares(double* A, int m, int n, double* l, double* Q) const {
    if (QrDecompose(A, m, n, Q) == 0) return 0;
    if (n <= 0) return 1;
    if (m == n && std::fabs(A[(n - 1) * n + (n - 1)]) + 1.0 == 1.0) {
        PrintFail();
        return 0;
    }
    Scratch w(n);
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int k = 0; k < m; ++k) sum += Q[k * m + i] * l[k];
        w[i] = sum;
    }
    Scratch x(n);
    x[n - 1] = w[n - 1] / A[(n - 1) * n + (n - 1)];
    for (int i = n - 2; i >= 0; --i) {
        double sum = 0.0;
        for (int j = i + 1; j < n; ++j) sum += A[i * n + j] * x[j];
        x[i] = (w[i] - sum) / A[i * n + i];
    }
    for (int i = 0; i < n; ++i) l[i] = x[i];
    return 1;
}

// Nine observation equations X' - X = dX + rZ Y - rY Z + m X (and cyclic) in
// the unknowns dX, dY, dZ, rX, rY, rZ, m; results rounded to 1e-6 m,
// 1e-10 rad and 1e-12.
bool CGeoCore::EstimateSevenParameters(const double points[18], double* dX, double* dY, double* dZ,
                                       double* rX, double* rY, double* rZ, double* m) const {
    double A[9 * 7] = {};
    double l[9];
    for (int p = 0; p < 3; ++p) {
        const double* pt = points + 6 * p;
        const double X = pt[0], Y = pt[1], Z = pt[2];
        double* r0 = A + (3 * p) * 7;
        double* r1 = r0 + 7;
        double* r2 = r1 + 7;
        r0[0] = 1;
        r0[4] = -Z;
        r0[5] = Y;
        r0[6] = X;
        r1[1] = 1;
        r1[3] = Z;
        r1[5] = -X;
        r1[6] = Y;
        r2[2] = 1;
        r2[3] = -Y;
        r2[4] = X;
        r2[6] = Z;
        l[3 * p] = pt[3] - X;
        l[3 * p + 1] = pt[4] - Y;
        l[3 * p + 2] = pt[5] - Z;
    }
    double Q[81];
    if (SolveLeastSquares(A, 9, 7, l, Q) == 0) return false;
    *dX = RoundThroughText(l[0], 6);
    *dY = RoundThroughText(l[1], 6);
    *dZ = RoundThroughText(l[2], 6);
    *rX = RoundThroughText(l[3], 10);
    *rY = RoundThroughText(l[4], 10);
    *rZ = RoundThroughText(l[5], 10);
    *m = RoundThroughText(l[6], 12);
    return true;
}

// target = (Xo, Yo) + K R(T) source from two points. Any rotation is found
// while the sources are distinct and the targets are not one point; in the
// degenerate case the identity (T = 0, K = 1, Xo = Yo = 0) is returned.
void CGeoCore::EstimateFourParameters(const double points[12], double* Xo, double* Yo, double* T,
                                      double* K) const {
    // Each point: target x, y, h then source x, y, h; heights are ignored.
    const double* p1 = points;
    const double* p2 = points + 6;
    const double msx = (p1[3] + p2[3]) * 0.5;
    const double msy = (p1[4] + p2[4]) * 0.5;
    const double mtx = (p1[0] + p2[0]) * 0.5;
    const double mty = (p1[1] + p2[1]) * 0.5;

    double p = 0.0, q = 0.0, d = 0.0;
    for (const double* pt : {p1, p2}) {
        const double xs = pt[3] - msx, ys = pt[4] - msy;
        const double xt = pt[0] - mtx, yt = pt[1] - mty;
        p += xs * xt + ys * yt;
        q += xs * yt - ys * xt;
        d += xs * xs + ys * ys;
    }
    if (d != 0 && (p != 0 || q != 0)) {
        const double t = Atan2(q, p);
        const double k = std::sqrt(p * p + q * q) / d;
        *T = t;
        *K = k;
        *Xo = mtx - msx * Cos(t) * k + msy * Sin(t) * k;
        *Yo = mty - Sin(t) * k * msx - k * Cos(t) * msy;
    } else {
        *T = 0.0;
        *Xo = 0.0;
        *Yo = 0.0;
        *K = 1.0;
    }
}
