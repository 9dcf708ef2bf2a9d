// The fast paths of the elementary functions: an estimate hi + lo of the
// value with a bound err on its error, and the rounding test that decides
// from it. Internal; the tests check the bounds against MPFR.
#pragma once

#include "crmath/DoubleDouble.h"

namespace crmath::detail {

// |exact value - (hi + lo)| <= err, |lo| < |hi|.
struct Estimate {
    double hi;
    double lo;
    double err;
};

// The double nearest to every value within err of hi + lo, when there is
// one; false when a rounding boundary lies in that interval.
inline bool RoundIfDecided(const Estimate& e, double* out) {
    const DoubleDouble n = FastTwoSum(e.hi, e.lo);
    const double a = n.hi + (n.lo - e.err);
    const double b = n.hi + (n.lo + e.err);
    if (a != b) return false;
    *out = a;
    return true;
}

// x = k pi/512 + r, |r - (rh + rl)| <= err, |r| <= pi/1024 (about); exact for
// every finite x (Cody-Waite below 2^15, bits of 2/pi above).
struct Reduction {
    int k;
    double rh;
    double rl;
    double err;
};
Reduction ReduceByPi512(double x);

// Estimates for the finite arguments the functions do not answer directly:
// |x| >= 2^-27 (Sin, Cos, Tan; Atan below 2^54 too); x > 0 (Log10); normal y, x within a
// factor 2^64 of each other (Atan2); x > 0, x != 1, 2^-60 <= |y ln x| <= 746
// (Pow).
Estimate SinEstimate(double x);
Estimate CosEstimate(double x);
Estimate TanEstimate(double x);
Estimate AtanEstimate(double x);
Estimate Atan2Estimate(double y, double x);
Estimate Log10Estimate(double x);
// x^y = (hi + lo) 2^scale within err 2^scale.
Estimate PowEstimate(double x, double y, int* scale);

}  // namespace crmath::detail
