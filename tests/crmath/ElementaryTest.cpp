// The elementary functions without a reference library, so that every
// platform runs it: the special values of the C standard, exact powers and
// ties, hard cases and a hash of 140,000 results, all as computed with MPFR
// (tests/crmath/ElementaryMpfrTest.cpp checks the data).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "crmath/ElementaryAccurate.h"
#include "tests/crmath/ElementaryCases.h"

namespace {

using namespace elementary_test;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 0x1.921fb54442d18p+1;  // pi rounded to nearest
constexpr double kHalfPi = 0x1.921fb54442d18p+0;
constexpr double kMinSub = 0x1p-1074;

std::uint64_t Bits(double d) { return std::bit_cast<std::uint64_t>(d); }

// Same value and sign; any NaN equals any NaN.
::testing::AssertionResult Same(double got, double want) {
    if ((got != got && want != want) || Bits(got) == Bits(want))
        return ::testing::AssertionSuccess();
    std::ostringstream s;
    s << std::hexfloat << got << " is not " << want;
    return ::testing::AssertionFailure() << s.str();
}

// Guards the C standard's table of pow: zeros and infinities by the signs
// and parity of y, 1 for y = +-0 and x = 1 even with NaN, NaN for negative
// bases and non-integer y.
TEST(Elementary, PowFollowsTheCTableOfSpecialValues) {
    EXPECT_TRUE(Same(Pow(kNaN, 0.0), 1.0));
    EXPECT_TRUE(Same(Pow(kNaN, -0.0), 1.0));
    EXPECT_TRUE(Same(Pow(1.0, kNaN), 1.0));
    EXPECT_TRUE(Same(Pow(1.0, -kInf), 1.0));
    EXPECT_TRUE(Same(Pow(-1.0, kInf), 1.0));
    EXPECT_TRUE(Same(Pow(-1.0, -kInf), 1.0));
    EXPECT_TRUE(Same(Pow(kNaN, 1.0), kNaN));
    EXPECT_TRUE(Same(Pow(2.0, kNaN), kNaN));
    EXPECT_TRUE(Same(Pow(-0.0, -3.0), -kInf));
    EXPECT_TRUE(Same(Pow(0.0, -3.0), kInf));
    EXPECT_TRUE(Same(Pow(-0.0, -2.0), kInf));
    EXPECT_TRUE(Same(Pow(-0.0, -0.5), kInf));
    EXPECT_TRUE(Same(Pow(-0.0, -kInf), kInf));
    EXPECT_TRUE(Same(Pow(-0.0, 3.0), -0.0));
    EXPECT_TRUE(Same(Pow(0.0, 3.0), 0.0));
    EXPECT_TRUE(Same(Pow(-0.0, 2.0), 0.0));
    EXPECT_TRUE(Same(Pow(-0.0, 0.5), 0.0));
    EXPECT_TRUE(Same(Pow(-0.0, kInf), 0.0));
    EXPECT_TRUE(Same(Pow(0.5, -kInf), kInf));
    EXPECT_TRUE(Same(Pow(-0.5, -kInf), kInf));
    EXPECT_TRUE(Same(Pow(2.0, -kInf), 0.0));
    EXPECT_TRUE(Same(Pow(0.5, kInf), 0.0));
    EXPECT_TRUE(Same(Pow(-2.0, kInf), kInf));
    EXPECT_TRUE(Same(Pow(-kInf, -3.0), -0.0));
    EXPECT_TRUE(Same(Pow(-kInf, -2.0), 0.0));
    EXPECT_TRUE(Same(Pow(-kInf, 3.0), -kInf));
    EXPECT_TRUE(Same(Pow(-kInf, 2.5), kInf));
    EXPECT_TRUE(Same(Pow(kInf, -0.5), 0.0));
    EXPECT_TRUE(Same(Pow(kInf, 0.5), kInf));
    EXPECT_TRUE(Same(Pow(-2.0, 0.5), kNaN));
    EXPECT_TRUE(Same(Pow(-8.0, 1.0 / 3.0), kNaN));
    EXPECT_TRUE(Same(Pow(-2.0, 3.0), -8.0));
    EXPECT_TRUE(Same(Pow(-2.0, -3.0), -0.125));
    EXPECT_TRUE(Same(Pow(-2.0, 0x1p60), kInf));
    EXPECT_TRUE(Same(Pow(-0.5, 0x1p53 + 2), 0.0));
    EXPECT_TRUE(Same(Pow(-0.5, -(0x1p53 - 1)), -kInf));  // odd: the sign stays
}

// Guards exactness where x^y is a double or lies halfway between two:
// ties go to even, underflow and overflow round from the exact value.
TEST(Elementary, PowIsExactAndTiesToEven) {
    EXPECT_TRUE(Same(Pow(3.0, 40.0), 12157665459056928801.0));        // 64 bits: rounded
    EXPECT_TRUE(Same(Pow(134217727.0, 2.0), 18014398241046528.0));    // (2^27-1)^2: a tie, to even
    EXPECT_TRUE(Same(Pow(134217727.0, 3.0), 0x1.ffffff4000001p+80));  // 81 bits: rounded
    EXPECT_TRUE(Same(Pow(9.0, 0.5), 3.0));
    EXPECT_TRUE(Same(Pow(6561.0, 0.125), 3.0));
    EXPECT_TRUE(Same(Pow(0x1p-1000, 0.25), 0x1p-250));
    EXPECT_TRUE(Same(Pow(4.0, -1.5), 0.125));
    EXPECT_TRUE(Same(Pow(2.0, -1074.0), kMinSub));
    EXPECT_TRUE(Same(Pow(2.0, -1075.0), 0.0));  // halfway to 0: even
    EXPECT_TRUE(Same(Pow(0x1p-537, 2.0), kMinSub));
    EXPECT_TRUE(Same(Pow(3.0 * 0x1p-215, 5.0), 122.0 * kMinSub));   // 121.5: a tie, to even
    EXPECT_TRUE(Same(Pow(5.0 * 0x1p-215, 5.0), 1562.0 * kMinSub));  // 1562.5: a tie, to even
    EXPECT_TRUE(Same(Pow(2.0, 1023.0), 0x1p1023));
    EXPECT_TRUE(Same(Pow(2.0, 1024.0), kInf));
    EXPECT_TRUE(Same(Pow(0x1p-1074, 0.5), 0x1p-537));
    EXPECT_TRUE(Same(Pow(10.0, 22.0), 1e22));
    EXPECT_TRUE(Same(Pow(10.0, 23.0), 1e23));
    EXPECT_TRUE(Same(Pow(10.0, -1.0), 0.1));
    // Just above a tie by 3/8 2^-104: rounds up (a double rounding would not).
    EXPECT_TRUE(Same(Pow(1 + 0x1p-52, 1.5), 1 + 0x1p-51));
    for (int k = 0; k <= 22; ++k) {
        double p = 1;
        for (int i = 0; i < k; ++i) p *= 10;
        EXPECT_TRUE(Same(Log10(p), k)) << k;
    }
}

// Guards the signs of zeros and infinities of the other functions.
TEST(Elementary, ZerosInfinitiesAndNaN) {
    EXPECT_TRUE(Same(Sin(-0.0), -0.0));
    EXPECT_TRUE(Same(Sin(kInf), kNaN));
    EXPECT_TRUE(Same(Cos(-0.0), 1.0));
    EXPECT_TRUE(Same(Cos(-kInf), kNaN));
    EXPECT_TRUE(Same(Tan(-0.0), -0.0));
    EXPECT_TRUE(Same(Tan(kInf), kNaN));
    EXPECT_TRUE(Same(Atan(-0.0), -0.0));
    EXPECT_TRUE(Same(Atan(kInf), kHalfPi));
    EXPECT_TRUE(Same(Atan(-kInf), -kHalfPi));
    EXPECT_TRUE(Same(Atan(kNaN), kNaN));
    EXPECT_TRUE(Same(Log10(0.0), -kInf));
    EXPECT_TRUE(Same(Log10(-0.0), -kInf));
    EXPECT_TRUE(Same(Log10(-1.0), kNaN));
    EXPECT_TRUE(Same(Log10(kInf), kInf));
    EXPECT_TRUE(Same(Log10(1.0), 0.0));
    EXPECT_TRUE(Same(Log10(kMinSub), -0x1.434e6420f4374p+8));
    EXPECT_TRUE(Same(Atan2(0.0, -0.0), kPi));
    EXPECT_TRUE(Same(Atan2(-0.0, -0.0), -kPi));
    EXPECT_TRUE(Same(Atan2(0.0, 0.0), 0.0));
    EXPECT_TRUE(Same(Atan2(-0.0, 0.0), -0.0));
    EXPECT_TRUE(Same(Atan2(-0.0, -1.0), -kPi));
    EXPECT_TRUE(Same(Atan2(1.0, -0.0), kHalfPi));
    EXPECT_TRUE(Same(Atan2(-kInf, kInf), -0.5 * kHalfPi));
    EXPECT_TRUE(Same(Atan2(kInf, -kInf), 0x1.2d97c7f3321d2p+1));
    EXPECT_TRUE(Same(Atan2(1.0, -kInf), kPi));
    EXPECT_TRUE(Same(Atan2(-1.0, kInf), -0.0));
    EXPECT_TRUE(Same(Atan2(kNaN, 1.0), kNaN));
    // Quotients below the smallest subnormal's half: atan t < t, ties toward zero.
    EXPECT_TRUE(Same(Atan2(3 * kMinSub, 2.0), kMinSub));
    EXPECT_TRUE(Same(Atan2(-5 * kMinSub, 2.0), -2 * kMinSub));
    EXPECT_TRUE(Same(Atan2(kMinSub, 2.0), 0.0));
    EXPECT_TRUE(Same(Atan2(7 * kMinSub, 4.0), 2 * kMinSub));
}

std::vector<std::pair<Case, std::uint64_t>> HardCases() {
    std::ifstream in(std::string(TERRAX_TEST_DATA) + "/crmath/hard-cases.txt");
    std::vector<std::pair<Case, std::uint64_t>> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, x, y, expected;
        fields >> name >> x >> y >> expected;
        int f = 0;
        while (f < kFunctionCount && name != Name(static_cast<Function>(f))) ++f;
        if (f == kFunctionCount) continue;
        out.push_back(
            {{static_cast<Function>(f), std::bit_cast<double>(std::stoull(x, nullptr, 16)),
              std::bit_cast<double>(std::stoull(y, nullptr, 16))},
             std::stoull(expected, nullptr, 16)});
    }
    return out;
}

