// The accurate path: series in MpFloat arithmetic after exact reductions.
//   sin, cos, tan: x = q pi/2 + r from as many bits of 2/pi as the argument
//     needs (all of them for the largest doubles), then Taylor series in r.
//   atan: 1/t above 1, four halvings t / (1 + sqrt(1 + t^2)), Taylor series.
//   log: x = 2^e m, m in [sqrt(1/2), sqrt(2)), ln m = 2 atanh((m-1)/(m+1)).
//   exp: t = k ln 2 + r, r / 2^12 by Taylor series, squared 12 times.
// The constants come from the tables up to their length, and are computed
// beyond it: pi = 16 atan(1/5) - 4 atan(1/239), ln 2 = 2 atanh(1/3),
// ln 10 = 3 ln 2 + 2 atanh(1/9).
#include "crmath/ElementaryAccurate.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "crmath/ElementaryTables.h"

namespace crmath::detail {

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// x = m * 2^e with m an integer below 2^53 (x finite, nonzero).
void Decompose(double x, u64* m, int* e) {
    const u64 bits = std::bit_cast<u64>(x);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    *m = bits & ((u64{1} << 52) - 1);
    if (biased == 0) {
        *e = -1074;
    } else {
        *m |= u64{1} << 52;
        *e = biased - 1075;
    }
}

MpFloat One(int n) { return MpFromInteger(1, 0, false, n); }

// True when term no longer changes a sum of magnitude 2^sumExponent at n words.
bool Negligible(const MpFloat& term, int sumExponent, int n) {
    return term.zero || term.exponent < sumExponent - 32 * n - 4;
}

// atan(1/k) (hyperbolic: atanh(1/k)) by its series, 2 <= k < 2^16.
MpFloat AtanOfInverse(u32 k, bool hyperbolic, int n) {
    MpFloat power = MpDivSmall(One(n), k), sum = power;
    for (u32 j = 1;; ++j) {
        power = MpDivSmall(power, k * k);
        const MpFloat term = MpDivSmall(power, 2 * j + 1);
        if (Negligible(term, sum.exponent, n)) break;
        sum = (j % 2 == 1 && !hyperbolic) ? MpSub(sum, term) : MpAdd(sum, term);
    }
    return sum;
}

// The constants past their tables: computed with two more words, then cut to
// n words as the tables are.
MpFloat ComputedPi(int n) {
    MpFloat pi = MpSub(MpMulSmall(AtanOfInverse(5, false, n + 2), 16),
                       MpMulSmall(AtanOfInverse(239, false, n + 2), 4));
    MpResize(pi, n);
    return pi;
}

MpFloat ComputedLn2(int n) { return MpScale(AtanOfInverse(3, true, n), 1); }

MpFloat HalfPi(int n) {
    if (n <= kPiWordCount) return MpFromWords(kPiWords, kPiWordCount, 1, n);
    return MpScale(ComputedPi(n), -1);
}

MpFloat Ln2(int n) {
    if (n <= kConstantWordCount) return MpFromWords(kLn2Words, kConstantWordCount, 0, n);
    MpFloat ln2 = ComputedLn2(n + 2);
    MpResize(ln2, n);
    return ln2;
}

MpFloat InvLn10(int n) {
    if (n <= kConstantWordCount) return MpFromWords(kInvLn10Words, kConstantWordCount, -1, n);
    const int m = n + 2;
    const MpFloat ln10 =
        MpAdd(MpMulSmall(ComputedLn2(m), 3), MpScale(AtanOfInverse(9, true, m), 1));
    MpFloat inv = MpDiv(One(m), ln10);
    MpResize(inv, n);
    return inv;
}

// The first `count` words of the fraction of 2/pi, computed: 2/pi lies in
// [1/2, 1), so its words are those of its fraction. Two more words keep the
// division's error below the last word.
std::vector<u32> ComputedTwoOverPi(int count) {
    const int m = count + 2;
    const MpFloat q = MpDiv(MpFromInteger(2, 0, false, m), ComputedPi(m));
    std::vector<u32> words(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) words[static_cast<std::size_t>(i)] = q.w[i];
    return words;
}

// Bits [offset, offset + 32 count) of the fraction of 2/pi, from its first
// `available` words, zero past them.
void TwoOverPiWindow(const u32* words, int available, int offset, int count, u32* out) {
    const int word = offset / 32, bit = offset % 32;
    auto at = [&](int i) { return i < available ? words[i] : 0u; };
    for (int i = 0; i < count; ++i) {
        const u32 hi = at(word + i), lo = at(word + i + 1);
        out[i] = bit == 0 ? hi : (hi << bit) | (lo >> (32 - bit));
    }
}

// sin r and cos r by their Taylor series.
MpFloat SinSeries(const MpFloat& r) {
    const int n = r.n;
    const MpFloat r2 = MpMul(r, r);
    MpFloat term = r, sum = r;
    for (u32 k = 1;; ++k) {
        term = MpDivSmall(MpMul(term, r2), (2 * k) * (2 * k + 1));
        if (Negligible(term, sum.exponent, n)) break;
        sum = (k % 2 == 1) ? MpSub(sum, term) : MpAdd(sum, term);
    }
    return sum;
}

MpFloat CosSeries(const MpFloat& r) {
    const int n = r.n;
    const MpFloat r2 = MpMul(r, r);
    MpFloat term = One(n), sum = One(n);
    for (u32 k = 1;; ++k) {
        term = MpDivSmall(MpMul(term, r2), (2 * k - 1) * (2 * k));
        if (Negligible(term, sum.exponent, n)) break;
        sum = (k % 2 == 1) ? MpSub(sum, term) : MpAdd(sum, term);
    }
    return sum;
}

// atan t for any t.
MpFloat AtanSeries(MpFloat t) {
    const int n = t.n;
    if (t.zero) return t;
    const bool negative = t.negative;
    t.negative = false;
    const MpFloat one = One(n);
    const bool inverted = MpCompareMagnitude(t, one) > 0;
    if (inverted) t = MpDiv(one, t);
    int halvings = 0;
    for (; halvings < 4 && t.exponent > -8; ++halvings) {
        t = MpDiv(t, MpAdd(one, MpSqrt(MpAdd(one, MpMul(t, t)))));
    }
    const MpFloat t2 = MpMul(t, t);
    MpFloat power = t, sum = t;
    for (u32 k = 1;; ++k) {
        power = MpMul(power, t2);
        const MpFloat term = MpDivSmall(power, 2 * k + 1);
        if (Negligible(term, sum.exponent, n)) break;
        sum = (k % 2 == 1) ? MpSub(sum, term) : MpAdd(sum, term);
    }
    sum = MpScale(sum, halvings);
    if (inverted) sum = MpSub(HalfPi(n), sum);
    if (negative) sum = MpNegate(sum);
    return sum;
}

// ln x, x > 0 finite.
MpFloat LogOf(double x, int n) {
    MpFloat m = MpFromDouble(x, n);
    int e = m.exponent;
    m.exponent = 0;              // m in [1/2, 1)
    if (m.w[0] < 0xb504f334u) {  // below sqrt(1/2): take 2m
        m.exponent = 1;
        e -= 1;
    }
    const MpFloat one = One(n);
    const MpFloat u = MpDiv(MpSub(m, one), MpAdd(m, one));
    MpFloat sum = u;
    if (!u.zero) {
        const MpFloat u2 = MpMul(u, u);
        MpFloat power = u;
        for (u32 k = 1;; ++k) {
            power = MpMul(power, u2);
            const MpFloat term = MpDivSmall(power, 2 * k + 1);
            if (Negligible(term, sum.exponent, n)) break;
            sum = MpAdd(sum, term);
        }
    }
    sum = MpScale(sum, 1);
    if (e != 0) {
        MpFloat k = MpMulSmall(Ln2(n + 1), static_cast<u32>(e < 0 ? -e : e));
        k.n = n;
        if (e < 0) k = MpNegate(k);
        sum = MpAdd(k, sum);
    }
    return sum;
}

// e^t, |t| < 2^20.
MpFloat ExpOf(const MpFloat& t) {
    const int n = t.n;
    const double approx = MpToDouble(t);
    const double kd = approx * 1.4426950408889634;
    const int k = static_cast<int>(kd < 0 ? kd - 0.5 : kd + 0.5);
    MpFloat ln2k = MpMulSmall(Ln2(n + 1), static_cast<u32>(k < 0 ? -k : k));
    ln2k.n = n;
    if (k < 0) ln2k = MpNegate(ln2k);
    constexpr int kSquarings = 12;
    const MpFloat r = MpScale(MpSub(t, ln2k), -kSquarings);
    MpFloat term = One(n), sum = One(n);
    for (u32 j = 1;; ++j) {
        term = MpDivSmall(MpMul(term, r), j);
        if (Negligible(term, 0, n)) break;
        sum = MpAdd(sum, term);
    }
    for (int i = 0; i < kSquarings; ++i) sum = MpMul(sum, sum);
    return MpScale(sum, k);
}

// SetAccurateLevels: the first level's words, low 16 bits, and the fewest
// words that may decide, high 16 bits.
std::atomic<int> g_levels{4 | 4 << 16};
thread_local int t_decidedWords = 0;

// Ziv's loop: value(n) for n = 4, 8, 16, 32, 64, ... words until the
// rounding is decided. Every level proves its rounding: value(n) lies within
// 2^(kAccurateMarginBits - 32n) of the exact value, relative (so a zero value
// is exact), and MpRoundIfDecided finds no rounding boundary within twice
// that. Past 32 words the numbers keep their words on the heap and the
// constants are computed: the precision has no limit.
//
// The loop ends because no exact value it is given is a rounding boundary.
// The boundaries (midpoints of doubles, the overflow threshold) are
// rational. For a double t != 0, sin t, cos t, tan t and atan t are
// transcendental, and so is every angle whose tangent is a rational q != 0,
// which atan2 gives (Lindemann-Weierstrass: e^(iz) is transcendental for
// algebraic z != 0, and e^(2iz) = (1 + iq)/(1 - iq) is algebraic). log10 x is
// rational only at x = 10^k, where it is the integer k. Where x^y is a double
// or a midpoint, ExactPow decides it before the loop; the quotients of
// atan2 on the subnormal grid, within t^3/3 of a tie, are decided before it too.
template <class Value>
double Ziv(Value value) {
    const int levels = g_levels.load(std::memory_order_relaxed);
    const int decide = levels >> 16;
    for (int n = levels & 0xffff;; n *= 2) {
        const MpFloat v = value(n);
        double out = 0.0;
        if (v.zero || (n >= decide && MpRoundIfDecided(v, 32 * n - kAccurateMarginBits, &out))) {
            t_decidedWords = n;
            return out;
        }
    }
}

// The isqrt of m when m is a perfect square, else 0.
u64 ExactSquareRoot(u64 m) {
    u64 r = static_cast<u64>(std::sqrt(static_cast<double>(m)));
    while (r * r > m) --r;
    while ((r + 1) * (r + 1) <= m) ++r;
    return r * r == m ? r : 0;
}

// base^power when it stays below 2^54, else 0 (base odd >= 3, power >= 1).
u64 SmallPower(u64 base, u64 power) {
    u64 p = 1;
    for (u64 i = 0; i < power; ++i) {
        if (p > (u64{1} << 54) / base) return 0;
        p *= base;
    }
    return p;
}

}  // namespace

