// Base-10 logarithm and power, on a natural logarithm and an exponential
// of pairs:
//   ln x = e ln 2 - ln r + log1p(z),  x = 2^e m, m in [sqrt(1/2), sqrt(2)],
//     r = 512/i (24 bits) for i = m 512 rounded, z = m r - 1 exact, |z| < 2^-9.5,
//     log1p(z) by Taylor to z^8;
//   e^t = 2^(k/128) e^r,  t = k ln2/128 + r, |r| <= ln2/256, 2^(j/128) from the
//     table, e^r by Taylor to r^7.
// Log10 x = ln x / ln 10; Pow(x, y) = e^(y ln x).
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "crmath/Elementary.h"
#include "crmath/ElementaryAccurate.h"
#include "crmath/ElementaryEstimates.h"
#include "crmath/ElementaryTables.h"

namespace crmath {

namespace detail {

namespace {

using u64 = std::uint64_t;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Relative error bounds: of the logarithm (LogOfPositive) and of the
// exponential (ExpOfPair); see the budgets there.
constexpr double kLogBound = 0x1.8p-70;
constexpr double kExpBound = 0x1.8p-69;

// |v|: an exact operation, a mask in the registers of doubles.
inline double Abs(double v) { return std::fabs(v); }

// 2^k for -1022 <= k <= 1023.
double Pow2(int k) { return std::bit_cast<double>(static_cast<u64>(k + 1023) << 52); }

// ln x = hi + lo for finite x > 0, within kLogBound |ln x|.
//
// Error budget: the sums of the leading parts are exact (TwoSum), so only
// the small terms err, each relative to |ln x| (no step cancels more than a
// factor 2): log1p's polynomial (relative 2^-51 of z^3/3 <= 2^-20.6 z)
// 2^-70.6, the two sums of lo that hold it 2^-71.6, the dropped z^9/9
// 2^-78, e ln2 beyond its pair 2^-87 (e != 0 makes |ln x| >= 0.34), the
// table 2^-105: below 2^-70.0.
inline DoubleDouble LogOfPositive(double x) {
    u64 bits = std::bit_cast<u64>(x);
    int e = -1023;
    if (bits < (u64{1} << 52)) {  // subnormal
        bits = std::bit_cast<u64>(x * 0x1p54);
        e -= 54;
    }
    // m in [sqrt(1/2), sqrt(2)): the significand, halved from 0x16a09e... on;
    // i = round(512 m) from the significand's top bits.
    const u64 frac = bits & ((u64{1} << 52) - 1);
    const int half = frac >= 0x6a09e667f3bcdull ? 1 : 0;
    e += static_cast<int>(bits >> 52) + half;
    const double m = std::bit_cast<double>(frac | (static_cast<u64>(1023 - half) << 52));
    const int i = (512 >> half) + static_cast<int>(((frac >> (42 + half)) + 1) >> 1);
    const LogStep& s = kLogTable[i - kLogTableFirst];
    const DoubleDouble c = TwoSum(e * kLn2Pair.hi, s.minusLog.hi);  // e ln2 head exact (42 bits)
    // m r = p + zl exactly; z = m r - 1 = zh + zl, zh = p - 1 exact (Sterbenz),
    // |zh| < 2^-9.5, |zl| <= 2^-53.
    const DoubleDouble ms = Split(m);
    const double p = m * s.r;
    const double zl = (ms.hi * s.r - p) + ms.lo * s.r;
    const double zh = p - 1.0;
    // log1p(zh + zl) = zh - zh^2/2 + zh^3 (1/3 - zh/4 + ... - zh^5/8) + zl (1 - zh + zh^2)
    const double z26 = Head26(zh), zt = zh - z26;
    const double sq = z26 * z26, sql = (2.0 * z26 + zt) * zt;  // zh^2 = sq + sql
    const double z2 = sq + sql, z4 = z2 * z2;
    const double poly = (zh * z2) * (((0x1.5555555555555p-2 - zh * 0.25) +
                                      z2 * (0x1.999999999999ap-3 - zh * 0x1.5555555555555p-3)) +
                                     z4 * (0x1.2492492492492p-3 - zh * 0.125));
    const DoubleDouble u0 = TwoSum(zh, -0.5 * sq);
    const DoubleDouble u = TwoSum(c.hi, u0.hi);
    const double lo = ((u.lo + u0.lo) + c.lo) + (e * kLn2Pair.lo + s.minusLog.lo) +
                      ((zl - zl * (zh - z2) - 0.5 * sql) + poly);
    return {u.hi, lo};
}

// e^(th + tl) = (hi + lo) 2^scale within kExpBound (hi + lo) 2^scale plus
// 2^-77 from the reduction; |th| <= 746, |tl| <= 2^-52 |th|.
//
// Error budget (relative): the reduction r = t - k ln2/128 within 2^-77
// (k ln2 head exact, k times the tail 2^-80, the pair's own tail 2^-79, the
// sums 2^-79); T r2/2 (one product of 2^-17) 2^-70 and the last sum 2^-70;
// the polynomial beyond r^2/2 (relative 2^-50 of 2^-26) 2^-76; rl (below
// 2^-42) beyond its terms to rl r^3 2^-80; truncation after r^7 2^-86; the
// table 2^-105: 2^-68.9.
inline Estimate ExpOfPair(double th, double tl, int* scale) {
    const double u = th * kInvLn2By128 + 0x1.8p52;  // 1.5 2^52 + k: k in the low bits
    const int k = static_cast<int>(static_cast<std::uint32_t>(std::bit_cast<u64>(u)));
    const double kd = u - 0x1.8p52;
    const double a = th - kd * kLn2By128[0];
    const double b = kd * kLn2By128[1];
    const double rh = a - b;
    const double rl = ((a - rh) - b) + tl;
    const double r1 = Head26(rh), rt = rh - r1;
    const double r2 = r1 * r1, r2l = (2.0 * r1 + rt) * rt;  // rh^2 = r2 + r2l
    const double rr = r2 + r2l;
    // e^r - 1 - r1 - rt - r2/2, with rl to second order
    const double w = 0.5 * r2l +
                     (rh * rr) * ((0x1.5555555555555p-3 + rh * 0x1.5555555555555p-5) +
                                  rr * ((0x1.1111111111111p-7 + rh * 0x1.6c16c16c16c17p-10) +
                                        rr * 0x1.a01a01a01a01ap-13)) +
                     rl * ((1.0 + rh) + rr * (0.5 + rh * 0x1.5555555555555p-3));
    const DoubleDouble t = kExp2Table[k & 127];
    const DoubleDouble p = TwoProductShort(Split(t.hi), t.hi, r1);
    const DoubleDouble h = FastTwoSum(t.hi, p.hi);
    const double lo = ((h.lo + p.lo) + (t.lo + t.hi * rt)) + (t.hi * w + t.lo * (rh + 0.5 * rr)) +
                      t.hi * (0.5 * r2);
    *scale = k >> 7;
    return {h.hi, lo, kExpBound * h.hi + 0x1p-76};
}

}  // namespace

Estimate Log10Estimate(double x) {
    const DoubleDouble l = LogOfPositive(x);
    const DoubleDouble p = TwoProduct(l.hi, kInvLn10.hi);
    const double lo = p.lo + (l.hi * kInvLn10.lo + l.lo * kInvLn10.hi);
    return {p.hi, lo, (kLogBound + 0x1p-100) * Abs(p.hi)};
}

namespace {

// e^(y l), l = ln x as LogOfPositive gives it.
Estimate PowOfLog(const DoubleDouble& l, double y, int* scale) {
    const DoubleDouble p = TwoProduct(y, l.hi);
    const DoubleDouble t = FastTwoSum(p.hi, p.lo + y * l.lo);  // l.lo up to 2^-19 l.hi
    const Estimate e = ExpOfPair(t.hi, t.lo, scale);
    // t's error: |t| kLogBound plus its roundings (2^-105 |t|).
    const double rel = Abs(t.hi) * (kLogBound + 0x1p-100) * 1.01;
    return {e.hi, e.lo, e.err + rel * e.hi};
}

}  // namespace

// x > 0, x != 1, y finite, |y ln x| within [2^-60, 746].
Estimate PowEstimate(double x, double y, int* scale) {
    return PowOfLog(LogOfPositive(x), y, scale);
}

}  // namespace detail

double Log10(double x) {
    using namespace detail;
    if (!(x > 0)) return x == 0 ? -kInf : kNaN;  // -0 too; NaN for x < 0 or NaN
    if (x == kInf) return x;
    double out;
    if (RoundIfDecided(Log10Estimate(x), &out)) return out;
    return AccurateLog10(x);
}

namespace detail {
namespace {

// Whether the finite y is an integer, and then whether it is odd.
bool IsInteger(double y) {
    const u64 bits = std::bit_cast<u64>(y);
    const int e = static_cast<int>((bits >> 52) & 0x7ff) - 1075;  // |y| = m 2^e
    if (e >= 0) return true;
    if (e < -52) return y == 0;
    return (bits & ((u64{1} << -e) - 1)) == 0;
}

bool IsOddInteger(double y) {
    const u64 bits = std::bit_cast<u64>(y);
    const int e = static_cast<int>((bits >> 52) & 0x7ff) - 1075;
    if (e > 0 || e < -52) return false;
    return IsInteger(y) && ((((bits & ((u64{1} << 52) - 1)) | (u64{1} << 52)) >> -e) & 1) != 0;
}

// |x|^y for finite x != 0, finite y != 0, |x| != 1.
double PowOfAbs(double ax, double y) {
    if (y == 1.0) return ax;
    if (y == 2.0) return ax * ax;
    if (y == -1.0) return 1.0 / ax;
    if (y == 0.5) return std::sqrt(ax);
    const DoubleDouble l = LogOfPositive(ax);
    const double t = y * l.hi;
    if (Abs(t) > 746.0) return t > 0 ? kInf : 0.0;  // beyond e^+-746: overflow, underflow
    if (Abs(t) < 0x1p-60) return 1.0;               // e^t = 1 + t rounds to 1
    int scale;
    const Estimate e = PowOfLog(l, y, &scale);
    if (scale >= -960 && scale <= 1020) {
        const double s = Pow2(scale);
        const Estimate scaled = {e.hi * s, e.lo * s, e.err * s + 0x1p-1074};
        double out;
        if (RoundIfDecided(scaled, &out)) return out;
    }
    return AccuratePow(ax, y);
}

}  // namespace
}  // namespace detail

double Pow(double x, double y) {
    using namespace detail;
    if (y == 0) return 1.0;
    if (x == 1.0) return 1.0;
    if (x != x || y != y) return x + y;
    const double ax = Abs(x), ay = Abs(y);
    const bool negative = std::bit_cast<u64>(x) >> 63 != 0;
    if (ay == kInf) {
        if (ax == 1.0) return 1.0;
        return (ax < 1.0) == (y < 0) ? kInf : 0.0;
    }
    const bool oddY = IsOddInteger(y);
    if (ax == 0 || ax == kInf) {
        // 0^y and inf^y: zero or infinity by the sign of y (and of the base's
        // exponent), negative only for a negative base and odd y.
        const bool big = (ax == 0) == (y < 0);
        const double r = big ? kInf : 0.0;
        return negative && oddY ? -r : r;
    }
    if (negative) {
        if (!IsInteger(y)) return kNaN;
        const double r = ax == 1.0 ? 1.0 : PowOfAbs(ax, y);
        return oddY ? -r : r;
    }
    return PowOfAbs(ax, y);
}

}  // namespace crmath
