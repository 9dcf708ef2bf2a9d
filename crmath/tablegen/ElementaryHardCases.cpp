// Searches, with MPFR, for arguments of the elementary functions whose exact
// results lie close to a rounding boundary (the midpoint of two doubles) and
// prints them as tests/data/crmath/near-ties.txt. Built and run by
// scripts/elementary-hardcases; a run with the same effort prints the same
// file.
//
// Three ways to find them:
//   - Lines: over N consecutive doubles v0 + i u the result, in units of its
//     last place U, is A + B i + (a square term below delta). The i with
//     (A + B i) mod 1 within delta + eps of 1/2 are found in O(log N) steps by
//     a Euclid-like recursion on 128-bit fixed point, then measured with MPFR.
//     N is as long as the square term allows, so flat stretches (small
//     arguments, large logarithms, powers near 1) are covered in few steps.
//   - Crossings, where the result's place among the doubles moves slowly
//     (sin, tan, atan of small x: x - f(x) grows by about x^2/2 ulp a step;
//     cos of small x; atan of large x): each point where the exact value
//     would be a midpoint if its argument were a double is solved for with
//     MPFR, and the doubles on either side of it are measured.
//   - Continued fractions (atan2 next to pi/2 and pi): there the result is
//     a constant minus atan(x/y), and a best rational approximation p/q of
//     the quotient that lands on a midpoint, with p and q doubles, errs by
//     about 2^-106 of that small term.
//   - Constructions for pow: x^y with y tiny lands x^y on the midpoints next
//     to 1 with steps of y 2^-52 ulp; (1 + a 2^-52)^(b/2) lies
//     C(b/2, 2) a^2 2^-52 ulp from a midpoint; squares m^2 = 2^52 + 1 mod 2^53.
#include <gmp.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using u64 = std::uint64_t;

enum Function { kSin, kCos, kTan, kAtan, kAtan2, kLog10, kPow, kFunctionCount };
const char* const kNames[] = {"Sin", "Cos", "Tan", "Atan", "Atan2", "Log10", "Pow"};

class Big {
public:
    explicit Big(mpfr_prec_t bits = 320) { mpfr_init2(m_v, bits); }
    ~Big() { mpfr_clear(m_v); }
    Big(const Big&) = delete;
    Big& operator=(const Big&) = delete;
    mpfr_ptr get() { return m_v; }
    operator mpfr_ptr() { return m_v; }

private:
    mpfr_t m_v;
};

class Int {
public:
    Int() { mpz_init(m_v); }
    ~Int() { mpz_clear(m_v); }
    Int(const Int&) = delete;
    Int& operator=(const Int&) = delete;
    mpz_ptr get() { return m_v; }
    operator mpz_ptr() { return m_v; }

private:
    mpz_t m_v;
};

// f(x, y) into out at out's precision, rounded to nearest.
void Apply(Function f, double x, double y, mpfr_ptr out) {
    Big a(53), b(53);
    mpfr_set_d(a, x, MPFR_RNDN);
    mpfr_set_d(b, y, MPFR_RNDN);
    switch (f) {
        case kSin:
            mpfr_sin(out, a, MPFR_RNDN);
            break;
        case kCos:
            mpfr_cos(out, a, MPFR_RNDN);
            break;
        case kTan:
            mpfr_tan(out, a, MPFR_RNDN);
            break;
        case kAtan:
            mpfr_atan(out, a, MPFR_RNDN);
            break;
        case kAtan2:
            mpfr_atan2(out, a, b, MPFR_RNDN);
            break;
        case kLog10:
            mpfr_log10(out, a, MPFR_RNDN);
            break;
        default:
            mpfr_pow(out, a, b, MPFR_RNDN);
    }
}

// The exponent of the last place of v's double: 2^ulpExponent.
long UlpExponent(mpfr_ptr v) {
    const long e = mpfr_get_exp(v) - 1;  // |v| in [2^e, 2^(e+1))
    return e >= -1022 ? e - 52 : -1074;
}

struct Case {
    Function f;
    double x, y;
    double result;
    double bits;  // the exact value lies 2^-bits ulp from a midpoint
    std::string source;
};

// The exact value rounded to the nearest double, and its distance to the
// nearest midpoint in units of its last place; false for zeros, overflows,
// NaN and results that are doubles or midpoints.
bool Measure(Function f, double x, double y, Case* c) {
    for (mpfr_prec_t prec : {640, 4096}) {
        Big v(prec);
        Apply(f, x, y, v);
        if (!mpfr_number_p(v.get()) || mpfr_zero_p(v.get())) return false;
        if (mpfr_get_exp(v.get()) > 1024) return false;
        const long ue = UlpExponent(v);
        Big t(prec), half(prec);
        mpfr_mul_2si(t, v, -ue, MPFR_RNDN);  // exact
        mpfr_abs(t, t, MPFR_RNDN);
        mpfr_frac(half, t, MPFR_RNDN);
        mpfr_sub_d(half, half, 0.5, MPFR_RNDN);
        if (mpfr_zero_p(half.get())) return false;
        const long dexp = mpfr_get_exp(half.get());
        if (dexp < -(prec - 120) && prec < 4096) continue;  // too close to tell here
        if (dexp < -(prec - 120)) return false;
        Big a(prec);
        mpfr_abs(a, half, MPFR_RNDN);
        const double d = mpfr_get_d(a, MPFR_RNDN);
        // Rounded to nearest: the integer nearest t, times 2^ue.
        Big r(prec);
        mpfr_rint(r, t, MPFR_RNDN);
        mpfr_mul_2si(r, r, ue, MPFR_RNDN);
        if (mpfr_sgn(v.get()) < 0) mpfr_neg(r, r, MPFR_RNDN);
        const double result = mpfr_get_d(r, MPFR_RNDN);
        if (!std::isfinite(result)) return false;
        *c = {f, x, y, result, d > 0 ? -std::log2(d) : 2 * prec, ""};
        return true;
    }
    return false;
}

