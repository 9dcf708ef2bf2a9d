// Sine, cosine and tangent: x = k pi/512 + r, then
//   sin(x) = A cos r + B sin r,  (A, B) = (sin, cos) or (cos, -sin) of
//   (k mod 256) pi/512 from the table as the quadrant k / 256 asks,
// with cos r - 1 and sin r - r as short polynomials in r (|r| <= pi/1024,
// Taylor coefficients; their truncation is below 2^-90) and the two leading
// terms A + B rh kept exact.
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

using u32 = std::uint32_t;
using u64 = std::uint64_t;

constexpr double kInf = std::numeric_limits<double>::infinity();

// Relative error bound of SinAt; see the error budget there.
constexpr double kSinBound = 0x1.8p-68;  // the budget below gives 2^-68.0

// |x| < 8: k < 2^11, so k times the 42-bit head of pi/512 is exact and so is
// x - k p0 (Sterbenz). The rest: k p1 rounded (2^-92), the tail of pi/512
// (2^-93), and rh + rl = a - k p1 exact unless |r| < 2^-38 (then 2^-91).
inline Reduction ReduceShort(double x) {
    const double u = x * kInvPi512 + 0x1.8p52;  // 1.5 2^52 + k: k in the low bits
    const int k = static_cast<int>(static_cast<std::uint32_t>(std::bit_cast<u64>(u)));
    const double kd = u - 0x1.8p52;
    const double a = x - kd * kPi512Short[0];
    const double b = kd * kPi512Short[1];
    const double rh = a - b;
    return {k, rh, (a - rh) - b, 0x1p-89};
}

// |x| < 2^15: k <= 2^22.4, so k times either 30-bit part of pi/512 is exact;
// x - k p0 is exact (Sterbenz), the remaining error below 2^-98.
Reduction ReduceCodyWaite(double x) {
    const double kd = (x * kInvPi512 + 0x1.8p52) - 0x1.8p52;
    const double a = x - kd * kPi512[0];
    const DoubleDouble s = TwoSum(a, -(kd * kPi512[1]));
    const DoubleDouble r = TwoSum(s.hi, s.lo - kd * kPi512[2]);
    return {static_cast<int>(kd), r.hi, r.lo, 0x1p-97};
}

