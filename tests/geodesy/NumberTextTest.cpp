// AsciiToDouble and FormatFixed against the C library in the C locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"

namespace {

uint64_t Bits(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

std::string CPrintf(double v, int decimals) {
    std::vector<char> buf(static_cast<size_t>(decimals) + 400);
    std::snprintf(buf.data(), buf.size(), "%.*f", decimals, v);
    return buf.data();
}

void ExpectSameAsAtof(const std::string& text) {
    const double want = std::atof(text.c_str());
    const double got = AsciiToDouble(text);
    EXPECT_EQ(Bits(got), Bits(want)) << "text [" << text << "] got " << got << " want " << want;
}

// Texts that exercise every branch of strtod's grammar.
const char* const kTexts[] = {"",
                              " ",
                              "abc",
                              "-",
                              "+",
                              ".",
                              "-.",
                              "+-1",
                              "-+1",
                              "--1",
                              "1",
                              "-1",
                              "+1",
                              "  \t\n\v\f\r42",
                              "3.25xyz",
                              "1e",
                              "1e+",
                              "1e-5",
                              "1E5",
                              ".5",
                              "5.",
                              "-0",
                              "-0.0",
                              "0",
                              "00012.5000",
                              "1e308",
                              "1e309",
                              "-1e400",
                              "1e-320",
                              "1e-400",
                              "-1e-400",
                              "2.4703282292062327e-324",
                              "2.4703282292062328e-324",
                              "4.9406564584124654e-324",
                              "1.7976931348623157e308",
                              "1.7976931348623158e308",
                              "1.7976931348623159e308",
                              "0.1",
                              "0.30000000000000004",
                              "123456789012345678901234567890",
                              "9007199254740993",
                              "0x",
                              "0x1",
                              "-0x1p3",
                              "0X1.8P1",
                              "0x.8",
                              "0x1p",
                              "0xg",
                              "-0xg",
                              "0x-1",
                              "0x1p-1074",
                              "0x1p-1080",
                              "0x1p1024",
                              "0xffp-2",
                              "inf",
                              "-INF",
                              "Infinity",
                              "infinit",
                              "nan",
                              "-nan",
                              "NaN",
                              "nan(123)",
                              "nan()",
                              "nan(x",
                              "nanx",
                              "in",
                              "030",
                              "114:00:00",
                              "20.5",
                              "1,5",
                              "1 5",
                              "\xe5\x8c\x97"
                              "1"};

TEST(NumberText, AtofCornerTextsMatchTheCLibrary) {
    for (const char* t : kTexts) ExpectSameAsAtof(t);
}

TEST(NumberText, AtofMatchesOnRandomValuesAndGarbage) {
    std::mt19937_64 rng(20240501);
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        const char* const formats[] = {"%.17g", "%a", "%.3e", "%.20f", "%g"};
        std::snprintf(buf, sizeof buf, formats[i % 5], v);
        ExpectSameAsAtof(buf);
    }
    const char alphabet[] = "0123456789+-.eExXpPaAfFinINtyY( )";
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int n = static_cast<int>(rng() % 10);
        for (int k = 0; k < n; ++k) t += alphabet[rng() % (sizeof alphabet - 1)];
        ExpectSameAsAtof(t);
    }
}

TEST(NumberText, FormatFixedMatchesPrintf) {
    const double specials[] = {0.0,
                               -0.0,
                               0.5,
                               1.5,
                               2.5,
                               -2.5,
                               0.125,
                               2.675,
                               1e22,
                               1e308,
                               -1.7976931348623157e308,
                               5e-324,
                               123456789.123456789,
                               0.0000005,
                               0.0000015,
                               NAN,
                               -NAN,
                               INFINITY,
                               -INFINITY};
    for (double v : specials) {
        for (int d : {0, 1, 2, 6, 10, 12, 30}) EXPECT_EQ(FormatFixed(v, d), CPrintf(v, d)) << v;
    }
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> exponent(-12, 16);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, exponent(rng)) * (rng() % 2 ? 1 : -1);
        const int d = static_cast<int>(rng() % 15);
        ASSERT_EQ(FormatFixed(v, d), CPrintf(v, d)) << v << " " << d;
    }
    // A negative precision is printf's default of six.
    EXPECT_EQ(FormatFixed(1.0 / 3, -1), CPrintf(1.0 / 3, 6));
}

TEST(NumberText, FormatFixedToTruncatesLikeSnprintf) {
    char buf[400];
    EXPECT_EQ(FormatFixedTo(buf, sizeof buf, -3.14159, 3), 6);
    EXPECT_STREQ(buf, "-3.142");
    char small[5];
    EXPECT_EQ(FormatFixedTo(small, sizeof small, 12345.678, 2), 8);
    EXPECT_STREQ(small, "1234");
}

// The GUI sets a process locale with a decimal comma; reading and writing must
// not follow it. Guards against strtod/printf being used directly.
TEST(NumberText, IgnoresTheProcessLocale) {
    const std::string dir = testing::TempDir() + "terrax_locale";
    const std::string cmd = "mkdir -p " + dir + " && localedef -i de_DE -f UTF-8 " + dir +
                            "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "cannot build a de_DE locale here";
    setenv("LOCPATH", dir.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE not loadable";
    EXPECT_EQ(std::atof("1,5"), 1.5);  // the locale is really in force
    EXPECT_EQ(AsciiToDouble("1.5"), 1.5);
    EXPECT_EQ(AsciiToDouble("1,5"), 1.0);
    EXPECT_EQ(AsciiToDouble("1e400"), INFINITY);
    EXPECT_EQ(FormatFixed(1.5, 6), "1.500000");
    std::setlocale(LC_ALL, "C");
}

}  // namespace
