// terrax-convert --estimate: the report and the JSON of the fit the options
// and the project describe, check points, the project saved with the result,
// the parameter options over the project in conversions, the errors, and the
// worked example of the help page.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "params/CommonPointFile.h"
#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "tests/cli/CliTestUtil.h"

namespace {

constexpr double kArcSecond = 0.017453292519943334 / 3600;

std::string HelpPage() {
    return ReadBytes(std::string(TERRAX_TEST_DATA) + "/../../res/help/坐标转换问题.htm");
}

// The text of <pre id="id"> in the help page, its entities read.
std::string PreBlock(const std::string& page, const std::string& id) {
    const std::string open = "<pre id=\"" + id + "\">";
    const std::size_t start = page.find(open);
    if (start == std::string::npos) return {};
    const std::size_t begin = start + open.size();
    std::string text = page.substr(begin, page.find("</pre>", begin) - begin);
    for (const auto& [entity, c] : {std::pair<std::string, std::string>{"&lt;", "<"},
                                    {"&gt;", ">"},
                                    {"&amp;", "&"}}) {
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;) {
            text.replace(at, entity.size(), c);
        }
    }
    return text;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The common points and settings of the help page's example, in a directory.
struct Example {
    TestTempDir dir;
    std::string common = dir.File("common.txt");
    std::vector<std::string> options;  // of the second command, without the file

    Example() {
        const std::string page = HelpPage();
        WriteBytes(common, PreBlock(page, "multi-input") + "\n");
        options = Words(PreBlock(page, "multi-command-2"));
        if (!options.empty()) options.erase(options.begin());  // the program's name
        if (!options.empty()) options.pop_back();              // common.txt
    }
    std::vector<std::string> Args(std::vector<std::string> extra) const {
        std::vector<std::string> args = options;
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(common);
        return args;
    }
};

// The numbers of the page's figures are the program's: both runs printed
// again, character for character.
TEST(EstimateRun, HelpPageExampleIsWhatTheProgramPrints) {
    const std::string page = HelpPage();
    ASSERT_FALSE(page.empty());
    Example ex;
    for (const char* n : {"1", "2"}) {
        std::vector<std::string> args = Words(PreBlock(page, std::string("multi-command-") + n));
        ASSERT_GT(args.size(), 3u);
        ASSERT_EQ(args.front(), "terrax-convert");
        ASSERT_EQ(args.back(), "common.txt");
        args.erase(args.begin());
        args.back() = ex.common;
        const CommandResult r = RunConvert(args, "/nonexistent/");
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, PreBlock(page, std::string("multi-output-") + n)) << "run " << n;
    }
}

