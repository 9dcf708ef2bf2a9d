// terrax-convert --estimate: the help page's worked example, the report and
// JSON of the fit the options or the project describe, the project saved
// with the result, the parameter options in conversions, and the errors.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "params/CommonPointFile.h"
#include "params/CommonPointFit.h"
#include "params/FitReport.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/HelpPageExample.h"

namespace {

const std::string kNoStore = "/nonexistent/";

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The worked example of the help page: its <pre id="..."> blocks, and its
// common points written to a directory.
struct Example {
    std::string page = HelpPageText();
    TestTempDir dir;
    std::string common = dir.File("common.txt");

    Example() { WriteBytes(common, Block("multi-input") + "\n"); }
    std::string Block(const std::string& id) const { return HelpPageBlock(page, id); }
    // The arguments of command n with the file of this directory.
    std::vector<std::string> Command(int n, std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = Words(Block("multi-command-" + std::to_string(n)));
        EXPECT_TRUE(args.size() > 3 && args.front() == "terrax-convert" &&
                    args.back() == "common.txt");
        args.erase(args.begin());
        args.back() = common;
        args.insert(args.end() - 1, extra.begin(), extra.end());
        return args;
    }
};

// The page's figures are what the program prints, character for character.
TEST(EstimateRun, HelpPageExampleIsWhatTheProgramPrints) {
    Example ex;
    ASSERT_NE(ex.Block("multi-input"), "");
    for (int n : {1, 2}) {
        const CommandResult r = RunConvert(ex.Command(n), kNoStore);
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        EXPECT_EQ(r.out, ex.Block("multi-output-" + std::to_string(n))) << "run " << n;
    }
}

// Text and JSON are the reports of the fit the options describe; the same
// settings in a project give the same JSON; points may come on standard input.
TEST(EstimateRun, TextAndJsonReportTheFitOfTheOptionsOrTheProject) {
    Example ex;
    std::vector<CommonPoint> points;
    std::string error;
    ASSERT_TRUE(ReadCommonPointFile(ex.common, TextLanguage::English, &points, &error)) << error;
    for (CommonPoint& p : points) p.used = p.id != "G07" && p.id != "K01";
    FitRequest request;  // geodetic National-80 to plane CGCS2000
    request.sourceDatum = 1;
    request.targetDatum = 4;
    ConversionSession s;
    s.m_params.m_projBefore.centralMeridian = 117.0;
    CommonPointFit fit;
    FitProblem problem;
    ASSERT_TRUE(ComputeFit(points, request, s.m_params, TextLanguage::English, &fit, &problem));

    EXPECT_EQ(RunConvert(ex.Command(2), kNoStore).out, FitReportText(fit, TextLanguage::English));
    const CommandResult json = RunConvert(ex.Command(2, {"--json"}), kNoStore);
    EXPECT_EQ(json.out, FitReportJson(fit));
    for (const char* part : {"{\"model\": \"seven\", \"used\": 7, \"observations\": 21, \"unknowns\": 7, "
                             "\"redundancy\": 14, \"sigma0\": 0.002",
                             "\"parameters\": {\"dX\": -110.61", "\"m\": 1.70",
                             "{\"id\": \"G07\", \"used\": false, \"residual\": {\"north\": 0.25"}) {
        EXPECT_NE(json.out.find(part), std::string::npos) << part << "\n" << json.out;
    }
    // The whole object, exactly, for four parameters from two points and a check point.
    const CommandResult four = RunConvert(
        {"--estimate", "four", "--from", "plane", "--to", "plane", "--exclude", "北京", "--json",
         "-"},
        kNoStore,
        "A\"1 0 0 0 1000 2000 0\nB 100 0 0 1100 2000 0\n北京 50 50 0 1050.125 2049.5 0\n");
    EXPECT_EQ(
        four.out,
        "{\"model\": \"four\", \"used\": 2, \"observations\": 4, \"unknowns\": 4, "
        "\"redundancy\": 0, \"sigma0\": null, \"parameters\": {\"Xo\": 1000, \"Yo\": 2000, "
        "\"T\": 0, \"K\": 1}, \"deviations\": null, \"test\": {\"method\": \"Pope tau\", "
        "\"alpha\": 0.001, \"dimension\": 2, \"testable\": false, \"critical\": null, "
        "\"checkCritical\": null}, \"tolerance\": null, \"geometry\": {\"extent\": [100, 0], "
        "\"ratio\": 0, \"centreDeviation\": null, \"edgeDeviation\": null}, \"warnings\": "
        "[{\"kind\": \"poorly-checked\", \"message\": \"Poorly checked (a redundancy number "
        "below 0.1): A\\\"1, B\"}, {\"kind\": \"no-test\", \"message\": \"Test: none. The "
        "redundancy 0 is not above the 2 components of a point: no blunder can be found; add "
        "common points\"}], \"points\": [{\"id\": \"A\\\"1\", \"used\": true, \"residual\": "
        "{\"x\": 0, \"y\": 0}, \"norm\": 0, \"map\": {\"north\": 1000, \"east\": 2000}, "
        "\"redundancy\": {\"x\": 0, \"y\": 0}, \"standardized\": null, \"statistic\": null, "
        "\"flagged\": false, \"failsTest\": false, \"beyondTolerance\": false, "
        "\"poorlyChecked\": true}, {\"id\": \"B\", \"used\": true, \"residual\": {\"x\": 0, "
        "\"y\": 0}, \"norm\": 0, \"map\": {\"north\": 1100, \"east\": 2000}, \"redundancy\": "
        "{\"x\": 0, \"y\": 0}, \"standardized\": null, \"statistic\": null, \"flagged\": false, "
        "\"failsTest\": false, \"beyondTolerance\": false, \"poorlyChecked\": true}, {\"id\": "
        "\"北京\", \"used\": false, \"residual\": {\"x\": 0.125, \"y\": -0.5}, \"norm\": "
        "0.5153882032022076, \"map\": {\"north\": 1050.125, \"east\": 2049.5}, "
        "\"redundancy\": null, \"standardized\": null, \"statistic\": null, \"flagged\": false, "
        "\"failsTest\": false, \"beyondTolerance\": false, \"poorlyChecked\": false}]}\n");

    s.m_sourceKind = 1;
    s.m_sourceDatum = 1;
    s.m_targetDatum = 4;
    s.PrepareConversion();
    ASSERT_TRUE(s.SaveProject(ex.dir.File("job.cod"), &error)) << error;
    const CommandResult fromProject =
        RunConvert({"--estimate", "seven", "--project", ex.dir.File("job.cod"), "--exclude",
                    "K01,G07", "--json", "-"},
                   kNoStore, ReadBytes(ex.common));
    EXPECT_EQ(fromProject.status, kExitConverted) << fromProject.err;
    EXPECT_EQ(fromProject.out, json.out);
}

// --save-project: the result applied, the datums of the two sides, the rest
// of the project kept; converting the points with it gives their targets.
TEST(EstimateRun, SavedProjectCarriesTheResultIntoConversions) {
    Example ex;
    ConversionSession base;
    base.m_params.m_local1[3] = 1.25;
    std::string error;
    ASSERT_TRUE(base.SaveProject(ex.dir.File("base.cod"), &error)) << error;
    const std::string out = ex.dir.File("out.cod");
    CommandResult r = RunConvert(
        ex.Command(2, {"--project", ex.dir.File("base.cod"), "--json", "--save-project", out}),
        kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ConversionSession saved;
    ASSERT_TRUE(saved.LoadProject(out, &error)) << error;
    const ConversionParams& p = saved.m_params;
    EXPECT_TRUE(p.m_savedSourceDatum == 1 && p.m_savedTargetDatum == 4 && p.m_savedUseSeven == 1);
    EXPECT_TRUE(p.m_projBefore.centralMeridian == 117.0 && p.m_local1[3] == 1.25);
    const std::size_t rZ = r.out.find("\"rZ\": ");
    EXPECT_EQ(p.m_seven[5] / kRadiansPerArcSecond, AsciiToDouble(r.out.substr(rZ + 6)));

    std::vector<CommonPoint> points;
    ASSERT_TRUE(ReadCommonPointFile(ex.common, TextLanguage::English, &points, &error));
    std::string lines;
    for (const CommonPoint& pt : points) {
        lines += pt.id + " " + pt.source[0] + " " + pt.source[1] + " " + pt.source[2] + " \n";
    }
    r = RunConvert({"--project", out, "--from", "geodetic", "--separator", " ", "--items",
                    "id,lat,lon,height", "-"},
                   kNoStore, lines);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    std::istringstream converted(r.out);
    for (const CommonPoint& pt : points) {
        std::string line;
        ASSERT_TRUE(std::getline(converted, line));
        const std::vector<std::string> f = Words(line);
        const double miss = std::hypot(AsciiToDouble(f[1]) - AsciiToDouble(pt.target[0]),
                                       AsciiToDouble(f[2]) - AsciiToDouble(pt.target[1]));
        EXPECT_LT(miss, pt.id == "G07" ? 0.3 : 0.005) << pt.id;  // within the residuals
    }

    // Four parameters into level 2, with the four switch on.
    r = RunConvert({"--estimate", "four", "--from", "plane", "--to", "plane", "--level", "2",
                    "--save-project", out, "-"},
                   kNoStore, "A 100 200 0 1100 1200 0\nB 300 500 0 1300.001 1500 0\n");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ASSERT_TRUE(saved.LoadProject(out, &error)) << error;
    EXPECT_TRUE(p.m_savedUseFour == 1 && p.m_local1[3] == 0 &&
                std::fabs(p.m_local2[0] - 1000) < 0.01);
}

// A project saved by --save-project opens with the kinds and datums of its
// run: the two sides of an estimate, the --from/--to of a conversion. The
// estimate's project then converts its own points without --from/--to; a
// plane to plane project with level 1 unset refuses instead of writing zeros.
TEST(EstimateRun, SavedProjectsOpenWithTheKindsOfTheRun) {
    Example ex;
    std::string error;
    const std::string seven = ex.dir.File("seven.cod");
    CommandResult r = RunConvert(ex.Command(2, {"--save-project", seven}), kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ConversionSession saved;
    ASSERT_TRUE(saved.LoadProject(seven, &error)) << error;
    EXPECT_EQ(saved.SourceKind(), CoordinateKind::Geodetic);
    EXPECT_EQ(saved.TargetKind(), CoordinateKind::Plane);
    EXPECT_TRUE(saved.m_params.m_savedSourceDatum == 1 && saved.m_params.m_savedTargetDatum == 4);

    std::vector<CommonPoint> points;
    ASSERT_TRUE(ReadCommonPointFile(ex.common, TextLanguage::English, &points, &error));
    const CommonPoint& g01 = points.front();
    ASSERT_EQ(g01.id, "G01");
    r = RunConvert({"--project", seven, "--separator", " ", "--items", "id,lat,lon,height", "-"},
                   kNoStore, g01.id + " " + g01.source[0] + " " + g01.source[1] + " " +
                                 g01.source[2] + " \n");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    const std::vector<std::string> f = Words(r.out);
    ASSERT_EQ(f.size(), 4u) << r.out;
    EXPECT_LT(std::hypot(AsciiToDouble(f[1]) - AsciiToDouble(g01.target[0]),
                         AsciiToDouble(f[2]) - AsciiToDouble(g01.target[1])),
              0.005)
        << r.out;

    // Four parameters into level 2 leave level 1 unset: converting refuses.
    const std::string four = ex.dir.File("four.cod");
    r = RunConvert({"--estimate", "four", "--from", "plane", "--to", "plane", "--level", "2",
                    "--save-project", four, "-"},
                   kNoStore, "A 100 200 0 1100 1200 0\nB 300 500 0 1300.001 1500 0\n");
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    ASSERT_TRUE(saved.LoadProject(four, &error)) << error;
    EXPECT_TRUE(saved.SourceKind() == CoordinateKind::Plane &&
                saved.TargetKind() == CoordinateKind::Plane && saved.LevelOneMissing());
    r = RunConvert({"--project", four, "--items", "id,x,y,h", "-"}, kNoStore, "A,100,200,0,\n");
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("local level 1, which is not set (its K is 0)"), std::string::npos)
        << r.err;
    // With level 1 given the same project converts.
    r = RunConvert({"--project", four, "--local1", "0,0,0,1", "--items", "id,x,y,h", "-"},
                   kNoStore, "A,100,200,0,\n");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, "A,100.000000,200.000000,0.000000,\r\n");

    // A conversion saves the project's values with its options laid over them.
    ConversionSession base;
    base.m_params.m_local1[3] = 1.25;
    base.m_params.m_seven[0] = -15.5;
    base.PrepareConversion();
    ASSERT_TRUE(base.SaveProject(ex.dir.File("base.cod"), &error)) << error;
    const std::string converted = ex.dir.File("converted.cod");
    const std::vector<std::string> options = {
        "--project", ex.dir.File("base.cod"), "--from",  "space", "--to",   "geodetic",
        "--source-datum", "wgs84", "--target-datum", "cgcs2000", "--seven", "on",
        "--items",   "id,x,y,h"};
    const std::string input = "P,-2248582.352,5050398.652,3170430.097,\n";
    std::vector<std::string> args = options;
    args.insert(args.end(), {"--save-project", converted, "-"});
    r = RunConvert(args, kNoStore, input);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    args = options;
    args.push_back("-");
    EXPECT_EQ(r.out, RunConvert(args, kNoStore, input).out);
    ASSERT_TRUE(saved.LoadProject(converted, &error)) << error;
    const ConversionParams& p = saved.m_params;
    EXPECT_EQ(saved.SourceKind(), CoordinateKind::Space);
    EXPECT_EQ(saved.TargetKind(), CoordinateKind::Geodetic);
    EXPECT_TRUE(p.m_savedSourceDatum == 2 && p.m_savedTargetDatum == 4 && p.m_savedUseSeven == 1);
    EXPECT_TRUE(p.m_local1[3] == 1.25 && p.m_seven[0] == -15.5);
    // Opened again, it converts as the run did.
    EXPECT_EQ(RunConvert({"--project", converted, "--items", "id,x,y,h", "-"}, kNoStore, input).out,
              r.out);
}

// Each parameter option does what the same value in a project does, also in
// conversions; implied switches give way to explicit ones.
TEST(EstimateRun, ParameterOptionsOverrideTheProject) {
    TestTempDir dir;
    const double k = kRadiansPerArcSecond;
    ConversionSession set;
    set.m_sourceKind = 1;
    set.m_targetDatum = 4;
    set.m_useSeven = set.m_useFour = 1;
    const double seven[7] = {-15.4, 120.7, 85.2, 1.2 * k, -0.8 * k, 2.1 * k, 3.5 * kPpm};
    const double local1[4] = {-3000000.5, -400000.25, 12.5 * k, 1.0000125};
    const double local2[4] = {10, -20, -3 * k, 0.9999};
    std::copy(seven, seven + 7, set.m_params.m_seven);
    std::copy(local1, local1 + 4, set.m_params.m_local1);
    std::copy(local2, local2 + 4, set.m_params.m_local2);
    set.m_params.m_projBefore = {ProjectionKind::Utm, 117.5, 100, 400000, 50, 0.9996, 30.25};
    set.PrepareConversion();
    std::string error;
    ASSERT_TRUE(set.SaveProject(dir.File("set.cod"), &error)) << error;
    ConversionSession plain = set;
    plain.ResetSession();
    plain.m_sourceKind = 1;
    plain.PrepareConversion();
    ASSERT_TRUE(plain.SaveProject(dir.File("plain.cod"), &error)) << error;

    const std::string input = PointLines(1, 20);
    const std::vector<std::string> tail = {"--items", "id,lat,lon,height,other", "-"};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.end(), tail.begin(), tail.end());
        return RunConvert(args, kNoStore, input).out;
    };
    const std::vector<std::string> options = {"--seven-params",
                                              "-15.4,120.7,85.2,1.2,-0.8,2.1,3.5",
                                              "--local1",
                                              "-3000000.5,-400000.25,12.5,1.0000125",
                                              "--local2",
                                              "10,-20,-3,0.9999",
                                              "--projection",
                                              "utm",
                                              "--central-meridian",
                                              "117:30:00",
                                              "--scale",
                                              "0.9996",
                                              "--false-northing",
                                              "100",
                                              "--false-easting",
                                              "400000",
                                              "--base-latitude",
                                              "030:15:00",
                                              "--zone",
                                              "50"};
    std::vector<std::string> byOptions = {"--project", dir.File("plain.cod")};
    byOptions.insert(byOptions.end(), options.begin(), options.end());
    const std::string want = run({"--project", dir.File("set.cod")});
    EXPECT_EQ(run(byOptions), want);
    EXPECT_NE(run({"--project", dir.File("plain.cod")}), want);

    set.m_useSeven = set.m_useFour = 0;
    set.PrepareConversion();
    ASSERT_TRUE(set.SaveProject(dir.File("off.cod"), &error));
    byOptions.insert(byOptions.end(), {"--seven", "off", "--four", "off"});
    EXPECT_EQ(run(byOptions), run({"--project", dir.File("off.cod")}));

    const CommandResult saved = RunConvert({"--estimate", "three", "--zone", "39", "--projection",
                                            "gauss6", "--save-project", dir.File("z.cod"), "-"},
                                           kNoStore, "A 1 2 3 4 5 6\n");
    ASSERT_EQ(saved.status, kExitConverted) << saved.err;
    ASSERT_TRUE(plain.LoadProject(dir.File("z.cod"), &error)) << error;
    EXPECT_TRUE(plain.m_params.m_projBefore.zoneNumber == 39 &&
                plain.m_params.m_projBefore.kind == ProjectionKind::Gauss6);
}

