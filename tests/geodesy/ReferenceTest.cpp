// Table-driven checks against tests/data/geodesy/tm_reference.txt, computed
// independently in 40-digit arithmetic by make_tm_reference.py: the figures of
// the reference manual, exact transverse Mercator, space rectangular values,
// and the system's own series evaluated from their description (which catches
// a mistyped coefficient). Angles are compared as distances on the ground.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;

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
    if (op == "space_inverse_series") {
        return geo.SpaceToGeodetic(a, rf, in[0], in[1], in[2], &out[0], &out[1], &out[2]), 2;
    }
    // Exact transverse Mercator rows, forward: the inverse is checked below.
    if (op == "gauss") return geo.GaussForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    if (op == "utm") return geo.UtmForward(a, rf, B, L, L0, &out[0], &out[1]), 0;
    return -1;
}

TEST(Reference, IndependentlyComputedRows) {
    const std::string path = std::string(TERRAX_TEST_DATA) + "/geodesy/tm_reference.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    std::set<std::string> seen;
    std::string line;
    for (int lineNo = 1; std::getline(file, line); ++lineNo) {
        if (line.empty() || line[0] == '#') continue;
        const std::string where = path + ":" + std::to_string(lineNo);
        std::istringstream s(line);
        std::string op;
        int datum;
        double a, rf, in[4], want[3], got[3], tol;
        ASSERT_TRUE(s >> op >> datum && CGeoCore::DatumTable(datum, &a, &rf)) << where;
        const int inputs = op == "mercator_series" ? 4 : 3;
        const int outputs = op.rfind("space", 0) == 0 ? 3 : 2;
        for (int i = 0; i < inputs; ++i) s >> in[i];
        for (int i = 0; i < outputs; ++i) s >> want[i];
        ASSERT_TRUE(s >> tol) << where;
        const int angles = RunRow(op, a, rf, in, got);
        ASSERT_GE(angles, 0) << where << ": unknown operation " << op;
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
    EXPECT_EQ(seen.size(), 9u) << "every operation has rows";
}

}  // namespace
