// Heights on the command line: --heights and --geoid read and checked,
// the H column of a run with a geoid or the project's model, the switch off
// byte for byte as before, points outside the grid and extrapolated points
// reported on standard error, the settings kept by --save-project.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "session/GeoidFiles.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/HeightTestData.h"
#include "tests/support/HelpPageExample.h"

namespace {

const std::string& kSmallGrid = kSmallGeoidGrid;

// Geodetic WGS-84 points to plane coordinates on the same datum; N of the
// small test grid is -18.2, -20 and (line 3) none: 32°N lies outside it.
const std::string kPoints =
    "P1,030:18:00.000,114:36:00.000,100,\r\n"
    "P2,030:00:00.000,114:00:00.000,0,\r\n"
    "P3,032:00:00.000,114:30:00.000,10,\r\n";

std::vector<std::string> Args(std::vector<std::string> more) {
    std::vector<std::string> args = {"--from", "geodetic", "--to", "plane", "--source-datum",
                                     "wgs84", "--target-datum", "wgs84", "--separator", ",",
                                     "--items", "id,lat,lon,height"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string HeightField(const std::string& line) {
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) at = line.find(',', at) + 1;
    return line.substr(at, line.find(',', at) - at);
}

}  // namespace

TEST(HeightOptions, ReadAndChecked) {
    ConvertOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--heights", "on", "--geoid=EGM96"}, &o, &error)) << error;
    EXPECT_EQ(o.heights, 1);
    EXPECT_EQ(o.geoid, "egm96");
    ASSERT_TRUE(ParseCommandLine({"--heights=off", "--geoid", "/g/Egm96.gtx"}, &o, &error));
    EXPECT_EQ(o.heights, 0);
    EXPECT_EQ(o.geoid, "/g/Egm96.gtx");
    EXPECT_FALSE(ParseCommandLine({"--heights", "yes"}, &o, &error));
    EXPECT_EQ(error, "bad value 'yes' for --heights: expected on or off");
    EXPECT_FALSE(ParseCommandLine({"--geoid="}, &o, &error));
    EXPECT_NE(error.find("for --geoid"), std::string::npos) << error;
    EXPECT_FALSE(ParseCommandLine({"--geoid"}, &o, &error));
    EXPECT_EQ(error, "option --geoid needs a value");
    EXPECT_FALSE(ParseCommandLine({"--estimate", "seven", "--heights", "on", "c.txt"}, &o, &error));
    EXPECT_EQ(error, "--heights is an option of conversions, not of --estimate");

    const std::string help = HelpText("/etc/Par.txt");
    EXPECT_NE(help.find("--heights on|off"), std::string::npos);
    EXPECT_NE(help.find("--geoid egm96|FILE"), std::string::npos);
    EXPECT_NE(help.find("H = h - ζ"), std::string::npos);
}

TEST(HeightRun, GeoidGivesTheNormalHeightsAndNamesTheLineOutsideIt) {
    const CommandResult r = RunConvert(Args({"--geoid", kSmallGrid}), "/", kPoints);
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    const std::vector<std::string> lines = CrlfLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(HeightField(lines[0]), "118.200000");
    EXPECT_EQ(HeightField(lines[1]), "20.000000");
    EXPECT_EQ(lines[2], "P3,032:00:00.000,114:30:00.000,10,");
    EXPECT_EQ(r.err,
              "terrax-convert: the input has 1 line (line 3) whose points lie outside the geoid "
              "grid, so that their height anomaly is unknown; they were written as they were\n");

    // Off, --geoid changes nothing: the run of no heights at all.
    const CommandResult off = RunConvert(Args({"--geoid", kSmallGrid, "--heights", "off"}), "/", kPoints);
    const CommandResult plain = RunConvert(Args({}), "/", kPoints);
    EXPECT_EQ(off.status, kExitConverted) << off.err;
    EXPECT_EQ(off.out, plain.out);
    EXPECT_EQ(off.err, "");
    EXPECT_NE(off.out, r.out);
    // Between kinds of one side nothing changes either.
    std::vector<std::string> same = Args({"--geoid", kSmallGrid});
    same[3] = "geodetic";
    std::vector<std::string> sameOff = Args({});
    sameOff[3] = "geodetic";
    EXPECT_EQ(RunConvert(same, "/", kPoints).out, RunConvert(sameOff, "/", kPoints).out);
}

TEST(HeightRun, SetUpsThatCannotGiveHeightsWriteNothing) {
    TestTempDir dir;
    const std::string points = dir.File("p.txt");
    WriteBytes(points, kPoints);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--heights", "on"}, "--heights on needs a height model in the project"},
        {{"--geoid", dir.File("none.gtx")}, dir.File("none.gtx")},
        {{"--geoid", points}, "不是 .gtx 或 .asc 格网文件"},
    };
    for (const auto& [more, expected] : cases) {
        SCOPED_TRACE(more.back());
        std::vector<std::string> args = Args(more);
        args.insert(args.end(), {"--extension", "out", points});
        const CommandResult r = RunConvert(args, "/");
        EXPECT_EQ(r.status, kExitSetup);
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.txt"});
    }
}

