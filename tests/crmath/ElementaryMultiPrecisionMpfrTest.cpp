// MpFloat, the arithmetic of the accurate path, against MPFR at every word
// count it runs at (4 to 40 words in the number, more on the heap): sums,
// products and quotients within the bounds MultiPrecision.h states, the
// exact operations exact, rounding to double correct, and the rounding test
// deciding only where it may.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "crmath/MultiPrecision.h"
#include "tests/crmath/ElementaryMpfr.h"

namespace {

using namespace crmath::detail;
using elementary_test::Big;
using elementary_test::RoundToDouble;
using elementary_test::Sequence;
using elementary_test::ToMpfr;

using u32 = std::uint32_t;

constexpr int kSizes[] = {4, 8, 16, 32, 40, 41, 64, 100};

// An MpFloat of n words from the given words (the first made normal).
MpFloat Make(const std::vector<u32>& words, int exponent, bool negative) {
    MpFloat a = MpZero(static_cast<int>(words.size()));
    for (std::size_t i = 0; i < words.size(); ++i) a.w[static_cast<int>(i)] = words[i];
    a.w[0] |= 0x80000000u;
    a.exponent = exponent;
    a.negative = negative;
    a.zero = false;
    return a;
}

// Operands that stress the word loops: random, all ones (carries through
// every word), one unit in the last place, equal but for the last word
// (cancellation), zero.
class Operands {
public:
    explicit Operands(std::uint64_t seed) : m_s(seed) {}

