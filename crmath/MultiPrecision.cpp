// Word arithmetic of MpFloat: schoolbook sums and products on 32-bit words
// with 64-bit intermediates, Newton iterations for quotients and roots.
#include "crmath/MultiPrecision.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace crmath::detail {

void MpWords::CopyHeap(const MpWords& other) {
    if (m_capacity < other.m_capacity) {
        delete[] m_heap;
        m_heap = new std::uint32_t[static_cast<unsigned>(other.m_capacity)];
        m_words = m_heap;
        m_capacity = other.m_capacity;
    }
    std::memcpy(m_words, other.m_words, sizeof(std::uint32_t) * static_cast<unsigned>(other.m_capacity));
}

void MpWords::Grow(int count, int keep) {
    std::uint32_t* words = new std::uint32_t[static_cast<unsigned>(count)];
    if (keep > 0) std::memcpy(words, m_words, sizeof(std::uint32_t) * static_cast<unsigned>(keep));
    delete[] m_heap;
    m_heap = words;
    m_words = words;
    m_capacity = count;
}

void MpResize(MpFloat& a, int n) {
    a.w.Reserve(n, a.n < n ? a.n : n);
    for (int i = a.n; i < n; ++i) a.w[i] = 0;
    a.n = n;
}

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

u32 Word(const MpFloat& a, int i) { return i >= 0 && i < a.n ? a.w[i] : 0; }

// Shifts buf[0..count) left until its top bit is set and copies the first n
// words into r; the shift is taken from r.exponent. All zero: r is zero.
void NormalizeInto(u32* buf, int count, MpFloat& r) {
    u32* w = r.w.data();
    int z = 0;
    while (z < count && buf[z] == 0) ++z;
    if (z == count) {
        r.zero = true;
        r.negative = false;
        r.exponent = 0;
        for (int i = 0; i < r.n; ++i) w[i] = 0;
        return;
    }
    const int bits = std::countl_zero(buf[z]);
    for (int i = 0; i < r.n; ++i) {
        const u32 a = i + z < count ? buf[i + z] : 0;
        const u32 b = i + z + 1 < count ? buf[i + z + 1] : 0;
        w[i] = bits == 0 ? a : (a << bits) | (b >> (32 - bits));
    }
    r.exponent -= 32 * z + bits;
    r.zero = false;
}

// A number of n words to be filled by NormalizeInto.
MpFloat Unfilled(int n) {
    MpFloat r;
    r.w.Reserve(n, 0);
    r.n = n;
    return r;
}

// 2^k as a double, -1074 <= k <= 1023.
double Pow2(int k) {
    if (k >= -1022) return std::bit_cast<double>(static_cast<u64>(k + 1023) << 52);
    return std::bit_cast<double>(u64{1} << (k + 1074));
}

// |a| + |b| (same = true) or |a| - |b| (|a| >= |b|) at n words, a's words
// cut or extended to n, with the sign given.
MpFloat AddMagnitudes(const MpFloat& a, const MpFloat& b, bool same, int n, bool negative) {
    MpScratch<kMaxWords + 1> xs(n + 1), ys(n + 1);
    u32* x = xs.data();
    u32* y = ys.data();
    const u32* aw = a.w.data();
    const u32* bw = b.w.data();
    const int an = a.n, bn = b.n;
    for (int i = 0; i < n; ++i) x[i] = i < an ? aw[i] : 0;
    x[n] = 0;
    const int shift = a.exponent - b.exponent;
    const int words = shift / 32, bits = shift % 32;
    for (int i = 0; i <= n; ++i) {
        if (shift > 32 * (n + 1)) {
            y[i] = 0;
            continue;
        }
        const int k = i - words;
        const u32 hi = k >= 0 && k < bn ? bw[k] : 0;
        const u32 lo = k >= 1 && k - 1 < bn ? bw[k - 1] : 0;
        y[i] = bits == 0 ? hi : (hi >> bits) | (lo << (32 - bits));
    }
    MpFloat r = Unfilled(n);
    r.negative = negative;
    r.exponent = a.exponent;
    if (same) {
        u64 carry = 0;
        for (int i = n; i >= 0; --i) {
            const u64 t = u64{x[i]} + y[i] + carry;
            x[i] = static_cast<u32>(t);
            carry = t >> 32;
        }
        if (carry != 0) {
            for (int i = n; i > 0; --i) x[i] = (x[i] >> 1) | (x[i - 1] << 31);
            x[0] = (x[0] >> 1) | 0x80000000u;
            r.exponent += 1;
        }
    } else {
        u64 borrow = 0;
        for (int i = n; i >= 0; --i) {
            const u64 t = u64{x[i]} - y[i] - borrow;
            x[i] = static_cast<u32>(t);
            borrow = (t >> 32) != 0 ? 1 : 0;
        }
    }
    NormalizeInto(x, n + 1, r);
    if (r.zero) return r;
    r.negative = negative;
    return r;
}

