// Arctangent and the angle of a point. For 0 <= u <= 1:
//   atan u = atan c + atan d,  c = i/256 nearest u,  d = (u - c)/(1 + u c),
// |d| <= 2^-9, atan c from the table, atan d = d - d^3/3 + d^5/5 - d^7/7
// (Taylor; the next term is below 2^-75 d). Above 1 the same with points c
// of a second table (see AtanOfLarge).
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

// Relative error bound of AtanOfPair; the budget there gives 2^-68.9.
constexpr double kAtanBound = 0x1p-68;

// |v|: an exact operation, a mask in the registers of doubles.
inline double Abs(double v) { return std::fabs(v); }

double CopySign(double v, double s) {
    return std::bit_cast<double>((std::bit_cast<u64>(v) & ~(u64{1} << 63)) |
                                 (std::bit_cast<u64>(s) & (u64{1} << 63)));
}

// atan(uh + ul) for 0 <= uh <= 1, |ul| <= 2^-52 uh: value hi + lo.
//
// Error budget relative to R = atan u: for i >= 1, R >= atan(1/512) >= |d|
// and |atan c| <= 2R; |poly| <= |d|^3/3 <= 2^-19.6 R. d = q1 + q2 within
// 2^-75 (q1 of 26 bits, q1 (1 + u c) exact, the remainder's last sums
// 2^-78). poly: its variable within 2^-52 (3 times that in d^3) and its own
// roundings 2^-51, 2^-49.7 of it: 2^-69.3 R; the sums of lo 2^-71 R; the
// dropped d^9/9 2^-75 R; the table 2^-105: 2^-68.9 R. For i = 0, d = u and
// the same holds.
inline DoubleDouble AtanOfPair(double uh, double ul) {
    const double v = uh * 256.0 + 0x1.8p52;  // 1.5 2^52 + i: i in the low bits
    const int i = static_cast<int>(static_cast<std::uint32_t>(std::bit_cast<u64>(v)));
    const double c = (v - 0x1.8p52) * 0x1p-8;
    const double nh = uh - c;                                   // exact: Sterbenz for i >= 1
    const DoubleDouble pc = TwoProductShort(Split(uh), uh, c);  // u c, c of 9 bits
    const DoubleDouble den = FastTwoSum(1.0, pc.hi);
    const double dl = (den.lo + pc.lo) + ul * c;
    const double inv = 1.0 / den.hi;
    // The polynomial from d within 2^-51; d itself as q1 + q2 within 2^-75.
    const double d = (nh + ul) * inv, d2 = d * d;
    const double poly = (d * d2) * ((-0x1.5555555555555p-2 + d2 * 0x1.999999999999ap-3) -
                                    (d2 * d2) * 0x1.2492492492492p-3);
    const double q1 = Head26(d);
    const DoubleDouble p = TwoProductShort(Split(den.hi), den.hi, q1);
    const double q2 = ((((nh - p.hi) - p.lo) + ul) - q1 * dl) * inv;
    const DoubleDouble t = kAtanTable[i];
    const DoubleDouble h = FastTwoSum(t.hi, q1);
    return {h.hi, ((h.lo + t.lo) + q2) + poly};
}

// atan x for 1 < x < 2^54: atan c + atan d, c from kAtanLargeTable (at most
// 9 bits, in x's binade, close enough that |d| = |x - c|/(1 + x c) <= 2^-8),
// so no reciprocal of x is needed.
//
// Error budget relative to R = atan x >= pi/4: d = q1 + q2 within 2^-75 |d|
// <= 2^-83 R; poly (2^-49.7 of |d|^3/3 <= 2^-25.6 R) 2^-75.3; the sums of
// lo (below 2^-25 R) 2^-76.4; the dropped d^9/9 2^-75.2; the table 2^-105:
// below 2^-73.9.
constexpr double kAtanLargeBound = 0x1p-73;

inline DoubleDouble AtanOfLarge(double x) {
    const u64 bits = std::bit_cast<u64>(x);
    const int e = static_cast<int>(bits >> 52) - 1023;
    const u64 frac = bits & ((u64{1} << 52) - 1);
    const int index = e < 7 ? 256 - (256 >> e) + static_cast<int>(frac >> (45 + e)) : 247 + e;
    const AtanPoint& pt = kAtanLargeTable[index];
    const double c = pt.c;
    const double nh = x - c;  // exact: x and c in one binade
    const DoubleDouble pc = TwoProductShort(Split(x), x, c);
    const DoubleDouble den = FastTwoSum(pc.hi, 1.0);  // x c > 1
    const double dl = den.lo + pc.lo;
    const double inv = 1.0 / den.hi;
    const double d = nh * inv, d2 = d * d;
    const double poly = (d * d2) * ((-0x1.5555555555555p-2 + d2 * 0x1.999999999999ap-3) -
                                    (d2 * d2) * 0x1.2492492492492p-3);
    const double q1 = Head26(d);
    const DoubleDouble p = TwoProductShort(Split(den.hi), den.hi, q1);
    const double q2 = (((nh - p.hi) - p.lo) - q1 * dl) * inv;
    const DoubleDouble h = FastTwoSum(pt.atan.hi, q1);
    return {h.hi, ((h.lo + pt.atan.lo) + q2) + poly};
}

