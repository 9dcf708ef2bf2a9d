// The elementary functions against MPFR: every result is the exact value
// rounded to nearest; the fast paths stay within their error bounds and the
// accurate path within its own; the tables hold MPFR's values; the hash of
// the portable test and the hard cases file hold MPFR's results.
// TERRAX_MPFR_COUNT sets the arguments per function (default 100000).
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crmath/ElementaryAccurate.h"
#include "crmath/ElementaryEstimates.h"
#include "crmath/ElementaryTables.h"
#include "tests/crmath/ElementaryCases.h"
#include "tests/crmath/ElementaryMpfr.h"

namespace {

using namespace elementary_test;
using crmath::detail::Estimate;

int Count() {
    const char* v = std::getenv("TERRAX_MPFR_COUNT");
    return v != nullptr ? std::atoi(v) : 100000;
}

// The fast path's estimate of the case, where the function uses one;
// value = (hi + lo) 2^scale within err 2^scale.
bool EstimateOf(const Case& c, Estimate* e, int* scale) {
    using namespace crmath::detail;
    *scale = 0;
    const double ax = std::fabs(c.x), ay = std::fabs(c.y);
    if (!(ax < INFINITY) || !(ay < INFINITY)) return false;
    switch (c.f) {
        case kSin:
        case kCos:
        case kTan:
            if (ax < 0x1p-27) return false;
            *e = c.f == kSin ? SinEstimate(c.x) : c.f == kCos ? CosEstimate(c.x) : TanEstimate(c.x);
            return true;
        case kAtan:
            if (ax < 0x1p-27 || ax >= 0x1p54) return false;
            *e = AtanEstimate(c.x);
            return true;
        case kAtan2:
            if (std::fpclassify(c.x) != FP_NORMAL || std::fpclassify(c.y) != FP_NORMAL ||
                std::abs(std::ilogb(c.x) - std::ilogb(c.y)) > 62)
                return false;
            *e = Atan2Estimate(c.x, c.y);
            return true;
        case kLog10:
            if (!(c.x > 0)) return false;
            *e = Log10Estimate(c.x);
            return true;
        default: {
            if (!(c.x > 0) || c.x == 1 || c.y == 0) return false;
            const double t = c.y * std::log(c.x);
            if (!(std::fabs(t) < 700) || std::fabs(t) < 0x1p-59) return false;
            *e = PowEstimate(c.x, c.y, scale);
            return true;
        }
    }
}

class ElementaryMpfr : public ::testing::TestWithParam<Function> {};

INSTANTIATE_TEST_SUITE_P(AllFunctions, ElementaryMpfr,
                         ::testing::Values(kSin, kCos, kTan, kAtan, kAtan2, kLog10, kPow),
                         [](const ::testing::TestParamInfo<Function>& info) {
                             return std::string(Name(info.param));
                         });

// Guards against any misrounding: geodetic ranges, the whole double range,
// tiny and subnormal arguments, arguments near the zeros and poles.
TEST_P(ElementaryMpfr, EveryResultIsTheExactValueRoundedToNearest) {
    constexpr int kChunk = 1000000;
    long wrong = 0, checked = 0;
    for (int done = 0; done < Count(); done += kChunk) {
        const int n = Count() - done < kChunk ? Count() - done : kChunk;
        for (const Case& c : MakeCases(GetParam(), n, 1 + done / kChunk)) {
            const double got = Evaluate(c), want = Correct(c);
            ++checked;
            if (!SameBits(got, want) && ++wrong <= 10)
                ADD_FAILURE() << Show(c) << " = " << std::hexfloat << got << ", exact rounds to "
                              << want;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << checked;
    std::printf("%s: %ld arguments, %ld results differ from MPFR's\n", Name(GetParam()), checked,
                wrong);
}

// Guards the proofs of the fast paths: an error bound too small would
// misround only rarely, so it is checked directly against the exact value.
TEST_P(ElementaryMpfr, FastPathErrorStaysWithinItsBound) {
    const std::vector<Case> cases = MakeCases(GetParam(), Count(), 2);
    long used = 0, decided = 0, beyond = 0;
    double worst = 0;
    for (const Case& c : cases) {
        Estimate e;
        int scale;
        if (!EstimateOf(c, &e, &scale)) continue;
        ++used;
        double out;
        if (crmath::detail::RoundIfDecided(e, &out)) ++decided;
        Big exact(400);
        Apply(c, exact.get());
        mpfr_mul_2si(exact.get(), exact.get(), -scale, MPFR_RNDN);
        mpfr_sub_d(exact.get(), exact.get(), e.hi, MPFR_RNDN);
        mpfr_sub_d(exact.get(), exact.get(), e.lo, MPFR_RNDN);
        const double diff = std::fabs(mpfr_get_d(exact.get(), MPFR_RNDN));
        const double ratio = diff == 0 ? 0 : diff / e.err;  // Log10(1): no error, no bound
        if (ratio > worst) worst = ratio;
        if (!(ratio <= 1) && ++beyond <= 10)
            ADD_FAILURE() << Show(c) << ": error " << ratio << " bounds";
    }
    EXPECT_GT(used, 0);
    std::printf("%s: fast path estimates %ld, decided %ld (%.4f%%), largest error %.3f bounds\n",
                Name(GetParam()), used, decided, used ? 100.0 * decided / used : 0.0, worst);
}

// Guards the accurate path, which the fast path reaches too rarely for
// random arguments to test it: forced here, and its values before rounding
// within the bound Ziv's loop assumes at 128 bits.
TEST_P(ElementaryMpfr, AccuratePathIsExactAndWithinItsBound) {
    using namespace crmath::detail;
    const std::vector<Case> cases = MakeCases(GetParam(), Count() / 50 + 100, 3);
    for (const Case& c : cases) {
        const double ax = std::fabs(c.x), ay = std::fabs(c.y);
        if (!(ax < INFINITY) || !(ay < INFINITY)) continue;
        double got = 0;
        MpFloat v;
        bool checkValue = true;
        switch (c.f) {
            case kSin:
                got = AccurateSin(c.x), v = MpSinOf(c.x, 4);
                break;
            case kCos:
                got = AccurateCos(c.x), v = MpCosOf(c.x, 4);
                break;
            case kTan:
                got = AccurateTan(c.x), v = MpTanOf(c.x, 4);
                break;
            case kAtan:
                got = AccurateAtan(c.x), v = MpAtanOf(c.x, 1.0, 4);
                break;
            case kAtan2:
                if (c.x == 0 && c.y == 0) continue;
                got = AccurateAtan2(c.x, c.y), v = MpAtanOf(c.x, c.y, 4);
                checkValue = c.x != 0 && c.y != 0;
                break;
            case kLog10:
                if (!(c.x > 0)) continue;
                got = AccurateLog10(c.x), v = MpLog10Of(c.x, 4);
                break;
            default: {
                if (!(c.x > 0) || c.x == 1 || c.y == 0) continue;
                got = AccuratePow(c.x, c.y);
                const double t = c.y * std::log(c.x);
                checkValue = std::fabs(t) < 700;
                if (checkValue) v = MpPowOf(c.x, c.y, 4);
            }
        }
        EXPECT_PRED2(SameBits, got, Correct(c)) << Show(c);
        if (!checkValue || v.zero) continue;
        Big exact(400), approx(4 * 32 + 8), ulp(64);
        Apply(c, exact.get());
        mpfr_set_ui(approx.get(), 0, MPFR_RNDN);
        for (int i = 0; i < v.n; ++i) {
            mpfr_mul_2ui(approx.get(), approx.get(), 32, MPFR_RNDN);
            mpfr_add_ui(approx.get(), approx.get(), v.w[i], MPFR_RNDN);
        }
        mpfr_mul_2si(approx.get(), approx.get(), v.exponent - 32 * v.n, MPFR_RNDN);
        if (v.negative) mpfr_neg(approx.get(), approx.get(), MPFR_RNDN);
        mpfr_sub(exact.get(), exact.get(), approx.get(), MPFR_RNDN);
        // |error| <= 2^(exponent - (32n - margin)), the bound MpRoundIfDecided assumes.
        const long limit = v.exponent - (32 * 4 - kAccurateMarginBits);
        EXPECT_TRUE(mpfr_zero_p(exact.get()) || mpfr_get_exp(exact.get()) <= limit)
            << Show(c) << ": error 2^" << mpfr_get_exp(exact.get()) << ", bound 2^" << limit;
    }
}

// Guards the data of the portable test: its hash is that of MPFR's results.
TEST(ElementaryMpfrData, HashOfThePortableTestHoldsTheExactResults) {
    std::vector<double> results;
    for (const Case& c : HashCases()) results.push_back(Correct(c));
    EXPECT_EQ(HashResults(results), kHashOfCorrectResults)
        << "hash of the exact results: 0x" << std::hex << HashResults(results);
}

TEST(ElementaryMpfrData, HardCasesFileHoldsTheExactResults) {
    std::ifstream in(std::string(TERRAX_TEST_DATA) + "/crmath/hard-cases.txt");
    ASSERT_TRUE(in.good());
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, x, y, expected;
        fields >> name >> x >> y >> expected;
        int f = 0;
        while (f < kFunctionCount && name != Name(static_cast<Function>(f))) ++f;
        ASSERT_LT(f, kFunctionCount) << line;
        const Case c = {static_cast<Function>(f),
                        std::bit_cast<double>(std::stoull(x, nullptr, 16)),
                        std::bit_cast<double>(std::stoull(y, nullptr, 16))};
        EXPECT_EQ(std::stoull(expected, nullptr, 16), std::bit_cast<std::uint64_t>(Correct(c)))
            << line;
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

// Guards the generated tables: each entry is MPFR's value, split as stated.
TEST(ElementaryMpfrData, TablesHoldMpfrValues) {
    using namespace crmath::detail;
    Big pi(600), t(600), u(600);
    mpfr_const_pi(pi.get(), MPFR_RNDN);
    // hi = value rounded to nearest; lo = rest rounded to nearest.
    auto pairIs = [&](mpfr_ptr value, const DoubleDouble& p, const std::string& what) {
        EXPECT_EQ(p.hi, mpfr_get_d(value, MPFR_RNDN)) << what;
        Big rest(600);
        mpfr_sub_d(rest.get(), value, p.hi, MPFR_RNDN);
        EXPECT_EQ(p.lo, mpfr_get_d(rest.get(), MPFR_RNDN)) << what;
    };
    for (int i = 0; i <= 256; ++i) {
        mpfr_mul_ui(t.get(), pi.get(), i, MPFR_RNDN);
        mpfr_div_ui(t.get(), t.get(), 512, MPFR_RNDN);
        mpfr_sin(t.get(), t.get(), MPFR_RNDN);
        const SinEntry& s = kSinTable[i];
        pairIs(t.get(), {s.hi, s.lo}, "sin " + std::to_string(i));
        EXPECT_EQ(s.head, Head26(s.hi)) << i;
        mpfr_sub_d(u.get(), t.get(), s.head, MPFR_RNDN);
        EXPECT_EQ(s.rest, mpfr_get_d(u.get(), MPFR_RNDN)) << i;
    }
    for (int i = 0; i <= 256; ++i) {
        mpfr_set_ui(t.get(), i, MPFR_RNDN);
        mpfr_div_ui(t.get(), t.get(), 256, MPFR_RNDN);
        mpfr_atan(t.get(), t.get(), MPFR_RNDN);
        pairIs(t.get(), kAtanTable[i], "atan " + std::to_string(i));
    }
    for (const AtanPoint& pt : kAtanLargeTable) {
        EXPECT_EQ(pt.c, static_cast<float>(pt.c)) << "a short point";
        mpfr_set_d(t.get(), pt.c, MPFR_RNDN);
        mpfr_atan(t.get(), t.get(), MPFR_RNDN);
        pairIs(t.get(), pt.atan, "atan of a point above 1");
    }
    for (int j = 0; j < 128; ++j) {
        mpfr_set_ui(t.get(), j, MPFR_RNDN);
        mpfr_div_ui(t.get(), t.get(), 128, MPFR_RNDN);
        mpfr_exp2(t.get(), t.get(), MPFR_RNDN);
        pairIs(t.get(), kExp2Table[j], "exp2 " + std::to_string(j));
    }
    // Logarithm: r short and near 1/c, the pair -ln r.
    auto stepIs = [&](const LogStep& s, double c, const std::string& what) {
        EXPECT_EQ(Head26(s.r), s.r) << what;
        EXPECT_LT(std::fabs(s.r * c - 1), 0x1p-23) << what;
        mpfr_set_d(t.get(), s.r, MPFR_RNDN);
        mpfr_log(t.get(), t.get(), MPFR_RNDN);
        mpfr_neg(t.get(), t.get(), MPFR_RNDN);
        pairIs(t.get(), s.minusLog, what);
    };
    for (int i = kLogTableFirst; i <= kLogTableLast; ++i)
        stepIs(kLogTable[i - kLogTableFirst], i / 512.0, "log table, " + std::to_string(i));
    // Constants split for exact products: the parts sum to the constant.
    auto partsAre = [&](mpfr_ptr value, std::initializer_list<double> parts, int headBits,
                        int tailBits, const std::string& what) {
        Big sum(600);
        mpfr_set_ui(sum.get(), 0, MPFR_RNDN);
        int k = 0;
        for (double p : parts) {
            if (k++ < static_cast<int>(parts.size()) - 1) {
                Big h(headBits);
                mpfr_set_d(h.get(), p, MPFR_RNDN);
                EXPECT_EQ(mpfr_get_d(h.get(), MPFR_RNDN), p)
                    << what << ": a head of " << headBits << " bits";
            }
            mpfr_add_d(sum.get(), sum.get(), p, MPFR_RNDN);
        }
        mpfr_sub(sum.get(), sum.get(), value, MPFR_RNDN);
        EXPECT_LT(mpfr_get_exp(sum.get()), -tailBits) << what;
    };
    mpfr_div_ui(t.get(), pi.get(), 512, MPFR_RNDN);
    partsAre(t.get(), {kPi512[0], kPi512[1], kPi512[2]}, 30, 121, "pi/512, three parts");
    partsAre(t.get(), {kPi512Short[0], kPi512Short[1]}, 42, 103, "pi/512, two parts");
    pairIs(t.get(), kPi512Pair, "pi/512");
    Big ln2(600);
    mpfr_const_log2(ln2.get(), MPFR_RNDN);
    partsAre(ln2.get(), {kLn2Pair.hi, kLn2Pair.lo}, 42, 96, "ln 2");
    mpfr_div_ui(t.get(), ln2.get(), 128, MPFR_RNDN);
    partsAre(t.get(), {kLn2By128[0], kLn2By128[1]}, 35, 95, "ln2/128");
    mpfr_div_ui(t.get(), pi.get(), 2, MPFR_RNDN);
    pairIs(t.get(), kHalfPi, "pi/2");
    pairIs(pi.get(), kPiPair, "pi");
    mpfr_mul_ui(t.get(), pi.get(), 3, MPFR_RNDN);
    mpfr_div_ui(t.get(), t.get(), 4, MPFR_RNDN);
    pairIs(t.get(), kThreeQuarterPi, "3 pi/4");
    mpfr_set_ui(t.get(), 10, MPFR_RNDN);
    mpfr_log(t.get(), t.get(), MPFR_RNDN);
    mpfr_ui_div(t.get(), 1, t.get(), MPFR_RNDN);
    pairIs(t.get(), kInvLn10, "1/ln 10");
    // The words: 0.w0w1... 2^exponent truncated.
    auto wordsAre = [&](mpfr_ptr value, const std::uint32_t* w, int count, int exponent,
                        const std::string& what) {
        Big bits(32 * count + 64);
        mpfr_mul_2si(bits.get(), value, 32 * count - exponent, MPFR_RNDN);
        mpfr_floor(bits.get(), bits.get());
        for (int i = count - 1; i >= 0; --i) {
            Big q(32 * count + 64);
            mpfr_div_2ui(q.get(), bits.get(), 32, MPFR_RNDN);
            mpfr_floor(q.get(), q.get());
            Big r(32 * count + 64);
            mpfr_mul_2ui(r.get(), q.get(), 32, MPFR_RNDN);
            mpfr_sub(r.get(), bits.get(), r.get(), MPFR_RNDN);
            EXPECT_EQ(mpfr_get_ui(r.get(), MPFR_RNDN), w[i]) << what << " word " << i;
            mpfr_set(bits.get(), q.get(), MPFR_RNDN);
        }
    };
    Big big(4000);
    mpfr_const_pi(big.get(), MPFR_RNDN);
    wordsAre(big.get(), kPiWords, kPiWordCount, 2, "pi");
    mpfr_ui_div(big.get(), 2, big.get(), MPFR_RNDN);
    wordsAre(big.get(), kTwoOverPiWords, kTwoOverPiWordCount, 0, "2/pi");
    mpfr_const_log2(big.get(), MPFR_RNDN);
    wordsAre(big.get(), kLn2Words, kConstantWordCount, 0, "ln 2");
    mpfr_set_ui(big.get(), 10, MPFR_RNDN);
    mpfr_log(big.get(), big.get(), MPFR_RNDN);
    mpfr_ui_div(big.get(), 1, big.get(), MPFR_RNDN);
    wordsAre(big.get(), kInvLn10Words, kConstantWordCount, -1, "1/ln 10");
}

// Guards the edges of the tables and of the ranges each path takes: every
// power of two, its neighbours and 1.5 times it, for every function.
TEST(ElementaryMpfrData, EveryBinadeBoundaryRoundsCorrectly) {
    long wrong = 0;
    for (int e = -1074; e <= 1023; ++e) {
        const double b = std::ldexp(1.0, e);
        for (double x : {b, std::nextafter(b, 0.0), std::nextafter(b, INFINITY), 1.5 * b, -b}) {
            const Case cases[] = {{kSin, x, 0},     {kCos, x, 0},    {kTan, x, 0},
                                  {kAtan, x, 0},    {kLog10, x, 0},  {kAtan2, x, 1.0},
                                  {kAtan2, 1.0, x}, {kAtan2, x, -x}, {kPow, x, 1.5},
                                  {kPow, x, -3.0},  {kPow, 2.5, x},  {kPow, x, x}};
            for (const Case& c : cases) {
                if (!SameBits(Evaluate(c), Correct(c)) && ++wrong <= 10) ADD_FAILURE() << Show(c);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Guards the special values: every pair of a grid of zeros, infinities,
// NaN, subnormals, integers and halves agrees with MPFR, which follows the
// C standard's tables.
TEST(ElementaryMpfrData, SpecialValuesFollowTheCStandard) {
    const double inf = INFINITY;
    const std::vector<double> v = {
        0.0,         -0.0,   0x1p-1074, -0x1p-1074, 0x1p-1022,  0.5,         -0.5,
        1.0,         -1.0,   1.5,       2.0,        -2.0,       3.0,         -3.0,
        0.1,         10.0,   1e22,      1e23,       1e300,      -1e300,      0x1.fffffffffffffp1023,
        inf,         -inf,   NAN,       0x1p53,     0x1p53 + 2, -0x1p53 - 2, 1 - 0x1p-53,
        1 + 0x1p-52, 1023.0, 1074.0,    -1075.0,    0.25,       134217727.0};
    for (double x : v) {
        for (Function f : {kSin, kCos, kTan, kAtan, kLog10}) {
            const Case c = {f, x, 0};
            EXPECT_PRED2(SameBits, Evaluate(c), Correct(c)) << Show(c);
        }
        for (double y : v) {
            for (Function f : {kAtan2, kPow}) {
                const Case c = {f, x, y};
                EXPECT_PRED2(SameBits, Evaluate(c), Correct(c)) << Show(c);
            }
        }
    }
}

}  // namespace