// The closest cases of each function and source, without repeats.
class Collector {
public:
    static constexpr std::size_t kPerSource = 6;

    void Add(const Case& c) {
        std::vector<Case>& group = m_groups[{c.f, c.source}];
        for (const Case& g : group)
            if (g.x == c.x && g.y == c.y && std::signbit(g.x) == std::signbit(c.x)) return;
        if (group.size() == kPerSource && group.back().bits >= c.bits) return;
        group.push_back(c);
        std::sort(group.begin(), group.end(),
                  [](const Case& a, const Case& b) { return a.bits > b.bits; });
        if (group.size() > kPerSource) group.pop_back();
        ++m_added;
    }
    // The distance in bits a case of f from source needs to be kept.
    double Floor(Function f, const std::string& source, double minBits) const {
        const auto it = m_groups.find({f, source});
        if (it == m_groups.end() || it->second.size() < kPerSource) return minBits;
        return std::max(minBits, it->second.back().bits);
    }
    std::vector<Case> All() const {
        std::vector<Case> out;
        for (const auto& [key, group] : m_groups) out.insert(out.end(), group.begin(), group.end());
        return out;
    }
    long Added() const { return m_added; }

private:
    std::map<std::pair<int, std::string>, std::vector<Case>> m_groups;
    long m_added = 0;
};

// ---- The smallest i >= 0 with (a + b i) mod M in [lo, hi]

// The smallest x >= 0 with lo <= (a x) mod m <= hi, for 0 <= lo <= hi < m.
bool FirstMultiple(mpz_ptr a0, mpz_ptr m, mpz_ptr lo, mpz_ptr hi, mpz_ptr x) {
    Int a, t;
    mpz_mod(a, a0, m);
    if (mpz_sgn(lo) == 0) {
        mpz_set_ui(x, 0);
        return true;
    }
    if (mpz_sgn(a.get()) == 0) return false;
    mpz_cdiv_q(x, lo, a);
    mpz_mul(t, x, a);
    if (mpz_cmp(t, hi) <= 0) return true;
    // No multiple of a in [lo, hi]: a x - m y in [lo, hi] for some y >= 1,
    // the smallest y giving the smallest x; (m y) mod a in
    // [a - hi mod a, a - lo mod a].
    Int m2, l2, h2, y, r;
    mpz_mod(m2, m, a);
    mpz_mod(r, hi, a);
    mpz_sub(l2, a, r);
    mpz_mod(r, lo, a);
    mpz_sub(h2, a, r);
    if (!FirstMultiple(m2, a, l2, h2, y)) return false;
    mpz_mul(t, m, y);
    mpz_add(t, t, lo);
    mpz_cdiv_q(x, t, a);
    return true;
}

// Every i in [0, n) with (a + b i) mod m in [lo, hi].
std::vector<u64> Hits(mpz_ptr a, mpz_ptr b, mpz_ptr m, mpz_ptr lo, mpz_ptr hi, u64 n) {
    std::vector<u64> out;
    Int start, shifted, l, h, j, t, mm1;
    mpz_sub_ui(mm1, m, 1);
    u64 from = 0;
    while (from < n && out.size() < 1000) {
        // a + b from
        mpz_set_ui(t, 0);
        mpz_import(t, 1, 1, sizeof(u64), 0, 0, &from);
        mpz_mul(shifted, b, t);
        mpz_add(shifted, shifted, a);
        mpz_mod(shifted, shifted, m);
        mpz_sub(l, lo, shifted);
        mpz_mod(l, l, m);
        mpz_sub(h, hi, shifted);
        mpz_mod(h, h, m);
        if (mpz_cmp(l, h) > 0) {
            mpz_set_ui(j, 0);  // the window wraps past 0: i = from hits
        } else if (!FirstMultiple(b, m, l, h, j)) {
            break;
        }
        if (mpz_cmp_ui(j.get(), 0) < 0 || mpz_sizeinbase(j, 2) > 62) break;
        const u64 step = mpz_get_ui(j);
        if (step >= n - from) break;
        out.push_back(from + step);
        from += step + 1;
    }
    return out;
}

// ---- Lines

// The function of one variable the lines run along: v is x, or for Atan2 the
// ordinate at a fixed abscissa, or for Pow the base at a fixed exponent.
struct Along {
    Function f;
    double other;  // the fixed argument, Atan2 and Pow
};

double ValueOf(const Along& a, double v, Case* c) {
    const double x = v, y = a.other;
    return Measure(a.f, x, y, c) ? c->bits : -1;
}