void SetAccurateLevels(int firstWords, int decideWords) {
    g_levels.store(firstWords | decideWords << 16, std::memory_order_relaxed);
}

int LastAccurateWords() {
    const int n = t_decidedWords;
    t_decidedWords = 0;
    return n;
}

MpFloat ReduceHalfPi(double x, int n, int* quadrant) {
    const double ax = x < 0 ? -x : x;
    if (ax < 0.78) {
        *quadrant = 0;
        return MpFromDouble(x, n);
    }
    u64 m;
    int e;
    Decompose(ax, &m, &e);
    // Bits j <= e - 2 of 2/pi (weight 2^-j) give multiples of 4: skipped.
    const int first = e - 1 > 1 ? e - 1 : 1;
    const u32 mHi = static_cast<u32>(m >> 32), mLo = static_cast<u32>(m);
    // The words of 2/pi the guards below may reach: the table's, or computed
    // where it ends (past 1024 bits).
    constexpr int kLastGuard = 480;
    const int maxWords = (53 + 32 * n + kLastGuard + 31) / 32;
    const int needed = (first - 1) / 32 + maxWords + 2;
    std::vector<u32> computed;
    const u32* twoOverPi = kTwoOverPiWords;
    int available = kTwoOverPiWordCount;
    if (needed > kTwoOverPiWordCount) {
        computed = ComputedTwoOverPi(needed);
        twoOverPi = computed.data();
        available = needed;
    }
    MpScratch<kTwoOverPiWordCount + 4> window(maxWords + 2), p(maxWords + 4), frac(maxWords + 4);
    MpFloat f;
    int q = 0;
    for (int guard = 96;; guard += 128) {
        const int words = (53 + 32 * n + guard + 31) / 32;
        TwoOverPiWindow(twoOverPi, available, first - 1, words, window.data());
        // p = m * window, words + 2 words, most significant first.
        for (int i = 0; i < words + 2; ++i) p[i] = 0;
        for (int i = words - 1; i >= 0; --i) {
            const u64 lo = u64{window[i]} * mLo + p[i + 2];
            p[i + 2] = static_cast<u32>(lo);
            const u64 hi = u64{window[i]} * mHi + p[i + 1] + (lo >> 32);
            p[i + 1] = static_cast<u32>(hi);
            p[i] = static_cast<u32>(hi >> 32);
        }
        // x * 2/pi = p * 2^-s, s fraction bits.
        const int s = first + 32 * words - 1 - e;
        const int total = 32 * (words + 2);
        const int intBits = total - s;  // >= 2 for |x| >= 0.78
        // Quadrant: the two lowest integer bits; fraction: the bits below.
        auto bitAt = [&](int fromTop) { return (p[fromTop / 32] >> (31 - fromTop % 32)) & 1u; };
        q = static_cast<int>(bitAt(intBits - 2) * 2 + bitAt(intBits - 1));
        const int fw = (s + 31) / 32;
        const int wo = intBits / 32, bo = intBits % 32;
        for (int i = 0; i < fw; ++i) {
            const u32 a = i + wo < words + 2 ? p[i + wo] : 0;
            const u32 b = i + wo + 1 < words + 2 ? p[i + wo + 1] : 0;
            frac[i] = bo == 0 ? a : (a << bo) | (b >> (32 - bo));
        }
        const bool upper = (frac[0] >> 31) != 0;  // fraction >= 1/2: take f - 1
        if (upper) {
            q = (q + 1) & 3;
            u64 borrow = 0;
            for (int i = fw - 1; i >= 0; --i) {
                const u64 t = u64{0} - frac[i] - borrow;
                frac[i] = static_cast<u32>(t);
                borrow = (t >> 32) != 0 ? 1 : 0;
            }
        }
        f = MpZero(n);
        f.exponent = 0;
        f.zero = false;
        // Normalize the fraction words into f.
        {
            int z = 0;
            while (z < fw && frac[z] == 0) ++z;
            if (z == fw) {
                f = MpZero(n);
            } else {
                const int bits = std::countl_zero(frac[z]);
                for (int i = 0; i < n; ++i) {
                    const u32 a = i + z < fw ? frac[i + z] : 0;
                    const u32 b = i + z + 1 < fw ? frac[i + z + 1] : 0;
                    f.w[i] = bits == 0 ? a : (a << bits) | (b >> (32 - bits));
                }
                f.exponent = -(32 * z + bits);
            }
        }
        f.negative = upper;
        // The bits of 2/pi past the window change x 2/pi by less than 2^(53-s).
        const int leadingZeros = f.zero ? s : -f.exponent;
        if (s - leadingZeros - 53 >= 32 * n + 16 || first - 1 + 32 * words >= 32 * available ||
            guard == kLastGuard)
            break;
    }
    MpFloat r = MpMul(f, HalfPi(n));
    if (x < 0) {
        r = MpNegate(r);
        q = (4 - q) & 3;
    }
    *quadrant = q;
    return r;
}

