// Table-driven checks against tests/data/geodesy/tm_reference.txt: exact
// transverse Mercator and space rectangular values computed independently
// (make_tm_reference.py). Each row is checked forward and inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

constexpr double kDeg = 0.017453292519943334;

struct Row {
    std::string op;
    int datum = 0;
    double in[3] = {};
    double out[3] = {};
    double tol = 0;  // metres
};

bool ParseRow(const std::string& line, Row* row) {
    std::istringstream s(line);
    if (!(s >> row->op >> row->datum >> row->in[0] >> row->in[1] >> row->in[2])) return false;
    const int outputs = row->op == "space" ? 3 : 2;
    for (int i = 0; i < outputs; ++i) {
        if (!(s >> row->out[i])) return false;
    }
    return static_cast<bool>(s >> row->tol);
}

void CheckRow(const CGeoCore& geo, const Row& r, const std::string& where) {
    double a, rf;
    ASSERT_TRUE(CGeoCore::DatumTable(r.datum, &a, &rf)) << where;
    const double B = r.in[0] * kDeg, L = r.in[1] * kDeg;
    if (r.op == "gauss" || r.op == "utm") {
        const double L0 = r.in[2] * kDeg;
        const bool gauss = r.op == "gauss";
        double x, y, b, l;
        if (gauss) {
            geo.GaussForward(a, rf, B, L, L0, &x, &y);
            geo.GaussInverse(a, rf, r.out[0], r.out[1], L0, &b, &l);
        } else {
            geo.UtmForward(a, rf, B, L, L0, &x, &y);
            geo.UtmInverse(a, rf, r.out[0], r.out[1], L0, &b, &l);
        }
        EXPECT_NEAR(x, r.out[0], r.tol) << where;
        EXPECT_NEAR(y, r.out[1], r.tol) << where;
        // Angles compared as distances on the ground.
        EXPECT_NEAR((b - B) * a, 0.0, r.tol) << where;
        EXPECT_NEAR((l - L) * a * std::cos(B), 0.0, r.tol) << where;
    } else if (r.op == "space") {
        double X, Y, Z, b, l, h;
        geo.GeodeticToSpace(a, rf, B, L, r.in[2], &X, &Y, &Z);
        EXPECT_NEAR(X, r.out[0], r.tol) << where;
        EXPECT_NEAR(Y, r.out[1], r.tol) << where;
        EXPECT_NEAR(Z, r.out[2], r.tol) << where;
        geo.SpaceToGeodetic(a, rf, r.out[0], r.out[1], r.out[2], &b, &l, &h);
        if (l < 0) l += 3.1415926535898;
        EXPECT_NEAR((b - B) * a, 0.0, 1e-4) << where;
        EXPECT_NEAR((l - L) * a, 0.0, 1e-4) << where;
        EXPECT_NEAR(h, r.in[2], 1e-4) << where;
    } else {
        ADD_FAILURE() << where << ": unknown operation " << r.op;
    }
}

TEST(Reference, ExactTransverseMercatorAndSpaceRows) {
    const std::string path = std::string(TERRAX_TEST_DATA) + "/geodesy/tm_reference.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    const CGeoCore geo;
    std::string line;
    int lineNo = 0, rows = 0;
    while (std::getline(file, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        Row row;
        const std::string where = path + ":" + std::to_string(lineNo);
        ASSERT_TRUE(ParseRow(line, &row)) << where;
        CheckRow(geo, row, where);
        ++rows;
    }
    EXPECT_EQ(rows, 80);  // the whole table was read
}

}  // namespace