// |x| >= 2^15: x (512/pi) from 160 bits of 2/pi past those that give whole
// multiples of 1024; the fraction, 150 bits or more, becomes a pair.
Reduction ReducePayneHanek(double x) {
    const u64 bits = std::bit_cast<u64>(x);
    const u64 m = (bits & ((u64{1} << 52) - 1)) | (u64{1} << 52);
    const int e = static_cast<int>((bits >> 52) & 0x7ff) - 1075;  // |x| = m 2^e
    // Bit j of 2/pi weighs m 2^(e+8-j) in x 512/pi: a multiple of 1024 for j <= e - 2.
    const int first = e - 1 > 1 ? e - 1 : 1;
    constexpr int kWords = 5;
    u32 w[kWords];
    {
        const int word = (first - 1) / 32, bit = (first - 1) % 32;
        for (int i = 0; i < kWords; ++i) {
            const u32 hi = kTwoOverPiWords[word + i], lo = kTwoOverPiWords[word + i + 1];
            w[i] = bit == 0 ? hi : (hi << bit) | (lo >> (32 - bit));
        }
    }
    u32 p[kWords + 2] = {};
    const u32 mHi = static_cast<u32>(m >> 32), mLo = static_cast<u32>(m);
    for (int i = kWords - 1; i >= 0; --i) {
        const u64 lo = u64{w[i]} * mLo + p[i + 2];
        p[i + 2] = static_cast<u32>(lo);
        const u64 hi = u64{w[i]} * mHi + p[i + 1] + (lo >> 32);
        p[i + 1] = static_cast<u32>(hi);
        p[i] = static_cast<u32>(hi >> 32);
    }
    // x 512/pi = p 2^-(s-8); its fraction is the low s - 8 bits of p.
    const int s = first + 32 * kWords - 1 - e;
    const int intBits = 32 * (kWords + 2) - (s - 8);
    auto wordAt = [&](int fromTop) -> u32 {  // 32 bits of p from bit fromTop, zeros past the end
        const int i = fromTop / 32, b = fromTop % 32;
        const u32 a = i < kWords + 2 ? p[i] : 0, c = i + 1 < kWords + 2 ? p[i + 1] : 0;
        return b == 0 ? a : (a << b) | (c >> (32 - b));
    };
    int k = static_cast<int>(wordAt(intBits - 10) >> 22);
    u32 f[kWords + 2];
    for (int i = 0; i < kWords + 2; ++i) f[i] = wordAt(intBits + 32 * i);
    bool negative = false;
    if ((f[0] >> 31) != 0) {  // fraction >= 1/2: take it minus one
        negative = true;
        ++k;
        u64 borrow = 0;
        for (int i = kWords + 1; i >= 0; --i) {
            const u64 t = u64{0} - f[i] - borrow;
            f[i] = static_cast<u32>(t);
            borrow = (t >> 32) != 0 ? 1 : 0;
        }
    }
    int z = 0;
    while (z < kWords + 1 && f[z] == 0) ++z;
    const int lead = std::countl_zero(f[z] | 1u);
    auto bitsAt = [&](int from) -> u64 {  // 64 bits of f from bit `from`
        u64 v = 0;
        for (int j = 0; j < 2; ++j) {
            const int i = (from + 32 * j) / 32, b = (from + 32 * j) % 32;
            const u32 a = i < kWords + 2 ? f[i] : 0, c = i + 1 < kWords + 2 ? f[i + 1] : 0;
            v = (v << 32) | (b == 0 ? a : (a << b) | (c >> (32 - b)));
        }
        return v;
    };
    const int top = 32 * z + lead;
    const u64 a = bitsAt(top), b = bitsAt(top + 64);
    // fraction = (a + b 2^-64) 2^-(64 + top)
    const double scale = std::bit_cast<double>(static_cast<u64>(1023 - 64 - top) << 52);
    const double fh = static_cast<double>(a >> 11) * 0x1p11 * scale;
    const double fl =
        (static_cast<double>(a & 0x7ff) + static_cast<double>(b >> 11) * 0x1p-53) * scale;
    const DoubleDouble ph = TwoProduct(fh, kPi512Pair.hi);
    const DoubleDouble r = FastTwoSum(ph.hi, ph.lo + (fh * kPi512Pair.lo + fl * kPi512Pair.hi));
    double rh = negative ? -r.hi : r.hi, rl = negative ? -r.lo : r.lo;
    if (x < 0) {
        rh = -rh;
        rl = -rl;
        k = -k;
    }
    // Tail of 2/pi: below 2^(61-s) steps of pi/512; the pair: 2^-100 of r.
    const double err = 0x1p-100 * (r.hi < 0 ? -r.hi : r.hi) + 0x1p-104;
    return {k, rh, rl, err};
}

// |v|: an exact operation, a mask in the registers of doubles.
inline double Abs(double v) { return std::fabs(v); }

// v with its sign bit xor-ed with the top bit of flip.
inline double FlipSign(double v, u64 flip) {
    return std::bit_cast<double>(std::bit_cast<u64>(v) ^ flip);
}

[[gnu::noinline]] Reduction ReduceLong(double x) {
    return Abs(x) < 0x1p15 ? ReduceCodyWaite(x) : ReducePayneHanek(x);
}

inline Reduction Reduce(double x) { return Abs(x) < 8.0 ? ReduceShort(x) : ReduceLong(x); }

// The parts of A cos r + B sin r that depend on r only, shared by sine and
// cosine: rh = r1 + rt with r1 of 26 bits, so r1^2 and B's head times r1
// are exact.
struct RParts {
    double r1, rt, rh, rl, rerr;
    double c2;       // -r1^2/2, exact
    double cosTail;  // cos rh - 1 - c2 within 2^-80 (terms to r^6)
    double sinTail;  // sin rh - rh within 2^-85 rh (terms to r^7)
};

inline RParts PartsOf(const Reduction& r) {
    RParts p;
    p.rh = r.rh;
    p.rl = r.rl;
    p.rerr = r.err;
    p.r1 = Head26(r.rh);
    p.rt = r.rh - p.r1;
    p.c2 = -0.5 * (p.r1 * p.r1);
    const double rr = r.rh * r.rh;
    p.cosTail = ((rr * rr) * (0x1.5555555555555p-5 - rr * 0x1.6c16c16c16c17p-10) - p.r1 * p.rt) -
                0.5 * (p.rt * p.rt);
    p.sinTail = (r.rh * rr) *
                (-0x1.5555555555555p-3 + rr * (0x1.1111111111111p-7 - rr * 0x1.a01a01a01a01ap-13));
    return p;
}

