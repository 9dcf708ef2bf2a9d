// terrax-convert on the user's datums: --source-datum and --target-datum by
// name or by index after the five built-in ones, read from the list beside
// the format store; a project's own datums on a machine whose list lacks
// them; a damaged list reported without stopping conversions on the others.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "session/UserDatums.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/HelpPageExample.h"

namespace {

const char kPoint[] = "P1,030:00:00.000000,116:30:00.000000,100,\n";
// cct -d 8 +proj=cart +a=6380000 +rf=300.5 (tests/data/session/user_datum_reference.txt)
const double kLocalSpace[3] = {-2467439.75569804, 4948918.52375270, 3171489.21862303};

class UserDatumCli : public ::testing::Test {
protected:
    void SetUp() override {
        UserDatums() = UserDatumList();
        // A portable copy: the format store, and so the list, beside the program.
        WriteBytes(app.File("Par.txt"), "\xCE\xC4\xBC\xFE\xC0\xE0\xD0\xCD\xCA\xFD:0\r\n");
        WriteBytes(app.File("datums.txt"),
                   std::string(kUserDatumsHeader) + "\n工程椭球\t6378160\t298.25\nLocal\t6380000\t300.5\n");
    }
    void TearDown() override { UserDatums() = UserDatumList(); }

    CommandResult Convert(const std::string& source, const std::string& target,
                          std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--from",         "geodetic", "--to",   "space",
                                         "--source-datum", source,     "--target-datum", target,
                                         "--separator",    ",",        "--items", "id,lat,lon,height"};
        args.insert(args.end(), more.begin(), more.end());
        return RunConvert(args, app.Path() + "/", kPoint);
    }
    // The three numbers of the output line, against PROJ's.
    static void ExpectLocal(const CommandResult& r) {
        ASSERT_EQ(r.status, kExitConverted) << r.err;
        const std::string& out = r.out;
        std::size_t at = out.find(',');
        for (double want : kLocalSpace) {
            ASSERT_NE(at, std::string::npos) << out;
            EXPECT_NEAR(std::strtod(out.c_str() + at + 1, nullptr), want, 0.0001) << out;
            at = out.find(',', at + 1);
        }
    }

    TestTempDir app;
};

TEST_F(UserDatumCli, DatumsByNameOrIndexAfterTheBuiltInOnes) {
    const CommandResult byName = Convert("Local", "Local");
    ExpectLocal(byName);
    EXPECT_EQ(Convert(" local ", "6").out, byName.out);
    EXPECT_EQ(Convert("6", "6").out, byName.out);
    // The other user datum is another ellipsoid.
    const CommandResult other = Convert("工程椭球", "工程椭球");
    EXPECT_EQ(other.status, kExitConverted) << other.err;
    EXPECT_NE(other.out, byName.out);
    EXPECT_EQ(Convert("5", "5").out, other.out);

    for (const char* bad : {"7", "Locale", "-1"}) {
        const CommandResult r = Convert(bad, "5");
        EXPECT_EQ(r.status, kExitSetup) << bad;
        EXPECT_NE(r.err.find(std::string("bad value '") + bad + "' for --source-datum"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("or 0..6"), std::string::npos) << r.err;
    }
    // The help names the list.
    const CommandResult help = RunConvert({"--help"}, app.Path() + "/");
    EXPECT_NE(help.out.find("datum list    " + app.Path() + "/datums.txt"), std::string::npos);
}

TEST_F(UserDatumCli, AProjectsDatumsConvertOnAMachineWithoutThem) {
    TestTempDir work;
    const std::string project = work.File("job.cod");
    {
        UserDatums().Add({"别的", 6378000, 298});
        UserDatums().Add({"Remote", 6380000, 300.5});  // 6 where the project was made
        ConversionSession s;
        s.m_sourceKind = 1;
        s.m_targetKind = 0;
        s.m_sourceDatum = s.m_targetDatum = 6;
        s.PrepareConversion();
        std::string error;
        ASSERT_TRUE(s.SaveProject(project, &error)) << error;
    }
    std::remove(app.File("datums.txt").c_str());  // here the list is empty
    const CommandResult r =
        RunConvert({"--project", project, "--separator", ",", "--items", "id,lat,lon,height"},
                   app.Path() + "/", kPoint);
    ExpectLocal(r);
    EXPECT_FALSE(Platform::Exists(app.File("datums.txt"))) << "the run adds it for itself only";
}

TEST_F(UserDatumCli, ADamagedListIsReportedAndTheBuiltInDatumsStillConvert) {
    WriteBytes(app.File("datums.txt"), "Local 6380000 300.5\n");
    const CommandResult r = Convert("wgs84", "wgs84");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_NE(r.err.find(app.File("datums.txt")), std::string::npos) << r.err;
    EXPECT_EQ(Convert("Local", "Local").status, kExitSetup);
    EXPECT_EQ(ReadBytes(app.File("datums.txt")), "Local 6380000 300.5\n");
}

// Chapter 18 of the help page: the list file it shows is the one 添加 and
// 确定 write, and the window's and the command line's figures are the program's.
TEST_F(UserDatumCli, HelpPageExampleIsWhatTheProgramDoes) {
    const std::string page = HelpPageText();
    std::string list = HelpPageBlock(page, "ellipsoids-list");
    for (const auto& [from, to] : {std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"}}) {
        for (std::size_t at; (at = list.find(from)) != std::string::npos;) list.replace(at, 4, to);
    }
    UserDatumList typed;
    DatumProblem problem;
    ASSERT_EQ(typed.Add({"高原工程椭球", 6379745, 298.3}, &problem), 5) << problem.message;
    EXPECT_EQ(list + "\n", typed.ToText());

    // The window: B, L, H typed, x, y, h shown.
    UserDatums() = typed;
    ConversionSession s;
    s.m_sourceKind = static_cast<int>(CoordinateKind::Geodetic);
    s.m_targetKind = static_cast<int>(CoordinateKind::Plane);
    s.m_sourceDatum = s.m_targetDatum = 5;
    s.m_useFour = 0;
    std::istringstream input(HelpPageBlock(page, "ellipsoids-input"));
    std::string line;
    for (int i = 0; i < 3 && std::getline(input, line); ++i) s.m_sourceText[i] = line.substr(line.find("= ") + 2);
    ASSERT_TRUE(s.Convert());
    EXPECT_EQ("x= " + s.m_targetText[0] + "\ny= " + s.m_targetText[1] + "\nh= " + s.m_targetText[2],
              HelpPageBlock(page, "ellipsoids-output"));

    // The command line, with the list file the page shows.
    WriteBytes(app.File("datums.txt"), list + "\n");
    std::istringstream command(HelpPageBlock(page, "ellipsoids-command"));
    std::string commandLine, expected;
    ASSERT_TRUE(std::getline(command, commandLine) && std::getline(command, expected));
    const std::size_t echo = commandLine.find('"'), close = commandLine.find('"', echo + 1);
    const std::string point = commandLine.substr(echo + 1, close - echo - 1) + "\n";
    std::istringstream words(commandLine.substr(commandLine.find("terrax-convert ") + 15));
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);
    const CommandResult r = RunConvert(args, app.Path() + "/", point);
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.out, expected + "\r\n");  // lines end as the window writes them
}

}  // namespace
