// The seven parameters' texts of the seven-parameter dialog: fixed-point in
// metres, arc-seconds and ppm, read back in the same units (a rotation also
// as an angle text), anything else refused.
#include <gtest/gtest.h>

#include "geodesy/Constants.h"
#include "geodesy/GeoCore.h"
#include "params/SevenValueText.h"

namespace {

constexpr double kArcSecond = kDegToRad / 3600.0;

TEST(SevenValueText, ShowsEachValueFixedPointInItsUnit) {
    EXPECT_EQ(FormatSevenValue(0, -15.5), "-15.500000");
    EXPECT_EQ(FormatSevenValue(2, 1234567.1234564), "1234567.123456");
    EXPECT_EQ(FormatSevenValue(3, -1.5 * kArcSecond), "-1.500000");
    EXPECT_EQ(FormatSevenValue(5, 0.5 * kDegToRad), "1800.000000");
    EXPECT_EQ(FormatSevenValue(6, 1.70975019679698e-06), "1.709750");
    EXPECT_EQ(FormatSevenValue(6, -1e-13), "0.000000") << "no -0.000000";
    EXPECT_EQ(FormatSevenValue(6, 0.0), "0.000000");
    EXPECT_STREQ(SevenValueUnit(1), "米");
    EXPECT_STREQ(SevenValueUnit(4), "秒");
    EXPECT_STREQ(SevenValueUnit(6), "ppm");
}

TEST(SevenValueText, ReadsTypedValuesInTheirUnitsAndRefusesTheRest) {
    const CGeoCore geo;
    double v = 99;
    ASSERT_TRUE(ReadSevenValue(geo, 1, " 120.25 ", &v));
    EXPECT_EQ(v, 120.25);
    ASSERT_TRUE(ReadSevenValue(geo, 6, "2.5", &v));
    EXPECT_EQ(v, 2.5e-6) << "ppm, the nearest double";
    ASSERT_TRUE(ReadSevenValue(geo, 6, "-0.000001", &v));
    EXPECT_DOUBLE_EQ(v, -1e-12);
    ASSERT_TRUE(ReadSevenValue(geo, 3, "-1.5", &v));
    EXPECT_DOUBLE_EQ(v, -1.5 * kArcSecond);
    ASSERT_TRUE(ReadSevenValue(geo, 5, "-000:30:00", &v));
    EXPECT_DOUBLE_EQ(v, -0.5 * kDegToRad);
    ASSERT_TRUE(ReadSevenValue(geo, 4, "000:00:02.25", &v));
    EXPECT_DOUBLE_EQ(v, 2.25 * kArcSecond);

    v = 7;
    for (const char* text : {"", "abc", "1,5", "1e400", "nan"})
        EXPECT_FALSE(ReadSevenValue(geo, 0, text, &v)) << text;
    // An angle text only for the rotations, and only a whole one.
    EXPECT_FALSE(ReadSevenValue(geo, 0, "000:00:02", &v));
    EXPECT_FALSE(ReadSevenValue(geo, 6, "000:00:02", &v));
    for (const char* text : {"0:61:00", "000:00", "--000:00:01", "000:00:01x"})
        EXPECT_FALSE(ReadSevenValue(geo, 3, text, &v)) << text;
    EXPECT_EQ(v, 7) << "a refused text leaves the value";

    EXPECT_EQ(SevenValueError(2, "Z 平移"), "Z 平移必须是以米为单位的数。");
    EXPECT_NE(SevenValueError(4, "Y 轴旋转").find("DDD:MM:SS.ffff"), std::string::npos);
    EXPECT_NE(SevenValueError(6, "尺度").find("ppm"), std::string::npos);
}

// Every value shown and read back unchanged in its unit comes back within
// the last shown digit.
TEST(SevenValueText, AShownTextReadsBackWithinItsLastDigit) {
    const CGeoCore geo;
    const double values[7] = {-15.123456789,     0.1,  80.0000004,          1.2345678901e-5,
                              -2.5 * kArcSecond, 3e-9, 1.70975019679698e-06};
    const double lastDigit[7] = {
        0.5e-6, 0.5e-6, 0.5e-6, 0.5e-6 * kArcSecond, 0.5e-6 * kArcSecond, 0.5e-6 * kArcSecond,
        0.5e-12};
    for (int i = 0; i < kSevenValues; ++i) {
        double back = 0;
        ASSERT_TRUE(ReadSevenValue(geo, i, FormatSevenValue(i, values[i]), &back)) << i;
        EXPECT_NEAR(back, values[i], lastDigit[i] * 1.000001) << i;
    }
}

}  // namespace
