// Distributions the tests of a fit take their critical values from: the
// regularized incomplete beta function and its inverse, with the F and τ
// quantiles built on them. Elementary functions from crmath.
#pragma once

// ln Γ(x), x > 0.
double LogGamma(double x);

// I_x(a, b) = B(x; a, b) / B(a, b), the distribution function of Beta(a, b);
// a, b > 0, x clamped to [0, 1].
double RegularizedBeta(double x, double a, double b);

// The x with I_x(a, b) = p, 0 <= p <= 1, to within a few units in the last place.
double InverseRegularizedBeta(double p, double a, double b);

// The p-quantile of Fisher's F with d1 and d2 degrees of freedom.
double FQuantile(double p, double d1, double d2);

// The p-quantile of Pope's τ² for a group of d residuals of a fit with
// redundancy f > d: τ² = vᵀ Q⁻¹ v / σ0², and τ² / f is Beta(d/2, (f-d)/2).
double TauSquaredQuantile(double p, int d, int f);
