// terrax-convert --estimate height: the text and JSON of the fit the options
// describe, plane positions through the projection, the geoid, the plot, the
// project saved with the model through the session, and the errors with
// nothing written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "cli/EstimateRun.h"
#include "geodesy/Constants.h"
#include "params/CommonHeightFile.h"
#include "params/CommonHeightFit.h"
#include "params/HeightFitReport.h"
#include "params/PointText.h"
#include "platform/Platform.h"
#include "session/GeoidFiles.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/HelpPageExample.h"
#include "tests/support/JsonReader.h"
#include "tests/support/XmlReader.h"

namespace {

const std::string kNoStore = "/nonexistent/";

struct Sequence {
    std::uint32_t s = 606;
    double Next() {
        s = s * 1664525u + 1013904223u;
        return (s >> 8) / 16777216.0;
    }
};

std::string Fixed4(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.4f", v);
    return text;
}

// A job around 36.1N 120.3E: ζ a tilted plane, ±1.5 mm noise, a 5 cm
// blunder on H04; B, L as angle texts, or x, y in Gauss 3° at 120E on CGCS2000.
std::string HeightFile(bool plane, int count = 10) {
    Sequence seq;
    ConversionParams p;
    p.m_projBefore.centralMeridian = 120.0;
    CGeoCore::DatumTable(kDatumCgcs2000, &p.m_targetEllipsoid[0], &p.m_targetEllipsoid[1]);
    std::string text = "# common heights\n";
    for (int i = 0; i < count; ++i) {
        const double B = 36.1 + 0.1 * (2 * seq.Next() - 1), L = 120.3 + 0.1 * (2 * seq.Next() - 1);
        const double H = 5 + 80 * seq.Next();
        const double zeta = 8.731 + 0.05 * (B - 36.1) - 0.08 * (L - 120.3);
        const double h = H + zeta + 0.0015 * (2 * seq.Next() - 1) + (i == 3 ? 0.05 : 0);
        char name[16];
        std::snprintf(name, sizeof name, "H%02d", i + 1);
        if (plane) {
            double x, y, hh;
            CGeoCore().GeodeticToPlaneChain(B * kDegToRad, L * kDegToRad, 0, p, &x, &y, &hh);
            text += std::string(name) + "," + Fixed4(x) + "," + Fixed4(y) + "," + Fixed4(h) + "," +
                    Fixed4(H) + "\n";
        } else {
            text += std::string(name) + " " + AngleTextOfDegrees(B) + " " + AngleTextOfDegrees(L) +
                    " " + Fixed4(h) + " " + Fixed4(H) + "\n";
        }
    }
    return text;
}

// The fit the program should make of `text`.
CommonHeightFit Expected(const std::string& text, HeightFitRequest request,
                         const ConversionParams& settings, const std::vector<std::string>& exclude,
                         const GeoidGrid* geoid = nullptr) {
    std::vector<CommonHeight> rows;
    std::string error;
    EXPECT_TRUE(ParseCommonHeights(text, TextLanguage::English, &rows, &request.positions, &error))
        << error;
    for (CommonHeight& r : rows) {
        for (const std::string& id : exclude) r.used = r.used && r.id != id;
    }
    CommonHeightFit fit;
    FitProblem problem;
    EXPECT_TRUE(ComputeHeightFit(rows, request, settings, geoid, TextLanguage::English, &fit,
                                 &problem))
        << problem.message;
    return fit;
}

// The help page's worked example: its commands print its figures, character
// for character, and its table of contents leads to the chapter.
TEST(EstimateHeight, HelpPageExampleIsWhatTheProgramPrints) {
    const std::string page = HelpPageText();
    TestTempDir dir;
    const std::string input = HelpPageBlock(page, "heightfit-input");
    ASSERT_NE(input, "");
    WriteBytes(dir.File("heights.txt"), input + "\n");
    for (int n : {1, 2}) {
        std::istringstream words(HelpPageBlock(page, "heightfit-command-" + std::to_string(n)));
        std::vector<std::string> args;
        for (std::string w; words >> w;) args.push_back(w);
        ASSERT_TRUE(args.size() > 3 && args.front() == "terrax-convert" &&
                    args.back() == "heights.txt");
        args.erase(args.begin());
        args.back() = dir.File("heights.txt");
        const CommandResult r = RunConvert(args, kNoStore);
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        EXPECT_EQ(r.out, HelpPageBlock(page, "heightfit-output-" + std::to_string(n))) << n;
    }
    EXPECT_NE(page.find("<li><a href=\"#heightfit\">高程拟合</a></li>"), std::string::npos);
    EXPECT_NE(page.find("<h2 id=\"heightfit\">17. 高程拟合</h2>"), std::string::npos);
}

TEST(EstimateHeight, TextAndJsonAreTheReportsOfTheFitTheOptionsDescribe) {
    TestTempDir dir;
    const std::string file = dir.File("heights.txt");
    const std::string text = HeightFile(false);
    WriteBytes(file, text);
    HeightFitRequest request;
    request.surface = HeightSurface::Plane;
    request.datum = 0;  // the target datum of a session without a project
    request.alpha = 0.01;
    request.tolerance = 0.03;
    const CommonHeightFit fit = Expected(text, request, ConversionParams(), {"H10"});
    ASSERT_TRUE(fit.fit.residuals[3].failsTest) << "the blunder";

    const std::vector<std::string> args = {"--estimate", "height", "--height-model", "plane",
                                           "--exclude", "H10", "--alpha", "1%", "--tolerance",
                                           "0.03", file};
    CommandResult r = RunConvert(args, kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, HeightFitReportText(fit, TextLanguage::English));
    EXPECT_NE(r.out.find("Height fitting: plane surface from 9 common points"), std::string::npos);
    EXPECT_EQ(r.err, "");

    std::vector<std::string> json = args;
    json.insert(json.begin(), "--json");
    r = RunConvert(json, kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, HeightFitReportJson(fit));
    JsonValue value;
    std::string why;
    ASSERT_TRUE(ParseJson(r.out, &value, &why)) << why;
    EXPECT_EQ(value["points"].items.size(), 10u);
    EXPECT_FALSE(value["points"][9]["used"].boolean);
    EXPECT_TRUE(value["points"][3]["failsTest"].boolean);
    EXPECT_EQ(value["test"]["alpha"].number, 0.01);

    // The same points on the standard input.
    json.back() = "-";
    EXPECT_EQ(RunConvert(json, kNoStore, text).out, HeightFitReportJson(fit));
}

// A GB18030 file whose bytes are also UTF-8 (亭 is CD A4): read as GB18030
// unless --encoding says otherwise, so that --exclude finds its names.
TEST(EstimateHeight, EncodingFollowsTheRuleOrTheOption) {
    TestTempDir dir;
    const std::string file = dir.File("gbk.txt");
    std::string text = HeightFile(false, 5);
    for (std::size_t at; (at = text.find("H0")) != std::string::npos;) text.replace(at, 2, "\xCD\xA4");
    WriteBytes(file, text);
    const std::vector<std::string> args = {"--estimate", "height", "--height-model", "constant",
                                           "--exclude", "亭1", "--json", file};
    const CommandResult detected = RunConvert(args, kNoStore);
    ASSERT_EQ(detected.status, kExitConverted) << detected.err;
    EXPECT_NE(detected.out.find("{\"id\": \"亭1\", \"used\": false"), std::string::npos);
    std::vector<std::string> utf8 = args;
    utf8.insert(utf8.begin(), {"--encoding", "utf-8"});
    const CommandResult forced = RunConvert(utf8, kNoStore);
    EXPECT_EQ(forced.status, kExitSetup);
    EXPECT_NE(forced.err.find("--exclude: no point named '亭1'"), std::string::npos) << forced.err;
}

TEST(EstimateHeight, PlanePositionsAreReadThroughTheProjectionOnTheTargetDatum) {
    TestTempDir dir;
    const std::string file = dir.File("plane.txt");
    WriteBytes(file, HeightFile(true));
    const CommandResult r =
        RunConvert({"--estimate", "height", "--height-model", "quadric", "--target-datum",
                    "cgcs2000", "--central-meridian", "120:00:00", "--json", file},
                   kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    HeightFitRequest request;
    request.surface = HeightSurface::Quadric;
    request.datum = kDatumCgcs2000;
    ConversionParams settings;
    settings.m_projBefore.centralMeridian = 120.0;
    const CommonHeightFit fit = Expected(HeightFile(true), request, settings, {});
    EXPECT_EQ(r.out, HeightFitReportJson(fit));
    // The same points as B, L give the same surface to a tenth of a millimetre.
    JsonValue plane, geodetic;
    std::string why;
    ASSERT_TRUE(ParseJson(r.out, &plane, &why)) << why;
    const std::string geo = dir.File("geo.txt");
    WriteBytes(geo, HeightFile(false));
    const CommandResult g = RunConvert(
        {"--estimate", "height", "--height-model", "quadric", "--json", geo}, kNoStore);
    ASSERT_EQ(g.status, kExitConverted) << g.err;
    ASSERT_TRUE(ParseJson(g.out, &geodetic, &why)) << why;
    EXPECT_EQ(plane["positions"].string, "plane");
    EXPECT_EQ(geodetic["positions"].string, "geodetic");
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_NEAR(plane["points"][i]["residual"].number, geodetic["points"][i]["residual"].number,
                    0.1);
    }
}

TEST(EstimateHeight, OnEgm96AndOnAGridFile) {
    TestTempDir dir;
    const std::string file = dir.File("heights.txt");
    WriteBytes(file, HeightFile(false));
    std::string error;
    const std::shared_ptr<const GeoidGrid> egm = OpenGeoid(kEgm96Name, kNoStore, &error);
    if (egm) {
        const CommandResult r = RunConvert({"--estimate", "height", "--height-model", "constant",
                                            "--geoid", "egm96", "--json", file},
                                           kNoStore);
        ASSERT_EQ(r.status, kExitConverted) << r.err;
        HeightFitRequest request;
        request.surface = HeightSurface::Constant;
        request.datum = 0;
        request.geoid = kEgm96Name;
        EXPECT_EQ(r.out, HeightFitReportJson(Expected(HeightFile(false), request,
                                                      ConversionParams(), {}, egm.get())));
        EXPECT_NE(r.out.find("\"onGeoid\": true, \"geoid\": \"egm96\""), std::string::npos);
    }
    // A grid of the user's: N = 8 m everywhere near the job.
    const std::string grid = dir.File("flat.asc");
    WriteBytes(grid, "ncols 3\nnrows 3\nxllcenter 119\nyllcenter 35\ncellsize 1\nNODATA_value -9999\n"
                     "8 8 8\n8 8 8\n8 8 8\n");
    const CommandResult r = RunConvert({"--estimate", "height", "--height-model", "plane",
                                        "--geoid", grid, "--json", file},
                                       kNoStore);
    ASSERT_EQ(r.status, kExitConverted) << r.err;
    JsonValue value;
    std::string why;
    ASSERT_TRUE(ParseJson(r.out, &value, &why)) << why;
    EXPECT_NEAR(value["coefficients"][0]["value"].number, 0.731, 0.01);
    EXPECT_EQ(value["geoid"].string, grid);

    const CommandResult missing = RunConvert({"--estimate", "height", "--height-model", "plane",
                                              "--geoid", dir.File("none.gtx"), file},
                                             kNoStore);
    EXPECT_EQ(missing.status, kExitSetup);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("none.gtx"), std::string::npos) << missing.err;
}