MpFloat AddSigned(const MpFloat& a, const MpFloat& b, bool bNegative) {
    if (b.zero) return a;
    if (a.zero) {
        MpFloat r = b;
        MpResize(r, a.n);
        r.negative = bNegative;
        return r;
    }
    const bool same = a.negative == bNegative;
    if (MpCompareMagnitude(a, b) >= 0) return AddMagnitudes(a, b, same, a.n, a.negative);
    return AddMagnitudes(b, a, same, a.n, bNegative);
}

}  // namespace

MpFloat MpZero(int n) {
    MpFloat r;
    r.w.Reserve(n, 0);
    r.n = n;
    u32* w = r.w.data();
    for (int i = 0; i < n; ++i) w[i] = 0;
    return r;
}

MpFloat MpFromInteger(u64 m, int e, bool negative, int n) {
    MpFloat r = MpZero(n);
    if (m == 0) return r;
    const int length = 64 - std::countl_zero(m);
    m <<= 64 - length;
    r.w[0] = static_cast<u32>(m >> 32);
    r.w[1] = static_cast<u32>(m);
    r.exponent = e + length;
    r.negative = negative;
    r.zero = false;
    return r;
}

MpFloat MpFromDouble(double x, int n) {
    const u64 bits = std::bit_cast<u64>(x);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    u64 m = bits & ((u64{1} << 52) - 1);
    int e;
    if (biased == 0) {
        e = -1074;
    } else {
        m |= u64{1} << 52;
        e = biased - 1075;
    }
    return MpFromInteger(m, e, negative, n);
}

MpFloat MpFromWords(const u32* words, int count, int exponent, int n) {
    MpFloat r = MpZero(n);
    for (int i = 0; i < n; ++i) r.w[i] = i < count ? words[i] : 0;
    r.exponent = exponent;
    r.zero = false;
    return r;
}

int MpCompareMagnitude(const MpFloat& a, const MpFloat& b) {
    if (a.zero || b.zero) return a.zero ? (b.zero ? 0 : -1) : 1;
    if (a.exponent != b.exponent) return a.exponent > b.exponent ? 1 : -1;
    const int n = a.n > b.n ? a.n : b.n;
    for (int i = 0; i < n; ++i) {
        const u32 x = Word(a, i), y = Word(b, i);
        if (x != y) return x > y ? 1 : -1;
    }
    return 0;
}

MpFloat MpAdd(const MpFloat& a, const MpFloat& b) { return AddSigned(a, b, b.negative); }

MpFloat MpSub(const MpFloat& a, const MpFloat& b) { return AddSigned(a, b, !b.negative); }

MpFloat MpMul(const MpFloat& a, const MpFloat& b) {
    const int n = a.n;
    MpFloat r = MpZero(n);
    if (a.zero || b.zero) return r;
    MpScratch<2 * kMaxWords> ps(2 * n);
    u32* p = ps.data();
    const u32* aw = a.w.data();
    const u32* bw = b.w.data();
    const int bn = b.n;
    for (int i = 0; i < 2 * n; ++i) p[i] = 0;
    for (int i = n - 1; i >= 0; --i) {
        u64 carry = 0;
        const u64 ai = aw[i];
        for (int j = n - 1; j >= 0; --j) {
            const u64 t = ai * (j < bn ? bw[j] : 0) + p[i + j + 1] + carry;
            p[i + j + 1] = static_cast<u32>(t);
            carry = t >> 32;
        }
        p[i] = static_cast<u32>(carry);
    }
    r.exponent = a.exponent + b.exponent;
    r.negative = a.negative != b.negative;
    NormalizeInto(p, 2 * n, r);
    r.negative = a.negative != b.negative;
    return r;
}

MpFloat MpMulSmall(const MpFloat& a, u32 k) {
    const int n = a.n;
    MpFloat r = MpZero(n);
    if (a.zero || k == 0) return r;
    MpScratch<kMaxWords + 1> ps(n + 1);
    u32* p = ps.data();
    const u32* aw = a.w.data();
    u64 carry = 0;
    for (int i = n - 1; i >= 0; --i) {
        const u64 t = u64{aw[i]} * k + carry;
        p[i + 1] = static_cast<u32>(t);
        carry = t >> 32;
    }
    p[0] = static_cast<u32>(carry);
    r.exponent = a.exponent + 32;
    NormalizeInto(p, n + 1, r);
    r.negative = a.negative;
    return r;
}