// F(v), F'(v), F''(v) at v's precision.
void Derivatives(const Along& a, mpfr_ptr v, mpfr_ptr f0, mpfr_ptr f1, mpfr_ptr f2) {
    const mpfr_prec_t p = mpfr_get_prec(f0);
    Big t(p), u(p), w(p);
    switch (a.f) {
        case kSin:
            mpfr_sin_cos(f0, f1, v, MPFR_RNDN);
            mpfr_neg(f2, f0, MPFR_RNDN);
            break;
        case kCos:
            mpfr_sin_cos(t, f0, v, MPFR_RNDN);
            mpfr_neg(f1, t, MPFR_RNDN);
            mpfr_neg(f2, f0, MPFR_RNDN);
            break;
        case kTan:  // 1 + t^2, 2 t (1 + t^2)
            mpfr_tan(f0, v, MPFR_RNDN);
            mpfr_sqr(t, f0, MPFR_RNDN);
            mpfr_add_ui(f1, t, 1, MPFR_RNDN);
            mpfr_mul(f2, f0, f1, MPFR_RNDN);
            mpfr_mul_2ui(f2, f2, 1, MPFR_RNDN);
            break;
        case kAtan:  // 1/(1 + v^2), -2v/(1 + v^2)^2
            mpfr_atan(f0, v, MPFR_RNDN);
            mpfr_sqr(t, v, MPFR_RNDN);
            mpfr_add_ui(t, t, 1, MPFR_RNDN);
            mpfr_ui_div(f1, 1, t, MPFR_RNDN);
            mpfr_sqr(u, f1, MPFR_RNDN);
            mpfr_mul(f2, u, v, MPFR_RNDN);
            mpfr_mul_si(f2, f2, -2, MPFR_RNDN);
            break;
        case kAtan2: {  // x/(x^2 + v^2), -2 x v/(x^2 + v^2)^2
            Big x(p);
            mpfr_set_d(x, a.other, MPFR_RNDN);
            mpfr_atan2(f0, v, x, MPFR_RNDN);
            mpfr_sqr(t, v, MPFR_RNDN);
            mpfr_sqr(u, x, MPFR_RNDN);
            mpfr_add(t, t, u, MPFR_RNDN);
            mpfr_div(f1, x, t, MPFR_RNDN);
            mpfr_sqr(u, t, MPFR_RNDN);
            mpfr_mul(w, x, v, MPFR_RNDN);
            mpfr_mul_si(w, w, -2, MPFR_RNDN);
            mpfr_div(f2, w, u, MPFR_RNDN);
            break;
        }
        case kLog10:  // 1/(v ln 10), -1/(v^2 ln 10)
            mpfr_log10(f0, v, MPFR_RNDN);
            mpfr_set_ui(t, 10, MPFR_RNDN);
            mpfr_log(t, t, MPFR_RNDN);
            mpfr_mul(t, t, v, MPFR_RNDN);
            mpfr_ui_div(f1, 1, t, MPFR_RNDN);
            mpfr_div(f2, f1, v, MPFR_RNDN);
            mpfr_neg(f2, f2, MPFR_RNDN);
            break;
        default: {  // y F/v, y (y - 1) F/v^2
            Big y(p);
            mpfr_set_d(y, a.other, MPFR_RNDN);
            mpfr_pow(f0, v, y, MPFR_RNDN);
            mpfr_div(t, f0, v, MPFR_RNDN);
            mpfr_mul(f1, t, y, MPFR_RNDN);
            mpfr_div(u, f1, v, MPFR_RNDN);
            mpfr_sub_ui(w, y, 1, MPFR_RNDN);
            mpfr_mul(f2, u, w, MPFR_RNDN);
        }
    }
}

// frac(v) in [0, 1) times 2^128, as an integer.
void Fixed128(mpfr_ptr v, mpz_ptr out) {
    Big f(mpfr_get_prec(v));
    mpfr_frac(f, v, MPFR_RNDN);
    if (mpfr_sgn(f.get()) < 0) mpfr_add_ui(f, f, 1, MPFR_RNDN);
    mpfr_mul_2ui(f, f, 128, MPFR_RNDN);
    mpfr_get_z(out, f, MPFR_RNDD);
}

struct Stats {
    long lines = 0, candidates = 0;
};