    MpFloat Random(int n, int exponent, bool negative) {
        std::vector<u32> w(static_cast<std::size_t>(n));
        const int kind = static_cast<int>(m_s.Next() % 4);
        for (u32& x : w) {
            const u32 r = static_cast<u32>(m_s.Next() >> 32);
            x = kind == 0 ? 0xffffffffu : kind == 1 ? (r & 1 ? 0xffffffffu : 0) : r;
        }
        return Make(w, exponent, negative);
    }
    std::uint64_t Next() { return m_s.Next(); }

private:
    Sequence m_s;
};

// |got - exact| <= 2^k scale.
::testing::AssertionResult Within(mpfr_ptr got, mpfr_ptr exact, mpfr_ptr scale, long k) {
    Big d(mpfr_get_prec(exact) + 64), b(mpfr_get_prec(scale) + 8);
    mpfr_sub(d.get(), got, exact, MPFR_RNDN);
    mpfr_abs(d.get(), d.get(), MPFR_RNDN);
    mpfr_abs(b.get(), scale, MPFR_RNDN);
    mpfr_mul_2si(b.get(), b.get(), k, MPFR_RNDN);
    if (mpfr_cmp(d.get(), b.get()) <= 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "error 2^" << (mpfr_zero_p(d.get()) ? 0 : mpfr_get_exp(d.get())) << " beyond 2^"
           << mpfr_get_exp(b.get());
}

std::string Describe(const MpFloat& a) {
    std::string s = (a.negative ? "-" : "+") + std::to_string(a.n) + " words, 2^" +
                    std::to_string(a.exponent) + ":";
    for (int i = 0; i < a.n && i < 3; ++i) s += " " + std::to_string(a.w[i]);
    return s + (a.zero ? " (zero)" : "");
}

// Guards sums and differences: within 2^(2-32n) of the larger of the result
// and the operands, at the first operand's n words, whatever the second's.
TEST(ElementaryMultiPrecision, SumsWithinTheirBound) {
    Operands ops(11);
    long checked = 0;
    for (const int n : kSizes) {
        for (int k = 0; k < 400; ++k) {
            const int nb = k % 3 == 0 ? n : k % 3 == 1 ? n + 1 + k % 5 : (n > 4 ? n - 1 : 4);
            // Shifts across the word boundaries and past all words.
            const int shifts[] = {0, 1, 31, 32, 33, 32 * n - 1, 32 * n, 32 * n + 33,
                                  32 * (n + 1) + 1, 5000};
            const int shift = k < 40 ? shifts[k % 10] * (k % 20 < 10 ? 1 : -1)
                                     : static_cast<int>(ops.Next() % (64 * n + 80)) - 32 * n - 40;
            MpFloat a = ops.Random(n, 7, ops.Next() & 1), b = ops.Random(nb, 7 - shift, ops.Next() & 1);
            if (k % 7 == 0) {  // equal but for the last words: cancellation
                b = a;
                MpResize(b, nb);
                b.w[nb - 1] ^= static_cast<u32>(ops.Next());
                b.negative = !a.negative;
            }
            if (k % 11 == 0) b = MpZero(nb);
            if (k % 13 == 0) a = MpZero(n);
            for (const bool subtract : {false, true}) {
                const MpFloat r = subtract ? MpSub(a, b) : MpAdd(a, b);
                ASSERT_EQ(r.n, n);
                const mpfr_prec_t p = 32 * (n + nb) + std::abs(shift) + 128;
                Big x(p), y(p), e(p), got(p), scale(p);
                ToMpfr(a, x.get());
                ToMpfr(b, y.get());
                if (subtract)  // exact at p bits
                    mpfr_sub(e.get(), x.get(), y.get(), MPFR_RNDN);
                else
                    mpfr_add(e.get(), x.get(), y.get(), MPFR_RNDN);
                ToMpfr(r, got.get());
                mpfr_abs(scale.get(), e.get(), MPFR_RNDN);
                if (mpfr_cmpabs(x.get(), scale.get()) > 0) mpfr_abs(scale.get(), x.get(), MPFR_RNDN);
                if (mpfr_cmpabs(y.get(), scale.get()) > 0) mpfr_abs(scale.get(), y.get(), MPFR_RNDN);
                EXPECT_TRUE(Within(got.get(), e.get(), scale.get(), 2 - 32 * n))
                    << (subtract ? "sub " : "add ") << Describe(a) << ", " << Describe(b);
                EXPECT_EQ(r.zero, mpfr_zero_p(got.get()) != 0);
                if (!r.zero) {
                    EXPECT_NE(r.w[0] & 0x80000000u, 0u) << "not normal";
                }
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 6000);
}

// Guards carries through every word and exact cancellation.
TEST(ElementaryMultiPrecision, CarriesAndCancellationsAreExact) {
    for (const int n : kSizes) {
        MpFloat ones = Make(std::vector<u32>(static_cast<std::size_t>(n), 0xffffffffu), 0, false);
        const MpFloat unit = MpFromInteger(1, -32 * n, false, n);  // the last place of ones
        const MpFloat sum = MpAdd(ones, unit);
        EXPECT_FALSE(sum.zero);
        EXPECT_EQ(sum.exponent, 1) << n;
        EXPECT_EQ(sum.w[0], 0x80000000u) << n;
        for (int i = 1; i < n; ++i) ASSERT_EQ(sum.w[i], 0u) << n << " word " << i;
        const MpFloat back = MpSub(sum, unit);
        EXPECT_EQ(MpCompareMagnitude(back, ones), 0) << n;
        EXPECT_TRUE(MpSub(ones, ones).zero);
        const MpFloat diff = MpSub(ones, MpSub(ones, unit));
        EXPECT_EQ(MpCompareMagnitude(diff, unit), 0) << n;
        EXPECT_FALSE(diff.negative);
        EXPECT_TRUE(MpSub(unit, ones).negative);
    }
}

// Guards products, small factors and divisors: within 2^(2-32n) of the
// exact result, relative.
TEST(ElementaryMultiPrecision, ProductsWithinTheirBound) {
    Operands ops(12);
    for (const int n : kSizes) {
        for (int k = 0; k < 300; ++k) {
            const int nb = k % 2 == 0 ? n : n + 3;
            const MpFloat a = ops.Random(n, static_cast<int>(ops.Next() % 2001) - 1000, ops.Next() & 1);
            const MpFloat b = ops.Random(nb, static_cast<int>(ops.Next() % 2001) - 1000, ops.Next() & 1);
            const u32 small = k % 5 == 0 ? 0xffffffffu : static_cast<u32>(ops.Next() >> 40) + 1;
            const mpfr_prec_t p = 32 * (n + nb) + 128;
            Big x(p), y(p), e(p), got(p);
            ToMpfr(a, x.get());
            ToMpfr(b, y.get());
            mpfr_mul(e.get(), x.get(), y.get(), MPFR_RNDN);
            ToMpfr(MpMul(a, b), got.get());
            EXPECT_TRUE(Within(got.get(), e.get(), e.get(), 2 - 32 * n)) << "mul " << Describe(a);
            mpfr_mul_ui(e.get(), x.get(), small, MPFR_RNDN);
            ToMpfr(MpMulSmall(a, small), got.get());
            EXPECT_TRUE(Within(got.get(), e.get(), e.get(), 2 - 32 * n)) << "mul by " << small;
            mpfr_div_ui(e.get(), x.get(), small, MPFR_RNDN);
            ToMpfr(MpDivSmall(a, small), got.get());
            EXPECT_TRUE(Within(got.get(), e.get(), e.get(), 2 - 32 * n)) << "div by " << small;
        }
        EXPECT_TRUE(MpMul(MpZero(n), MpFromDouble(3.0, n)).zero);
        EXPECT_TRUE(MpMulSmall(MpFromDouble(3.0, n), 0).zero);
    }
}

// Guards quotients and square roots: within 2^(6-32n), relative.
TEST(ElementaryMultiPrecision, QuotientsAndRootsWithinTheirBound) {
    Operands ops(13);
    for (const int n : kSizes) {
        for (int k = 0; k < 150; ++k) {
            const MpFloat a = ops.Random(n, static_cast<int>(ops.Next() % 201) - 100, ops.Next() & 1);
            const MpFloat b = ops.Random(k % 2 ? n : n + 2, static_cast<int>(ops.Next() % 201) - 100,
                                         ops.Next() & 1);
            const mpfr_prec_t p = 32 * n + 128;
            Big x(p), y(p), e(p), got(p);
            ToMpfr(a, x.get());
            ToMpfr(b, y.get());
            mpfr_div(e.get(), x.get(), y.get(), MPFR_RNDN);
            ToMpfr(MpDiv(a, b), got.get());
            EXPECT_TRUE(Within(got.get(), e.get(), e.get(), 6 - 32 * n)) << "div " << Describe(b);
            MpFloat pa = a;
            pa.negative = false;
            mpfr_abs(x.get(), x.get(), MPFR_RNDN);
            mpfr_sqrt(e.get(), x.get(), MPFR_RNDN);
            ToMpfr(MpSqrt(pa), got.get());
            EXPECT_TRUE(Within(got.get(), e.get(), e.get(), 6 - 32 * n)) << "sqrt " << Describe(pa);
        }
        // Exact cases come out exact to the bound: 1/3 * 3, sqrt(4).
        const MpFloat third = MpDiv(MpFromInteger(1, 0, false, n), MpFromInteger(3, 0, false, n));
        const MpFloat one = MpMulSmall(third, 3);
        Big o(32 * n + 64), want(64);
        ToMpfr(one, o.get());
        mpfr_set_ui(want.get(), 1, MPFR_RNDN);
        EXPECT_TRUE(Within(o.get(), want.get(), want.get(), 7 - 32 * n));
        ToMpfr(MpSqrt(MpFromInteger(4, 0, false, n)), o.get());
        mpfr_set_ui(want.get(), 2, MPFR_RNDN);
        EXPECT_TRUE(Within(o.get(), want.get(), want.get(), 7 - 32 * n));
        EXPECT_TRUE(MpSqrt(MpZero(n)).zero);
    }
}

// Guards the exact operations: conversions in, scaling, negation, comparison.
TEST(ElementaryMultiPrecision, ExactOperationsAreExact) {
    Sequence s(14);
    for (const int n : kSizes) {
        for (int k = 0; k < 200; ++k) {
            const double d = k == 0 ? 0x1p-1074 : k == 1 ? -0x1.fffffffffffffp1023 : s.AnyFinite();
            const MpFloat a = MpFromDouble(d, n);
            Big x(32 * n + 64), got(32 * n + 64);
            mpfr_set_d(x.get(), d, MPFR_RNDN);
            ToMpfr(a, got.get());
            EXPECT_EQ(mpfr_cmp(got.get(), x.get()), 0) << d;
            EXPECT_EQ(MpToDouble(a), d);
            ToMpfr(MpScale(a, -3000), got.get());
            mpfr_mul_2si(x.get(), x.get(), -3000, MPFR_RNDN);
            EXPECT_EQ(mpfr_cmp(got.get(), x.get()), 0) << d;
            EXPECT_EQ(MpToDouble(MpNegate(a)), -d);
            const double e = s.AnyFinite();
            const MpFloat b = MpFromDouble(e, n + k % 3);
            const int want = std::fabs(d) < std::fabs(e) ? -1 : std::fabs(d) > std::fabs(e) ? 1 : 0;
            EXPECT_EQ(MpCompareMagnitude(a, b), want) << d << " " << e;
        }
        const std::uint64_t m = 0xfedcba9876543210ULL;
        {
            Big x(128), got(32 * n + 64);
            mpfr_set_ui(x.get(), static_cast<unsigned long>(m >> 32), MPFR_RNDN);
            mpfr_mul_2ui(x.get(), x.get(), 32, MPFR_RNDN);
            mpfr_add_ui(x.get(), x.get(), static_cast<unsigned long>(m & 0xffffffffu), MPFR_RNDN);
            mpfr_mul_2si(x.get(), x.get(), -77, MPFR_RNDN);
            mpfr_neg(x.get(), x.get(), MPFR_RNDN);
            ToMpfr(MpFromInteger(m, -77, true, n), got.get());
            EXPECT_EQ(mpfr_cmp(got.get(), x.get()), 0);
        }
    }
}

// Guards rounding to double: ties to even, the sticky words, gradual
// underflow, the halfway point to zero, overflow to infinity.
TEST(ElementaryMultiPrecision, RoundingToDoubleIsCorrect) {
    Operands ops(15);
    for (const int n : {4, 8, 41}) {
        for (int k = 0; k < 3000; ++k) {
            const int exponent = k % 4 == 0 ? static_cast<int>(ops.Next() % 2400) - 1200
                                 : k % 4 == 1 ? -1074 + static_cast<int>(ops.Next() % 60) - 30
                                 : k % 4 == 2 ? 1024 + static_cast<int>(ops.Next() % 3) - 1
                                              : static_cast<int>(ops.Next() % 200) - 100;
            MpFloat a = ops.Random(n, exponent, ops.Next() & 1);
            if (k % 3 == 0) {  // exactly halfway between two doubles, or a little off
                const u32 kept = a.w[1] & 0xfffff800u;
                for (int i = 1; i < n; ++i) a.w[i] = 0;
                a.w[1] = kept | 0x00000400u;
                if (k % 6 == 3) a.w[n - 1] |= 1;
            }
            Big x(32 * n + 8);
            ToMpfr(a, x.get());
            const double want = RoundToDouble(x.get());
            const double got = MpToDouble(a);
            EXPECT_TRUE(std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want))
                << Describe(a) << ": " << got << " vs " << want;
        }
        // 2^-1075 rounds to zero (even), a hair above it to 2^-1074.
        EXPECT_EQ(MpToDouble(MpFromInteger(1, -1075, false, n)), 0.0);
        MpFloat above = MpFromInteger(1, -1075, false, n);
        above.w[n - 1] = 1;
        EXPECT_EQ(MpToDouble(above), 0x1p-1074);
        // The overflow threshold 2^1024 - 2^970 is halfway: to infinity (even).
        EXPECT_EQ(MpToDouble(MpFromInteger((std::uint64_t{1} << 54) - 1, 970, false, n)), HUGE_VAL);
        EXPECT_EQ(MpToDouble(MpFromInteger((std::uint64_t{1} << 54) - 2, 970, true, n)),
                  -0x1.fffffffffffffp1023);
        EXPECT_EQ(MpToDouble(MpZero(n)), 0.0);
    }
}

// Guards the rounding test of every level: it decides where the interval
// of half-width 2^-bits relative holds no boundary by a margin (four times
// that, its own interval being up to that wide), refuses where a boundary
// lies inside, and when it decides its double is right at both ends.
TEST(ElementaryMultiPrecision, RoundingTestDecidesOnlyWhereItMay) {
    Sequence s(16);
    for (const int n : kSizes) {
        const int bits = 32 * n - 40;
        for (int k = 0; k < 300; ++k) {
            // A midpoint of doubles, moved by (offset) 2^-bits relative.
            const double d = s.LogUniform(-1000, 1000);
            const double next = std::nextafter(d, d > 0 ? HUGE_VAL : -HUGE_VAL);
            Big mid(32 * n + 64), a(32 * n + 64), lo(32 * n + 64), hi(32 * n + 64);
            mpfr_set_d(mid.get(), d, MPFR_RNDN);
            mpfr_add_d(mid.get(), mid.get(), next, MPFR_RNDN);
            mpfr_div_2ui(mid.get(), mid.get(), 1, MPFR_RNDN);
            const double offsets[] = {0.0, 0.5, -0.9, 5.0, -6.0, 1e6, 0.25};
            const double offset = offsets[k % 7];
            mpfr_mul_d(a.get(), mid.get(), offset, MPFR_RNDN);
            mpfr_mul_2si(a.get(), a.get(), -bits, MPFR_RNDN);
            mpfr_add(a.get(), a.get(), mid.get(), MPFR_RNDN);
            // As an MpFloat of n words: exactly representable (64 + bits < 32 n).
            MpFloat v = MpFromDouble(d, n);
            {
                Big t(32 * n + 64);
                mpfr_set(t.get(), a.get(), MPFR_RNDN);
                mpz_t z;
                mpz_init(z);
                const long e = mpfr_get_exp(t.get());
                mpfr_mul_2si(t.get(), t.get(), 32 * n - e, MPFR_RNDN);
                mpfr_abs(t.get(), t.get(), MPFR_RNDN);
                mpfr_get_z(z, t.get(), MPFR_RNDZ);
                std::vector<u32> w(static_cast<std::size_t>(n));
                std::size_t count = 0;
                mpz_export(w.data(), &count, 1, sizeof(u32), 0, 0, z);
                ASSERT_EQ(count, static_cast<std::size_t>(n));
                mpz_clear(z);
                v = Make(w, static_cast<int>(e), mpfr_sgn(a.get()) < 0);
                ToMpfr(v, a.get());
            }
            double out = 0;
            const bool decided = MpRoundIfDecided(v, bits, &out);
            if (std::fabs(offset) >= 5) {
                EXPECT_TRUE(decided) << offset;
            }
            if (std::fabs(offset) < 1) {
                EXPECT_FALSE(decided) << offset;
            }
            if (!decided) continue;
            // Both ends of the interval round to out.
            mpfr_mul_2si(lo.get(), a.get(), -bits, MPFR_RNDN);
            mpfr_sub(hi.get(), a.get(), lo.get(), MPFR_RNDN);
            EXPECT_EQ(RoundToDouble(hi.get()), out);
            mpfr_add(hi.get(), a.get(), lo.get(), MPFR_RNDN);
            EXPECT_EQ(RoundToDouble(hi.get()), out);
        }
    }
}

}  // namespace
