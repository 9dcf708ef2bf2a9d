// The per-point fast paths of the conversion against the operations they
// stand for: number texts against the C library, angle texts and chains
// against the CGeoCore members, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"
#include "tests/batch/BatchTestSession.h"

namespace {

std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

std::string Printf(double v, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// Guards the rounding of the integer formatter: exact ties go to the even
// digit, carries run into the whole part, and values on both sides of the
// 64- and 128-bit products come out as printf writes them.
TEST(FastPath, FixedTextsLikePrintf) {
    const double cases[] = {0.0078125,
                            0.0234375,
                            0.5,
                            1.5,
                            2.5,
                            999999.9999995,
                            0.9999995,
                            0.0000005,
                            -0.0000004,
                            -0.0,
                            3512345.0005,
                            45.25,
                            1e-7,
                            4503599627370495.5,
                            9007199254740993.0,
                            18446744073709549568.0,
                            18446744073709551616.0,
                            5e-324,
                            -2248582.352487,
                            0x1.fffffffffffffp-2};
    for (double v : cases) {
        for (int d = 0; d <= 20; ++d) {
            char buf[400];
            FormatFixedTo(buf, sizeof buf, v, d);
            EXPECT_EQ(buf, Printf(v, d)) << v << " with " << d;
            EXPECT_EQ(FormatFixed(v, d), Printf(v, d)) << v << " with " << d;
        }
    }
    // Coordinates, heights and angles as the conversion writes them.
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> coordinate(-7e6, 7e6), small(-600, 600);
    for (int i = 0; i < 200000; ++i) {
        const double v = i % 2 ? coordinate(rng) : small(rng);
        char buf[400];
        FormatFixedTo(buf, sizeof buf, v, 6);
        ASSERT_EQ(buf, Printf(v, 6)) << v;
    }
}

// Guards the plain-decimal reader: a view that is not NUL-terminated is read
// to its end only, a NUL ends it early, and every text it declines still
// reads as atof reads it.
TEST(FastPath, ViewsReadLikeAtof) {
    const std::string text = "3512345.125e1xyz";
    EXPECT_EQ(AsciiToDouble(text.data(), text.data() + 7), 3512345.0);
    EXPECT_EQ(AsciiToDouble(text.data(), text.data() + 11), 3512345.125);
    EXPECT_EQ(AsciiToDouble(text.data(), text.data() + 12), 3512345.125);  // "e" without digits
    EXPECT_EQ(AsciiToDouble(text.data(), text.data() + 13), 35123451.25);
    const std::string nul(
        "12\0"
        "34",
        5);
    EXPECT_EQ(AsciiToDouble(nul.data(), nul.data() + nul.size()), 12.0);
    EXPECT_EQ(AsciiToDouble(text.data(), text.data()), 0.0);
    for (const char* t : {"  -0", "0x1p3", "-0X10", "00x5", "1e400", "123456789012345678901",
                          "0.00000000000000000000000001", "1e23", "9007199254740993", ".5e-3", "+.",
                          "-inf", "nan", "4.9e-324", "\t 42\n"}) {
        const std::string s = t;
        // atof(t) is strtod(t, NULL), the C99 reader on every system.
        const double want = std::strtod(t, nullptr);
        EXPECT_EQ(Bits(AsciiToDouble(s.data(), s.data() + s.size())), Bits(want)) << t;
        EXPECT_EQ(Bits(AsciiToDouble(t)), Bits(want)) << t;
    }
}

// Guards the buffer forms of the angle texts against drifting from the
// members that return texts.
TEST(FastPath, AngleTextsLikeTheMembers) {
    CGeoCore geo;
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> angle(-4.0, 4.0);
    for (int i = 0; i < 20000; ++i) {
        const double r = i == 0 ? std::nan("") : i == 1 ? -INFINITY : angle(rng);
        char buf[kDmsTextSize];
        const int n = FormatDmsPositiveTo(r, buf);
        const std::string text = geo.FormatDmsPositive(r);
        ASSERT_EQ(std::string(buf, static_cast<std::size_t>(n)), text) << r;
        EXPECT_EQ(Bits(ParseDmsView(text)), Bits(geo.ParseDmsText(text))) << text;
    }
    const std::string odd = ":1:2:3.5x";
    EXPECT_EQ(Bits(ParseDmsView(std::string_view(odd).substr(0, 6))),
              Bits(geo.ParseDmsText(odd.substr(0, 6))));
}

// Guards the by-reference chains: the same bits as the members that take
// the settings by value, with every switch on and off.
TEST(FastPath, ChainsLikeTheMembers) {
    CGeoCore geo;
    std::mt19937_64 rng(8);
    std::uniform_real_distribution<double> b(0.4, 0.7), l(1.9, 2.1), x(2.8e6, 4.4e6),
        y(3.8e5, 6.2e5), h(-50, 500);
    for (int setting = 0; setting < 4; ++setting) {
        ConversionParams p = MakeTestSession(1, 2).m_params;
        p.m_savedUseSeven = setting & 1;
        p.m_savedUseFour = setting >> 1;
        p.m_projBefore.kind = static_cast<ProjectionKind>(setting);
        for (int i = 0; i < 2000; ++i) {
            double want[3], got[3];
            const double B = b(rng), L = l(rng), H = h(rng), X = x(rng), Y = y(rng);
            geo.GeodeticToPlaneChain(B, L, H, p, &want[0], &want[1], &want[2]);
            GeodeticToPlaneChainRef(geo, B, L, H, p, &got[0], &got[1], &got[2]);
            for (int k = 0; k < 3; ++k) ASSERT_EQ(Bits(got[k]), Bits(want[k]));
            geo.PlaneToGeodeticChain(X, Y, H, p, &want[0], &want[1], &want[2]);
            PlaneToGeodeticChainRef(geo, X, Y, H, p, &got[0], &got[1], &got[2]);
            for (int k = 0; k < 3; ++k) ASSERT_EQ(Bits(got[k]), Bits(want[k]));
            geo.PlaneToGeodetic(6378140.0, 298.257, X, Y, H, p, &want[0], &want[1], &want[2]);
            PlaneToGeodeticRef(geo, 6378140.0, 298.257, X, Y, H, p, &got[0], &got[1], &got[2]);
            for (int k = 0; k < 3; ++k) ASSERT_EQ(Bits(got[k]), Bits(want[k]));
            want[0] = got[0] = B;
            want[1] = got[1] = L;
            geo.ShiftGeodetic(&want[0], &want[1], p);
            ShiftGeodeticRef(geo, &got[0], &got[1], p);
            for (int k = 0; k < 2; ++k) ASSERT_EQ(Bits(got[k]), Bits(want[k]));
            want[0] = got[0] = X;
            want[1] = got[1] = Y;
            want[2] = got[2] = H;
            const double* s = p.m_seven;
            geo.ApplySevenParameters(s[0], s[1], s[2], s[3], s[4], s[5], s[6], p, &want[0],
                                     &want[1], &want[2]);
            ApplySevenParametersRef(geo, s, p, &got[0], &got[1], &got[2]);
            for (int k = 0; k < 3; ++k) ASSERT_EQ(Bits(got[k]), Bits(want[k]));
        }
    }
}

}  // namespace