TEST(EstimateHeight, PlotAndProjectAreWrittenWithTheModel) {
    TestTempDir dir;
    const std::string file = dir.File("heights.txt");
    WriteBytes(file, HeightFile(false));
    const std::string svg = dir.File("plot.svg"), cod = dir.File("job.cod");
    ConvertOptions options;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--estimate", "height", "--height-model", "plane", "--geoid",
                                  dir.File("flat.asc"), "--plot", svg, "--save-project", cod,
                                  "--target-datum", "wgs84", file},
                                 &options, &error))
        << error;
    WriteBytes(dir.File("flat.asc"), "ncols 3\nnrows 3\nxllcenter 119\nyllcenter 35\n"
                                     "cellsize 1\nNODATA_value -9999\n8 8 8\n8 8 8\n8 8 8\n");
    RunStreams streams;
    streams.out = TestPlatform::TemporaryStream();
    streams.err = TestPlatform::TemporaryStream();
    ConversionSession saved;
    const int status = RunEstimate(options, kNoStore, streams, &saved);
    const std::string err = StreamBytes(streams.err);
    std::fclose(streams.out);
    std::fclose(streams.err);
    ASSERT_EQ(status, kExitConverted) << err;

    std::vector<XmlElement> elements;
    std::string why;
    ASSERT_TRUE(ReadXml(ReadBytes(svg), &elements, &why)) << why;
    int circles = 0, arrows = 0;
    for (const XmlElement& e : elements) {
        const auto cls = e.attributes.find("class");
        if (cls == e.attributes.end()) continue;
        circles += e.name == "circle" ? 1 : 0;
        arrows += e.name == "line" && cls->second == "residual" ? 1 : 0;
    }
    EXPECT_EQ(circles, 10);
    EXPECT_EQ(arrows, 10);

    // The session saved holds the model, its geoid and the switch on.
    EXPECT_TRUE(saved.m_heights.enabled);
    EXPECT_EQ(saved.m_heights.geoid, dir.File("flat.asc"));
    ASSERT_TRUE(saved.m_heights.model);
    EXPECT_EQ(saved.m_heights.model->surface, HeightSurface::Plane);
    EXPECT_TRUE(saved.m_heights.model->onGeoid);
    EXPECT_NEAR(saved.m_heights.model->coefficients[0], 0.731, 0.01);
    EXPECT_EQ(saved.m_targetDatum, 2);
    ConversionSession loaded;
    ASSERT_TRUE(loaded.LoadProject(cod, &error)) << error;
    EXPECT_EQ(loaded.m_params.m_savedTargetDatum, 2);
}

