// Common-point files: separators, comments, encodings and line numbers;
// lines that cannot be points; files written, read back and refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/CommonPointFile.h"
#include "tests/support/TestTempDir.h"

namespace {

TEST(CommonPointFile, ReadsSeparatorsCommentsEncodingsAndLineNumbers) {
    const std::string text =
        "\xEF\xBB\xBF# name  B L H  x y h\r\n"
        "P1,030:00:00.0,114:00:00.0,12.5,3323964.539,210469.669,12.5\r\n"
        "\r\n   \t\r\n  # indented comment\n"
        "P2 \t 031:00:00   115:00:00\t0  3434000 310000 0\n"
        "P3 , 1 ,2, 3,4 , 5,6,\n"
        "\xB1\xB1\xBE\xA9 1 2 3 4 5 6";  // GB18030 北京, no newline at the end
    std::vector<CommonPoint> points;
    std::string error;
    ASSERT_TRUE(ParseCommonPoints(text, TextLanguage::English, &points, &error)) << error;
    ASSERT_EQ(points.size(), 4u);
    const char* want[4][4] = {{"P1", "030:00:00.0", "12.5", "12.5"},
                              {"P2", "031:00:00", "0", "0"},
                              {"P3", "1", "3", "6"},
                              {"北京", "1", "3", "6"}};
    const int lines[] = {2, 6, 7, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].id, want[i][0]);
        EXPECT_EQ(points[i].source[0], want[i][1]);
        EXPECT_EQ(points[i].source[2], want[i][2]);
        EXPECT_EQ(points[i].target[2], want[i][3]);
        EXPECT_EQ(points[i].line, lines[i]);
    }

    struct Bad {
        std::string text, english, chinese;
    } bad[] = {
        {"P1 1 2 3 4 5 6\nP2 1 2 3 4 5\n", "line 2: expected 7 fields", "第 2 行：应有 7 项"},
        {"# c\nP1 1 2 3 4 5 6 7\n", "found 8", "实有 8 项"},
        {"P1,1,,3,4,5,6\n", "line 1: an empty field between two commas", "两个逗号之间缺少数据"},
    };
    for (const Bad& c : bad) {
        EXPECT_FALSE(ParseCommonPoints(c.text, TextLanguage::English, &points, &error));
        EXPECT_NE(error.find(c.english), std::string::npos) << error;
        EXPECT_FALSE(ParseCommonPoints(c.text, TextLanguage::Chinese, &points, &error));
        EXPECT_NE(error.find(c.chinese), std::string::npos) << error;
        EXPECT_EQ(points.size(), 4u) << "left as it was";
    }
}

TEST(CommonPointFile, WrittenFilesReadBackAndWhatCannotBeReadBackIsRefused) {
    TestTempDir dir;
    std::vector<CommonPoint> points(3);
    const char* ids[] = {"G01", "北京", "K-3"};
    for (int i = 0; i < 3; ++i) {
        points[i].id = ids[i];
        for (int k = 0; k < 3; ++k) {
            points[i].source[k] = std::to_string(i * 10 + k) + ".125";
            points[i].target[k] = "03" + std::to_string(k) + ":00:0" + std::to_string(i);
        }
    }
    const std::string path = dir.File("common.txt");
    std::string error;
    ASSERT_TRUE(WriteCommonPointFile(path, points, TextLanguage::English, &error)) << error;
    EXPECT_EQ(ReadBytes(path).substr(0, 52),
              "G01 0.125 1.125 2.125 030:00:00 031:00:00 032:00:00\n");
    std::vector<CommonPoint> back;
    ASSERT_TRUE(ReadCommonPointFile(path, TextLanguage::English, &back, &error)) << error;
    ASSERT_EQ(back.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].id, points[i].id);
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(back[i].source[k] == points[i].source[k] &&
                        back[i].target[k] == points[i].target[k]);
        }
    }

    // Names and values that would read back otherwise; the file stays as it was.
    const std::string before = ReadBytes(path);
    for (const char* bad : {"two words", "a,b", "#1", "", "tab\there"}) {
        std::vector<CommonPoint> wrong = points;
        wrong[2].id = bad;
        EXPECT_FALSE(WriteCommonPointFile(path, wrong, TextLanguage::English, &error)) << bad;
        EXPECT_NE(error.find("row 3"), std::string::npos) << error;
    }
    points[0].target[1].clear();
    EXPECT_FALSE(WriteCommonPointFile(path, points, TextLanguage::Chinese, &error));
    EXPECT_NE(error.find("第 1 行"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), before);

    EXPECT_FALSE(ReadCommonPointFile(dir.File("none.txt"), TextLanguage::English, &back, &error));
    EXPECT_EQ(error, "cannot read '" + dir.File("none.txt") + "': No such file or directory");
    EXPECT_FALSE(ReadCommonPointFile(dir.Path(), TextLanguage::English, &back, &error));
    EXPECT_NE(error.find("it is a directory"), std::string::npos) << error;
    WriteBytes(dir.File("short.txt"), "P1 1 2 3\n");
    EXPECT_FALSE(ReadCommonPointFile(dir.File("short.txt"), TextLanguage::English, &back, &error));
    EXPECT_NE(error.find("short.txt', line 1: expected 7 fields"), std::string::npos) << error;
    EXPECT_EQ(back.size(), 3u);
    EXPECT_FALSE(WriteCommonPointFile(dir.File("no/dir.txt"), back, TextLanguage::English, &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

}  // namespace