// A cos r + B sin r, A = a and B = b with their signs flipped by aFlip, bFlip.
//
// Error budget, relative to the result R, rho = pi/1024 >= |r|: except where
// A = 0 (B = +-1, R = +-sin r), |A| >= 2 rho and so |R| >= |A|/2 >= rho,
// |B rh| <= |R|. Then |A r^2/2| <= 2^-16.7 |R| and |B sinTail| <= 2^-19.3 |R|,
// the other terms of `small` below 2^-36 |R|. Roundings: A c2 (one product)
// 2^-69.7, big + small 2^-69.5, the last product and sum of small 2^-71.3,
// sinTail (relative 2^-50.8) 2^-70.1; the polynomials' dropped terms, the
// first-order treatment of rl and the tables below 2^-80: together 2^-68.0
// |R| (2^-69.7 where A = 0). The reduction error adds |B| err <= err.
inline Estimate Combine(const SinEntry& a, const SinEntry& b, u64 aFlip, u64 bFlip,
                        const RParts& p) {
    const double ahi = FlipSign(a.hi, aFlip), alo = FlipSign(a.lo, aFlip);
    const double bh = FlipSign(b.head, bFlip), bhi = FlipSign(b.hi, bFlip);
    const double prod = bh * p.r1;  // exact
    const double h = ahi + prod;    // ahi = 0 or |ahi| >= |prod|: e exact
    const double e = prod - (h - ahi);
    const double small = ((e + alo) + (bh * p.rt + FlipSign(b.rest, bFlip) * p.rh)) +
                         ((p.rl * (bhi - ahi * p.rh) + ahi * p.cosTail) + bhi * p.sinTail);
    return {h, ahi * p.c2 + small, kSinBound * Abs(h) + p.rerr};
}

// sin(k pi/512 + r) for the single functions: the quadrant k / 256 picks
// (A, B) = (sin, cos) or (cos, -sin) of (k mod 256) pi/512, and the sign.
inline Estimate SinAt(int k, const RParts& p) {
    const int i = k & 255, q = (k >> 8) & 3;
    const int odd = q & 1;
    const int ia = i ^ ((i ^ (256 - i)) & -odd);
    const u64 aFlip = static_cast<u64>(q >> 1) << 63;
    const u64 bFlip = static_cast<u64>((q >> 1) ^ odd) << 63;
    return Combine(kSinTable[ia], kSinTable[256 - ia], aFlip, bFlip, p);
}

// sin x and cos x from one reduction: phi = (k mod 256) pi/512 + r,
// sin x = +-(sin phi or cos phi), cos x = +-(cos phi or sin phi) by quadrant.
inline void SinCosAt(int k, const RParts& p, Estimate* s, Estimate* c) {
    const int i = k & 255, q = (k >> 8) & 3;
    const SinEntry& si = kSinTable[i];
    const SinEntry& ci = kSinTable[256 - i];
    const Estimate sinPhi = Combine(si, ci, 0, 0, p);
    const Estimate cosPhi = Combine(ci, si, 0, u64{1} << 63, p);
    const bool odd = (q & 1) != 0;
    *s = odd ? cosPhi : sinPhi;
    *c = odd ? Estimate{-sinPhi.hi, -sinPhi.lo, sinPhi.err} : cosPhi;
    if (q >= 2) {
        *s = {-s->hi, -s->lo, s->err};
        *c = {-c->hi, -c->lo, c->err};
    }
}

// s/c for estimates of sine and cosine: q1 = s/c cut to 26 bits, so q1 c.hi
// is exact as a pair; s - q1 c (below 2^-15 s) loses 2^-68 s in its last
// sums; the quotient by c = c.hi (1 + c.lo/c.hi), |c.lo| <= 2^-53 |c.hi| once
// normalized, is then within 2^-68 of s/c.
inline Estimate Quotient(const Estimate& se, const Estimate& ce, double rerr) {
    const DoubleDouble c = FastTwoSum(ce.hi, ce.lo);
    const double inv = 1.0 / c.hi;
    const double q1 = Head26(se.hi * inv);
    const DoubleDouble p = TwoProductShort(Split(c.hi), c.hi, q1);
    const double rem = (((se.hi - p.hi) - p.lo) + se.lo) - q1 * c.lo;
    const double q2 = rem * inv;
    // Both estimates err by kSinBound of themselves plus the reduction's
    // rerr: relative to Q, 2 kSinBound + rerr (1/|s| + 1/|c|), and
    // |Q|/|s| = 1/|c|, |Q|/|c| = |Q| (1/|c|).
    const double q = Abs(q1), ic = Abs(inv);
    return {q1, q2, 1.001 * (q * (2 * kSinBound + 0x1p-67) + rerr * ic * (1.0 + q))};
}