inline Estimate AtanOfAbs(double ax) {
    if (ax <= 1.0) {
        const DoubleDouble a = AtanOfPair(ax, 0.0);
        return {a.hi, a.lo, kAtanBound * a.hi};
    }
    if (ax >= 0x1p54) return {kHalfPi.hi, kHalfPi.lo - 1.0 / ax, 0x1p-100};  // pi/2 - 1/x
    const DoubleDouble a = AtanOfLarge(ax);
    return {a.hi, a.lo, kAtanLargeBound * a.hi};
}

inline Estimate AtanOf(double x) {
    const Estimate e = AtanOfAbs(Abs(x));
    return x < 0 ? Estimate{-e.hi, -e.lo, e.err} : e;
}

}  // namespace

Estimate AtanEstimate(double x) { return AtanOf(x); }

// |y|, |x| finite, normal, the smaller within 2^64 of the larger:
// atan2 = C +- atan t with t = smaller/larger in [2^-64, 1] and C one of 0,
// pi/2, pi. No cancellation: |C +- atan t| >= atan t.
Estimate Atan2Estimate(double y, double x) {
    const double ax = Abs(x), ay = Abs(y);
    const bool steep = ay > ax;
    double num = steep ? ax : ay, den = steep ? ay : ax;
    // Scale den into [1, 2) (exact: num stays normal, above 2^-65).
    if (den > 0x1p1000) {
        num *= 0x1p-600;
        den *= 0x1p-600;
    }
    const int e2 = static_cast<int>((std::bit_cast<u64>(den) >> 52) & 0x7ff) - 1023;
    const double scale = std::bit_cast<double>(static_cast<u64>(1023 - e2) << 52);
    num *= scale;
    den *= scale;
    const double inv = 1.0 / den;
    const double th = num * inv;
    const DoubleDouble p = TwoProduct(th, den);
    const double tl = ((num - p.hi) - p.lo) * inv;
    const DoubleDouble a = AtanOfPair(th, tl);
    double err = kAtanBound * a.hi;
    DoubleDouble r;
    if (!steep && x > 0) {
        r = a;
    } else {
        err += 0x1p-100;  // C carries 2^-106 C, its sums as much
        const DoubleDouble c = steep ? kHalfPi : kPiPair;
        const double s = (steep && x > 0) || !steep ? -1.0 : 1.0;
        const DoubleDouble h = FastTwoSum(c.hi, s * a.hi);
        r = {h.hi, (h.lo + c.lo) + s * a.lo};
    }
    return y < 0 ? Estimate{-r.hi, -r.lo, err} : Estimate{r.hi, r.lo, err};
}

}  // namespace detail

double Atan(double x) {
    using namespace detail;
    const double ax = Abs(x);
    if (!(ax <= kInf)) return x + x;                   // NaN
    if (ax < 0x1p-27) return x;                        // atan x = x (1 - x^2/3)
    if (ax >= 0x1p54) return CopySign(kHalfPi.hi, x);  // within 2^-54 of pi/2
    double out;
    if (RoundIfDecided(AtanOf(x), &out)) return out;
    return AccurateAtan(x);
}

double Atan2(double y, double x) {
    using namespace detail;
    if (x != x || y != y) return x + y;
    const double ax = Abs(x), ay = Abs(y);
    const bool xNegative = std::bit_cast<u64>(x) >> 63 != 0;
    if (ay == 0) return CopySign(xNegative ? kPiPair.hi : 0.0, y);
    if (ax == 0) return CopySign(kHalfPi.hi, y);
    if (ay == kInf) {
        if (ax == kInf) return CopySign(xNegative ? kThreeQuarterPi.hi : 0.5 * kHalfPi.hi, y);
        return CopySign(kHalfPi.hi, y);
    }
    if (ax == kInf) return CopySign(xNegative ? kPiPair.hi : 0.0, y);
    const int ey = static_cast<int>((std::bit_cast<u64>(ay) >> 52) & 0x7ff);
    const int ex = static_cast<int>((std::bit_cast<u64>(ax) >> 52) & 0x7ff);
    if (ey == 0 || ex == 0) return AccurateAtan2(y, x);  // subnormal operands
    // Beyond 2^62 the smaller over the larger, t, is below 2^-61 and
    // atan t = t (1 - t^2/3): pi/2 -+ t and pi - t round as pi/2 and pi do.
    // t itself lies 2^-106 t or more from any tie of the normal range (a
    // ratio of doubles), so atan t rounds as t does: the quotient, where that
    // is normal; subnormal quotients go to the accurate path.
    if (ey - ex > 62) return CopySign(kHalfPi.hi, y);
    if (ey - ex < -62) {
        if (xNegative) return CopySign(kPiPair.hi, y);
        const double t = ay / ax;
        return t >= 0x1p-1021 ? CopySign(t, y) : AccurateAtan2(y, x);
    }
    double out;
    if (RoundIfDecided(Atan2Estimate(y, x), &out)) return out;
    return AccurateAtan2(y, x);
}

}  // namespace crmath
