// Conversions on the user's own datums, as the window converts a typed
// point (texts in, printed texts out), against PROJ's figures for the same
// a and 1/f (tests/data/session/user_datum_reference.txt and the script
// that wrote it): geodetic to space and back, geodetic to Gauss plane and
// back, within 0.1 mm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "geodesy/Constants.h"
#include "session/ConversionSession.h"
#include "session/UserDatums.h"

namespace {

constexpr double kTolerance = 0.0001;  // metres

// Decimal degrees as the angle text of the edits, to the microsecond.
std::string AngleText(double degrees) {
    const long long micro = std::llround(degrees * 3600e6);
    char text[40];
    std::snprintf(text, sizeof text, "%03lld:%02lld:%02lld.%06lld", micro / 3600000000LL,
                  micro / 60000000LL % 60, micro / 1000000LL % 60, micro % 1000000LL);
    return text;
}

// The list index of the datum with these constants, added when missing.
int DatumOf(double a, double rf) {
    for (int i = kDatumCount; i < DatumCount(); ++i) {
        const UserDatum& d = *UserDatums().At(i);
        if (d.a == a && d.rf == rf) return i;
    }
    return UserDatums().Add({"参考椭球 " + DatumNumberText(a), a, rf});
}

TEST(UserDatumConversion, AgreesWithProjOnTheSameConstants) {
    UserDatums() = UserDatumList();
    const std::string path = std::string(TERRAX_TEST_DATA) + "/session/user_datum_reference.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    std::set<std::string> ops;
    std::set<int> datums;
    std::string line;
    for (int lineNo = 1; std::getline(file, line); ++lineNo) {
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(lineNo);
        std::istringstream row(line);
        std::string op;
        double a, rf, l0, in[3], want[3];
        ASSERT_TRUE(row >> op >> a >> rf >> l0 >> in[0] >> in[1] >> in[2] >> want[0] >> want[1] >>
                    want[2])
            << where;
        ConversionSession s;
        s.m_sourceDatum = s.m_targetDatum = DatumOf(a, rf);
        ASSERT_GE(s.m_sourceDatum, kDatumCount) << where;
        datums.insert(s.m_sourceDatum);
        s.m_useSeven = s.m_useFour = 0;
        s.m_params.m_projBefore.centralMeridian = l0;
        const bool fromAngles = op == "space" || op == "gauss";
        const bool toAngles = op == "geodetic" || op == "gauss_inverse";
        if (op == "space" || op == "geodetic") {
            s.m_sourceKind = static_cast<int>(fromAngles ? CoordinateKind::Geodetic : CoordinateKind::Space);
            s.m_targetKind = static_cast<int>(fromAngles ? CoordinateKind::Space : CoordinateKind::Geodetic);
        } else if (op == "gauss" || op == "gauss_inverse") {
            s.m_sourceKind = static_cast<int>(fromAngles ? CoordinateKind::Geodetic : CoordinateKind::Plane);
            s.m_targetKind = static_cast<int>(fromAngles ? CoordinateKind::Plane : CoordinateKind::Geodetic);
        } else {
            ADD_FAILURE() << where << ": unknown operation " << op;
            continue;
        }
        ops.insert(op);
        for (int i = 0; i < 3; ++i) s.m_sourceText[i] = FormatFixed(in[i], 6);
        if (fromAngles) {
            s.m_sourceText[0] = AngleText(in[0]);
            s.m_sourceText[1] = AngleText(in[1]);
        }
        ASSERT_TRUE(s.Convert()) << where;
        EXPECT_EQ(s.m_params.m_sourceEllipsoid[0], a) << where;
        EXPECT_EQ(s.m_params.m_targetEllipsoid[1], rf) << where;
        for (int i = 0; i < 3; ++i) {
            double miss;
            if (toAngles && i < 2) {
                const double got = s.m_geo.ParseDmsText(s.m_targetText[i]);
                miss = (got - want[i] * kDegToRad) * a * (i == 1 ? std::cos(want[0] * kDegToRad) : 1);
            } else {
                miss = AsciiToDouble(s.m_targetText[i]) - want[i];
            }
            EXPECT_NEAR(miss, 0, kTolerance) << where << " output " << i << ": " << s.m_targetText[i];
        }
    }
    EXPECT_EQ(ops, (std::set<std::string>{"space", "geodetic", "gauss", "gauss_inverse"}));
    EXPECT_EQ(datums.size(), 3u) << "three ellipsoids, as datums 5, 6 and 7";
    UserDatums() = UserDatumList();
}

}  // namespace
