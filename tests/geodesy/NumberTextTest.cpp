// AsciiToDouble and FormatFixed against the C library in the C locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"
#include "tests/support/ScopedEnv.h"

namespace {

// atof(t) is strtod(t, NULL); strtod is the C99 reader on every system
// (MSVCRT's own atof reads no hexadecimal, "inf" or "nan"). Where nothing
// converts the value is 0 (MinGW's strtod gives -0 after a lone "-").
void ExpectLikeAtof(const std::string& t) {
    char* end = nullptr;
    double want = std::strtod(t.c_str(), &end);
    if (end == t.c_str()) want = 0.0;
    const double got = AsciiToDouble(t);
    if (std::isnan(want)) {
        // The payload of "nan(chars)" differs between C libraries; the reader
        // has one rule for it (NanPayloadsAsTheGnuLibraryReadsThem).
        EXPECT_TRUE(std::isnan(got)) << "[" << t << "] got " << got;
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << "[" << t << "]";
        return;
    }
    uint64_t w, g;
    std::memcpy(&w, &want, 8);
    std::memcpy(&g, &got, 8);
    EXPECT_EQ(g, w) << "[" << t << "] got " << got << " want " << want;
}

uint64_t Bits(double v) {
    uint64_t b;
    std::memcpy(&b, &v, 8);
    return b;
}

std::string Printf(double v, int decimals) {
    char buf[800];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

TEST(NumberText, AtofLikeTheCLibrary) {
    // Every branch of strtod's grammar: blanks, signs, hex, inf/nan, range errors.
    // Texts separated by "|".
    const std::string texts =
        "| |abc|-|+|.|+-1|-+1|  \t\n\v\f\r42|3.25xyz|1e|1e+|1E5|.5|5.|-0|1e309|-1e400|1e-320|"
        "1e-400|-1e-400|2.4703282292062327e-324|2.4703282292062328e-324|1.7976931348623159e308|"
        "123456789012345678901234567890|9007199254740993|0x|-0x1p3|0X1.8P1|0x.8|0x1p|-0xg|0x-1|"
        "0x1p-1080|0x1p1024|inf|-INF|Infinity|infinit|-nan|NaN|nan(123)|nan(x|in|114:00:00|1,5|北1|"
        // Regression: from_chars read these as infinity and NaN; atof reads the "0".
        "0xinf|0xnan|0xnan(123)|-0xinfinity|0XINF|0x.|0x.p1|0x.8p1|-0x.a|"
        // Regression: from_chars read "p+-13" as an exponent; atof stops before the "p".
        "0x1p+-13nan3;|0x1P+-2|-0x1p-+3|0x.8p+-1|0x1p+|0x1p-x|0x1p+3|0x1.8P-1|"
        // Overflow and underflow with exponents beyond any integer, digits
        // before and after the point.
        "1e+2147483648|-1e+99999999999999999999|1e-2147483649|-0.0000000001e-320|100000e304|"
        "0.001e311|-99999e-330|0x1p+2147483648|-0x0.00001p-1060|0x1p-1075|0x1.8p-1075|"
        "0x100p1017|-0x0.0008p1040|1e-324x|-1e309e|0000000000000000001e308";
    for (size_t from = 0, bar; from <= texts.size(); from = bar + 1) {
        bar = std::min(texts.find('|', from), texts.size());
        ExpectLikeAtof(texts.substr(from, bar - from));
    }
    std::mt19937_64 rng(20240501);
    const char alphabet[] = "0123456789+-.eExXpPaAfFinINtyY( )";
    const char* const formats[] = {"%.17g", "%a", "%.3e", "%.20f"};
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, 8);
        std::snprintf(buf, sizeof buf, formats[i % 4], v);
        ExpectLikeAtof(buf);
        std::string t;
        for (int k = static_cast<int>(rng() % 10); k > 0; --k) t += alphabet[rng() % 34];
        ExpectLikeAtof(t);
    }
}

// "nan(chars)" keeps a payload as the GNU C library reads it: the chars as
// strtoull reads them in base 0, when they are all of that number, in the
// low 51 bits of the quiet NaN; the same on every system.
TEST(NumberText, NanPayloadsAsTheGnuLibraryReadsThem) {
    const struct {
        const char* text;
        uint64_t bits;
    } cases[] = {
        {"nan(123)", 0x7FF800000000007BULL},     // decimal
        {"NAN(0x10)", 0x7FF8000000000010ULL},    // hexadecimal
        {"nan(010)", 0x7FF8000000000008ULL},     // octal
        {"-nan(5)", 0xFFF8000000000005ULL},      // the sign kept
        {"nan()", 0x7FF8000000000000ULL},        // no digits: no payload
        {"nan(0x)", 0x7FF8000000000000ULL},      // "0" read, "x" left over
        {"nan(12a)", 0x7FF8000000000000ULL},     // not all of the number
        {"nan(_)", 0x7FF8000000000000ULL},
        {"nan(09)", 0x7FF8000000000000ULL},      // 9 is no octal digit
        {"nan(0x8000000000000)", 0x7FF8000000000000ULL},  // bit 51 is the quiet bit
        {"nan(0xfffffffffffffffffff)", 0x7FFFFFFFFFFFFFFFULL},  // saturates
        {"  +nan(0X7ffffffffffff)z", 0x7FFFFFFFFFFFFFFFULL},
    };
    for (const auto& c : cases) EXPECT_EQ(Bits(AsciiToDouble(c.text)), c.bits) << c.text;
    // Without its closing parenthesis the text is a plain NaN followed by text.
    EXPECT_EQ(Bits(AsciiToDouble("nan(123")), Bits(AsciiToDouble("nan")));
}