// One line of n doubles from v0 (one binade, as is the result's binade):
// every double whose result lies within 2^-minBits ulp of a midpoint is added.
void SearchLine(const Along& a, double v0, u64 n, double minBits, const std::string& source,
                Collector* out, Stats* stats) {
    if (n < 2) return;
    minBits = out->Floor(a.f, source, minBits);
    const int ve = std::ilogb(v0);
    const double u = std::ldexp(1.0, (ve < -1022 ? -1022 : ve) - 52);
    const double vLast = v0 + static_cast<double>(n - 1) * u;
    if (std::ilogb(vLast) != ve) return;
    constexpr mpfr_prec_t kPrec = 400;
    // The result's binade at both ends.
    Big f0(kPrec), f1(kPrec), f2(kPrec), v(kPrec);
    mpfr_set_d(v, v0, MPFR_RNDN);
    Derivatives(a, v, f0, f1, f2);
    if (!mpfr_regular_p(f0.get())) return;
    const long ue = UlpExponent(f0);
    mpfr_set_d(v, vLast, MPFR_RNDN);
    Derivatives(a, v, f0, f1, f2);
    if (!mpfr_regular_p(f0.get()) || UlpExponent(f0) != ue) {
        SearchLine(a, v0, n / 2, minBits, source, out, stats);
        SearchLine(a, v0 + static_cast<double>(n / 2) * u, n - n / 2, minBits, source, out, stats);
        return;
    }
    ++stats->lines;
    // At the centre c = v0 + h u, h = n/2: result/U = F(c)/U + B (i - h) + C (i - h)^2,
    // B = F'(c) u/U, C = F''(c) u^2/(2U).
    const u64 h = n / 2;
    mpfr_set_d(v, v0, MPFR_RNDN);
    {
        Big hu(kPrec);
        mpfr_set_d(hu, u, MPFR_RNDN);
        mpfr_mul_ui(hu, hu, h, MPFR_RNDN);
        mpfr_add(v, v, hu, MPFR_RNDN);
    }
    Derivatives(a, v, f0, f1, f2);
    Big A(kPrec), B(kPrec), C(kPrec), t(kPrec);
    mpfr_mul_2si(A, f0, -ue, MPFR_RNDN);
    mpfr_mul_d(B, f1, u, MPFR_RNDN);
    mpfr_mul_2si(B, B, -ue, MPFR_RNDN);
    mpfr_mul_d(C, f2, u, MPFR_RNDN);
    mpfr_mul_d(C, C, u, MPFR_RNDN);
    mpfr_mul_2si(C, C, -ue - 1, MPFR_RNDN);
    // The square term lies between 0 and C h^2: its middle goes into A.
    const double hd = static_cast<double>(h);
    const double square = mpfr_get_d(C, MPFR_RNDN) * hd * hd;
    mpfr_mul_ui(t, B, h, MPFR_RNDN);
    mpfr_sub(A, A, t, MPFR_RNDN);
    mpfr_add_d(A, A, square / 2, MPFR_RNDN);
    const double delta = std::fabs(square) * 0.6 + 0x1p-100 * static_cast<double>(n);
    const double window = delta + std::ldexp(1.0, -static_cast<int>(minBits));
    if (window > 0.25) return;
    Int ai, bi, m, lo, hi;
    Fixed128(A, ai);
    Fixed128(B, bi);
    mpz_set_ui(m, 1);
    mpz_mul_2exp(m, m, 128);
    Big w(kPrec);
    mpfr_set_d(w, 0.5 - window, MPFR_RNDN);
    mpfr_mul_2ui(w, w, 128, MPFR_RNDN);
    mpfr_get_z(lo, w, MPFR_RNDD);
    mpfr_set_d(w, 0.5 + window, MPFR_RNDN);
    mpfr_mul_2ui(w, w, 128, MPFR_RNDN);
    mpfr_get_z(hi, w, MPFR_RNDU);
    for (const u64 i : Hits(ai, bi, m, lo, hi, n)) {
        ++stats->candidates;
        Case c;
        const double vi = v0 + static_cast<double>(i) * u;
        if (ValueOf(a, vi, &c) >= minBits) {
            c.source = source;
            out->Add(c);
        }
    }
}

// The length of line whose square term stays near delta: N = 2 sqrt(2 delta/|C|),
// delta = (|C|/32)^(1/3) (then about one candidate a line), at most maxN.
u64 LineLength(const Along& a, double v0, u64 maxN) {
    Big v(80), f0(80), f1(80), f2(80);
    mpfr_set_d(v, v0, MPFR_RNDN);
    Derivatives(a, v, f0, f1, f2);
    if (!mpfr_regular_p(f0.get())) return 0;
    const int ve = std::ilogb(v0);
    const double u = std::ldexp(1.0, (ve < -1022 ? -1022 : ve) - 52);
    const long ue = UlpExponent(f0);
    // |C| = |F''| u^2 / (2U), in logarithms to stay in range.
    const double f2d = std::fabs(mpfr_get_d(f2, MPFR_RNDN));
    if (!(f2d > 0) || !std::isfinite(f2d)) return maxN;
    const double logC = std::log2(f2d) + 2 * std::log2(u) - 1 - static_cast<double>(ue);
    const double logDelta = (logC - 5) / 3;
    const double logN = 1 + 0.5 * (1 + logDelta - logC);
    if (logN >= std::log2(static_cast<double>(maxN))) return maxN;
    if (logN < 1) return 2;
    return static_cast<u64>(std::exp2(logN));
}

class Random {
public:
    explicit Random(u64 seed) : m_s(seed * 0x9e3779b97f4a7c15ULL + 1) {}
    u64 Next() {
        m_s = m_s * 6364136223846793005ULL + 1442695040888963407ULL;
        u64 z = m_s;
        z = (z ^ (z >> 31)) * 0xbf58476d1ce4e5b9ULL;
        return z ^ (z >> 29);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }

private:
    u64 m_s;
};

