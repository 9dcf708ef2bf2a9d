// Common-height files: both forms of position, separators, comments,
// encodings, Ctrl-Z and line numbers; names used twice, lines that cannot be
// points and values out of range named by their line; files written, read
// back and refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/CommonHeightFile.h"
#include "tests/support/TestTempDir.h"

namespace {

TEST(CommonHeightFile, ReadsBothFormsSeparatorsCommentsAndLineNumbers) {
    const std::string plane =
        "\xEF\xBB\xBF# name x y h H\r\n"
        "P1,3380000.125,500100.5,20.512,34.700\r\n"
        "\r\n  \t\r\n   # indented comment\n"
        "P2 \t 3381000  501000\t-12.5  2.25\n"
        "P3 , 3382000 ,502000, 30.1,44.3,\n"
        "\xB1\xB1\xBE\xA9 3383000 503000 10 24";  // GB18030 北京, no newline at the end
    std::vector<CommonHeight> points;
    HeightPositions positions = HeightPositions::Geodetic;
    std::string error;
    ASSERT_TRUE(ParseCommonHeights(plane, TextLanguage::English, &points, &positions, &error))
        << error;
    EXPECT_EQ(positions, HeightPositions::Plane);
    ASSERT_EQ(points.size(), 4u);
    const char* want[4][5] = {{"P1", "3380000.125", "500100.5", "20.512", "34.700"},
                              {"P2", "3381000", "501000", "-12.5", "2.25"},
                              {"P3", "3382000", "502000", "30.1", "44.3"},
                              {"北京", "3383000", "503000", "10", "24"}};
    const int lines[] = {2, 6, 7, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].id, want[i][0]);
        EXPECT_EQ(points[i].position[0], want[i][1]);
        EXPECT_EQ(points[i].position[1], want[i][2]);
        EXPECT_EQ(points[i].h, want[i][3]);
        EXPECT_EQ(points[i].H, want[i][4]);
        EXPECT_EQ(points[i].line, lines[i]);
        EXPECT_TRUE(points[i].used);
    }

    const std::string geodetic = "G1 030:30:00.0000 114:20:00 12.5 26.7\n"
                                 "G2,030:31:15.5,114:21:00.25,13,27.25\n";
    ASSERT_TRUE(ParseCommonHeights(geodetic, TextLanguage::English, &points, &positions, &error))
        << error;
    EXPECT_EQ(positions, HeightPositions::Geodetic);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].position[1], "114:21:00.25");
    HeightRowValues v;
    int field = -1;
    ASSERT_TRUE(ReadHeightRow(points[1], 1, positions, TextLanguage::English, &v, &field, &error));
    EXPECT_NEAR(v.position[0] * 180 / 3.141592653589793, 30 + 31 / 60.0 + 15.5 / 3600, 1e-12);
    EXPECT_EQ(v.h, 13);
    EXPECT_EQ(v.H, 27.25);

    EXPECT_EQ(CommonHeightColumns(positions, TextLanguage::Chinese)[1], "B");
    EXPECT_EQ(CommonHeightColumns(HeightPositions::Plane, TextLanguage::English)[2], "y");
    EXPECT_EQ(CommonHeightColumns(positions, TextLanguage::Chinese)[5], "参与计算");

    // A file of comments only has no points.
    ASSERT_TRUE(ParseCommonHeights("# none\n", TextLanguage::English, &points, &positions, &error));
    EXPECT_TRUE(points.empty());
}

