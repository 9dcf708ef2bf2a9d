// Separators, field splitting and the columns derived from an item line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/FileFormat.h"
#include "batch/SplitFields.h"

namespace {

std::vector<std::string> Split(const std::string& line, char separator, std::string* rest) {
    std::vector<std::string_view> views;
    std::size_t used = SplitFields(line, separator, &views);
    if (rest) *rest = line.substr(used);
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<int> Columns(const std::string& itemLine, const std::string& separator = ",") {
    FileFormat f{"坐标", "txt", separator, itemLine};
    int column[3] = {7, 7, 7};
    DeriveColumns(f, column);
    return {column[0], column[1], column[2]};
}

}  // namespace

TEST(SeparatorCharTest, SeparatorTextGivesOneByte) {
    EXPECT_EQ(SeparatorChar(std::string_view(",")), ',');
    EXPECT_EQ(SeparatorChar(std::string_view(" ")), ' ');
    // A store edited by hand: the first byte; no format chosen: a comma.
    EXPECT_EQ(SeparatorChar(std::string_view(";;")), ';');
    EXPECT_EQ(SeparatorChar(std::string_view("\t")), '\t');
    EXPECT_EQ(SeparatorChar(std::string_view("")), ',');
}

TEST(SplitFieldsTest, EverySeparatorEndsAField) {
    std::string rest;
    EXPECT_EQ(Split("P1,3512345.000,512345.000,45.0,", ',', &rest),
              (std::vector<std::string>{"P1", "3512345.000", "512345.000", "45.0"}));
    EXPECT_EQ(rest, "");
    // Text after the last separator is no field.
    EXPECT_EQ(Split("P1,3512345.0,512345.0,45.0", ',', &rest),
              (std::vector<std::string>{"P1", "3512345.0", "512345.0"}));
    EXPECT_EQ(rest, "45.0");
    EXPECT_EQ(Split(",,a,", ',', &rest), (std::vector<std::string>{"", "", "a"}));
    EXPECT_EQ(Split("", ',', &rest), std::vector<std::string>{});
    EXPECT_EQ(Split("no separator", ',', &rest), std::vector<std::string>{});
    EXPECT_EQ(rest, "no separator");
    EXPECT_EQ(Split("a b  c ", ' ', nullptr), (std::vector<std::string>{"a", "b", "", "c"}));
}

TEST(SplitFieldsTest, GbkBytesAreNotCut) {
    // The second byte of a GBK character is never a comma or a blank.
    const std::string name = "\xb5\xe3\xba\xc5";  // 点号
    EXPECT_EQ(Split(name + "," + name + ",", ',', nullptr), (std::vector<std::string>{name, name}));
}

TEST(SplitFieldsTest, AnyNumberOfFields) {
    // Regression: the old table held 20 fields; the 21st and later were lost.
    std::string line;
    for (int i = 0; i < 500; ++i) line += std::to_string(i) + ",";
    std::vector<std::string> fields = Split(line, ',', nullptr);
    ASSERT_EQ(fields.size(), 500u);
    EXPECT_EQ(fields[20], "20");
    EXPECT_EQ(fields[499], "499");
}

TEST(DeriveColumnsTest, SlotsFromItems) {
    EXPECT_EQ(Columns("点号,北方向X,东方向Y,水准高,"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Columns("点号 纬度 经度 椭球高 ", " "), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Columns("椭球高,其它,经度,纬度,"), (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(Columns(""), (std::vector<int>{-1, -1, -1}));
}

TEST(DeriveColumnsTest, LaterItemWinsAndTrailingTextIsNoItem) {
    EXPECT_EQ(Columns("纬度,北方向X,"), (std::vector<int>{1, -1, -1}));
    EXPECT_EQ(Columns("点号,纬度"), (std::vector<int>{-1, -1, -1}));
    // Comparisons are exact: a blank or another separator makes no item.
    EXPECT_EQ(Columns("纬度 ,经度,"), (std::vector<int>{-1, 1, -1}));
    EXPECT_EQ(Columns("纬度,经度,", " "), (std::vector<int>{-1, -1, -1}));
}

TEST(DeriveColumnsTest, ItemsBeyondTwenty) {
    // Regression: items after the 20th were dropped, so their slots stayed -1.
    std::string line;
    for (int i = 0; i < 25; ++i) line += "其它,";
    line += "北方向X,东方向Y,水准高,";
    EXPECT_EQ(Columns(line), (std::vector<int>{25, 26, 27}));
}

TEST(DeriveColumnsTest, HandWrittenSeparatorUsesItsFirstByte) {
    EXPECT_EQ(Columns("点号;北方向X;东方向Y;", ";x"), (std::vector<int>{1, 2, -1}));
    EXPECT_EQ(Columns("点号,北方向X,", ""), (std::vector<int>{1, -1, -1}));
}
