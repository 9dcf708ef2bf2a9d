// The accurate path of the elementary functions: each result is computed in
// MpFloat arithmetic with 128, 256, 512, 1024 bits and on, doubling, until an
// error bound decides the rounding (Ziv's strategy), so it is the exact value
// rounded to nearest (ties to even): the cases where the exact value is
// itself a rounding boundary (exact powers) are decided exactly beforehand,
// and no other is one (see Ziv in ElementaryAccurate.cpp). Several
// microseconds a call: the fast paths come here only when their own bound
// cannot decide. Internal; arguments finite and, for Log10, positive; Pow
// takes x > 0 (the caller applies the sign).
#pragma once

#include "crmath/MultiPrecision.h"

namespace crmath::detail {

double AccurateSin(double x);
double AccurateCos(double x);
double AccurateTan(double x);
double AccurateAtan(double x);
double AccurateAtan2(double y, double x);  // (y, x) != (0, 0)
double AccurateLog10(double x);
double AccuratePow(double x, double y);

// x^y rounded to nearest when it is a double or halfway between two, or
// underflows or overflows from such a value; false otherwise. x > 0.
bool ExactPow(double x, double y, double* out);

// For the tests, process-wide (default 4, 4): Ziv's loop starts at
// firstWords (4, 8, 16, ... words) and lets no level below decideWords
// decide, so that each level can be run alone and the 1024-bit level made to
// hand over to the levels past it. One relaxed load per accurate result.
void SetAccurateLevels(int firstWords, int decideWords);
// The words of the level that decided this thread's last result of Ziv's
// loop since the previous call, 0 if none (exact cases); resets it.
int LastAccurateWords();

// The parts of the accurate path, at n words, for the tests: the reduction
// x = q pi/2 + r (|r| <= pi/4 about), and the values before rounding, each
// within 2^(kAccurateMarginBits - 32n) relative of the exact value.
inline constexpr int kAccurateMarginBits = 40;
MpFloat ReduceHalfPi(double x, int n, int* quadrant);
MpFloat MpSinOf(double x, int n);
MpFloat MpCosOf(double x, int n);
MpFloat MpTanOf(double x, int n);
MpFloat MpAtanOf(double y, double x, int n);  // atan(y/x) for x = 1, else atan2
MpFloat MpLog10Of(double x, int n);
MpFloat MpPowOf(double x, double y, int n);

}  // namespace crmath::detail
