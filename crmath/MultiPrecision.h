// Binary floating-point numbers of 4 to 40 words of 32 bits: the arithmetic of
// the accurate path of the elementary functions. Internal.
//
// A number is (-1)^negative * 0.w[0]w[1]...w[n-1] (base 2^32) * 2^exponent with
// w[0] >= 2^31, or zero. Every operation works at the word count n of its
// first operand and truncates: its result lies within 2^(2-32n) of the exact
// result of its operands, relative to the larger of the result and the
// operands (so a subtraction that cancels keeps an absolute, not a relative,
// error). The exponent is an int: no overflow or underflow in any use here.
#pragma once

#include <cstdint>

namespace crmath::detail {

inline constexpr int kMaxWords = 40;

struct MpFloat {
    int n = 4;
    bool negative = false;
    bool zero = true;
    int exponent = 0;
    std::uint32_t w[kMaxWords];
};

MpFloat MpZero(int n);
// Exactly x (finite).
MpFloat MpFromDouble(double x, int n);
// sign * (the integer m) * 2^e, exactly.
MpFloat MpFromInteger(std::uint64_t m, int e, bool negative, int n);
// A constant of the tables, 0.words * 2^exponent, truncated to n words.
MpFloat MpFromWords(const std::uint32_t* words, int count, int exponent, int n);

MpFloat MpAdd(const MpFloat& a, const MpFloat& b);
MpFloat MpSub(const MpFloat& a, const MpFloat& b);
MpFloat MpMul(const MpFloat& a, const MpFloat& b);
MpFloat MpMulSmall(const MpFloat& a, std::uint32_t k);
MpFloat MpDivSmall(const MpFloat& a, std::uint32_t k);  // k > 0
// a / b, b nonzero; within 2^(6-32n) relative.
MpFloat MpDiv(const MpFloat& a, const MpFloat& b);
// sqrt(a), a >= 0; within 2^(6-32n) relative.
MpFloat MpSqrt(const MpFloat& a);
// a * 2^k, exactly.
MpFloat MpScale(MpFloat a, int k);
MpFloat MpNegate(MpFloat a);
// |a| compared with |b|: -1, 0, 1.
int MpCompareMagnitude(const MpFloat& a, const MpFloat& b);

// a rounded to the nearest double, ties to even, with gradual underflow and
// overflow to infinity.
double MpToDouble(const MpFloat& a);
// The nearest double to the value a approximates within 2^-bits relative,
// when every value in that interval rounds to the same double; false when the
// interval holds a rounding boundary.
bool MpRoundIfDecided(const MpFloat& a, int bits, double* out);

}  // namespace crmath::detail