// `count` lines of f along v in [lo, hi) (lo, hi > 0), drawn at random,
// log-uniform; negative = v taken negative.
void SearchRange(const Along& a, double lo, double hi, long count, bool negative, double minBits,
                 const std::string& source, u64 seed, Collector* out, Stats* stats) {
    Random r(seed);
    const double llo = std::log2(lo), lhi = std::log2(hi);
    for (long k = 0; k < count; ++k) {
        double v = std::exp2(llo + (lhi - llo) * r.Unit());
        if (!(v >= lo && v < hi)) continue;
        const int ve = std::ilogb(v);
        const double u = std::ldexp(1.0, (ve < -1022 ? -1022 : ve) - 52);
        const double binadeEnd = std::ldexp(1.0, ve + 1);
        u64 n = LineLength(a, negative ? -v : v, u64{1} << 52);
        // Keep the line inside v's binade.
        const double room = (binadeEnd - v) / u;
        if (static_cast<double>(n) > room) {
            const double back = static_cast<double>(n) - room;
            v -= back * u;
            if (v < std::ldexp(1.0, ve)) {
                v = std::ldexp(1.0, ve);
                n = static_cast<u64>((binadeEnd - v) / u);
            }
        }
        SearchLine(a, negative ? -(v + static_cast<double>(n - 1) * u) : v, n, minBits, source,
                   out, stats);
    }
}

// ---- Crossings

// Sin, Tan, Atan of x in [2^-K, 2^(1-K)), u = 2^(-K-52): the x with
// |x - f(x)| = (k + 1/2) u, up to `limit` of them (k at random past that).
void SearchSmallCrossings(Function f, int kFrom, int kTo, long limit, double minBits,
                          Collector* out) {
    constexpr mpfr_prec_t kPrec = 300;
    Random r(100 + f);
    Big x(kPrec), s(kPrec), c(kPrec), g(kPrec), d(kPrec), target(kPrec);
    // G(x) = |x - f(x)| and G'(x).
    auto G = [&](mpfr_ptr at, mpfr_ptr value, mpfr_ptr slope) {
        if (f == kSin) {
            mpfr_sin_cos(s, c, at, MPFR_RNDN);
            mpfr_sub(value, at, s, MPFR_RNDN);
            mpfr_ui_sub(slope, 1, c, MPFR_RNDN);
        } else if (f == kTan) {
            mpfr_tan(s, at, MPFR_RNDN);
            mpfr_sub(value, s, at, MPFR_RNDN);
            mpfr_sqr(slope, s, MPFR_RNDN);  // sec^2 - 1
        } else {
            mpfr_atan(s, at, MPFR_RNDN);
            mpfr_sub(value, at, s, MPFR_RNDN);
            mpfr_sqr(c, at, MPFR_RNDN);
            mpfr_add_ui(d, c, 1, MPFR_RNDN);
            mpfr_div(slope, c, d, MPFR_RNDN);  // 1 - 1/(1 + x^2)
        }
    };
    const double third = f == kSin ? 6 : 3;  // G(x) ~ x^3/third
    for (int K = kFrom; K >= kTo; --K) {
        const double lo = std::ldexp(1.0, -K), hi = std::ldexp(1.0, 1 - K);
        const double u = std::ldexp(1.0, -K - 52);
        const double gLo = lo * lo * lo / third / u, gHi = hi * hi * hi / third / u;
        const double kMin = std::ceil(gLo - 0.5), kMax = std::floor(gHi - 0.5);
        if (kMax < kMin) continue;
        const double count = kMax - kMin + 1;
        for (long i = 0; i < limit && i < count; ++i) {
            const double k = count <= limit ? kMin + i : std::floor(kMin + r.Unit() * count);
            mpfr_set_d(target, k + 0.5, MPFR_RNDN);
            mpfr_mul_d(target, target, u, MPFR_RNDN);
            mpfr_mul_d(x, target, third, MPFR_RNDN);
            mpfr_cbrt(x, x, MPFR_RNDN);
            for (int it = 0; it < 8; ++it) {
                G(x, g, d);
                mpfr_sub(g, g, target, MPFR_RNDN);
                mpfr_div(g, g, d, MPFR_RNDN);
                mpfr_sub(x, x, g, MPFR_RNDN);
            }
            const double xd = mpfr_get_d(x, MPFR_RNDN);
            if (!(xd >= lo && xd < hi)) continue;
            for (const double xc : {std::nextafter(xd, 0.0), xd, std::nextafter(xd, INFINITY)}) {
                Case cs;
                if (Measure(f, xc, 0, &cs) && cs.bits >= minBits) {
                    cs.source = "crossing, small x";
                    out->Add(cs);
                }
            }
        }
    }
}

// Cos of small x: the x with cos x = 1 - (k + 1/2) 2^-53, k < kMax; Atan
// of large x: the x with atan x = hi - (k + 1/2) 2^-52, hi = pi/2 rounded down.
void SearchInverseCrossings(Function f, long kMax, long limit, double minBits,
                            Collector* out) {
    constexpr mpfr_prec_t kPrec = 300;
    Random r(200 + f);
    Big m(kPrec), x(kPrec), t(kPrec);
    Big halfPi(kPrec);
    mpfr_const_pi(halfPi, MPFR_RNDN);
    mpfr_div_2ui(halfPi, halfPi, 1, MPFR_RNDN);
    const double hi = mpfr_get_d(halfPi, MPFR_RNDZ);
    for (long i = 0; i < limit; ++i) {
        // The small k first (the slowest moving), then log-uniform.
        const double k = i < limit / 2 ? static_cast<double>(i)
                                       : std::floor(std::exp2(r.Unit() * std::log2(kMax)));
        mpfr_set_d(t, k + 0.5, MPFR_RNDN);
        if (f == kCos) {
            mpfr_mul_2si(t, t, -53, MPFR_RNDN);
            mpfr_ui_sub(m, 1, t, MPFR_RNDN);
            mpfr_acos(x, m, MPFR_RNDN);
        } else {
            mpfr_mul_2si(t, t, -52, MPFR_RNDN);
            mpfr_set_d(m, hi, MPFR_RNDN);
            mpfr_sub(m, m, t, MPFR_RNDN);
            mpfr_tan(x, m, MPFR_RNDN);
        }
        const double xd = mpfr_get_d(x, MPFR_RNDN);
        for (const double xc : {std::nextafter(xd, 0.0), xd, std::nextafter(xd, INFINITY)}) {
            Case cs;
            if (Measure(f, xc, 0, &cs) && cs.bits >= minBits) {
                cs.source = f == kCos ? "crossing, small x" : "crossing, large x";
                out->Add(cs);
            }
        }
    }
}

