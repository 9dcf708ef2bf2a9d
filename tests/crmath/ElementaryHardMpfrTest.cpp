// The accurate path against MPFR where it is weakest: the near-tie cases of
// tests/data/crmath/near-ties.txt hold MPFR's results and distances,
// and every level of Ziv's loop, 128 bits to 2048, is within its bound and
// rounds correctly when run alone.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <string>

#include "crmath/ElementaryAccurate.h"
#include "tests/crmath/ElementaryHard.h"
#include "tests/crmath/ElementaryMpfr.h"

namespace {

using namespace elementary_test;
using crmath::detail::MpFloat;

// The distance of the case's exact value to the nearest midpoint of
// doubles, in bits below its last place (ulp 2^-bits); normal results only.
double DistanceBits(const Case& c) {
    Big v(4096), t(4096);
    Apply(c, v.get());
    const long e = mpfr_get_exp(v.get()) - 1;
    mpfr_mul_2si(t.get(), v.get(), 52 - e, MPFR_RNDN);
    mpfr_abs(t.get(), t.get(), MPFR_RNDN);
    mpfr_frac(t.get(), t.get(), MPFR_RNDN);
    mpfr_sub_d(t.get(), t.get(), 0.5, MPFR_RNDN);
    mpfr_abs(t.get(), t.get(), MPFR_RNDN);
    return -std::log2(mpfr_get_d(t.get(), MPFR_RNDN));
}

// Guards the data of the portable test: the stored results and distances
// are MPFR's.
TEST(ElementaryNearTiesMpfr, FileHoldsTheExactResultsAndDistances) {
    int checked = 0;
    for (const NearTie& t : NearTies()) {
        ASSERT_GE(t.bits, 0) << t.line;
        EXPECT_PRED2(SameBits, t.result, Correct(t.c)) << t.line;
        EXPECT_NEAR(DistanceBits(t.c), t.bits, 0.06) << t.line;
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

// The accurate path's value of the case at n words, where it has one.
bool ValueOf(const Case& c, int n, MpFloat* v) {
    using namespace crmath::detail;
    if (!(c.x - c.x == 0) || !(c.y - c.y == 0)) return false;
    switch (c.f) {
        case kSin:
            *v = MpSinOf(c.x, n);
            return true;
        case kCos:
            *v = MpCosOf(c.x, n);
            return true;
        case kTan:
            *v = MpTanOf(c.x, n);
            return true;
        case kAtan:
            *v = MpAtanOf(c.x, 1.0, n);
            return true;
        case kAtan2:
            if (c.x == 0 || c.y == 0) return false;
            *v = MpAtanOf(c.x, c.y, n);
            return true;
        case kLog10:
            if (!(c.x > 0)) return false;
            *v = MpLog10Of(c.x, n);
            return true;
        default:
            if (!(c.x > 0) || c.x == 1 || c.y == 0) return false;
            if (!(std::fabs(c.y * std::log(c.x)) < 700)) return false;
            *v = MpPowOf(c.x, c.y, n);
            return true;
    }
}

class ElementaryLevelsMpfr : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Words, ElementaryLevelsMpfr, ::testing::Values(4, 8, 16, 32, 64),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::to_string(32 * info.param) + "Bits";
                         });

// Guards each level of Ziv's loop, the computed constants and the words of
// 2/pi past the tables among them: its values lie within
// 2^(kAccurateMarginBits - 32n) of the exact value, relative, and forced to
// start there the loop decides at that level and rounds correctly.
TEST_P(ElementaryLevelsMpfr, ValuesWithinTheBoundAndResultsExact) {
    const int n = GetParam();
    const int perFunction = n <= 16 ? 60 : n == 32 ? 25 : 6;
    std::vector<Case> cases;
    for (int f = 0; f < kFunctionCount; ++f) {
        const auto some = MakeCases(static_cast<Function>(f), perFunction, 23);
        cases.insert(cases.end(), some.begin(), some.end());
    }
    int nearTies = 0;
    for (const NearTie& t : NearTies()) {
        if (n <= 16 || nearTies++ % 8 == 0) cases.push_back(t.c);
    }
    int checked = 0;
    for (const Case& c : cases) {
        MpFloat v;
        if (!ValueOf(c, n, &v) || v.zero) continue;
        Big exact(32 * n + 256), approx(32 * n + 64);
        Apply(c, exact.get());
        ToMpfr(v, approx.get());
        mpfr_sub(exact.get(), exact.get(), approx.get(), MPFR_RNDN);
        const long limit = v.exponent - (32 * n - crmath::detail::kAccurateMarginBits);
        EXPECT_TRUE(mpfr_zero_p(exact.get()) || mpfr_get_exp(exact.get()) <= limit)
            << Show(c) << ": error 2^" << mpfr_get_exp(exact.get()) << ", bound 2^" << limit;
        ForcedLevels forced(n, n);
        double got;
        ASSERT_TRUE(AccurateOf(c, &got));
        const int words = crmath::detail::LastAccurateWords();
        EXPECT_PRED2(SameBits, got, Correct(c)) << Show(c);
        EXPECT_TRUE(words == 0 || words == n || (n == 4 && words == 8))
            << Show(c) << ": decided at " << words << " words";
        ++checked;
    }
    EXPECT_GT(checked, 6 * perFunction);
}

// Guards the fallback on the hardest cases: with the 1024-bit level kept
// from deciding, the level past it rounds every near tie as MPFR does.
TEST(ElementaryLevelsMpfr, LevelPastTheTablesRoundsTheNearTies) {
    ForcedLevels forced(32, 64);
    int handedOver = 0;
    for (const NearTie& t : NearTies()) {
        double got;
        if (!AccurateOf(t.c, &got)) continue;
        const int words = crmath::detail::LastAccurateWords();
        EXPECT_PRED2(SameBits, got, Correct(t.c)) << t.line;
        if (words == 64) ++handedOver;
    }
    EXPECT_GT(handedOver, 100);
}

}  // namespace
