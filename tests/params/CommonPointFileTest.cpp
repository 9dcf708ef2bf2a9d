// Common-point files: separators, comments, encodings and line numbers;
// lines that cannot be points; files written, read back and refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/CodePage.h"
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

// A name used twice names both lines; a Ctrl-Z at the end ends the file.
TEST(CommonPointFile, DuplicateNamesAreRefusedAndATrailingCtrlZEndsTheFile) {
    std::vector<CommonPoint> points;
    std::string error;
    const std::string twice = "P01 1 2 3 4 5 6\n# c\nP02 1 2 3 4 5 6\nP01 7 8 9 1 2 3\n";
    EXPECT_FALSE(ParseCommonPoints(twice, TextLanguage::English, &points, &error));
    EXPECT_EQ(error, "line 4: the name P01 is already used on line 1");
    EXPECT_FALSE(ParseCommonPoints(twice, TextLanguage::Chinese, &points, &error));
    EXPECT_EQ(error, "第 4 行：点名 P01 与第 1 行的点重名");
    // Names differ by case or by a character are two points.
    ASSERT_TRUE(ParseCommonPoints("p1 1 2 3 4 5 6\nP1 1 2 3 4 5 6\nP1a 1 2 3 4 5 6\n",
                                  TextLanguage::English, &points, &error))
        << error;
    EXPECT_EQ(points.size(), 3u);

    for (const char* end : {"P2 1 2 3 4 5 6\n\x1A", "P2 1 2 3 4 5 6\x1A", "P2 1 2 3 4 5 6\r\n\x1A"}) {
        ASSERT_TRUE(ParseCommonPoints(std::string("P1 1 2 3 4 5 6\n") + end,
                                      TextLanguage::English, &points, &error))
            << error;
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(points[1].target[2], "6");
    }
    // Only the last byte: a Ctrl-Z inside is content, and two at the end leave one.
    EXPECT_FALSE(ParseCommonPoints("P1 1 2 3 4 5 6\n\x1A\nP2 1 2 3 4 5 6\n",
                                   TextLanguage::English, &points, &error));
    EXPECT_NE(error.find("line 2: expected 7 fields"), std::string::npos) << error;
    EXPECT_FALSE(ParseCommonPoints("P1 1 2 3 4 5 6\n\x1A\x1A", TextLanguage::English, &points,
                                   &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

// UTF-8 with a byte-order mark, or valid UTF-8 without two-byte characters a
// Chinese file would not hold; otherwise GB18030. The choice can be forced.
TEST(CommonPointFile, EncodingIsDetectedByTheDocumentedRuleOrForced) {
    const std::string gbkTing = "\xCD\xA4";  // 亭 in GB18030, U+0364 as UTF-8
    struct Case {
        std::string bytes;
        TextEncoding want;
    } cases[] = {
        {"P1 1 2 3 4 5 6\n", TextEncoding::Utf8},
        {"\xE4\xBA\xAD" "1 1 2 3 4 5 6\n", TextEncoding::Utf8},  // 亭1 in UTF-8
        {"# 20\xC2\xB0 \xC2\xB1 \xCF\x83" "0\nP1 1 2 3 4 5 6\n", TextEncoding::Utf8},  // ° ± σ
        {gbkTing + "1 1 2 3 4 5 6\n", TextEncoding::Gb18030},
        {"\xC3\xA9 1 2 3 4 5 6\n", TextEncoding::Gb18030},  // é: GB18030 脙
        {"\xEF\xBB\xBF\xC3\xA9 1 2 3 4 5 6\n", TextEncoding::Utf8},
        {"\xB1\xB1 1 2 3 4 5 6\n", TextEncoding::Gb18030},  // not UTF-8 at all
        {"\xEF\xBB\xBF\xB1\xB1 1 2 3 4 5 6\n", TextEncoding::Gb18030},  // even with a mark
    };
    for (const Case& c : cases) EXPECT_EQ(DetectCommonPointEncoding(c.bytes), c.want) << c.bytes;

    std::vector<CommonPoint> points;
    std::string error;
    const std::string file = gbkTing + "1 1 2 3 4 5 6\n" + gbkTing + "2 1 2 3 4 5 6\n";
    ASSERT_TRUE(ParseCommonPoints(file, TextLanguage::English, &points, &error)) << error;
    EXPECT_EQ(points[0].id, "亭1");
    EXPECT_EQ(points[1].id, "亭2");
    ASSERT_TRUE(ParseCommonPoints(file, TextLanguage::English, &points, &error,
                                  TextEncoding::Utf8));
    EXPECT_EQ(points[0].id, "\xCD\xA4" "1") << "taken as it is";
    ASSERT_TRUE(ParseCommonPoints("\xE4\xBA\xAD" "1 1 2 3 4 5 6\n", TextLanguage::English,
                                  &points, &error, TextEncoding::Gb18030));
    EXPECT_EQ(points[0].id, Gb18030ToUtf8("\xE4\xBA\xAD" "1"));
    EXPECT_EQ(points[0].id.substr(0, 3), "浜");
    EXPECT_FALSE(ParseCommonPoints("P1 1 2 3 4 5 6\n\xB1\xB1 1 2 3 4 5 6\n",
                                   TextLanguage::English, &points, &error, TextEncoding::Utf8));
    EXPECT_EQ(error, "line 2: not valid UTF-8");
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

// Rows from a spreadsheet: its headings skipped, CR LF and tabs, blank
// lines; all or nothing, with a message for every bad line.
TEST(CommonPointFile, PastedRowsAreReadAllOrNothingNamingEveryBadLine) {
    std::vector<CommonPoint> points;
    std::vector<std::string> problems;
    const std::string good =
        "点名\t源B\t源L\t源H\t目标x\t目标y\t目标h\r\n"
        "G01\t031:51:07\t116:42:42\t40\t3525499.781\t472960.2\t80\r\n"
        "\r\n"
        "控制点\t031:54:25\t117:08:42\t38\t3531574\t513950\t82\r\n";
    ASSERT_TRUE(ParsePastedCommonPoints(good, {"K01"}, TextLanguage::Chinese, &points, &problems));
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].id, "G01");
    EXPECT_EQ(points[0].source[0], "031:51:07");
    EXPECT_EQ(points[0].target[0], "3525499.781");
    EXPECT_EQ(points[1].id, "控制点");
    EXPECT_EQ(points[1].target[2], "82");
    EXPECT_TRUE(points[1].used);
    EXPECT_EQ(points[1].line, 0) << "pasted rows come from no file";

    // Without headings the first row is a point; a row of headings later is not skipped.
    ASSERT_TRUE(ParsePastedCommonPoints("A 1 2 3 4 5 6\nB 1 2 3 4 5 6", {}, TextLanguage::English,
                                        &points, &problems));
    EXPECT_EQ(points.size(), 2u);

    const std::vector<CommonPoint> before = points;
    const std::string bad =
        "A\t1\t2\t3\t4\t5\t6\n"
        "B\t1\t2\t3\t4\t5\n"
        "A\t1\t2\t3\t4\t5\t6\n"
        "T1\t1\t2\t3\t4\t5\t6\n"
        "name\tsB\tsL\tsH\ttx\tty\tth\n"
        "\xff\t1\t2\t3\t4\t5\t6\n";
    EXPECT_FALSE(ParsePastedCommonPoints(bad, {"T1"}, TextLanguage::English, &points, &problems));
    EXPECT_EQ(problems,
              (std::vector<std::string>{
                  "line 2: expected 7 fields (name, three source values, three target "
                  "values), found 6",
                  "line 3: the name A is already used on line 1",
                  "line 4: the name T1 is already in the table", "line 6: not valid UTF-8"}));
    EXPECT_EQ(points.size(), before.size()) << "nothing taken";
    EXPECT_EQ(points[0].id, before[0].id);

    // Nothing but blank lines: no point and no problem.
    ASSERT_TRUE(
        ParsePastedCommonPoints("\n \t\r\n", {}, TextLanguage::Chinese, &points, &problems));
    EXPECT_TRUE(points.empty());
}

}  // namespace