// ---- Continued fractions: atan2 next to pi/2 and pi

// The best rational approximations p/q of s (s > 0, MPFR) with p, q < 2^53:
// the convergents and, before the last, the fractions between them.
std::vector<std::pair<u64, u64>> Approximations(mpfr_ptr s) {
    std::vector<std::pair<u64, u64>> out;
    Big r(mpfr_get_prec(s)), fl(mpfr_get_prec(s));
    mpfr_set(r, s, MPFR_RNDN);
    // p[-1] = 1, q[-1] = 0; p[-2] = 0, q[-2] = 1.
    unsigned __int128 p1 = 1, q1 = 0, p2 = 0, q2 = 1;
    const unsigned __int128 limit = (unsigned __int128)1 << 53;
    for (int k = 0; k < 80; ++k) {
        mpfr_floor(fl, r);
        if (mpfr_cmp_ui(fl.get(), 0) < 0 || mpfr_get_exp(fl.get()) > 60) break;
        const u64 ak = mpfr_get_ui(fl, MPFR_RNDN);
        const unsigned __int128 p = ak * p1 + p2, q = ak * q1 + q2;
        if (p >= limit || q >= limit) {
            // Intermediate fractions (j p1 + p2)/(j q1 + q2), j < ak, largest first.
            for (u64 j = ak; j-- > 1 && out.size() < 400;) {
                const unsigned __int128 pj = j * p1 + p2, qj = j * q1 + q2;
                if (pj < limit && qj < limit && qj > 0) out.push_back({u64(pj), u64(qj)});
                if (ak - j > 40) break;
            }
            break;
        }
        if (q > 0) out.push_back({u64(p), u64(q)});
        p2 = p1, q2 = q1, p1 = p, q1 = q;
        mpfr_sub(r, r, fl, MPFR_RNDN);
        if (mpfr_zero_p(r.get())) break;
        mpfr_ui_div(r, 1, r, MPFR_RNDN);
    }
    return out;
}

// Atan2 results next to the midpoints M near pi/2 (quotients |x/y| = tan|pi/2 - M|)
// and below pi (|y/x| = tan(pi - M)).
void SearchAtan2Fractions(int midpoints, double minBits, Collector* out) {
    constexpr mpfr_prec_t kPrec = 800;
    Big pi(kPrec), c(kPrec), s(kPrec), m(kPrec);
    mpfr_const_pi(pi, MPFR_RNDN);
    for (int which = 0; which < 2; ++which) {
        // which 0: pi/2, ulp 2^-52; which 1: pi, ulp 2^-51.
        Big target(kPrec);
        mpfr_set(target, pi, MPFR_RNDN);
        if (which == 0) mpfr_div_2ui(target, target, 1, MPFR_RNDN);
        const double hi = mpfr_get_d(target, MPFR_RNDZ);
        const long ue = which == 0 ? -52 : -51;
        for (int k = -midpoints; k < midpoints; ++k) {
            // M = hi + (k + 1/2) 2^ue
            mpfr_set_d(m, hi, MPFR_RNDN);
            mpfr_set_si(c, 2 * k + 1, MPFR_RNDN);
            mpfr_mul_2si(c, c, ue - 1, MPFR_RNDN);
            mpfr_add(m, m, c, MPFR_RNDN);
            mpfr_sub(c, target, m, MPFR_RNDN);  // the small angle, signed
            if (which == 1 && mpfr_sgn(c.get()) <= 0) continue;
            const bool above = mpfr_sgn(c.get()) < 0;  // M above pi/2: x < 0
            mpfr_abs(c, c, MPFR_RNDN);
            mpfr_tan(s, c, MPFR_RNDN);
            // s = 2^e sigma, sigma in [1, 2): p/q ~ sigma, quotient p/q 2^e.
            const long e = mpfr_get_exp(s.get()) - 1;
            Big sigma(kPrec);
            mpfr_mul_2si(sigma, s, -e, MPFR_RNDN);
            for (const auto& [p, q] : Approximations(sigma)) {
                // which 0: x/y = s: y = q 2^j, x = p 2^(j+e); which 1: y/x = s, x < 0.
                for (const int j : {0, -300, 400}) {
                    const double small = std::ldexp(static_cast<double>(p), static_cast<int>(j + e));
                    const double large = std::ldexp(static_cast<double>(q), j);
                    if (small == 0 || !std::isfinite(large)) continue;
                    Case cs;
                    const double yy = which == 0 ? large : small;
                    const double xx = which == 0 ? (above ? -small : small) : -large;
                    if (Measure(kAtan2, yy, xx, &cs) && cs.bits >= minBits) {
                        cs.source = which == 0 ? "continued fraction, next to pi/2"
                                               : "continued fraction, next to pi";
                        out->Add(cs);
                        Case neg;  // the mirror image below the axis
                        if (j == 0 && Measure(kAtan2, -yy, xx, &neg) && neg.bits >= minBits) {
                            neg.source = cs.source;
                            out->Add(neg);
                        }
                    }
                }
            }
        }
    }
}