// The text and the JSON are those of the fit that the options describe;
// the same settings from a project file give the same output.
TEST(EstimateRun, TextAndJsonReportTheFitOfTheOptionsOrTheProject) {
    Example ex;
    std::vector<CommonPoint> points;
    std::string error;
    ASSERT_TRUE(ReadCommonPointFile(ex.common, TextLanguage::English, &points, &error)) << error;
    for (CommonPoint& p : points) p.used = p.id != "G07" && p.id != "K01";
    FitRequest request;
    request.model = FitModel::Seven;
    request.sourceKind = 1;
    request.sourceDatum = 1;
    request.targetKind = 2;
    request.targetDatum = 4;
    ConversionSession s;
    s.m_params.m_projBefore.centralMeridian = 117.0;
    CommonPointFit fit;
    FitProblem problem;
    ASSERT_TRUE(ComputeFit(points, request, s.m_params, TextLanguage::English, &fit, &problem))
        << problem.message;

    const CommandResult text = RunConvert(ex.Args({}), "/nonexistent/");
    EXPECT_EQ(text.status, kExitConverted) << text.err;
    EXPECT_EQ(text.out, FitReportText(fit, TextLanguage::English));
    const CommandResult json = RunConvert(ex.Args({"--json"}), "/nonexistent/");
    EXPECT_EQ(json.status, kExitConverted) << json.err;
    EXPECT_EQ(json.out, FitReportJson(fit));
    EXPECT_NE(json.out.find("{\"id\": \"G07\", \"used\": false, \"residual\": {\"north\": 0.25"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"flagged\": true}, {\"id\": \"G08\""), std::string::npos);

    // The project: source geodetic National-80, target plane CGCS2000, 117 degrees.
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_sourceDatum = 1;
    s.m_targetDatum = 4;
    s.PrepareConversion();
    ASSERT_TRUE(s.SaveProject(ex.dir.File("job.cod"), &error)) << error;
    const CommandResult fromProject =
        RunConvert({"--estimate", "seven", "--project", ex.dir.File("job.cod"), "--exclude",
                    "K01,G07", "--json", ex.common},
                   "/nonexistent/");
    EXPECT_EQ(fromProject.status, kExitConverted) << fromProject.err;
    EXPECT_EQ(fromProject.out, json.out);

    // Four and three parameters; a tolerance given; points from standard input.
    const std::string input = ReadBytes(ex.common);
    const CommandResult four =
        RunConvert({"--estimate", "four", "--project", ex.dir.File("job.cod"), "--tolerance",
                    "0.05", "-"},
                   "/nonexistent/", input);
    EXPECT_EQ(four.status, kExitConverted) << four.err;
    EXPECT_NE(four.out.find("Four parameters from 9 common points"), std::string::npos);
    EXPECT_NE(four.out.find("Tolerance 0.0500 m (given)"), std::string::npos) << four.out;
    EXPECT_NE(four.out.find("Residuals (m)           x          y       norm"),
              std::string::npos)
        << four.out;
    const CommandResult three = RunConvert(
        {"--estimate", "three", "--project", ex.dir.File("job.cod"), "--json", "-"},
        "/nonexistent/", input);
    EXPECT_EQ(three.status, kExitConverted) << three.err;
    EXPECT_NE(three.out.find("{\"model\": \"three\", \"used\": 9, \"sigma0\": "),
              std::string::npos)
        << three.out;
    EXPECT_EQ(three.out.find("\"rX\""), std::string::npos);
}