MpFloat MpSinOf(double x, int n) {
    int q;
    const MpFloat r = ReduceHalfPi(x, n, &q);
    const MpFloat v = (q % 2 == 0) ? SinSeries(r) : CosSeries(r);
    return q >= 2 ? MpNegate(v) : v;
}

MpFloat MpCosOf(double x, int n) {
    int q;
    const MpFloat r = ReduceHalfPi(x, n, &q);
    const MpFloat v = (q % 2 == 0) ? CosSeries(r) : SinSeries(r);
    return (q == 1 || q == 2) ? MpNegate(v) : v;
}

MpFloat MpTanOf(double x, int n) {
    int q;
    const MpFloat r = ReduceHalfPi(x, n, &q);
    const MpFloat s = SinSeries(r), c = CosSeries(r);
    return (q % 2 == 0) ? MpDiv(s, c) : MpNegate(MpDiv(c, s));
}

MpFloat MpAtanOf(double y, double x, int n) {
    if (x == 1.0) return AtanSeries(MpFromDouble(y, n));
    MpFloat a = AtanSeries(MpDiv(MpFromDouble(y < 0 ? -y : y, n), MpFromDouble(x < 0 ? -x : x, n)));
    if (x < 0) a = MpSub(MpScale(HalfPi(n), 1), a);
    return y < 0 ? MpNegate(a) : a;
}