TEST(HeightRun, Egm96ByItsName) {
    if (FindEgm96("/").empty()) GTEST_SKIP() << "proj-data is not installed";
    // 39.91°N 116.39°E: cct's vgridshift gives H = 109.9127 for h = 100.
    const CommandResult r =
        RunConvert(Args({"--geoid", "egm96"}), "/", "B,039:54:36.000,116:23:24.000,100,\r\n");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    ASSERT_EQ(CrlfLines(r.out).size(), 1u);
    EXPECT_NEAR(AsciiToDouble(HeightField(CrlfLines(r.out)[0])), 109.9127, 1e-4);
}

TEST(HeightRun, ProjectsModelAndItsSwitch) {
    TestTempDir dir;
    ConversionSession s;
    s.m_heights.enabled = true;
    s.m_heights.model = PlaneModelNearTheGrid(2.5);
    std::string error;
    ASSERT_TRUE(s.SaveProject(dir.File("job.cod"), &error)) << error;

    const CommandResult on = RunConvert(Args({"--project", dir.File("job.cod")}), "/", kPoints);
    EXPECT_EQ(on.status, kExitConverted) << on.err;
    const std::vector<std::string> lines = CrlfLines(on.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(HeightField(lines[0]), "97.500000");  // at the centroid ζ = a0
    // Lines 2 and 3 lie some 70 and 190 km from the centroid of the common points.
    EXPECT_NE(on.err.find("warning: the input has 2 lines (lines 2, 3) whose points lie outside "
                          "the common points of the height model"),
              std::string::npos)
        << on.err;
    const CommandResult off =
        RunConvert(Args({"--project", dir.File("job.cod"), "--heights", "off"}), "/", kPoints);
    EXPECT_EQ(off.out, RunConvert(Args({}), "/", kPoints).out);
    EXPECT_EQ(off.err, "");
    // --geoid stands in for the project's model.
    const CommandResult geoid =
        RunConvert(Args({"--project", dir.File("job.cod"), "--geoid", kSmallGrid}), "/", kPoints);
    EXPECT_EQ(HeightField(CrlfLines(geoid.out)[0]), "118.200000");
}

TEST(HeightRun, SaveProjectKeepsTheHeights) {
    TestTempDir dir;
    const CommandResult r = RunConvert(
        Args({"--geoid", kSmallGrid, "--save-project", dir.File("saved.cod")}), "/", kPoints);
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    ConversionSession loaded;
    std::string error;
    ASSERT_TRUE(loaded.LoadProject(dir.File("saved.cod"), &error)) << error;
    EXPECT_TRUE(loaded.m_heights.enabled);
    EXPECT_EQ(loaded.m_heights.geoid, kSmallGrid);
    EXPECT_FALSE(loaded.m_heights.model.has_value());

    // Without heights the saved project is the one of today, 537 bytes.
    ASSERT_EQ(RunConvert(Args({"--save-project", dir.File("plain.cod")}), "/", kPoints).status,
              kExitConverted);
    EXPECT_EQ(ReadBytes(dir.File("plain.cod")).size(), 537u);
}

// The figures of the help page's example are what the program prints.
TEST(HeightRun, HelpPageExampleIsWhatTheProgramPrints) {
    if (FindEgm96("/").empty()) GTEST_SKIP() << "proj-data is not installed";
    const std::string page = HelpPageText();
    std::vector<std::string> args = HelpPageWords(HelpPageBlock(page, "heights-command"));
    ASSERT_GT(args.size(), 3u);
    ASSERT_EQ(args.front(), "terrax-convert");
    ASSERT_EQ(args[args.size() - 2], "&lt;");  // standard input from points.txt
    args.erase(args.begin());
    args.resize(args.size() - 2);
    auto crlf = [](std::string text) {
        std::string out;
        for (char c : text + "\n") out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    const std::string input = crlf(HelpPageBlock(page, "heights-input"));
    const std::string expected = crlf(HelpPageBlock(page, "heights-output"));
    ASSERT_EQ(CrlfLines(input).size(), 2u);
    const CommandResult r = RunConvert(args, "/", input);
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");

    // And back: the plane coordinates with their normal heights give h again.
    std::vector<std::string> back = args;
    for (std::string& a : back) {
        if (a == "geodetic") {
            a = "plane";
        } else if (a == "plane") {
            a = "geodetic";
        } else if (a == "id,lat,lon,height") {
            a = "id,x,y,h";
        }
    }
    const CommandResult b = RunConvert(back, "/", r.out);
    const std::vector<std::string> lines = CrlfLines(b.out);
    ASSERT_EQ(lines.size(), 2u) << b.err;
    EXPECT_EQ(HeightField(lines[0]), "100.000000");
    EXPECT_EQ(HeightField(lines[1]), "52.318000");
}
