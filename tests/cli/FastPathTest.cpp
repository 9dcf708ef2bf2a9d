// The per-point fast paths of the conversion: number texts against the C
// library, angle texts against the CGeoCore members bit for bit, and the
// by-reference chains and the members they stand for against independently
// computed figures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"
#include "tests/support/ConversionReference.h"

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
TEST(FastPath, AngleTextsPrintLikeTheMembersAndReadAsTheirFields) {
    CGeoCore geo;
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> angle(-4.0, 4.0);
    for (int i = 0; i < 20000; ++i) {
        const double r = i == 0 ? std::nan("") : i == 1 ? -INFINITY : angle(rng);
        char buf[kDmsTextSize];
        const int n = FormatDmsPositiveTo(r, buf);
        const std::string text = geo.FormatDmsPositive(r);
        ASSERT_EQ(std::string(buf, static_cast<std::size_t>(n)), text) << r;
        if (!std::isfinite(r)) continue;
        // The text's own fields, degrees, minutes and seconds, read back.
        double d = 0, m = 0, sec = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), "%lf:%lf:%lf", &d, &m, &sec), 3) << text;
        const double want = (sec * 0.0002777777777777778 + m * 0.016666666666666666 + d) *
                            0.017453292519943334;
        EXPECT_EQ(Bits(ParseDmsView(text)), Bits(want)) << text;
    }
    // A view ends where it ends, not at the text's NUL: ":1:2:3" is 0 degrees
    // (a first colon that opens the text ends no degree field), 2 minutes and
    // 3 seconds.
    const std::string odd = ":1:2:3.5x";
    EXPECT_EQ(Bits(ParseDmsView(std::string_view(odd).substr(0, 6))),
              Bits((3 * 0.0002777777777777778 + 2 * 0.016666666666666666 + 0) *
                   0.017453292519943334));
}

// One chain row of the reference data, through the by-reference form
// (byRef) or the member; returns how many leading outputs are angles, or -1
// for a row that is not a chain call.
int RunChain(const CGeoCore& geo, const ConversionParams& p, const std::string& op,
             const double* in, bool byRef, double* out) {
    if (op == "g2p") {
        if (byRef) {
            GeodeticToPlaneChainRef(geo, in[0], in[1], in[2], p, &out[0], &out[1], &out[2]);
        } else {
            geo.GeodeticToPlaneChain(in[0], in[1], in[2], p, &out[0], &out[1], &out[2]);
        }
        return 0;
    }
    if (op == "p2g") {
        if (byRef) {
            PlaneToGeodeticChainRef(geo, in[0], in[1], in[2], p, &out[0], &out[1], &out[2]);
        } else {
            geo.PlaneToGeodeticChain(in[0], in[1], in[2], p, &out[0], &out[1], &out[2]);
        }
        return 2;
    }
    if (op == "p2g_on") {
        double a = 0, rf = 0;
        if (!CGeoCore::DatumTable(static_cast<int>(in[0]), &a, &rf)) return -1;
        if (byRef) {
            PlaneToGeodeticRef(geo, a, rf, in[1], in[2], in[3], p, &out[0], &out[1], &out[2]);
        } else {
            geo.PlaneToGeodetic(a, rf, in[1], in[2], in[3], p, &out[0], &out[1], &out[2]);
        }
        return 2;
    }
    if (op == "shift") {
        out[0] = in[0];
        out[1] = in[1];
        if (byRef) {
            ShiftGeodeticRef(geo, &out[0], &out[1], p);
        } else {
            geo.ShiftGeodetic(&out[0], &out[1], p);
        }
        return 2;
    }
    if (op == "apply_seven") {
        for (int k = 0; k < 3; ++k) out[k] = in[k];
        const double* s = p.m_seven;
        if (byRef) {
            ApplySevenParametersRef(geo, s, p, &out[0], &out[1], &out[2]);
        } else {
            geo.ApplySevenParameters(s[0], s[1], s[2], s[3], s[4], s[5], s[6], p, &out[0],
                                     &out[1], &out[2]);
        }
        return 0;
    }
    return -1;
}

// tests/data/session/conversion_reference.txt: the chains the batch calls
// per point, with every switch on and off, each projection kind, the levels
// set and unset, on points across China.
TEST(FastPath, ChainsMatchTheReferenceFigures) {
    std::string error;
    const std::vector<ReferenceBlock> blocks = ReadConversionReference(&error);
    ASSERT_EQ(error, "");
    const CGeoCore geo;
    std::set<std::string> ops;
    for (const ReferenceBlock& b : blocks) {
        const ConversionParams p = b.Params();
        double worst[2] = {0, 0};  // metres, radians
        int rows = 0;
        for (const ReferenceRow& r : b.rows) {
            if (r.op == "convert") continue;
            const std::string where = b.name + ", line " + std::to_string(r.line);
            std::vector<double> v(r.fields.size());
            for (std::size_t i = 0; i < v.size(); ++i)
                ASSERT_TRUE(ReadReferenceNumber(r.fields[i], &v[i])) << where;
            const std::size_t outputs = r.op == "shift" ? 2 : 3;
            ASSERT_GT(v.size(), outputs) << where;
            const double* want = v.data() + (v.size() - outputs);
            for (bool byRef : {true, false}) {
                double got[3];
                const int angles = RunChain(geo, p, r.op, v.data(), byRef, got);
                ASSERT_GE(angles, 0) << where;
                for (std::size_t k = 0; k < outputs; ++k) {
                    const bool angle = static_cast<int>(k) < angles;
                    const double miss = std::fabs(got[k] - want[k]);
                    EXPECT_LE(miss, angle ? b.angleTolerance : b.lengthTolerance)
                        << where << (byRef ? " by reference" : " member") << ", output " << k
                        << ": " << got[k] << " for " << want[k];
                    if (miss > worst[angle]) worst[angle] = miss;
                }
            }
            ops.insert(r.op);
            ++rows;
        }
        std::printf("%s: %d chain calls, largest miss %.3g m, %.3g rad\n", b.name.c_str(), rows,
                    worst[0], worst[1]);
    }
    EXPECT_EQ(ops, (std::set<std::string>{"g2p", "p2g", "p2g_on", "shift", "apply_seven"}));
}

}  // namespace
