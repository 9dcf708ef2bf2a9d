// Common-point files: separators, comments, encodings and line numbers on
// reading; lines that cannot be points; files written and read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "params/CommonPointFile.h"
#include "tests/support/TestTempDir.h"

namespace {

std::vector<CommonPoint> Parse(const std::string& bytes, std::string* error = nullptr) {
    std::vector<CommonPoint> points;
    std::string message;
    EXPECT_TRUE(ParseCommonPoints(bytes, TextLanguage::English, &points, &message)) << message;
    if (error) *error = message;
    return points;
}

TEST(CommonPointFile, ReadsSeparatorsCommentsEncodingsAndLineNumbers) {
    const std::string text =
        "\xEF\xBB\xBF# name  B L H  x y h\r\n"
        "P1,030:00:00.0,114:00:00.0,12.5,3323964.539,210469.669,12.5\r\n"
        "\r\n"
        "   \t\r\n"
        "  # indented comment\n"
        "P2 \t 031:00:00   115:00:00\t0  3434000 310000 0\n"
        "P3 , 1 ,2, 3,4 , 5,6,\n"
        "北京1 1 2 3 4 5 6";  // no newline at the end
    const std::vector<CommonPoint> points = Parse(text);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].id, "P1");
    EXPECT_EQ(points[0].source[0], "030:00:00.0");
    EXPECT_EQ(points[0].target[2], "12.5");
    EXPECT_EQ(points[1].source[1], "115:00:00");
    EXPECT_EQ(points[1].target[1], "310000");
    EXPECT_EQ(points[2].source[0], "1");
    EXPECT_EQ(points[2].target[2], "6");
    EXPECT_EQ(points[3].id, "北京1");
    const int lines[] = {2, 6, 7, 8};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].line, lines[i]);
        EXPECT_TRUE(points[i].used);
    }
    // The same names in GB18030 (GBK bytes of 北京 and 点) come back as UTF-8.
    const std::vector<CommonPoint> gb =
        Parse("\xB1\xB1\xBE\xA9 1 2 3 4 5 6\r\n\xB5\xE3\xB6\xFE,1,2,3,4,5,6\r\n");
    ASSERT_EQ(gb.size(), 2u);
    EXPECT_EQ(gb[0].id, "北京");
    EXPECT_EQ(gb[1].id, "点二");
    EXPECT_TRUE(Parse("# only comments\n\n").empty());
}

TEST(CommonPointFile, RefusesLinesThatAreNotPointsNamingTheLine) {
    struct Case {
        std::string text, english, chinese;
    } cases[] = {
        {"P1 1 2 3 4 5 6\nP2 1 2 3 4 5\n", "line 2: expected 7 fields", "第 2 行：应有 7 项"},
        {"# c\nP1 1 2 3 4 5 6 7\n", "line 2: expected 7 fields", "实有 8 项"},
        {"P1,1,,3,4,5,6\n", "line 1: an empty field between two commas", "两个逗号之间缺少数据"},
        {",P1,1,2,3,4,5,6\n", "line 1: an empty field", "第 1 行"},
    };
    for (const Case& c : cases) {
        std::vector<CommonPoint> points(1);
        std::string error;
        EXPECT_FALSE(ParseCommonPoints(c.text, TextLanguage::English, &points, &error));
        EXPECT_NE(error.find(c.english), std::string::npos) << error;
        EXPECT_FALSE(ParseCommonPoints(c.text, TextLanguage::Chinese, &points, &error));
        EXPECT_NE(error.find(c.chinese), std::string::npos) << error;
        EXPECT_EQ(points.size(), 1u) << "left as it was";
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
    points[1].used = false;
    const std::string path = dir.File("common.txt");
    std::string error;
    ASSERT_TRUE(WriteCommonPointFile(path, points, TextLanguage::English, &error)) << error;
    EXPECT_EQ(ReadBytes(path).substr(0, 34), "G01 0.125 1.125 2.125 030:00:00 03");
    std::vector<CommonPoint> back;
    ASSERT_TRUE(ReadCommonPointFile(path, TextLanguage::English, &back, &error)) << error;
    ASSERT_EQ(back.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].id, points[i].id);
        EXPECT_EQ(back[i].line, i + 1);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(back[i].source[k], points[i].source[k]);
            EXPECT_EQ(back[i].target[k], points[i].target[k]);
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
    std::vector<CommonPoint> emptyValue = points;
    emptyValue[0].target[1].clear();
    EXPECT_FALSE(WriteCommonPointFile(path, emptyValue, TextLanguage::Chinese, &error));
    EXPECT_NE(error.find("第 1 行"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), before);

    // Files that cannot be read or written.
    back.assign(2, CommonPoint());
    EXPECT_FALSE(ReadCommonPointFile(dir.File("none.txt"), TextLanguage::English, &back, &error));
    EXPECT_NE(error.find("cannot read '" + dir.File("none.txt") + "': No such file"),
              std::string::npos)
        << error;
    EXPECT_FALSE(ReadCommonPointFile(dir.Path(), TextLanguage::English, &back, &error));
    EXPECT_NE(error.find("it is a directory"), std::string::npos) << error;
    EXPECT_EQ(back.size(), 2u);
    WriteBytes(dir.File("short.txt"), "P1 1 2 3\n");
    EXPECT_FALSE(ReadCommonPointFile(dir.File("short.txt"), TextLanguage::English, &back, &error));
    EXPECT_NE(error.find("short.txt', line 1: expected 7 fields"), std::string::npos) << error;
    EXPECT_FALSE(
        WriteCommonPointFile(dir.File("no/such/dir.txt"), points, TextLanguage::English, &error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}

}  // namespace
