// The check of a typed point: which field fails and why, per kind, and the
// angle text that decimal degrees become when the user asks for it.
#include <gtest/gtest.h>

#include "params/PointText.h"
#include "params/ValueText.h"

namespace {

PointTextCheck Check(CoordinateKind kind, const char* a, const char* b, const char* c) {
    const std::string texts[3] = {a, b, c};
    return CheckPointTexts(kind, texts);
}

TEST(PointTextTest, GeodeticAnglesMustBeAngleTextsAndHeightsNumbers) {
    using P = PointTextProblem;
    const auto geo = CoordinateKind::Geodetic;
    EXPECT_EQ(Check(geo, "034:30:00.0000", "117:00:00", "12.5").problem, P::None);
    PointTextCheck c = Check(geo, "34.5", "abc", "0");
    EXPECT_EQ(c.problem, P::DecimalDegrees);
    EXPECT_EQ(c.field, 0);
    EXPECT_EQ(c.degrees, 34.5);
    c = Check(geo, "034:30:00", "abc", "0");
    EXPECT_EQ(c.problem, P::NotAngle);
    EXPECT_EQ(c.field, 1);
    EXPECT_EQ(Check(geo, "034:30:00", "117:61:00", "0").problem, P::NotAngle);
    EXPECT_EQ(Check(geo, "034:30:00", "-117.5", "0").problem, P::NotAngle);
    c = Check(geo, "034:30:00", "117:00:00", "12,5");
    EXPECT_EQ(c.problem, P::NotNumber);
    EXPECT_EQ(c.field, 2);
    c = Check(geo, "034:30:00", "117:00:00", "");
    EXPECT_EQ(c.problem, P::Empty);
    EXPECT_EQ(c.field, 2);
}

TEST(PointTextTest, PlaneAndSpacePointsAreThreeNumbers) {
    for (CoordinateKind kind : {CoordinateKind::Plane, CoordinateKind::Space}) {
        EXPECT_EQ(Check(kind, "3323964.539", "-210469.669", "8e2").problem, PointTextProblem::None);
        const PointTextCheck c = Check(kind, "3323964.539", "034:30:00", "8");
        EXPECT_EQ(c.problem, PointTextProblem::NotNumber);
        EXPECT_EQ(c.field, 1);
        EXPECT_EQ(Check(kind, "12abc", "1", "1").problem, PointTextProblem::NotNumber);
        EXPECT_EQ(Check(kind, "1", "1", "nan").problem, PointTextProblem::NotNumber);
    }
}

TEST(PointTextTest, BlanksAreCutAndDecimalDegreesBecomeAngleTexts) {
    std::string texts[3] = {"  034:30:00\t", " 1 ", ""};
    TrimPointTexts(texts);
    EXPECT_EQ(texts[0], "034:30:00");
    EXPECT_EQ(texts[1], "1");
    EXPECT_EQ(AngleTextOfDegrees(34.5), "034:30:00.000000");
    EXPECT_EQ(AngleTextOfDegrees(117.2583333333333), "117:15:30.000000");
    EXPECT_EQ(AngleTextOfDegrees(0.0000001), "000:00:00.000360");
    double back = 0;
    ASSERT_TRUE(ReadAngleDegrees(AngleTextOfDegrees(359.99999999999), &back));
    EXPECT_NEAR(back, 359.99999999999, 1e-9);
}

}  // namespace