// Each bad line is named, in English and in Chinese; the points read
// before stay as they were.
TEST(CommonHeightFile, BadLinesAndValuesOutOfRangeAreNamed) {
    struct Bad {
        std::string text, english, chinese;
    } bad[] = {
        {"P1 1 2 3 4\nP2 1 2 3\n", "line 2: expected 5 fields", "第 2 行：应有 5 项"},
        {"# c\nP1 1 2 3 4 5\n", "found 6", "实有 6 项"},
        {"P1,1,,3,4\n", "line 1: an empty field between two commas", "两个逗号之间缺少数据"},
        {"P1 3380000 500000 1.2.3 4\n", "line 1 (point P1): the ellipsoidal height h '1.2.3' is not a number",
         "大地高 h“1.2.3”不是数字"},
        {"G1 030:00:00 114:00:00 1 2\nG2 3380000 500000 1 2\n",
         "line 2 (point G2): the latitude '3380000' is not an angle text", "纬度“3380000”不是"},
        {"P1 3380000 500000 1 2\nP2 030:00:00 114:00:00 1 2\n",
         "line 2 (point P2): the x '030:00:00' is not a number", "x“030:00:00”不是数字"},
        {"G1 091:00:00 114:00:00 1 2\n", "the latitude '091:00:00' is beyond 90 degrees",
         "超过 90 度"},
        {"P1 3380000 500000 12000 2\n", "line 1 (point P1): the ellipsoidal height h '12000' is beyond 10 km",
         "不可能是地面点的高"},
        {"P1 3380000 500000 12 -10001\n", "the normal height H '-10001' is beyond 10 km",
         "正常高 H“-10001”超过 10 公里"},
        {"P1 9e8 500000 12 10\n", "the x '9e8' is beyond the coordinates of any point",
         "超出地球上点的坐标范围"},
        {"P1 3380000 2e9 12 10\n", "the y '2e9' is beyond", "y“2e9”超出"},
        {"P1 3380000 nan 12 10\n", "the y 'nan' is not a number", "不是数字"},
    };
    std::vector<CommonHeight> points(3);
    HeightPositions positions = HeightPositions::Plane;
    std::string error;
    for (const Bad& c : bad) {
        EXPECT_FALSE(ParseCommonHeights(c.text, TextLanguage::English, &points, &positions, &error));
        EXPECT_NE(error.find(c.english), std::string::npos) << c.text << error;
        EXPECT_FALSE(ParseCommonHeights(c.text, TextLanguage::Chinese, &points, &positions, &error));
        EXPECT_NE(error.find(c.chinese), std::string::npos) << c.text << error;
        EXPECT_EQ(points.size(), 3u) << "left as it was";
    }
    // An easting with its zone number in the millions is a plane coordinate.
    EXPECT_TRUE(ParseCommonHeights("P1 3380000 38500000 12 10\n", TextLanguage::English, &points,
                                   &positions, &error))
        << error;
}

// A name used twice names both lines; a Ctrl-Z at the end ends the file;
// the encoding follows the rule of every point file or the one asked for.
TEST(CommonHeightFile, DuplicatesCtrlZAndEncodings) {
    std::vector<CommonHeight> points;
    HeightPositions positions;
    std::string error;
    const std::string twice = "A 1 2 3 4\n# c\nB 1 2 3 4\nA 5 6 7 8\n";
    EXPECT_FALSE(ParseCommonHeights(twice, TextLanguage::English, &points, &positions, &error));
    EXPECT_NE(error.find("line 4: the name A is already used on line 1"), std::string::npos)
        << error;
    EXPECT_FALSE(ParseCommonHeights(twice, TextLanguage::Chinese, &points, &positions, &error));
    EXPECT_NE(error.find("第 4 行：点名 A 与第 1 行的点重名"), std::string::npos) << error;

    ASSERT_TRUE(ParseCommonHeights("A 1 2 3 4\r\nB 5 6 7 8\r\n\x1A", TextLanguage::English,
                                   &points, &positions, &error))
        << error;
    EXPECT_EQ(points.size(), 2u);
    // A Ctrl-Z anywhere but at the end is data, and no number.
    EXPECT_FALSE(ParseCommonHeights("A 1 2 3 4\x1A\nB 5 6 7 8\n", TextLanguage::English, &points,
                                    &positions, &error));
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;

    // 亭1 in GB18030 (CD A4 31) is also valid UTF-8 (U+0364 '1'): read as GB18030.
    const std::string gbk = "\xCD\xA4" "1 3380000 500000 12 10\n";
    ASSERT_TRUE(ParseCommonHeights(gbk, TextLanguage::English, &points, &positions, &error));
    EXPECT_EQ(points[0].id, "亭1");
    ASSERT_TRUE(ParseCommonHeights(gbk, TextLanguage::English, &points, &positions, &error,
                                   TextEncoding::Utf8));
    EXPECT_EQ(points[0].id, "\xCD\xA4" "1");
    const std::string utf8 = "亭1 3380000 500000 12 10\n";
    ASSERT_TRUE(ParseCommonHeights(utf8, TextLanguage::English, &points, &positions, &error));
    EXPECT_EQ(points[0].id, "亭1");
    // GB18030 bytes that are no UTF-8, forced to UTF-8: refused naming the line.
    EXPECT_FALSE(ParseCommonHeights("# x\n\xB1\xB1 1 2 3 4\n", TextLanguage::English, &points,
                                    &positions, &error, TextEncoding::Utf8));
    EXPECT_NE(error.find("line 2: not valid UTF-8"), std::string::npos) << error;
    ASSERT_TRUE(ParseCommonHeights("\xB1\xB1 1 2 3 4\n", TextLanguage::English, &points,
                                   &positions, &error, TextEncoding::Gb18030));
    EXPECT_EQ(points[0].id, "北");
}