MpFloat MpLog10Of(double x, int n) { return MpMul(LogOf(x, n), InvLn10(n)); }

MpFloat MpPowOf(double x, double y, int n) {
    // ln x carries 10 more bits than the product y ln x needs.
    return ExpOf(MpMul(LogOf(x, n), MpFromDouble(y, n)));
}

double AccurateSin(double x) {
    return Ziv([x](int n) { return MpSinOf(x, n); });
}

double AccurateCos(double x) {
    return Ziv([x](int n) { return MpCosOf(x, n); });
}

double AccurateTan(double x) {
    return Ziv([x](int n) { return MpTanOf(x, n); });
}

double AccurateAtan(double x) {
    return Ziv([x](int n) { return MpAtanOf(x, 1.0, n); });
}

double AccurateAtan2(double y, double x) {
    const double ay = y < 0 ? -y : y, ax = x < 0 ? -x : x;
    if (ay != 0 && x > 0) {
        // t = |y/x| = (my/mx) 2^shift * 2^-1074. Where that is below 2^-1021
        // the grid is 2^-1074 and t may lie halfway between two of its
        // points; atan t lies just below t, so t's own rounding on the grid
        // decides, ties downward.
        u64 my, mx;
        int ey, ex;
        Decompose(ay, &my, &ey);
        Decompose(ax, &mx, &ex);
        const int shift = ey - ex + 1074;
        bool decided = false;
        u64 q = 0;
        bool up = false;
        if (shift <= -60) {
            decided = true;  // t 2^1074 < 2^53 2^-60: rounds to 0
        } else if (shift < 0) {
            const u64 q0 = my / mx, r0 = my % mx;
            const int k = -shift;
            q = q0 >> k;
            const u64 low = q0 & ((u64{1} << k) - 1), half = u64{1} << (k - 1);
            up = low > half || (low == half && r0 != 0);
            decided = true;
        } else if (shift <= 120) {
            q = my / mx;
            u64 rem = my % mx;
            decided = true;
            for (int i = 0; i < shift && decided; ++i) {
                q = 2 * q + (2 * rem >= mx ? 1 : 0);
                rem = 2 * rem >= mx ? 2 * rem - mx : 2 * rem;
                decided = q < (u64{1} << 54);
            }
            up = 2 * rem > mx;
        }
        if (decided && q + (up ? 1 : 0) < (u64{1} << 53)) {
            const double r = static_cast<double>(q + (up ? 1 : 0)) * 0x1p-1074;
            return y < 0 ? -r : r;
        }
    }
    return Ziv([y, x](int n) { return MpAtanOf(y, x, n); });
}

