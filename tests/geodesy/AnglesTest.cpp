// Angle texts: field splitting, single-precision degrees and minutes, and
// printing by truncation down to the last digit.
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
const CGeoCore geo;

double Dms(double d, double m, double s) {
    return (s * 0.0002777777777777778 + m * 0.016666666666666666 + d) * kDeg;
}

TEST(Angles, ParseSplitsTheFields) {
    struct {
        const char* text;
        double plain, withSign;  // ParseDmsText, ParseSignedDmsText
    } cases[] = {
        {"000:00:00.000", 0, 0},
        {"114:00:00", 114 * kDeg, 114 * kDeg},
        {"030:15:20.5", Dms(30, 15, 20.5), Dms(30, 15, 20.5)},
        {"-030:30:00", -29.5 * kDeg, -30.5 * kDeg},  // sign of the degrees / of the angle
        {"-000:00:01.5", Dms(0, 0, 1.5), -Dms(0, 0, 1.5)},
        {"114.5", Dms(0, 0, 14.5), Dms(0, 0, 14.5)},  // fewer colons: the rule still holds
        {"30:15", 30 * kDeg, 30 * kDeg},
        {"1:2:3:4", Dms(1, 2, 4), Dms(1, 2, 4)},  // minutes run to the last colon
        // Degrees and minutes are rounded through float, seconds are not.
        {"030:15.123:00", Dms(30, double(15.123f), 0), Dms(30, double(15.123f), 0)},
        {"030.1:00:20.123", Dms(double(30.1f), 0, 20.123), Dms(double(30.1f), 0, 20.123)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo.ParseDmsText(c.text), c.plain) << c.text;
        EXPECT_EQ(geo.ParseSignedDmsText(c.text), c.withSign) << c.text;
    }
    EXPECT_NE(geo.ParseDmsText("030:15.123:00"), Dms(30, 15.123, 0));
}

TEST(Angles, PrintingTruncates) {
    struct {
        double r;
        const char *withSign, *positive, *whole;
    } cases[] = {
        {114 * kDeg, "113:59:59.999999", "113:59:59.999999", "114:00:00"},
        {30 * kDeg, "030:00:00.000000", "030:00:00.000000", "030:00:00"},
        {-0.5 * kDeg, "-000:30:00.000000", "179:30:00.000000", "179:30:00"},
        {-0.0, "000:00:00.000000", "000:00:00.000000", "000:00:00"},
        {1234 * kDeg, "1234:00:00.000000", "1234:00:00.000000", "1234:00:00"},
        {1e-9, "000:00:00.000206", "000:00:00.000206", "000:00:00"},
        // -0.1 rad is -5d43'46.4806"; positive adds 3.1415926535898.
        {-0.1, "-005:43:46.480624", "174:16:13.519375", "174:16:13"},
        {Dms(30, 15, 20.5), "030:15:20.499999", "030:15:20.499999", "030:15:20"},
        {Dms(30, 15, 20.05), "030:15:20.049999", "030:15:20.049999", "030:15:20"},
        // Guards against converting huge or non-finite degrees to int
        // (undefined behaviour): they print in full or as printf prints them.
        {1e12, "57295779513082:11:43.125000", "57295779513082:11:43.125000",
         "57295779513082:11:43"},
        {NAN, "nan", "nan", "nan"},
        {-INFINITY, "-inf", "-inf", "-inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo.FormatDmsSigned(c.r), c.withSign) << c.r;
        EXPECT_EQ(geo.FormatDmsPositive(c.r), c.positive) << c.r;
        EXPECT_EQ(geo.FormatDmsWhole(c.r), c.whole) << c.r;
    }
    for (const char* t : {"117:00:00", "030:30:30", "000:00:01", "135:59:59"}) {
        EXPECT_EQ(geo.FormatDmsWhole(geo.ParseDmsText(t)), t);  // whole seconds survive
    }
}

}  // namespace