TEST(CommonHeightFile, WrittenFilesReadBackAndWhatCannotBeReadBackIsRefused) {
    TestTempDir dir;
    std::vector<CommonHeight> points(2);
    points[0] = {"亭1", {"030:30:00.000000", "114:30:00.5"}, "12.5", "26.75", true, 0};
    points[1] = {"P2", {"030:31:00", "114:31:00"}, "-3", "11", false, 0};
    const std::string path = dir.File("heights.txt");
    std::string error;
    ASSERT_TRUE(WriteCommonHeightFile(path, points, TextLanguage::English, &error)) << error;
    EXPECT_EQ(ReadBytes(path),
              "亭1 030:30:00.000000 114:30:00.5 12.5 26.75\nP2 030:31:00 114:31:00 -3 11\n");
    std::vector<CommonHeight> back;
    HeightPositions positions = HeightPositions::Plane;
    ASSERT_TRUE(ReadCommonHeightFile(path, TextLanguage::English, &back, &positions, &error))
        << error;
    EXPECT_EQ(positions, HeightPositions::Geodetic);
    ASSERT_EQ(back.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(back[i].id, points[i].id);
        EXPECT_EQ(back[i].position[0], points[i].position[0]);
        EXPECT_EQ(back[i].position[1], points[i].position[1]);
        EXPECT_EQ(back[i].h, points[i].h);
        EXPECT_EQ(back[i].H, points[i].H);
        EXPECT_EQ(back[i].line, i + 1);
    }

    for (const char* name : {"", "a b", "a,b", "#P"}) {
        std::vector<CommonHeight> bad = points;
        bad[1].id = name;
        EXPECT_FALSE(WriteCommonHeightFile(path, bad, TextLanguage::English, &error)) << name;
        EXPECT_NE(error.find("row 2"), std::string::npos) << error;
    }
    std::vector<CommonHeight> blank = points;
    blank[0].H = "";
    EXPECT_FALSE(WriteCommonHeightFile(path, blank, TextLanguage::Chinese, &error));
    EXPECT_NE(error.find("第 1 行"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path).substr(0, 5), "亭1 ") << "the old file stays";

    EXPECT_FALSE(ReadCommonHeightFile(dir.File("none.txt"), TextLanguage::English, &back,
                                      &positions, &error));
    EXPECT_NE(error.find("none.txt"), std::string::npos) << error;
    EXPECT_EQ(back.size(), 2u);
    WriteBytes(dir.File("bad.txt"), "A 1 2 3\n");
    EXPECT_FALSE(ReadCommonHeightFile(dir.File("bad.txt"), TextLanguage::English, &back,
                                      &positions, &error));
    EXPECT_NE(error.find("bad.txt', line 1: expected 5 fields"), std::string::npos) << error;
}

}  // namespace