// --plot writes the residual plot beside the report: a mark and an arrow per
// point, G07 (a flagged check point) red; a plot that cannot be written
// stops with status 1 after the report.
TEST(EstimateRun, PlotIsWrittenAsSvg) {
    Example ex;
    const std::string svg = ex.dir.File("plot.svg");
    const CommandResult r = RunConvert(ex.Command(2, {"--plot", svg}), kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, ex.Block("multi-output-2")) << "the report as without it";
    const std::string text = ReadBytes(svg);
    auto count = [&text](const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<circle class=\"point"), 9);
    EXPECT_EQ(count("<line class=\"residual\""), 9);
    EXPECT_EQ(count("<circle class=\"point check flagged\""), 1);
    EXPECT_NE(text.find(">G07</text>"), std::string::npos);
    const CommandResult bad = RunConvert(ex.Command(2, {"--plot", ex.dir.File("no/plot.svg")}), kNoStore);
    EXPECT_EQ(bad.status, kExitSkipped);
    EXPECT_NE(bad.err.find("cannot write the plot"), std::string::npos) << bad.err;
}

// A GB18030 file whose bytes are valid UTF-8 is read as GB18030, unless
// --encoding says otherwise; a Ctrl-Z at its end ends it.
TEST(EstimateRun, EncodingOfTheCommonPointsIsDetectedOrGiven) {
    TestTempDir dir;
    const std::string ting = "\xCD\xA4";  // 亭
    WriteBytes(dir.File("gbk.txt"), ting + "1 0 0 0 1000 2000 0\n" + ting + "2 100 0 0 1100 2000 0\n" +
                                        ting + "3 0 100 0 1000 2100 0\n\x1A");
    const std::vector<std::string> args = {"--estimate", "four", "--from", "plane", "--to",
                                           "plane",      "--json"};
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> a = args;
        a.insert(a.end(), extra.begin(), extra.end());
        a.push_back(dir.File("gbk.txt"));
        return RunConvert(a, kNoStore);
    };
    CommandResult r = run({"--exclude", "亭1"});
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_NE(r.out.find("{\"id\": \"亭1\", \"used\": false"), std::string::npos) << r.out;
    r = run({"--encoding", "gb18030", "--exclude", "亭3"});
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    r = run({"--encoding", "utf-8", "--exclude", "亭1"});
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_NE(r.err.find("--exclude: no point named '亭1'"), std::string::npos) << r.err;
}