double AccurateLog10(double x) {
    return Ziv([x](int n) { return MpLog10Of(x, n); });
}

bool ExactPow(double x, double y, double* out) {
    if (y == 0) {
        *out = 1.0;
        return true;
    }
    u64 mx, my;
    int ex, ey;
    Decompose(x, &mx, &ex);
    Decompose(y < 0 ? -y : y, &my, &ey);
    const int tx = std::countr_zero(mx), ty = std::countr_zero(my);
    mx >>= tx;
    ex += tx;
    my >>= ty;
    ey += ty;
    const bool negative = y < 0;
    // y = +-my 2^ey, my odd. x^(1/2^k) must be rational: x a perfect 2^k-th power.
    u64 base = mx;
    int baseExponent = ex;  // x^(1/2^k) = base 2^baseExponent
    u64 power = my;         // then x^y = (base 2^baseExponent)^(+-power)
    if (ey < 0) {
        for (int k = 0; k < -ey; ++k) {
            if (baseExponent % 2 != 0) return false;
            baseExponent /= 2;
            if (base != 1) {
                base = ExactSquareRoot(base);
                if (base == 0) return false;
            }
        }
    } else if (ey > 12 || my > 4096) {
        power = u64{1} << 30;  // stands for any power beyond 2^12
    } else {
        power <<= ey;
    }
    if (base == 1) {
        if (baseExponent == 0) {
            *out = 1.0;
            return true;
        }
        // 2^(baseExponent * +-power); beyond 2^12 it under- or overflows.
        const bool big = power > 4096;
        const long long k = big ? (negative != (baseExponent < 0) ? -100000 : 100000)
                                : static_cast<long long>(baseExponent) *
                                      static_cast<long long>(power) * (negative ? -1 : 1);
        if (k > 1023) {
            *out = HUGE_VAL;
        } else if (k < -1075) {
            *out = 0.0;
        } else {
            *out = MpToDouble(MpFromInteger(1, static_cast<int>(k), false, 4));
        }
        return true;
    }
    if (negative || power > 40) return false;
    const u64 p = SmallPower(base, power);
    if (p == 0) return false;
    *out = MpToDouble(MpFromInteger(p, baseExponent * static_cast<int>(power), false, 4));
    return true;
}

double AccuratePow(double x, double y) {
    double out;
    if (ExactPow(x, y, &out)) return out;
    // Beyond |y ln x| = 800 the result overflows or underflows whatever the rounding.
    const double t = MpToDouble(LogOf(x, 4)) * y;
    if (t > 800) return HUGE_VAL;
    if (t < -800) return 0.0;
    return Ziv([x, y](int n) { return MpPowOf(x, y, n); });
}

}  // namespace crmath::detail