// Guards the accurate path where the rounding is hardest to decide: results
// within 2^-20 units of a tie, arguments nearest the multiples of pi/2.
TEST(Elementary, HardCasesRoundCorrectly) {
    const auto cases = HardCases();
    ASSERT_GT(cases.size(), 50u);
    for (const auto& [c, expected] : cases) {
        EXPECT_EQ(Bits(Evaluate(c)), expected)
            << Name(c.f) << "(" << std::hexfloat << c.x << ", " << c.y << ")";
    }
}

// The results of 140,000 fixed arguments hash as the exact results do: the
// same bits on every platform, and MPFR's.
TEST(Elementary, ResultsHashAsTheExactValuesRoundedToNearest) {
    std::vector<double> results;
    for (const Case& c : HashCases()) results.push_back(Evaluate(c));
    EXPECT_EQ(HashResults(results), kHashOfCorrectResults)
        << "hash of the results: 0x" << std::hex << HashResults(results);
}

// Guards the accurate path on every platform: forced, it gives the results
// of the functions.
TEST(Elementary, AccuratePathGivesTheSameResults) {
    using namespace crmath::detail;
    for (int f = 0; f < kFunctionCount; ++f) {
        for (const Case& c : MakeCases(static_cast<Function>(f), 300, 5)) {
            if (!(Abs(c.x) < kInf) || !(Abs(c.y) < kInf)) continue;
            double accurate;
            switch (c.f) {
                case kSin:
                    accurate = AccurateSin(c.x);
                    break;
                case kCos:
                    accurate = AccurateCos(c.x);
                    break;
                case kTan:
                    accurate = AccurateTan(c.x);
                    break;
                case kAtan:
                    accurate = AccurateAtan(c.x);
                    break;
                case kAtan2:
                    if (c.x == 0 || c.y == 0) continue;
                    accurate = AccurateAtan2(c.x, c.y);
                    break;
                case kLog10:
                    if (!(c.x > 0)) continue;
                    accurate = AccurateLog10(c.x);
                    break;
                default:
                    if (!(c.x > 0) || c.x == 1 || c.y == 0) continue;
                    accurate = AccuratePow(c.x, c.y);
            }
            EXPECT_TRUE(Same(accurate, Evaluate(c)))
                << Name(c.f) << "(" << std::hexfloat << c.x << ", " << c.y << ")";
        }
    }
}

// Guards the shared evaluations against the separate functions.
TEST(Elementary, SinCosAndSinCosTanGiveTheSeparateResults) {
    for (const Case& c : MakeCases(kTan, 5000, 9)) {
        double s, co, t, s2, c2;
        SinCosTan(c.x, &s, &co, &t);
        SinCos(c.x, &s2, &c2);
        ASSERT_TRUE(Same(s, Sin(c.x))) << std::hexfloat << c.x;
        ASSERT_TRUE(Same(co, Cos(c.x))) << std::hexfloat << c.x;
        ASSERT_TRUE(Same(t, Tan(c.x))) << std::hexfloat << c.x;
        ASSERT_TRUE(Same(s2, s) && Same(c2, co)) << std::hexfloat << c.x;
    }
}

}  // namespace
