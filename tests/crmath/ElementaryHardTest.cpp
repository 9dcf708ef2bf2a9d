// The accurate path where it is weakest, on every platform: the near-tie
// cases of tests/data/crmath/near-ties.txt (ElementaryHardMpfrTest
// checks them against MPFR), and each level of Ziv's loop run alone,
// 128 bits to past 1024.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "tests/crmath/ElementaryHard.h"

namespace {

using namespace elementary_test;
using crmath::detail::LastAccurateWords;

std::string Describe(const Case& c) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s(%a, %a)", Name(c.f), c.x, c.y);
    return buf;
}

::testing::AssertionResult Same(double got, double want) {
    if ((got != got && want != want) ||
        std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want))
        return ::testing::AssertionSuccess();
    char buf[96];
    std::snprintf(buf, sizeof buf, "%a is not %a", got, want);
    return ::testing::AssertionFailure() << buf;
}

// Guards the data: a file cut short or badly rewritten would leave the
// tests below with nothing hard to check.
TEST(ElementaryNearTies, EveryLineReadsAndEveryFunctionHasCloseCases) {
    const auto ties = NearTies();
    ASSERT_GT(ties.size(), 100u);
    std::map<int, int> count, close;
    for (const NearTie& t : ties) {
        EXPECT_GE(t.bits, 0) << "does not read: " << t.line;
        ++count[t.c.f];
        if (t.bits >= 37) ++close[t.c.f];
    }
    for (int f = 0; f < kFunctionCount; ++f) {
        EXPECT_GE(count[f], 10) << Name(static_cast<Function>(f));
        EXPECT_GE(close[f], 1) << Name(static_cast<Function>(f)) << ": none within 2^-37 ulp";
    }
}

// Guards correct rounding next to the midpoints themselves.
TEST(ElementaryNearTies, FunctionsGiveTheStoredResults) {
    for (const NearTie& t : NearTies()) {
        EXPECT_TRUE(Same(Evaluate(t.c), t.result)) << t.line;
    }
}

// Guards the levels' bounds from the other side: where the exact value lies
// within 2^-37 ulp of a midpoint, the 128-bit level (half-width 2^-34 ulp
// and error 2^-35 ulp) must leave it to 256 bits; past 2^-32 ulp it decides.
TEST(ElementaryNearTies, AccuratePathDecidesAtTheLevelTheDistanceNeeds) {
    std::map<int, int> levels;
    std::map<int, int> deeper;
    for (const NearTie& t : NearTies()) {
        double got;
        LastAccurateWords();
        if (!AccurateOf(t.c, &got)) continue;
        const int words = LastAccurateWords();
        EXPECT_TRUE(Same(got, t.result)) << t.line;
        ++levels[words];
        if (words == 0) continue;  // decided exactly before the loop
        if (t.bits >= 37) {
            EXPECT_GE(words, 8) << t.line;
        }
        if (t.bits <= 32) {
            EXPECT_EQ(words, 4) << t.line;
        }
        if (words >= 8) ++deeper[t.c.f];
    }
    for (int f = 0; f < kFunctionCount; ++f)
        EXPECT_GE(deeper[f], 1) << Name(static_cast<Function>(f)) << " never needs 256 bits";
    std::printf("near ties decided at");
    for (const auto& [words, n] : levels) std::printf(" %d words: %d;", words, n);
    std::printf("\n");
}

// Guards every level of the loop by itself: forced to start there, each
// decides (nothing random needs more than 256 bits) and gives the results
// of the functions.
TEST(ElementaryLevels, EachLevelAloneGivesTheResults) {
    for (const int level : {4, 8, 16, 32}) {
        for (int f = 0; f < kFunctionCount; ++f) {
            for (const Case& c : MakeCases(static_cast<Function>(f), 60, 13)) {
                const double want = Evaluate(c);
                ForcedLevels forced(level, level);
                double got;
                if (!AccurateOf(c, &got)) continue;
                const int words = LastAccurateWords();
                EXPECT_TRUE(Same(got, want)) << Describe(c) << " at " << level << " words";
                if (words != 0 && level > 4) {
                    EXPECT_EQ(words, level) << Describe(c);
                }
                if (words != 0 && level == 4) {
                    EXPECT_LE(words, 8) << Describe(c);
                }
            }
        }
    }
}

// Guards the step past the tables: with the 1024-bit level kept from
// deciding, the loop goes on at 2048 bits (and at 4096 with everything
// below kept from deciding) and gives the same results.
TEST(ElementaryLevels, LastLevelHandsOverWhenItCannotDecide) {
    int handedOver = 0;
    for (int f = 0; f < kFunctionCount; ++f) {
        for (const Case& c : MakeCases(static_cast<Function>(f), 10, 17)) {
            const double want = Evaluate(c);
            ForcedLevels forced(32, 64);
            double got;
            if (!AccurateOf(c, &got)) continue;
            const int words = LastAccurateWords();
            EXPECT_TRUE(Same(got, want)) << Describe(c);
            if (words != 0) {
                EXPECT_EQ(words, 64) << Describe(c);
                ++handedOver;
            }
        }
        for (const Case& c : MakeCases(static_cast<Function>(f), 2, 19)) {
            const double want = Evaluate(c);
            ForcedLevels forced(4, 128);
            double got;
            if (!AccurateOf(c, &got)) continue;
            const int words = LastAccurateWords();
            EXPECT_TRUE(Same(got, want)) << Describe(c);
            if (words != 0) {
                EXPECT_EQ(words, 128) << Describe(c);
            }
        }
    }
    EXPECT_GT(handedOver, 50);
}

TEST(ElementaryLevels, NearTiesPastTheLastLevel) {
    int checked = 0;
    for (const NearTie& t : NearTies()) {
        if (checked >= 40 && t.bits < 60) continue;  // the closest, and the first 40
        ForcedLevels forced(32, 64);
        double got;
        if (!AccurateOf(t.c, &got)) continue;
        const int words = LastAccurateWords();
        EXPECT_TRUE(Same(got, t.result)) << t.line;
        EXPECT_TRUE(words == 0 || words == 64) << t.line << ": " << words << " words";
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

// Guards the one value the loop takes as exact: a zero (log10 1) decides at
// the first level, whichever levels may decide.
TEST(ElementaryLevels, ZeroValueIsExactAtAnyLevel) {
    ForcedLevels forced(8, 64);
    EXPECT_TRUE(Same(crmath::detail::AccurateLog10(1.0), 0.0));
    EXPECT_EQ(LastAccurateWords(), 8);
}

}  // namespace