// --save-project writes the project with the result applied and the datums
// of the two sides; converting the common points with it gives their targets.
TEST(EstimateRun, SavedProjectCarriesTheResultIntoConversions) {
    Example ex;
    ConversionSession base;
    base.m_params.m_local1[3] = 1.25;  // kept: the seven parameters go elsewhere
    base.m_params.m_calcThreeB = "031:00:00";
    std::string error;
    ASSERT_TRUE(base.SaveProject(ex.dir.File("base.cod"), &error)) << error;
    const std::string out = ex.dir.File("out.cod");
    CommandResult r = RunConvert(ex.Args({"--project", ex.dir.File("base.cod"), "--json",
                                          "--save-project", out}),
                                 "/nonexistent/");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ConversionSession saved;
    ASSERT_TRUE(saved.LoadProject(out, &error)) << error;
    const ConversionParams& p = saved.m_params;
    EXPECT_EQ(p.m_savedSourceDatum, 1);
    EXPECT_EQ(p.m_savedTargetDatum, 4);
    EXPECT_EQ(p.m_savedUseSeven, 1);
    EXPECT_EQ(p.m_projBefore.centralMeridian, 117.0);
    EXPECT_EQ(p.m_local1[3], 1.25);
    EXPECT_EQ(p.m_calcThreeB, "031:00:00");
    const std::size_t rZ = r.out.find("\"rZ\": ");
    ASSERT_NE(rZ, std::string::npos);
    EXPECT_NEAR(p.m_seven[5] / kArcSecond, AsciiToDouble(r.out.substr(rZ + 6)), 1e-9);

    // The used points converted with the saved project land on their targets
    // within their residuals (under 5 mm here).
    std::vector<CommonPoint> points;
    ASSERT_TRUE(ReadCommonPointFile(ex.common, TextLanguage::English, &points, &error));
    std::string lines;
    for (const CommonPoint& pt : points) {
        lines += pt.id + "," + pt.source[0] + "," + pt.source[1] + "," + pt.source[2] + ",\n";
    }
    r = RunConvert({"--project", out, "--from", "geodetic", "--to", "plane", "--items",
                    "id,lat,lon,height", "-"},
                   "/nonexistent/", lines);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    std::istringstream converted(r.out);
    std::string line;
    for (const CommonPoint& pt : points) {
        ASSERT_TRUE(std::getline(converted, line));
        const std::vector<std::string> f = Words(std::regex_replace(line, std::regex(","), " "));
        ASSERT_EQ(f.size(), 4u) << line;
        const double miss = std::hypot(AsciiToDouble(f[1]) - AsciiToDouble(pt.target[0]),
                                       AsciiToDouble(f[2]) - AsciiToDouble(pt.target[1]));
        EXPECT_LT(miss, pt.id == "G07" ? 0.3 : 0.005) << pt.id;
    }

    // Four parameters into level 2, with the four switch on; three parameters
    // with rotations and scale zero.
    r = RunConvert({"--estimate", "four", "--from", "plane", "--to", "plane", "--level", "2",
                    "--save-project", out, "-"},
                   "/nonexistent/", "A 100 200 0 1100 1200 0\nB 300 500 0 1300.001 1500 0\n");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ASSERT_TRUE(saved.LoadProject(out, &error)) << error;
    EXPECT_EQ(saved.m_params.m_savedUseFour, 1);
    EXPECT_NEAR(saved.m_params.m_local2[0], 1000, 0.01);
    EXPECT_NEAR(saved.m_params.m_local2[3], 1.0, 1e-5);
    EXPECT_EQ(saved.m_params.m_local1[3], 0) << "level 1 untouched";
    const double level2Xo = saved.m_params.m_local2[0];
    r = RunConvert({"--estimate", "three", "--from", "space", "--to", "space", "--source-datum",
                    "wgs84", "--target-datum", "cgcs2000", "--project", out, "--save-project", out,
                    "-"},
                   "/nonexistent/", "A 1 2 3 11 22 33\n");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ASSERT_TRUE(saved.LoadProject(out, &error)) << error;
    const double want[7] = {10, 20, 30, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(saved.m_params.m_seven[i], want[i]) << i;
    EXPECT_EQ(saved.m_params.m_local2[0], level2Xo) << "four parameters kept";
    EXPECT_EQ(saved.m_params.m_savedSourceDatum, 2);
    EXPECT_EQ(saved.m_params.m_savedTargetDatum, 4);
}

// Each parameter option does what the same value in a project file does,
// also in ordinary conversions, and overrides the project.
TEST(EstimateRun, ParameterOptionsOverrideTheProjectInConversions) {
    TestTempDir dir;
    ConversionSession set;
    set.m_sourceKind = 1;
    set.m_targetKind = 2;
    set.m_sourceDatum = 0;
    set.m_targetDatum = 4;
    set.m_useSeven = 1;
    set.m_useFour = 1;
    const double seven[7] = {-15.4, 120.7, 85.2, 1.2 * kArcSecond, -0.8 * kArcSecond,
                             2.1 * kArcSecond, 3.5e-6};
    for (int i = 0; i < 7; ++i) set.m_params.m_seven[i] = seven[i];
    const double local1[4] = {-3000000.5, -400000.25, 12.5 * kArcSecond, 1.0000125};
    const double local2[4] = {10, -20, -3 * kArcSecond, 0.9999};
    for (int i = 0; i < 4; ++i) {
        set.m_params.m_local1[i] = local1[i];
        set.m_params.m_local2[i] = local2[i];
    }
    ProjectionRecord& r = set.m_params.m_projBefore;
    r.kind = 4;
    r.centralMeridian = 117.5;
    r.scale = 0.9996;
    r.xConstant = 100;
    r.yConstant = 400000;
    r.baseLatitude = 30.25;
    r.zoneNumber = 50;
    set.PrepareConversion();
    std::string error;
    ASSERT_TRUE(set.SaveProject(dir.File("set.cod"), &error)) << error;
    ConversionSession plain;
    plain.m_sourceKind = 1;
    plain.m_targetKind = 2;
    plain.m_targetDatum = 4;
    plain.PrepareConversion();
    ASSERT_TRUE(plain.SaveProject(dir.File("plain.cod"), &error)) << error;

    const std::string input = PointLines(1, 20);
    const std::vector<std::string> items = {"--items", "id,lat,lon,height,other", "-"};
    std::vector<std::string> fromProject = {"--project", dir.File("set.cod")};
    fromProject.insert(fromProject.end(), items.begin(), items.end());
    const CommandResult want = RunConvert(fromProject, "/nonexistent/", input);
    ASSERT_EQ(want.status, kExitConverted) << want.err;

    std::vector<std::string> byOptions = {
        "--project", dir.File("plain.cod"), "--seven-params", "-15.4,120.7,85.2,1.2,-0.8,2.1,3.5",
        "--local1", "-3000000.5,-400000.25,12.5,1.0000125", "--local2", "10,-20,-3,0.9999",
        "--projection", "utm", "--central-meridian", "117:30:00", "--scale", "0.9996",
        "--false-northing", "100", "--false-easting", "400000", "--base-latitude", "030:15:00",
        "--zone", "50"};
    byOptions.insert(byOptions.end(), items.begin(), items.end());
    const CommandResult got = RunConvert(byOptions, "/nonexistent/", input);
    ASSERT_EQ(got.status, kExitConverted) << got.err;
    EXPECT_EQ(got.out, want.out);
    EXPECT_NE(got.out, RunConvert({"--project", dir.File("plain.cod"), "--items",
                                   "id,lat,lon,height,other", "-"},
                                  "/nonexistent/", input)
                           .out);

    // The switches they imply give way to explicit ones; the zone number is
    // stored in a saved project.
    std::vector<std::string> off = byOptions;
    off.insert(off.begin(), {"--seven", "off", "--four", "off"});
    ConversionSession none = set;
    none.m_useSeven = none.m_useFour = 0;
    none.PrepareConversion();
    ASSERT_TRUE(none.SaveProject(dir.File("none.cod"), &error));
    fromProject[1] = dir.File("none.cod");
    EXPECT_EQ(RunConvert(off, "/nonexistent/", input).out,
              RunConvert(fromProject, "/nonexistent/", input).out);
    const CommandResult saved = RunConvert(
        {"--estimate", "three", "--zone", "39", "--projection", "gauss6", "--save-project",
         dir.File("zone.cod"), "-"},
        "/nonexistent/", "A 1 2 3 4 5 6\n");
    ASSERT_EQ(saved.status, kExitConverted) << saved.err;
    ConversionSession zone;
    ASSERT_TRUE(zone.LoadProject(dir.File("zone.cod"), &error)) << error;
    EXPECT_EQ(zone.m_params.m_projBefore.zoneNumber, 39);
    EXPECT_EQ(zone.m_params.m_projBefore.kind, 1);
}

TEST(EstimateRun, BadInputStopsWithStatusTwoAndWritesNothing) {
    TestTempDir dir;
    const std::string good = dir.File("good.txt"), out = dir.File("out.cod");
    WriteBytes(good, "A 1 2 3 11 22 33\nB 101 2 3 111 22 33\nC 201 2 3 211 22 33\n");
    WriteBytes(dir.File("short.txt"), "A 1 2 3 11 22 33\n\n# two\nB 1 2 3 4 5\n");
    WriteBytes(dir.File("angle.txt"), "A 30.5 114:00:00 0 1 2 3\n");
    WriteBytes(dir.File("same.txt"), "A 1 2 3 11 22 33\nB 1 2 3.0004 12 23 34\n");
    const std::string space[] = {"--from", "space", "--to", "space"};
    struct Bad {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--estimate", "five", "$G"}, "bad value 'five' for --estimate"},
        {{"--estimate", "seven"}, "--estimate reads one file of common points"},
        {{"--estimate", "seven", "$G", "$G"}, "--estimate reads one file"},
        {{"--exclude", "A", "$G"}, "--exclude belongs to --estimate"},
        {{"--json", "$G"}, "--json belongs to --estimate"},
        {{"--estimate", "seven", "--format", "x", "$G"}, "--format is an option of conversions"},
        {{"--estimate", "seven", "--seven", "on", "$G"}, "--seven is an option of conversions"},
        {{"--estimate", "seven", "--level", "2", "$G"}, "--level chooses the local level"},
        {{"--estimate", "four", "--level", "3", "$G"}, "bad value '3' for --level"},
        {{"--estimate", "seven", "--tolerance", "0", "$G"}, "bad value '0' for --tolerance"},
        {{"--estimate", "seven", "--exclude", "A,,B", "$G"}, "bad value 'A,,B' for --exclude"},
        {{"--estimate", "seven", "--json=1", "$G"}, "option --json takes no value"},
        {{"--estimate", "seven", "$D/none.txt"}, "cannot read '$D/none.txt'"},
        {{"--estimate", "seven", "$D/short.txt"}, "'$D/short.txt', line 4: expected 7 fields"},
        {{"--estimate", "seven", "--from", "geodetic", "$D/angle.txt"},
         "line 1 (point A): the source latitude '30.5' is not a latitude as angle text"},
        {{"--estimate", "seven", "--exclude", "Z", "$G"}, "--exclude: no point named 'Z' in"},
        {{"--estimate", "seven", "--exclude", "A", "$G"},
         "seven parameters need at least 3 points marked as used; there are 2"},
        {{"--estimate", "three", "$D/same.txt"},
         "line 1 (point A) and line 2 (point B) coincide on the source side"},
        {{"--estimate", "seven", "$G"}, "the used points do not determine the seven parameters"},
        {{"--estimate", "seven", "--source-datum", "7", "$G"}, "bad value '7' for --source-datum"},
        {{"--seven-params", "1,2,3", "--items", "id,x,y,h", "-"},
         "bad value '1,2,3' for --seven-params"},
        {{"--local1", "1,2,3,x", "--items", "id,x,y,h", "-"}, "bad value '1,2,3,x' for --local1"},
        {{"--projection", "lambert", "--items", "id,x", "-"}, "expected gauss3, gauss6, gauss"},
        {{"--central-meridian", "117", "--items", "id,x", "-"},
         "bad value '117' for --central-meridian: expected an angle DDD:MM:SS"},
        {{"--false-easting", "500000.5", "--items", "id,x", "-"}, "expected whole metres"},
        {{"--scale", "-1", "--items", "id,x", "-"}, "bad value '-1' for --scale"},
        {{"--zone", "-3", "--items", "id,x", "-"}, "bad value '-3' for --zone"},
    };
    for (const Bad& c : cases) {
        std::vector<std::string> args;
        for (std::string a : c.args) {
            if (a == "$G") a = good;
            if (a.rfind("$D", 0) == 0) a = dir.Path() + a.substr(2);
            args.push_back(a);
        }
        if (args[0] == "--estimate") {
            args.insert(args.begin() + 2, std::begin(space), std::end(space));
            args.insert(args.end() - (c.args.size() > 2 ? 1 : 0), {"--save-project", out});
        }
        std::string message = c.message;
        for (std::size_t at; (at = message.find("$D")) != std::string::npos;) {
            message.replace(at, 2, dir.Path());
        }
        const CommandResult r = RunConvert(args, "/nonexistent/", "P 1 2 3 4 5 6\n");
        EXPECT_EQ(r.status, kExitSetup) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << message;
        EXPECT_FALSE(std::ifstream(out).good()) << message;
    }
}

}  // namespace
