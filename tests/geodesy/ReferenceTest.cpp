// Table-driven checks against independently computed values:
// tests/data/geodesy/tm_reference.txt, in 40-digit arithmetic by
// make_tm_reference.py (the figures of the reference manual, exact transverse
// Mercator, space rectangular values, and the system's own series evaluated
// from their description, which catches a mistyped coefficient), and
// cgcs2000_reference.txt, by PROJ's cct (make_cgcs2000_reference.sh). Angles
// are compared as distances on the ground.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kArcSecond = kDeg / 3600;

int InputCount(const std::string& op) {
    return op == "mercator_series" ? 4 : op == "seven_gauss" ? 12 : 3;
}
int OutputCount(const std::string& op) {
    return op.rfind("space", 0) == 0 || op == "seven_gauss" ? 3 : 2;
}

// seven_gauss: a point of datum in[0] (B, L, H) through the seven parameters
// into Gauss plane coordinates at L0 on the target datum (a, rf).
void SevenGauss(const CGeoCore& geo, double a, double rf, const double* in, double* out) {
    ConversionParams p;
    CGeoCore::DatumTable(static_cast<int>(in[0]), &p.m_sourceEllipsoid[0], &p.m_sourceEllipsoid[1]);
    p.m_targetEllipsoid[0] = a;
    p.m_targetEllipsoid[1] = rf;
    p.m_savedUseSeven = 1;
    p.m_projBefore.centralMeridian = in[4];
    const double seven[7] = {
        in[5],        in[6], in[7], in[8] * kArcSecond, in[9] * kArcSecond, in[10] * kArcSecond,
        in[11] * 1e-6};
    for (int i = 0; i < 7; ++i) p.m_seven[i] = seven[i];
    geo.GeodeticToPlaneChain(in[1] * kDeg, in[2] * kDeg, in[3], p, &out[0], &out[1], &out[2]);
}

// Runs one row's operation; returns how many leading outputs are angles
// (given in degrees), or -1 for an unknown operation.
int RunRow(const std::string& op, double a, double rf, const double* in, double* out) {
    const CGeoCore geo;
    const double B = in[0] * kDeg, L = in[1] * kDeg, L0 = in[2] * kDeg;
    if (op == "gauss_series") return geo.GaussForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    if (op == "utm_series") return geo.UtmForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    if (op == "mercator_series") {
        return geo.MercatorForward(a, rf, B, L, L0, in[3] * kDeg, &out[0], &out[1]), 0;
    }
    if (op == "gauss_inverse_series")
        return geo.GaussInverse(a, rf, in[0], in[1], L0, &out[0], &out[1]), 2;
    if (op == "utm_inverse_series")
        return geo.UtmInverse(a, rf, in[0], in[1], L0, &out[0], &out[1]), 2;
    if (op == "space") return geo.GeodeticToSpace(a, rf, B, L, in[2], &out[0], &out[1], &out[2]), 0;
    if (op == "space_inverse") {  // exact inverse rows; L repaired as every caller does
        geo.SpaceToGeodetic(a, rf, in[0], in[1], in[2], &out[0], &out[1], &out[2]);
        if (out[1] < 0) out[1] += 3.1415926535898;
        return 2;
    }
    if (op == "seven_gauss") return SevenGauss(geo, a, rf, in, out), 0;
    if (op == "space_inverse_series") {
        return geo.SpaceToGeodetic(a, rf, in[0], in[1], in[2], &out[0], &out[1], &out[2]), 2;
    }
    // Exact transverse Mercator rows, forward: the inverse is checked below.
    if (op == "gauss") return geo.GaussForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    if (op == "utm") return geo.UtmForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    return -1;
}

// Checks every row of one reference file; returns the operations seen.
std::set<std::string> CheckFile(const std::string& name) {
    const std::string path = std::string(TERRAX_TEST_DATA) + "/geodesy/" + name;
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    std::set<std::string> seen;
    std::string line;
    for (int lineNo = 1; std::getline(file, line); ++lineNo) {
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(lineNo);
        std::istringstream s(line);
        std::string op;
        int datum;
        double a, rf, in[12], want[3], got[3], tol;
        if (!(s >> op >> datum && CGeoCore::DatumTable(datum, &a, &rf))) {
            ADD_FAILURE() << where;
            continue;
        }
        const int inputs = InputCount(op), outputs = OutputCount(op);
        for (int i = 0; i < inputs; ++i) s >> in[i];
        for (int i = 0; i < outputs; ++i) s >> want[i];
        if (!(s >> tol)) {
            ADD_FAILURE() << where;
            continue;
        }
        const int angles = RunRow(op, a, rf, in, got);
        if (angles < 0) {
            ADD_FAILURE() << where << ": unknown operation " << op;
            continue;
        }
        seen.insert(op);
        for (int i = 0; i < outputs; ++i) {
            const double miss =
                i < angles ? (got[i] - want[i] * kDeg) * a * (i == 1 ? std::cos(want[0] * kDeg) : 1)
                           : got[i] - want[i];
            EXPECT_NEAR(miss, 0, tol) << where << " output " << i;
        }
        if (op == "gauss" || op == "utm") {  // the row backwards
            const double back[3] = {want[0], want[1], in[2]};
            RunRow(op == "gauss" ? "gauss_inverse_series" : "utm_inverse_series", a, rf, back, got);
            EXPECT_NEAR((got[0] - in[0] * kDeg) * a, 0, tol) << where;
            EXPECT_NEAR((got[1] - in[1] * kDeg) * a * std::cos(got[0]), 0, tol) << where;
        }
    }
    return seen;
}

TEST(Reference, IndependentlyComputedRows) {
    EXPECT_EQ(CheckFile("tm_reference.txt").size(), 9u) << "every operation has rows";
}

// Datum 4 against PROJ: its ellipsoid (the space rows tell it from WGS-84,
// 0.1 mm apart in Z), the inverse series, Gauss on it, and the seven-parameter
// chain from Beijing-54 and National-80 into it.
TEST(Reference, Cgcs2000AgainstProj) {
    const std::set<std::string> want = {"space", "space_inverse", "gauss", "seven_gauss"};
    EXPECT_EQ(CheckFile("cgcs2000_reference.txt"), want);
}

}  // namespace