// ---- Constructions for pow

// x^y with y tiny: x^y = 1 + t, t = y ln x, crosses the midpoints 1 + 2^-53
// and 1 - 2^-54 at x = exp(t/y); the doubles next to that point step t by
// y 2^-52 or less, a fraction y of an ulp.
void SearchPowNearOne(long trials, double minBits, Collector* out) {
    constexpr mpfr_prec_t kPrec = 400;
    Random r(77);
    Big t(kPrec), lx(kPrec), x(kPrec);
    for (long k = 0; k < trials; ++k) {
        const bool above = (k & 1) == 0;
        const bool bigBase = (k & 2) == 0;
        // Midpoint 1 + 2^-53 (t = ln(1 + 2^-53)) or 1 - 2^-54.
        mpfr_set_d(t, above ? 0x1p-53 : -0x1p-54, MPFR_RNDN);
        mpfr_log1p(t, t, MPFR_RNDN);
        // y with |t/y| below 700: y in [2^-62.4, 2^-52].
        const double y0 = std::exp2(-62.3 + 10.3 * r.Unit());
        const double y = bigBase ? y0 : -y0;
        mpfr_div_d(lx, t, y, MPFR_RNDN);
        mpfr_exp(x, lx, MPFR_RNDN);
        const double xd = mpfr_get_d(x, MPFR_RNDN);
        if (!std::isfinite(xd) || xd == 0) continue;
        for (const double xc : {std::nextafter(xd, 0.0), xd, std::nextafter(xd, INFINITY)}) {
            Case c;
            if (Measure(kPow, xc, y, &c) && c.bits >= minBits) {
                c.source = "x^y next to 1, y tiny";
                out->Add(c);
            }
        }
    }
}

// (1 + a 2^-52)^(b/2) = 1 + (a b/2) 2^-52 + C(b/2, 2) a^2 2^-104 + ...: for
// odd a b the first two terms are a midpoint. Likewise below 1.
void SearchPowBinomial(double minBits, Collector* out) {
    for (int b : {3, 5, 7, -1, -3, 9, 11}) {
        for (int a = 1; a <= 99; a += 2) {
            for (const bool below : {false, true}) {
                const double x = below ? 1 - a * 0x1p-53 : 1 + a * 0x1p-52;
                Case c;
                if (Measure(kPow, x, b / 2.0, &c) && c.bits >= minBits) {
                    c.source = "binomial, (1 + a ulp)^(b/2)";
                    out->Add(c);
                }
            }
        }
    }
}

// m^2 = 2^52 + r (mod 2^53): m^2, 106 bits, lies r ulp 2^-53 above a midpoint.
void SearchPowSquares(double minBits, Collector* out) {
    for (u64 r = 1; r < 200; r += 8) {
        // A square root of 2^52 + r (odd, 1 mod 8) modulo 2^53, by Hensel lifting.
        const u64 target = (u64{1} << 52) + r;
        u64 s = 1;
        for (int k = 3; k < 53; ++k) {
            // s^2 = target mod 2^k: lift to k + 1.
            const u64 mask = (u64{1} << (k + 1)) - 1;
            if (((s * s - target) & mask) != 0) s += u64{1} << (k - 1);
        }
        const u64 mod = u64{1} << 53;
        for (u64 root : {s, mod - s, (s + (mod >> 1)) % mod, (mod - s + (mod >> 1)) % mod}) {
            if (root < (u64{1} << 52)) continue;
            Case c;
            const double x = static_cast<double>(root);
            if (Measure(kPow, x, 2.0, &c) && c.bits >= minBits) {
                c.source = "square, m^2 = 2^52 + r mod 2^53";
                out->Add(c);
            }
        }
    }
}

