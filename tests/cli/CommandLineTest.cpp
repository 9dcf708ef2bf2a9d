// Reading the options of terrax-convert.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace {

ConvertOptions Parse(const std::vector<std::string>& args) {
    ConvertOptions o;
    std::string error;
    EXPECT_TRUE(ParseCommandLine(args, &o, &error)) << error;
    return o;
}

// The names a surveyor types for the same choice all give the one index.
TEST(CommandLine, ValuesByNameIndexAndListText) {
    int v = -1;
    const std::vector<std::pair<std::string, int>> kinds = {
        {"space", 0}, {"Geodetic", 1}, {"PLANE", 2},    {"0", 0},
        {"2", 2},     {"大地坐标", 1}, {"平面坐标", 2}, {"空间直角坐标", 0}};
    for (const auto& [text, kind] : kinds) {
        ASSERT_TRUE(ReadKind(text, &v)) << text;
        EXPECT_EQ(v, kind) << text;
    }
    const std::vector<std::pair<std::string, int>> datums = {{"beijing54", 0},
                                                             {"Beijing-54", 0},
                                                             {"北京-54坐标系", 0},
                                                             {"北京-54坐标系  ", 0},
                                                             {"national80", 1},
                                                             {"国家-80坐标系  ", 1},
                                                             {"WGS84", 2},
                                                             {"WGS-84坐标系", 2},
                                                             {"wgs72", 3},
                                                             {"WGS-72坐标系", 3},
                                                             {"3", 3},
                                                             {" 1 ", 1},
                                                             {"CGCS2000", 4},
                                                             {"CGCS2000坐标系", 4},
                                                             {"4", 4}};
    for (const auto& [text, datum] : datums) {
        ASSERT_TRUE(ReadDatum(text, &v)) << text;
        EXPECT_EQ(v, datum) << text;
    }
    for (const std::string bad : {"5", "-1", "01x", "wgs", "北京", "cgcs", ""}) {
        EXPECT_FALSE(ReadDatum(bad, &v)) << bad;
    }
    for (const auto& [text, naming] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"overwrite", 0}, {"ext1", 1}, {"1", 1}, {"Name1", 2}, {"2", 2}}) {
        ASSERT_TRUE(ReadNaming(text, &v)) << text;
        EXPECT_EQ(v, naming) << text;
    }
    EXPECT_FALSE(ReadNaming("3", &v));
    ASSERT_TRUE(ReadSwitch("ON", &v));
    EXPECT_EQ(v, 1);
    ASSERT_TRUE(ReadSwitch("0", &v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(ReadSwitch("yes please", &v));
    std::string sep;
    for (const auto& [text, want] : std::vector<std::pair<std::string, std::string>>{
             {",", ","}, {"comma", ","}, {" ", " "}, {"Space", " "}}) {
        ASSERT_TRUE(ReadSeparator(text, &sep)) << text;
        EXPECT_EQ(sep, want);
    }
    EXPECT_FALSE(ReadSeparator(";", &sep));
    EXPECT_FALSE(ReadSeparator(", ", &sep));
}

TEST(CommandLine, ItemsByNameOrAlias) {
    std::vector<std::string> items;
    std::string bad;
    ASSERT_TRUE(ReadItems("id,LAT lon,height,  other,x,Y,h,北方向X,东方向y,", &items, &bad));
    EXPECT_EQ(items, (std::vector<std::string>{"点号", "纬度", "经度", "椭球高", "其它", "北方向X",
                                               "东方向Y", "水准高", "北方向X", "东方向Y"}));
    ASSERT_TRUE(ReadItems("点号,纬度,经度,椭球高,水准高,其它", &items, &bad));
    EXPECT_EQ(items.size(), 6u);
    EXPECT_FALSE(ReadItems("id,z", &items, &bad));
    EXPECT_EQ(bad, "z");
    EXPECT_FALSE(ReadItems(",,", &items, &bad));
    EXPECT_EQ(bad, "");
}

TEST(CommandLine, OptionsFilesAndTheirOrder) {
    const ConvertOptions o =
        Parse({"a.txt", "--from=geodetic", "--to", "plane", "--seven", "on", "--project", "job.cod",
               "--naming=name1", "--jobs", "3", "--from", "space", "--", "--b.txt", "-c"});
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.txt", "--b.txt", "-c"}));
    EXPECT_EQ(o.sourceKind, 0);  // the later one wins
    EXPECT_EQ(o.targetKind, 2);
    EXPECT_EQ(o.useSeven, 1);
    EXPECT_FALSE(o.useFour.has_value());  // left to the project file
    EXPECT_FALSE(o.sourceDatum.has_value());
    EXPECT_EQ(o.project, "job.cod");
    EXPECT_EQ(o.naming, 2);
    EXPECT_EQ(o.jobs, 3);
    EXPECT_EQ(o.progress, ProgressMode::Auto);

    const ConvertOptions f = Parse({"--items", "id,x,y,h", "--separator", " ", "--extension",
                                    ".dat", "--progress", "OFF", "--verbose", "-"});
    EXPECT_EQ(f.separator, " ");
    EXPECT_EQ(f.extension, "dat");
    EXPECT_EQ(f.progress, ProgressMode::Off);
    EXPECT_TRUE(f.verbose);
    EXPECT_EQ(f.files, std::vector<std::string>{"-"});

    // Help wins over everything else on the line, even bad combinations.
    EXPECT_TRUE(Parse({"--format", "a", "--items", "x", "-h"}).help);
}

}  // namespace