// Each refusal says why, exits with 2 and writes nothing.
TEST(EstimateHeight, ErrorsAreClearAndNothingIsWritten) {
    TestTempDir dir;
    const std::string five = dir.File("five.txt"), line = dir.File("line.txt");
    WriteBytes(five, HeightFile(false, 5));
    WriteBytes(line, "A 036:00:00 120:00:00 10 1\nB 036:01:00 120:01:00 10 1\n"
                     "C 036:02:00 120:02:00 10 1\nD 036:03:00 120:03:00 10.01 1\n");
    const std::string cod = dir.File("out.cod"), svg = dir.File("out.svg");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--height-model", "quadric", five},
         "'" + five + "', a quadric surface needs at least 6 points marked as used; there are 5"},
        {{"--height-model", "plane", "--exclude", "H01,H02,H03", five},
         "a plane surface needs at least 3 points marked as used; there are 2"},
        {{"--height-model", "plane", line}, "lie on one line"},
        {{"--height-model", "plane", "--exclude", "H99", five}, "--exclude: no point named 'H99'"},
        {{"--height-model", "cubic", five}, "bad value 'cubic' for --height-model"},
        {{five}, "--estimate height needs --height-model constant|plane|quadric"},
        {{"--height-model", "plane", "--from", "plane", five}, "--from does not go with --estimate height"},
        {{"--height-model", "plane", "--level", "2", five}, "--level does not go with"},
        {{"--height-model", "plane", dir.File("none.txt")}, "none.txt"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--estimate", "height", "--plot", svg, "--save-project", cod};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CommandResult r = RunConvert(args, kNoStore);
        EXPECT_EQ(r.status, kExitSetup) << c.message;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(Platform::Exists(cod)) << c.message;
        EXPECT_FALSE(Platform::Exists(svg)) << c.message;
    }
    // The height model needs --estimate height; --geoid alone is a conversion's.
    WriteBytes(dir.File("p.txt"), "P 1 2 3\n");
    for (auto [args, message] :
         {std::pair<std::vector<std::string>, std::string>{
              {"--height-model", "plane", dir.File("p.txt")}, "--height-model belongs to --estimate height"},
          // Without --estimate, --geoid is the conversions' (a geoid alone).
          {{"--geoid", "egm96", dir.File("p.txt")}, "no file format"},
          {{"--estimate", "seven", "--geoid", "egm96", dir.File("p.txt")},
           "--geoid belongs to --estimate height"}}) {
        const CommandResult r = RunConvert(args, kNoStore);
        EXPECT_EQ(r.status, kExitSetup);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    const CommandResult help = RunConvert({"--help"}, kNoStore);
    for (const char* part : {"--estimate height --height-model MODEL", "--height-model MODEL",
                             "--geoid egm96|FILE", "switch 高程拟合 on"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }
}

}  // namespace