MpFloat MpDivSmall(const MpFloat& a, u32 k) {
    const int n = a.n;
    MpFloat r = MpZero(n);
    if (a.zero) return r;
    MpScratch<kMaxWords + 2> qs(n + 2);
    u32* q = qs.data();
    const u32* aw = a.w.data();
    u64 rest = 0;
    for (int i = 0; i < n + 2; ++i) {
        const u64 cur = (rest << 32) | (i < n ? aw[i] : 0);
        q[i] = static_cast<u32>(cur / k);
        rest = cur % k;
    }
    r.exponent = a.exponent;
    NormalizeInto(q, n + 2, r);
    r.negative = a.negative;
    return r;
}

MpFloat MpScale(MpFloat a, int k) {
    if (!a.zero) a.exponent += k;
    return a;
}

MpFloat MpNegate(MpFloat a) {
    if (!a.zero) a.negative = !a.negative;
    return a;
}

// The leading 53 bits of a (a nonzero) as a double in [0.5, 1).
static double Leading(const MpFloat& a) {
    const u64 top = (u64{a.w[0]} << 32) | Word(a, 1);
    return static_cast<double>(top >> 11) * 0x1p-53;
}

MpFloat MpDiv(const MpFloat& a, const MpFloat& b) {
    const int n = a.n;
    MpFloat m = b;  // |b| scaled into [0.5, 1)
    MpResize(m, n);
    m.exponent = 0;
    m.negative = false;
    const MpFloat one = MpFromInteger(1, 0, false, n);
    MpFloat y = MpFromDouble(1.0 / Leading(m), n);
    for (int bits = 48; bits < 32 * n + 8; bits *= 2) {
        const MpFloat e = MpSub(one, MpMul(m, y));
        y = MpAdd(y, MpMul(y, e));
    }
    MpFloat r = MpMul(a, y);
    r.exponent -= b.exponent;
    r.negative = a.negative != b.negative;
    if (r.zero) r.negative = false;
    return r;
}

MpFloat MpSqrt(const MpFloat& a) {
    const int n = a.n;
    if (a.zero) return MpZero(n);
    MpFloat v = a;  // a = v * 2^(2h), v in [0.25, 1)
    const int e = a.exponent;
    const int h = (e >= 0 ? e + 1 : e) / 2;
    v.exponent = e - 2 * h;
    const MpFloat one = MpFromInteger(1, 0, false, n);
    const double vd = Leading(v) * (v.exponent == 0 ? 1.0 : 0.5);
    MpFloat z = MpFromDouble(1.0 / std::sqrt(vd), n);  // 1/sqrt(v)
    for (int bits = 48; bits < 32 * n + 8; bits *= 2) {
        const MpFloat e1 = MpSub(one, MpMul(v, MpMul(z, z)));
        z = MpAdd(z, MpScale(MpMul(z, e1), -1));
    }
    MpFloat r = MpMul(v, z);
    r.exponent += h;
    return r;
}

double MpToDouble(const MpFloat& a) {
    if (a.zero) return 0.0;
    const double sign = a.negative ? -1.0 : 1.0;
    const u64 top = (u64{a.w[0]} << 32) | Word(a, 1);
    bool sticky = false;
    for (int i = 2; i < a.n; ++i) sticky = sticky || a.w[i] != 0;
    const int e = a.exponent - 1;  // a in [2^e, 2^(e+1))
    if (e > 1023) return sign * HUGE_VAL;
    const int p = e >= -1022 ? 53 : e + 1075;  // significant bits kept
    if (p < 0) return sign * 0.0;
    if (p == 0) {  // a in [2^-1075, 2^-1074): a tie only at 2^-1075 exactly
        const bool above = top != (u64{1} << 63) || sticky;
        return sign * (above ? Pow2(-1074) : 0.0);
    }
    u64 m = top >> (64 - p);
    const u64 dropped = top << p;
    const bool half = (dropped >> 63) != 0;
    const bool rest = (dropped << 1) != 0 || sticky;
    if (half && (rest || (m & 1) != 0)) ++m;
    int scale = e - p + 1;
    if (m == (u64{1} << 53)) {
        m >>= 1;
        ++scale;
        if (scale + 52 > 1023) return sign * HUGE_VAL;
    }
    return sign * (static_cast<double>(m) * Pow2(scale));
}

bool MpRoundIfDecided(const MpFloat& a, int bits, double* out) {
    const MpFloat delta = MpFromInteger(1, a.exponent - bits + 1, false, a.n);
    const double lo = MpToDouble(MpSub(a, delta));
    const double hi = MpToDouble(MpAdd(a, delta));
    if (lo != hi) return false;
    *out = lo;
    return true;
}

}  // namespace crmath::detail
