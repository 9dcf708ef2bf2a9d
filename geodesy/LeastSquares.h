// The least-squares solver of the fits from common points.
#pragma once

#include <vector>

// A column of the scaled equations closer than this to the span of the
// others (relative to its length 1) leaves its unknown undetermined: with the
// coordinates centred, real networks stay above 1e-3 even in long narrow
// strips, while points on one line rounded to the millimetre fall below.
constexpr double kSingular = 1e-6;

// Minimises |A x - l| for A (m x n, row-major, m >= n): the columns scaled
// to unit length, then reduced by Householder reflections applied to A and l
// together. Gives x and (AᵀA)⁻¹ (n x n) in the units of the unscaled
// unknowns; false when a column is within kSingular of the span of the others.
bool SolveScaledLeastSquares(std::vector<double> A, int m, int n, std::vector<double> l, double* x,
                             double* inverse);