std::string Hex(double d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%a", d);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    const double effort = argc > 1 ? std::atof(argv[1]) : 1.0;
    auto lines = [&](double n) { return static_cast<long>(n * effort + 1); };
    const double minBits = 30;
    Collector all;
    Stats stats;
    auto range = [&](Along a, double lo, double hi, double count, bool negative, const char* what,
                     u64 seed) {
        const long before = all.Added();
        SearchRange(a, lo, hi, lines(count), negative, minBits,
                    std::string("line search, ") + what, seed, &all, &stats);
        std::fprintf(stderr, "%s %s: %ld kept (%ld lines, %ld candidates so far)\n", kNames[a.f],
                     what, all.Added() - before, stats.lines, stats.candidates);
    };
    // Small arguments: the cubic term walks across the midpoints slowly.
    range({kSin, 0}, 0x1p-26, 0x1p-10, 40000, false, "small x", 1);
    range({kSin, 0}, 0.5, 8, 400000, false, "x in [0.5, 8)", 2);
    range({kCos, 0}, 0x1p-26, 0x1p-10, 40000, false, "small x", 4);
    range({kCos, 0}, 0.5, 8, 400000, false, "x in [0.5, 8)", 5);
    range({kTan, 0}, 0x1p-26, 0x1p-10, 40000, false, "small x", 6);
    range({kTan, 0}, 0.5, 1.5, 400000, true, "x in [0.5, 1.5)", 7);
    range({kAtan, 0}, 0x1p-26, 0x1p-10, 40000, false, "small x", 8);
    range({kAtan, 0}, 0.5, 16, 400000, false, "x in [0.5, 16)", 9);
    range({kAtan, 0}, 0x1p20, 0x1p53, 40000, true, "large x", 10);
    range({kLog10, 0}, 0x1p-1000, 0x1p-100, 100000, false, "tiny x", 11);
    range({kLog10, 0}, 0x1p100, 0x1p1000, 100000, false, "huge x", 12);
    range({kLog10, 0}, 0.5, 100, 300000, false, "x in [0.5, 100)", 13);
    for (int k = 1; k <= 22; ++k) {
        // The 2^28 doubles on either side of the powers of ten that are doubles.
        const Along a = {kLog10, 0};
        const double p = std::pow(10.0, k);
        const double u = std::ldexp(1.0, std::ilogb(p) - 52);
        for (double v = p - 0x1p28 * u; v < p + 0x1p28 * u;) {
            const u64 n = std::min<u64>(LineLength(a, v, u64{1} << 40), lines(u64{1} << 29));
            SearchLine(a, v, n, minBits, "line search, next to 10^k", &all, &stats);
            v += static_cast<double>(n) * u;
        }
    }
    std::fprintf(stderr, "Log10 next to 10^k: %ld lines so far\n", stats.lines);
    for (const double x : {1.0, 0.7, 7e6, -3.0}) {
        const double lo = std::fabs(x) * 0.5, hi = std::fabs(x) * 2;
        range({kAtan2, x}, lo, hi, 60000, false, "y near x", 14 + static_cast<u64>(x + 10));
        range({kAtan2, x}, lo * 0x1p-40, hi * 0x1p-20, 30000, true, "y small", 20);
    }
    for (const double y : {1.5, 0.0335, 3.7, -0.5}) {
        range({kPow, y}, 0.5, 2, 100000, false, "x in [0.5, 2)", 30 + static_cast<u64>(y * 10 + 10));
    }
    range({kPow, 0x1p-30}, 0x1p-1000, 0x1p1000, 60000, false, "x^(2^-30)", 40);
    for (const Function f : {kSin, kTan, kAtan}) {
        const long before = all.Added();
        SearchSmallCrossings(f, 26, 12, lines(3000), minBits, &all);
        std::fprintf(stderr, "%s crossings: %ld kept\n", kNames[f], all.Added() - before);
    }
    for (const Function f : {kCos, kAtan}) {
        const long before = all.Added();
        SearchInverseCrossings(f, f == kCos ? (1L << 32) : (1L << 30), lines(20000), minBits, &all);
        std::fprintf(stderr, "%s crossings: %ld kept\n", kNames[f], all.Added() - before);
    }
    {
        const long before = all.Added();
        SearchAtan2Fractions(static_cast<int>(30 * effort) + 2, minBits, &all);
        std::fprintf(stderr, "Atan2 continued fractions: %ld kept\n", all.Added() - before);
    }
    {
        const long before = all.Added();
        SearchPowNearOne(lines(200000), minBits, &all);
        SearchPowBinomial(minBits, &all);
        SearchPowSquares(minBits, &all);
        std::fprintf(stderr, "Pow constructions: %ld kept\n", all.Added() - before);
    }

    // The closest of each function and each source, duplicates dropped.
    std::vector<Case> found = all.All();
    std::sort(found.begin(), found.end(), [](const Case& a, const Case& b) {
        if (a.f != b.f) return a.f < b.f;
        return a.bits > b.bits;
    });
    std::set<std::pair<u64, u64>> seen[kFunctionCount];
        std::vector<Case> kept;
    for (const Case& c : found) {
        const auto key = std::make_pair(std::bit_cast<u64>(c.x), std::bit_cast<u64>(c.y));
        if (!seen[c.f].insert(key).second) continue;
        kept.push_back(c);
    }
    std::printf(
        "# Arguments of the elementary functions whose exact results lie close to a\n"
        "# rounding boundary (the midpoint of two doubles), with the exact results\n"
        "# rounded to nearest. Printed by scripts/elementary-hardcases (MPFR):\n"
        "# `scripts/elementary-hardcases [EFFORT]` rewrites this file (effort %g here).\n"
        "#\n"
        "# Fields: function, x, y (Atan2: ordinate, abscissa; Pow: base, exponent; - for\n"
        "# one argument), the result, and b: the exact result lies 2^-b units in the\n"
        "# last place from the midpoint of its two nearest doubles. Then how it was found.\n",
        effort);
    for (const Case& c : kept) {
        const bool two = c.f == kAtan2 || c.f == kPow;
        std::printf("%s %s %s %s %.1f  # %s\n", kNames[c.f], Hex(c.x).c_str(),
                    two ? Hex(c.y).c_str() : "-", Hex(c.result).c_str(), c.bits, c.source.c_str());
    }
    std::fprintf(stderr, "%zu cases\n", kept.size());
    return 0;
}
