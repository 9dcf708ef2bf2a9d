// The elementary functions of the computation core, the same bits on every
// platform: each result is the exact value rounded to the nearest double
// (ties to even), for every argument, whatever the C library does.
//
// Accuracy: half a unit in the last place, the best a double can hold.
// Built from IEEE double +, -, *, /, sqrt and exact bit operations only. A
// fast path with a proven error bound (pairs of doubles, tables) decides the
// rounding in all but a few calls in ten thousand (more where a result nears
// zero: sine and cosine next to their zeros); the others go to an accurate
// path in multi-word arithmetic that raises its precision until the rounding
// is decided (Ziv's strategy). NaN arguments give NaN; the special values
// follow the C standard (Annex F).
#pragma once

namespace crmath {

// Sine, cosine and tangent of x in radians, any finite x (the reduction by
// pi/2 is exact for all doubles, up to 2^1024); +-inf gives NaN.
double Sin(double x);
double Cos(double x);
double Tan(double x);
// Sin(x), Cos(x) and Tan(x) of one argument at once (the reduction and
// the polynomials shared): the same results as the separate calls.
void SinCos(double x, double* s, double* c);
void SinCosTan(double x, double* s, double* c, double* t);

// Arctangent in radians, in [-pi/2, pi/2].
double Atan(double x);

// Angle of the point (x, y) in radians, in [-pi, pi]; the signs of zeros and
// infinities as in C99 (Atan2(+-0, -0) = +-pi, Atan2(+-0, +0) = +-0, ...).
double Atan2(double y, double x);

// Base-10 logarithm, x > 0; Log10(+-0) = -inf, Log10(x < 0) = NaN,
// Log10(+inf) = +inf, exact at the powers of ten.
double Log10(double x);

// x to the power y with the full C99 table: Pow(x, +-0) = 1 and Pow(1, y) = 1
// even for NaN, negative x only with integer y (the sign from y's parity),
// zeros and infinities by the signs and parity of y; overflow gives +-inf,
// underflow +-0 or the correctly rounded subnormal. Exact where x^y is a
// double, ties to even where it lies halfway between two.
double Pow(double x, double y);

}  // namespace crmath
