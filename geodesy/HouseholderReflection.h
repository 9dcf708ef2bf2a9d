// The Householder reflection both least-squares solvers of the core reduce
// their equations with. Matrices are row-major: element (i, j) of an m x n
// matrix is at i * n + j.
#pragma once

// H = I - 2 v vᵀ with |v| = 1, taking rows g..m-1 of column g of A to
// (sigma, 0, ..., 0).
struct HouseholderReflection {
    double sigma = 0;  // the new diagonal entry, of the sign opposite to A(g, g)
    double u = 0;      // |A(g..m-1, g) - sigma e_g|; 0 when nothing is to be reflected

    // The reflection of column g of A (m x n). The column's length is taken
    // over its largest entry so that neither tiny nor huge entries overflow.
    static HouseholderReflection Of(const double* A, int m, int n, int g);

    // Writes v into v[g..m-1]; needs u > 0.
    void Vector(const double* A, int m, int n, int g, double* v) const;

    // y[g..m-1] -= 2 v (v·y) for the vector y whose element k is y[k * stride].
    static void Apply(const double* v, int g, int m, double* y, int stride);
};

