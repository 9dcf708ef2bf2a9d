// Angle texts: field splitting, single-precision degrees and minutes, and
// printing by truncation down to the last digit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kMin = 0.016666666666666666;
constexpr double kSec = 0.0002777777777777778;

const CGeoCore geo;

double Dms(double d, double m, double s) { return (s * kSec + m * kMin + d) * kDeg; }

TEST(Angles, ParseSplitsDegreesMinutesSeconds) {
    struct Case {
        const char* text;
        double unsignedRad;  // ParseDmsText
        double signedRad;    // ParseSignedDmsText
    } cases[] = {
        {"000:00:00.000", 0.0, 0.0},
        {"114:00:00", 114 * kDeg, 114 * kDeg},
        {"030:15:20.5", Dms(30, 15, 20.5), Dms(30, 15, 20.5)},
        // The sign belongs to the degree field, or to the whole angle.
        {"-030:30:00", -29.5 * kDeg, -30.5 * kDeg},
        {"-000:00:01.5", Dms(0, 0, 1.5), -Dms(0, 0, 1.5)},
        // Fewer than two colons: the fields still follow the rule.
        {"114.5", Dms(0, 0, 14.5), Dms(0, 0, 14.5)},
        {"30:15", 30 * kDeg, 30 * kDeg},
        {"", 0.0, 0.0},
        // More colons: the minute text runs from the first to the last colon.
        {"1:2:3:4", Dms(1, 2, 4), Dms(1, 2, 4)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(geo.ParseDmsText(c.text), c.unsignedRad) << c.text;
        EXPECT_EQ(geo.ParseSignedDmsText(c.text), c.signedRad) << c.text;
    }
    EXPECT_NEAR(geo.ParseDmsText("-030:30:00") / kDeg, -29.5, 1e-13);
}

// Guards against reading degrees and minutes in double precision.
TEST(Angles, DegreesAndMinutesAreRoundedThroughFloat) {
    const double fromFloat = Dms(30, static_cast<double>(15.123f), 0);
    EXPECT_EQ(geo.ParseDmsText("030:15.123:00"), fromFloat);
    EXPECT_NE(geo.ParseDmsText("030:15.123:00"), Dms(30, 15.123, 0));
    EXPECT_EQ(geo.ParseDmsText("030.1:00:00"), Dms(static_cast<double>(30.1f), 0, 0));
    // Seconds stay double.
    EXPECT_EQ(geo.ParseDmsText("000:00:20.123"), Dms(0, 0, 20.123));
}

TEST(Angles, PrintingTruncatesToTheLastDigit) {
    struct Case {
        double r;
        const char* sign;   // FormatDmsSigned
        const char* pos;    // FormatDmsPositive
        const char* whole;  // FormatDmsWhole
    } cases[] = {
        {114 * kDeg, "113:59:59.999999", "113:59:59.999999", "114:00:00"},
        {30 * kDeg, "030:00:00.000000", "030:00:00.000000", "030:00:00"},
        {-0.5 * kDeg, "-000:30:00.000000", "179:30:00.000000", "179:30:00"},
        {-0.0, "000:00:00.000000", "000:00:00.000000", "000:00:00"},
        {1234 * kDeg, "1234:00:00.000000", "1234:00:00.000000", "1234:00:00"},
        {1e-9, "000:00:00.000206", "000:00:00.000206", "000:00:00"},
        {-0.1, "-005:43:46.480624", "174:16:13.519375", "174:16:13"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(geo.FormatDmsSigned(c.r), c.sign) << c.r;
        EXPECT_EQ(geo.FormatDmsPositive(c.r), c.pos) << c.r;
        EXPECT_EQ(geo.FormatDmsWhole(c.r), c.whole) << c.r;
    }
    // The half-turn is 3.1415926535898, not pi.
    EXPECT_EQ(geo.FormatDmsPositive(-0.1), geo.FormatDmsPositive(3.1415926535898 - 0.1));
}

TEST(Angles, ParseThenPrintShowsTheTruncation) {
    EXPECT_EQ(geo.FormatDmsPositive(geo.ParseDmsText("030:15:20.5")), "030:15:20.499999");
    EXPECT_EQ(geo.FormatDmsPositive(geo.ParseDmsText("030:15:20.05")), "030:15:20.049999");
    EXPECT_EQ(geo.FormatDmsSigned(geo.ParseSignedDmsText("-000:00:01.5")), "-000:00:01.499999");
    // Whole seconds survive FormatDmsWhole thanks to its bias and rounding.
    for (const char* t : {"117:00:00", "030:30:30", "000:00:01", "135:59:59", "018:00:00"}) {
        EXPECT_EQ(geo.FormatDmsWhole(geo.ParseDmsText(t)), t);
    }
}

// Guards against converting out-of-range or non-finite degrees to int
// (undefined behaviour): such values print in full or as printf prints them.
TEST(Angles, HugeAndNonFiniteValuesPrintDefinedTexts) {
    EXPECT_EQ(geo.FormatDmsSigned(1e12), "57295779513082:11:43.125000");
    EXPECT_EQ(geo.FormatDmsWhole(1e12), "57295779513082:11:43");
    EXPECT_EQ(geo.FormatDmsPositive(NAN), "nan");
    EXPECT_EQ(geo.FormatDmsSigned(-INFINITY), "-inf");
    EXPECT_EQ(geo.FormatDmsWhole(INFINITY), "inf");
}

}  // namespace
