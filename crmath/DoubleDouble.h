// Error-free transformations of IEEE doubles (round to nearest, no fused
// multiply-add) and the pair type built on them. Internal to the elementary
// functions.
#pragma once

#include <bit>
#include <cstdint>

namespace crmath::detail {

// An unevaluated sum hi + lo.
struct DoubleDouble {
    double hi;
    double lo;
};

// a + b = s + e exactly, for any finite a, b whose sum does not overflow (Knuth).
inline DoubleDouble TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    const double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// a + b = s + e exactly when a == 0 or the exponent of a is not below that of
// b, in particular when |a| >= |b| (Dekker).
inline DoubleDouble FastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a = hi + lo, hi and lo of at most 26 significant bits each (Veltkamp);
// |a| < 2^995.
inline DoubleDouble Split(double a) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    const double hi = c - (c - a);
    return {hi, a - hi};
}

// a * b = p + e exactly, given the splits of a and b, when the product
// neither overflows nor comes within 2^-969 of the underflow (Dekker).
inline DoubleDouble TwoProduct(double a, const DoubleDouble& as, const DoubleDouble& bs, double b) {
    const double p = a * b;
    const double e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {p, e};
}

inline DoubleDouble TwoProduct(double a, double b) { return TwoProduct(a, Split(a), Split(b), b); }

// a cut to its leading 26 significant bits (toward zero); a - Head26(a) is
// exact. Normal a only.
inline double Head26(double a) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(a) & 0xfffffffff8000000ull);
}

// a * b = p + e exactly when b has at most 26 significant bits.
inline DoubleDouble TwoProductShort(const DoubleDouble& as, double a, double b) {
    const double p = a * b;
    const double e = (as.hi * b - p) + as.lo * b;
    return {p, e};
}

inline DoubleDouble TwoProductShort(double a, double b) { return TwoProductShort(Split(a), a, b); }

}  // namespace crmath::detail