// The batch keeps a source whose coordinates did not read whole; these are
// the texts it must tell apart.
TEST(NumberText, FieldsReadWholeOrNot) {
    const CGeoCore geo;
    auto number = [](const std::string& text) {
        bool whole = false;
        const double v = ReadNumberField(text, &whole);
        EXPECT_EQ(Bits(v), Bits(AsciiToDouble(text))) << text;
        return whole;
    };
    auto angle = [&geo](const std::string& text) {
        bool whole = false;
        const double v = ParseDmsField(text, &whole);
        EXPECT_EQ(Bits(v), Bits(geo.ParseDmsText(text))) << text;
        return whole;
    };
    for (const char* text : {"3512345.000", " -12.5 ", "+.5", "5.", "1e3", "1E-3", "0",
                             "123456789012345678901234567890", "1e-400", "2.5\r"}) {
        EXPECT_TRUE(number(text)) << text;
    }
    for (const char* text : {"", " ", "-", ".", "3512345 512345", "1e3x", "1e", "0x10", "0xinf",
                             "inf", "nan", "X", "12m", "\xEF\xBB\xBF" "3512345.0", "1,5"}) {
        EXPECT_FALSE(number(text)) << text;
    }
    EXPECT_FALSE(number(std::string("12\0", 3)));
    for (const char* text : {"030:00:00.000", "114:07:50.5", "-30:5:0", " 30 : 00 : 00 "}) {
        EXPECT_TRUE(angle(text)) << text;
    }
    for (const char* text : {"30.5", "030:00", "30:00:00:00", ":30:00", "30:00:", "30:x:00",
                             "30:00:00.0\"", "030°00′00″", ""}) {
        EXPECT_FALSE(angle(text)) << text;
    }
}

TEST(NumberText, FormatFixedLikePrintf) {
    const double specials[] = {0.0,    -0.0,      0.5,       1.5,      2.5,
                               -2.5,   2.675,     1e22,      1e308,    -1.7976931348623157e308,
                               5e-324, 0.0000005, 0.0000015, HUGE_VAL, -HUGE_VAL};
    for (double v : specials) {
        for (int d : {0, 1, 6, 10, 12, 30}) EXPECT_EQ(FormatFixed(v, d), Printf(v, d)) << v;
    }
    // The sign of a NaN is printed as glibc prints it (MinGW's printf drops it).
    for (int d : {0, 6, 30}) {
        EXPECT_EQ(FormatFixed(std::nan(""), d), "nan");
        EXPECT_EQ(FormatFixed(-std::nan(""), d), "-nan");
    }
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> exponent(-12, 16);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, exponent(rng)) * (rng() % 2 ? 1 : -1);
        const int d = static_cast<int>(rng() % 15);
        ASSERT_EQ(FormatFixed(v, d), Printf(v, d)) << v << " " << d;
    }
    EXPECT_EQ(FormatFixed(1.0 / 3, -1), Printf(1.0 / 3, 6));  // negative precision: six
    char small[5];  // a short buffer is cut as snprintf cuts it
    EXPECT_EQ(FormatFixedTo(small, sizeof small, 12345.678, 2), 8);
    EXPECT_STREQ(small, "1234");
}

// The GUI sets a process locale with a decimal comma; guards against reading
// or writing through the locale-dependent C functions.
TEST(NumberText, IgnoresTheProcessLocale) {
    // A locale with a decimal comma: the system's own German one (Windows
    // calls it "German_Germany.1252"), else one built here.
    std::optional<ScopedEnv> localePath;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_ALL, "German_Germany.1252") == nullptr) {
        const std::string dir = testing::TempDir() + "terrax_locale";
        const std::string make = "mkdir -p " + dir + " && localedef -i de_DE -f UTF-8 " + dir +
                                 "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) GTEST_SKIP() << "cannot build a de_DE locale here";
        localePath.emplace("LOCPATH", dir);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE not loadable";
    }
    EXPECT_EQ(std::atof("1,5"), 1.5);  // the locale is really in force
    EXPECT_EQ(AsciiToDouble("1.5"), 1.5);
    EXPECT_EQ(AsciiToDouble("1,5"), 1.0);
    EXPECT_EQ(AsciiToDouble("1e400"), INFINITY);
    EXPECT_EQ(FormatFixed(1.5, 6), "1.500000");
    std::setlocale(LC_ALL, "C");
}

}  // namespace
