#include "geodesy/GeoidGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/Constants.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return in ? s.str() : std::string();
}

void PutBig(std::string& out, const void* p, int n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<char>(b[i]));
}

// A .gtx file: header then rows from the south.
std::string Gtx(double south, double west, double dLat, double dLon, int rows, int columns,
                const std::vector<float>& values) {
    std::string out;
    for (double v : {south, west, dLat, dLon}) PutBig(out, &v, 8);
    for (std::int32_t v : {rows, columns}) PutBig(out, &v, 4);
    for (float v : values) PutBig(out, &v, 4);
    return out;
}

double Rad(double degrees) { return degrees * kDegToRadExact; }

// 3 x 4 nodes from 30N 110E at 0.5 degrees: value = row * 10 + column.
std::vector<float> Small() {
    std::vector<float> v;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) v.push_back(static_cast<float>(r * 10 + c));
    }
    return v;
}

TEST(GeoidGrid, Egm96MatchesProjAtThousandPointsAcrossChina) {
    const std::string bytes = ReadAll("/usr/share/proj/egm96_15.gtx");
    if (bytes.empty()) GTEST_SKIP() << "proj-data is not installed";
    GeoidGrid grid;
    std::string error;
    ASSERT_TRUE(grid.Parse(bytes, &error)) << error;
    EXPECT_EQ(grid.Rows(), 721);
    EXPECT_EQ(grid.Columns(), 1440);
    std::ifstream ref(TERRAX_TEST_DATA "/geodesy/egm96_reference.txt");
    ASSERT_TRUE(ref);
    std::string line;
    int points = 0;
    double worst = 0;
    while (std::getline(ref, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        double B, L, N;
        ASSERT_TRUE(f >> B >> L >> N) << line;
        double value = 0;
        ASSERT_TRUE(grid.Value(Rad(B), Rad(L), &value)) << line;
        worst = std::fmax(worst, std::fabs(value - N));
        EXPECT_NEAR(value, N, 0.001) << line;
        ++points;
    }
    EXPECT_EQ(points, 1000);
    EXPECT_LT(worst, 0.001);
}

TEST(GeoidGrid, Egm96WrapsAroundTheDateLine) {
    const std::string bytes = ReadAll("/usr/share/proj/egm96_15.gtx");
    if (bytes.empty()) GTEST_SKIP() << "proj-data is not installed";
    GeoidGrid grid;
    std::string error;
    ASSERT_TRUE(grid.Parse(bytes, &error)) << error;
    double east = 0, west = 0, wrapped = 0;
    // Between the last column (179.75) and the first (-180).
    ASSERT_TRUE(grid.Value(Rad(10), Rad(179.9), &east));
    ASSERT_TRUE(grid.Value(Rad(10), Rad(-180.1), &west));
    ASSERT_TRUE(grid.Value(Rad(10), Rad(179.9 + 360), &wrapped));
    EXPECT_NEAR(east, west, 1e-9);
    EXPECT_NEAR(east, wrapped, 1e-9);
}

TEST(GeoidGrid, SmallGridInterpolatesBilinearlyAndRefusesOutside) {
    GeoidGrid grid;
    std::string error;
    ASSERT_TRUE(grid.Parse(Gtx(30, 110, 0.5, 0.5, 3, 4, Small()), &error)) << error;
    double v = -1;
    ASSERT_TRUE(grid.Value(Rad(30), Rad(110), &v));
    EXPECT_NEAR(v, 0, 1e-9);
    ASSERT_TRUE(grid.Value(Rad(31), Rad(111.5), &v));  // the far corner node
    EXPECT_NEAR(v, 23, 1e-9);
    ASSERT_TRUE(grid.Value(Rad(30.25), Rad(110.75), &v));  // half a cell each way
    EXPECT_NEAR(v, 6.5, 1e-9);
    ASSERT_TRUE(grid.Value(Rad(30.125), Rad(111.25), &v));
    EXPECT_NEAR(v, 2.5 + 2.5, 1e-9);  // columns 2.5, rows 0.25 of 10

    v = 123;
    EXPECT_FALSE(grid.Value(Rad(29.99), Rad(110.5), &v));
    EXPECT_FALSE(grid.Value(Rad(31.01), Rad(110.5), &v));
    EXPECT_FALSE(grid.Value(Rad(30.5), Rad(109.99), &v));
    EXPECT_FALSE(grid.Value(Rad(30.5), Rad(111.51), &v));
    EXPECT_FALSE(grid.Value(NAN, Rad(110.5), &v));
    EXPECT_EQ(v, 123);
}

TEST(GeoidGrid, NodesWithoutDataAreLeftOutAndWeightedUp) {
    std::vector<float> values = Small();
    values[1] = -88.8888f;  // row 0, column 1
    GeoidGrid grid;
    std::string error;
    ASSERT_TRUE(grid.Parse(Gtx(30, 110, 0.5, 0.5, 3, 4, values), &error)) << error;
    double v = 0;
    // Centre of the first cell: nodes 0, (1 missing), 10, 11 each of weight 1/4.
    ASSERT_TRUE(grid.Value(Rad(30.25), Rad(110.25), &v));
    EXPECT_NEAR(v, (0 + 10 + 11) / 3.0, 1e-9);
    // A cell none of whose nodes has data gives nothing.
    for (int i : {0, 4, 5}) values[i] = -88.8888f;
    ASSERT_TRUE(grid.Parse(Gtx(30, 110, 0.5, 0.5, 3, 4, values), &error)) << error;
    v = 7;
    EXPECT_FALSE(grid.Value(Rad(30.25), Rad(110.25), &v));
    EXPECT_EQ(v, 7);
}

TEST(GeoidGrid, AsciiGridEqualsTheSameGtx) {
    // Rows from the north; a corner origin is half a cell outside the first node.
    const std::string asc =
        "ncols 4\nnrows 3\nxllcorner 109.75\nyllcorner 29.75\ncellsize 0.5\nNODATA_value -9999\n"
        "20 21 22 23\n10 11 -9999 13\n0 1 2 3\n";
    GeoidGrid a, g;
    std::string error;
    ASSERT_TRUE(a.Parse(asc, &error)) << error;
    std::vector<float> values = Small();
    values[6] = -88.8888f;
    ASSERT_TRUE(g.Parse(Gtx(30, 110, 0.5, 0.5, 3, 4, values), &error)) << error;
    for (double B : {30.0, 30.3, 30.77, 31.0}) {
        for (double L : {110.0, 110.4, 111.1, 111.5}) {
            double va = 0, vg = 0;
            const bool ia = a.Value(Rad(B), Rad(L), &va), ig = g.Value(Rad(B), Rad(L), &vg);
            EXPECT_EQ(ia, ig) << B << " " << L;
            EXPECT_NEAR(va, vg, 1e-9) << B << " " << L;
        }
    }
    const std::string centred =
        "NCOLS 2\r\nNROWS 2\r\nXLLCENTER 110\r\nYLLCENTER 30\r\nCELLSIZE 1\r\n"
        "NODATA_VALUE -9999\r\n2 3\r\n0 1\r\n";
    ASSERT_TRUE(a.Parse(centred, &error)) << error;
    double v = 0;
    ASSERT_TRUE(a.Value(Rad(30.5), Rad(110.5), &v));
    EXPECT_NEAR(v, 1.5, 1e-9);
}

TEST(GeoidGrid, DamagedFilesAreRefusedAndTheGridKept) {
    GeoidGrid grid;
    std::string error;
    ASSERT_TRUE(grid.Parse(Gtx(30, 110, 0.5, 0.5, 3, 4, Small()), &error));
    std::string cut = Gtx(30, 110, 0.5, 0.5, 3, 4, Small());
    cut.pop_back();
    const std::string bad[] = {
        "",
        "short",
        cut,
        Gtx(30, 110, 0.5, 0.5, 3, 4, Small()) + "x",
        Gtx(30, 110, -0.5, 0.5, 3, 4, Small()),
        Gtx(30, 110, 0.5, 0.5, 1, 12, Small()),
        Gtx(89.5, 110, 0.5, 0.5, 3, 4, Small()),
        Gtx(NAN, 110, 0.5, 0.5, 3, 4, Small()),
        Gtx(30, 110, 0.5, 0.5, -3, -4, Small()),
        "ncols 2\nnrows 2\nxllcenter 110\nyllcenter 30\ncellsize 1\nNODATA_value -9999\n1 2 3\n",
        "ncols 2\nnrows 2\nxllcenter 110\nyllcenter 30\ncellsize 1\nNODATA_value -9999\n1 2 3 4 5\n",
        "ncols 2\nnrows 2\nxllcenter 110\nyllcenter 30\ncellsize 1\nNODATA_value -9999\n1 2 x 4\n",
        "ncols 2.5\nnrows 2\nxllcenter 110\nyllcenter 30\ncellsize 1\nNODATA_value -9999\n1 2 3 4\n",
        "ncols 2\nnrows 2\nxllcenter 110\ncellsize 1\nNODATA_value -9999\nfoo 1\n1 2 3 4\n",
        "ncols 2\nnrows 2\nxllcenter 110\nyllcenter 30\ncellsize 0\nNODATA_value -9999\n1 2 3 4\n",
    };
    for (const std::string& b : bad) {
        error.clear();
        EXPECT_FALSE(grid.Parse(b, &error)) << b.size();
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(grid.Rows(), 3);
    double v = 0;
    ASSERT_TRUE(grid.Value(Rad(31), Rad(111.5), &v));
    EXPECT_NEAR(v, 23, 1e-9);
}

}  // namespace