// tan x = sin phi / cos phi, or -cos phi / sin phi in odd quadrants.
inline Estimate TanAt(int k, const RParts& p) {
    const int i = k & 255, odd = (k >> 8) & 1;
    const SinEntry& si = kSinTable[i];
    const SinEntry& ci = kSinTable[256 - i];
    const Estimate sinPhi = Combine(si, ci, 0, 0, p);
    const Estimate cosPhi = Combine(ci, si, 0, u64{1} << 63, p);
    if (odd == 0) return Quotient(sinPhi, cosPhi, p.rerr);
    const Estimate t = Quotient(cosPhi, sinPhi, p.rerr);
    return {-t.hi, -t.lo, t.err};
}

double SinOrCos(double x, int shift) {
    const double ax = Abs(x);
    if (!(ax < kInf)) return x - x;  // NaN for inf and NaN
    // sin x = x (1 - x^2/6), cos x = 1 - x^2/2: within a quarter unit below 2^-27.
    if (ax < 0x1p-27) return shift == 0 ? x : 1.0;
    const Reduction r = Reduce(x);
    double out;
    if (RoundIfDecided(SinAt(r.k + shift, PartsOf(r)), &out)) return out;
    return shift == 0 ? AccurateSin(x) : AccurateCos(x);
}

}  // namespace

Reduction ReduceByPi512(double x) { return Reduce(x); }

Estimate SinEstimate(double x) {
    const Reduction r = Reduce(x);
    return SinAt(r.k, PartsOf(r));
}

Estimate CosEstimate(double x) {
    const Reduction r = Reduce(x);
    return SinAt(r.k + 256, PartsOf(r));
}

Estimate TanEstimate(double x) {
    const Reduction r = Reduce(x);
    return TanAt(r.k, PartsOf(r));
}

}  // namespace detail

double Sin(double x) { return detail::SinOrCos(x, 0); }

double Cos(double x) { return detail::SinOrCos(x, 256); }

void SinCos(double x, double* s, double* c) {
    using namespace detail;
    const double ax = Abs(x);
    if (!(ax < kInf) || ax < 0x1p-27) {
        *s = Sin(x);
        *c = Cos(x);
        return;
    }
    const Reduction r = Reduce(x);
    Estimate se, ce;
    SinCosAt(r.k, PartsOf(r), &se, &ce);
    if (!RoundIfDecided(se, s)) *s = AccurateSin(x);
    if (!RoundIfDecided(ce, c)) *c = AccurateCos(x);
}

void SinCosTan(double x, double* s, double* c, double* t) {
    using namespace detail;
    const double ax = Abs(x);
    if (!(ax < kInf) || ax < 0x1p-27) {
        *s = Sin(x);
        *c = Cos(x);
        *t = Tan(x);
        return;
    }
    const Reduction r = Reduce(x);
    const RParts p = PartsOf(r);
    const int i = r.k & 255, q = (r.k >> 8) & 3;
    const SinEntry& si = kSinTable[i];
    const SinEntry& ci = kSinTable[256 - i];
    const Estimate sinPhi = Combine(si, ci, 0, 0, p);
    const Estimate cosPhi = Combine(ci, si, 0, u64{1} << 63, p);
    Estimate se, ce, te;
    if ((q & 1) == 0) {
        se = sinPhi;
        ce = cosPhi;
        te = Quotient(sinPhi, cosPhi, p.rerr);
    } else {
        se = cosPhi;
        ce = {-sinPhi.hi, -sinPhi.lo, sinPhi.err};
        const Estimate u = Quotient(cosPhi, sinPhi, p.rerr);
        te = {-u.hi, -u.lo, u.err};
    }
    if (q >= 2) {
        se = {-se.hi, -se.lo, se.err};
        ce = {-ce.hi, -ce.lo, ce.err};
    }
    if (!RoundIfDecided(se, s)) *s = AccurateSin(x);
    if (!RoundIfDecided(ce, c)) *c = AccurateCos(x);
    if (!RoundIfDecided(te, t)) *t = AccurateTan(x);
}

double Tan(double x) {
    using namespace detail;
    const double ax = Abs(x);
    if (!(ax < kInf)) return x - x;
    if (ax < 0x1p-27) return x;  // tan x = x (1 + x^2/3)
    const Reduction r = Reduce(x);
    double out;
    if (RoundIfDecided(TanAt(r.k, PartsOf(r)), &out)) return out;
    return AccurateTan(x);
}

}  // namespace crmath