TEST(EstimateRun, BadInputStopsWithStatusTwoAndWritesNothing) {
    TestTempDir dir;
    const std::string out = dir.File("out.cod");
    WriteBytes(dir.File("line.txt"),
               "A 1 2 3 11 22 33\nB 101 2 3 111 22 33\nC 201 2 3 211 22 33\n");
    WriteBytes(dir.File("short.txt"), "A 1 2 3 11 22 33\n\n# two\nB 1 2 3 4 5\n");
    WriteBytes(dir.File("angle.txt"), "A 30.5 114:00:00 0 1 2 3\n");
    WriteBytes(dir.File("twice.txt"), "A 1 2 3 11 22 33\nB 101 2 3 111 22 33\nA 2 3 4 5 6 7\n");
    struct Bad {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--estimate", "five"}, "bad value 'five' for --estimate"},
        {{"--estimate", "seven", "$D/line.txt", "$D/line.txt"}, "--estimate reads one file"},
        {{"--exclude", "A"}, "--exclude belongs to --estimate"},
        {{"--estimate", "seven", "--format", "x"}, "--format is an option of conversions"},
        {{"--estimate", "seven", "--level", "2"}, "--level chooses the local level"},
        {{"--estimate", "seven", "--tolerance", "0"}, "bad value '0' for --tolerance"},
        {{"--estimate", "seven", "--json=1"}, "option --json takes no value"},
        {{"--estimate", "seven", "--project", "$D/none.cod"}, "cannot load the project file"},
        {{"--estimate", "seven", "$D/none.txt"}, "cannot read '$D/none.txt'"},
        {{"--estimate", "seven", "$D/short.txt"}, "'$D/short.txt', line 4: expected 7 fields"},
        {{"--estimate", "seven", "--from", "geodetic", "$D/angle.txt"},
         "line 1 (point A): the source latitude '30.5' is not a latitude as angle text"},
        {{"--estimate", "seven", "--exclude", "Z", "$D/line.txt"}, "--exclude: no point named 'Z'"},
        {{"--estimate", "seven", "--exclude", "A", "$D/line.txt"},
         "seven parameters need at least 3 points marked as used; there are 2"},
        {{"--estimate", "seven", "$D/line.txt"}, "the used points do not determine the seven"},
        {{"--estimate", "seven", "$D/twice.txt"}, "line 3: the name A is already used on line 1"},
        {{"--estimate", "four", "--encoding", "gbk"}, "bad value 'gbk' for --encoding"},
        {{"--encoding", "utf-8"}, "--encoding belongs to --estimate"},
        {{"--plot", "a.svg"}, "--plot belongs to --estimate"},
        {{"--estimate", "seven", "--alpha", "0.7"}, "bad value '0.7' for --alpha"},
        {{"--estimate", "seven", "--alpha", "x%"}, "bad value 'x%' for --alpha"},
        {{"--seven-params", "1,2,3"}, "bad value '1,2,3' for --seven-params"},
        {{"--local1", "1,2,3,x"}, "bad value '1,2,3,x' for --local1"},
        {{"--projection", "lambert"}, "expected gauss3, gauss6, gauss, mercator or utm"},
        {{"--central-meridian", "117"}, "expected an angle DDD:MM:SS"},
        {{"--false-easting", "500000.5"}, "expected whole metres"},
        {{"--scale", "-1"}, "bad value '-1' for --scale"},
    };
    for (const Bad& c : cases) {
        std::vector<std::string> args = {"--from", "space", "--to", "space", "--save-project", out};
        for (const std::string& a : c.args) {
            args.push_back(a.rfind("$D", 0) == 0 ? dir.Path() + a.substr(2) : a);
        }
        if (args.back().find(".txt") == std::string::npos) args.push_back("-");
        std::string message = c.message;
        if (message.find("$D") != std::string::npos)
            message.replace(message.find("$D"), 2, dir.Path());
        const CommandResult r = RunConvert(args, kNoStore, "P 1 2 3 4 5 6\n");
        EXPECT_EQ(r.status, kExitSetup) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::ifstream(out).good()) << message;
    }
}

}  // namespace
