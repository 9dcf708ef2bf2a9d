// The converter against the window's file conversion on the same files and
// settings, its error paths, standard input to standard output, and what it
// reports while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "batch/OutputPath.h"
#include "cli/Progress.h"
#include "session/AppPaths.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"

namespace {

// A project, a format store and the sources of one comparison.
struct Job {
    TestTempDir conf;
    std::string project = conf.File("job.cod");
    std::string store = conf.File("Par.txt");

    explicit Job(const ConversionSession& settings) {
        ConversionSession s = settings;
        std::string error;
        EXPECT_TRUE(s.SaveProject(project, &error)) << error;
        EXPECT_TRUE(SaveFormatStore(
            store, {PointFormat("坐标", "txt", ","), PointFormat("空格", "dat", " ")}, &error))
            << error;
    }
};

// Lines the batch carries through or reads as zero: empty and non-numeric
// coordinates, more fields, a line ending in LF only.
std::string OddLines(int kind) {
    return PointLines(kind, 12, ',', 11) + "P90,,,,,\r\nP91,abc,1e3x,  -7.5,note,\r\n" +
           "P92,1,2,3,a,b,c,d,e,\r\nP93,0,0,0,\n" + PointLines(kind, 5, ',', 13);
}

std::vector<std::string> Sources(const TestTempDir& dir) {
    return {dir.File("a.txt"), dir.File("b.dat"), dir.File("big.txt")};
}

void WriteSources(const TestTempDir& dir, int kind) {
    WriteBytes(dir.File("a.txt"), PointLines(kind, 40));
    WriteBytes(dir.File("b.dat"), OddLines(kind));
    // Larger than one block of the engine, so one file is cut across threads.
    WriteBytes(dir.File("big.txt"), PointLines(kind, 6000, ',', 17));
}

class KindsAndNaming : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

// Guards against any difference between the converter and the window: the
// settings from the project file, the format from the store, the naming
// choice, one big file converted on two threads and two files converted side
// by side.
TEST_P(KindsAndNaming, FilesEqualTheWindowsBatch) {
    const auto [sourceKind, targetKind, naming] = GetParam();
    Job job(MakeTestSession(sourceKind, targetKind));
    TestTempDir window, cli;
    WriteSources(window, sourceKind);
    WriteSources(cli, sourceKind);

    // b.dat has coordinates that are not numbers: under overwrite it is kept.
    const BatchResult batch = WindowBatch(job.project, job.store, "坐标", naming, Sources(window));
    ASSERT_TRUE(batch.started);
    ASSERT_EQ(batch.converted.size(), naming == kNamingOverwrite ? 2u : 3u);

    const std::vector<std::string> common = {
        "--project", job.project, "--format", "坐标",
        "--store",   job.store,   "--naming", std::to_string(naming),
        "--jobs",    "2"};
    std::vector<std::string> one = common, two = common;
    one.push_back(cli.File("big.txt"));
    two.insert(two.end(), {cli.File("a.txt"), cli.File("b.dat")});
    CommandResult r = RunConvert(one, job.conf.Path() + "/");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    r = RunConvert(two, job.conf.Path() + "/");
    EXPECT_EQ(r.status, naming == kNamingOverwrite ? kExitSkipped : kExitConverted) << r.err;
    EXPECT_NE(r.err.find(cli.File("b.dat")), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(cli.File("a.txt")), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    ExpectSameDirectories(window, cli);
    // The conversion changed the coordinates.
    const std::string converted = ReadBytes(OutputPath(cli.File("a.txt"), "txt", naming));
    EXPECT_NE(converted.substr(0, 40), PointLines(sourceKind, 40).substr(0, 40));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, KindsAndNaming,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Values(0, 1, 2),
                                            ::testing::Values(0, 1, 2)));

// Guards against options that do not reach the session, or reach it before
// the project file is read and are then overwritten by it.
TEST(ConvertRun, OptionsOverrideTheProject) {
    ConversionSession settings = MakeTestSession(2, 2);
    settings.m_params.m_savedUseSeven = 0;
    settings.m_params.m_savedSourceDatum = 1;
    Job job(settings);
    TestTempDir window, cli;
    WriteSources(window, 1);
    WriteSources(cli, 1);
    WindowBatch(job.project, job.store, "坐标", 2, Sources(window), [](ConversionSession& s) {
        s.m_sourceKind = 1;
        s.m_targetKind = 2;
        s.m_sourceDatum = 0;
        s.m_targetDatum = 2;
        s.m_useSeven = 1;
        s.m_useFour = 0;
    });
    std::vector<std::string> args = {
        "--from",         "geodetic",  "--to",     "plane", "--source-datum", "北京-54坐标系  ",
        "--target-datum", "WGS-84",    "--seven",  "on",    "--four",         "off",
        "--project",      job.project, "--format", "坐标",  "--store",        job.store,
        "--naming",       "name1"};
    for (const std::string& f : Sources(cli)) args.push_back(f);
    const CommandResult r = RunConvert(args, "/nonexistent/");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    ExpectSameDirectories(window, cli);
}

// Guards against losing the zone change, which only the project file carries.
TEST(ConvertRun, ZoneChangeComesFromTheProject) {
    ConversionSession settings = MakeTestSession(2, 2);
    settings.m_zoneChange = 2;
    settings.m_params.m_projAfter.centralMeridian = 117.0;
    Job job(settings);
    TestTempDir window, cli;
    WriteSources(window, 2);
    WriteSources(cli, 2);
    WindowBatch(job.project, job.store, "坐标", 1, Sources(window));
    std::vector<std::string> args = {"--project", job.project, "--format",
                                     "坐标",      "--store",   job.store};
    for (const std::string& f : Sources(cli)) args.push_back(f);
    ASSERT_EQ(RunConvert(args, "/").status, kExitConverted);
    ExpectSameDirectories(window, cli);

    // Without the zone change the same points come out elsewhere.
    Job plain(MakeTestSession(2, 2));
    TestTempDir other;
    WriteSources(other, 2);
    WindowBatch(plain.project, plain.store, "坐标", 1, Sources(other));
    EXPECT_NE(ReadBytes(other.File("a.txt1")), ReadBytes(cli.File("a.txt1")));
}

// Guards against a command-line format that differs from the same format
// chosen from the store: separator, item line, columns, extension.
TEST(ConvertRun, ItemsOnTheCommandLineActAsAStoreFormat) {
    Job job(MakeTestSession(1, 1));
    for (const std::string items : {"id x y h other", "点号,北方向X,东方向Y,水准高,其它"}) {
        TestTempDir window, cli;
        for (const TestTempDir* d : {&window, &cli}) {
            WriteBytes(d->File("p.txt"), PointLines(1, 30, ' '));
        }
        WindowBatch(job.project, job.store, "空格", 2, {window.File("p.txt")});
        const CommandResult r =
            RunConvert({"--project", job.project, "--separator", " ", "--items", items,
                        "--extension", ".dat", "--naming", "2", cli.File("p.txt")},
                       "/");
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        ExpectSameDirectories(window, cli);
        EXPECT_EQ(cli.Entries(), (std::vector<std::string>{"p.txt", "p1.dat"}));
    }
}

// Guards against a pipe that differs from a file: the same bytes, on one
// thread or cut into blocks, with no file written.
TEST(ConvertRun, StandardInputToStandardOutput) {
    Job job(MakeTestSession(1, 2));
    for (int count : {300, 6000}) {
        TestTempDir window;
        const std::string points = PointLines(1, count);
        WriteBytes(window.File("p.txt"), points);
        WindowBatch(job.project, job.store, "坐标", 1, {window.File("p.txt")});
        const std::string expected = ReadBytes(window.File("p.txt1"));
        for (const std::vector<std::string>& files :
             {std::vector<std::string>{}, std::vector<std::string>{"-"}}) {
            std::vector<std::string> args = {"--project", job.project, "--format", "坐标",
                                             "--store",   job.store,   "--jobs",   "2"};
            args.insert(args.end(), files.begin(), files.end());
            const std::vector<std::string> before = job.conf.Entries();
            const CommandResult r = RunConvert(args, "/", points);
            EXPECT_EQ(r.status, kExitConverted) << r.err;
            EXPECT_EQ(r.out, expected);
            EXPECT_EQ(r.err, "");
            EXPECT_EQ(job.conf.Entries(), before);
        }
    }
}

struct BadRun {
    std::vector<std::string> args;  // "$P" project, "$S" store, "$D/" the source directory
    std::string message;            // a part of what stderr must say
};

// Every run that cannot start: status 2, a message, and no file written.
TEST(ConvertRun, RunsThatCannotStartWriteNothing) {
    Job job(MakeTestSession(1, 2));
    ConversionSession badKinds = MakeTestSession(1, 2);
    badKinds.m_sourceKind = 5;
    std::string error;
    ASSERT_TRUE(badKinds.SaveProject(job.conf.File("kinds.cod"), &error));
    WriteBytes(job.conf.File("short.cod"), ReadBytes(job.project).substr(0, 100));

    const std::vector<BadRun> runs = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--from"}, "option --from needs a value"},
        {{"--verbose=1"}, "option --verbose takes no value"},
        {{"--from", "sky"}, "bad value 'sky' for --from"},
        {{"--to=4"}, "bad value '4' for --to"},
        {{"--source-datum", "5"}, "bad value '5' for --source-datum"},
        {{"--target-datum", "wgs85"}, "bad value 'wgs85' for --target-datum"},
        {{"--seven", "maybe"}, "bad value 'maybe' for --seven"},
        {{"--four", ""}, "bad value '' for --four"},
        {{"--naming", "3"}, "bad value '3' for --naming"},
        {{"--separator", ";", "--items", "id"}, "bad value ';' for --separator"},
        {{"--items", "id,q"}, "unknown data item 'q'"},
        {{"--items", " , "}, "bad value ' , ' for --items"},
        {{"--extension", ""}, "bad value '' for --extension"},
        {{"--jobs", "0"}, "bad value '0' for --jobs"},
        {{"--progress", "sometimes"}, "bad value 'sometimes' for --progress"},
        {{"--format", "坐标", "--items", "id,x"},
         "give either --format or --separator and --items"},
        {{"--store", "$S"}, "--store names the store that --format reads"},
        {{"--separator", ",", "$D/a.txt"}, "--separator needs --items"},
        {{"--items", "id,x", "-", "$D/a.txt"}, "'-' (standard input) cannot be given together"},
        {{"$D/a.txt"}, "no file format"},
        {{"--format", "没有", "--store", "$S", "$D/a.txt"},
         "no format named '没有' in '$S'; its formats are: '坐标' '空格'"},
        {{"--format", "坐标", "$D/a.txt"},
         "the format store '/nonexistent/config/terrax/Par.txt' does not exist"},
        {{"--format", "坐标", "--store", "$D", "$D/a.txt"}, "cannot read the format store"},
        {{"--project", "$D/none.cod", "--items", "id,x", "$D/a.txt"},
         "cannot load the project file '$D/none.cod'"},
        {{"--project", "$C/short.cod", "--items", "id,x", "$D/a.txt"},
         "cannot load the project file '$C/short.cod'"},
        {{"--project", "$C/kinds.cod", "--format", "坐标", "--store", "$S", "$D/a.txt"},
         "the project file sets source kind 5"},
        {{"--items", "id,x", "$D/a.txt"}, "the output files need an extension"},
        // Plane to plane through level 1 with K = 0 would write Xo, Yo for every point.
        {{"--items", "id,x,y", "--extension", "out", "--save-project", "$D/saved.cod", "$D/a.txt"},
         "a plane to plane conversion goes through local level 1, which is not set (its K is 0)"},
        {{"--from", "plane", "--to", "plane", "--local1", "0,0,0,0", "--items", "id,x,y", "-"},
         "a plane to plane conversion goes through local level 1"},
    };
    auto expand = [&](std::string text, const TestTempDir& dir) {
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"$P", job.project},
                                         {"$S", job.store},
                                         {"$C", job.conf.Path()},
                                         {"$D", dir.Path()}}) {
            for (std::size_t at; (at = text.find(key)) != std::string::npos;) {
                text.replace(at, key.size(), value);
            }
        }
        return text;
    };
    for (const BadRun& run : runs) {
        TestTempDir dir;
        WriteBytes(dir.File("a.txt"), PointLines(1, 5));
        std::filesystem::create_directory(dir.File("sub"));
        const std::vector<std::string> before = dir.Entries(), confBefore = job.conf.Entries();
        std::vector<std::string> args;
        for (const std::string& a : run.args) args.push_back(expand(a, dir));
        ScopedEnv configHome(TestPlatform::kConfigFolderVariable, "/nonexistent/config");
        const CommandResult r = RunConvert(args, "/nonexistent/", PointLines(1, 5));
        const std::string message = expand(run.message, dir);
        EXPECT_EQ(r.status, kExitSetup) << message;
        EXPECT_NE(r.err.find("terrax-convert: " + message), std::string::npos)
            << "wanted: " << message << "\ngot: " << r.err;
        EXPECT_EQ(r.out, "") << message;
        EXPECT_EQ(dir.Entries(), before) << message;
        EXPECT_EQ(job.conf.Entries(), confBefore) << message;
        EXPECT_EQ(ReadBytes(dir.File("a.txt")), PointLines(1, 5)) << message;
    }
}

// Guards against a skipped file that goes unreported or leaves the status 0,
// and against a skip that stops the other files.
TEST(ConvertRun, SkippedFilesAreReportedWithStatusOne) {
    Job job(MakeTestSession(2, 2));
    TestTempDir window, cli;
    for (const TestTempDir* d : {&window, &cli}) {
        WriteBytes(d->File("a.txt1"), PointLines(2, 10));  // its output would be itself
        WriteBytes(d->File("b.txt"), PointLines(2, 10));
    }
    const BatchResult batch = WindowBatch(job.project, job.store, "坐标", 1,
                                          {window.File("a.txt1"), window.File("b.txt")});
    ASSERT_EQ(batch.skipped.size(), 1u);
    const CommandResult r = RunConvert({"--project", job.project, "--format", "坐标", "--store",
                                        job.store, cli.File("a.txt1"), cli.File("b.txt")},
                                       "/");
    EXPECT_EQ(r.status, kExitSkipped);
    EXPECT_EQ(r.err, "terrax-convert: skipped '" + cli.File("a.txt1") + "': its output '" +
                         cli.File("a.txt1") + "' is the file itself; it was left as it was\n");
    ExpectSameDirectories(window, cli);
}

// Guards against losing lines silently: lines after an empty line are
// reported, and under overwrite the source is kept.
TEST(ConvertRun, LinesAfterAnEmptyLine) {
    Job job(MakeTestSession(2, 2));
    TestTempDir dir;
    const std::string source = PointLines(2, 3) + "\r\n" + PointLines(2, 2, ',', 9);
    WriteBytes(dir.File("a.txt"), source);
    std::vector<std::string> args = {"--project", job.project, "--format",       "坐标",
                                     "--store",   job.store,   dir.File("a.txt")};
    CommandResult r = RunConvert(args, "/");
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.err, "terrax-convert: '" + dir.File("a.txt") +
                         "' has lines after an empty line; reading stopped there\n");

    args.insert(args.begin(), {"--naming", "overwrite"});
    r = RunConvert(args, "/");
    EXPECT_EQ(r.status, kExitSkipped);
    EXPECT_EQ(r.err, "terrax-convert: skipped '" + dir.File("a.txt") +
                         "': it has lines after an empty line, which would be lost; it was kept "
                         "as it was and the conversion is in '" +
                         dir.File("a1.txt") + "'\n");
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), source);

    r = RunConvert({"--items", "id,x,y,h", "--progress", "off", "--local1", "0,0,0,1"}, "/", source);
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.err,
              "terrax-convert: the input has lines after an empty line; reading stopped there\n");
}

TEST(ConvertRun, VerboseNamesEachOutput) {
    Job job(MakeTestSession(2, 2));
    TestTempDir dir;
    WriteBytes(dir.File("a.txt"), PointLines(2, 3));
    const CommandResult r = RunConvert({"--verbose", "--project", job.project, "--format", "坐标",
                                        "--store", job.store, "--naming", "0", dir.File("a.txt")},
                                       "/");
    EXPECT_EQ(r.status, kExitConverted);
    // Under overwrite the listed output is the source itself, as in the window.
    EXPECT_EQ(r.err, "terrax-convert: " + dir.File("a.txt") + " -> " + dir.File("a.txt") + "\n");
    EXPECT_EQ(RunConvert({"--verbose", "--items", "x", "--local1", "0,0,0,1"}, "/", "1,\n2,\n").err,
              "terrax-convert: 2 lines converted\n");
}

// Guards against a bar on a stream that is not a terminal (a log file or a
// pipe would collect it), and against a bar that never ends its line.
TEST(ConvertRun, ProgressBarOnlyOnATerminal) {
    TestTempDir dir;
    WriteBytes(dir.File("a.txt"), PointLines(2, 50));
    WriteBytes(dir.File("b.txt"), PointLines(2, 50));
    const std::vector<std::string> args = {"--items",        "id,x,y,h",
                                           "--extension",    "txt",
                                           "--progress",     "on",
                                           "--jobs",         "1",
                                           "--overwrite",    "--local1",
                                           "0,0,0,1",        dir.File("a.txt"),
                                           dir.File("b.txt")};  // run again below
    const CommandResult shown = RunConvert(args, "/", "", true);
    EXPECT_EQ(shown.status, kExitConverted);
    EXPECT_NE(shown.err.find("\r[" + std::string(30, '#') + "] 100%  2/2 files"), std::string::npos)
        << shown.err;
    EXPECT_EQ(shown.err.back(), '\r');  // the bar is wiped before the shell prompt

    EXPECT_EQ(RunConvert(args, "/", "", false).err, "");
    std::vector<std::string> automatic = args;
    automatic[5] = "auto";  // short work: no bar
    EXPECT_EQ(RunConvert(automatic, "/", "", true).err, "");
}

TEST(ConvertRun, ProgressLine) {
    EXPECT_EQ(ProgressBar::Line(50, 200, 1, 4),
              "[" + std::string(7, '#') + std::string(23, '.') + "]  25%  1/4 files");
    EXPECT_EQ(ProgressBar::Line(300, 200, 0, 1), "[" + std::string(30, '#') + "] 100%");
    EXPECT_EQ(ProgressBar::Line(3 << 20, 0, 0, 1), "3.0 MiB");  // size unknown
}

TEST(ConvertRun, HelpListsEveryOptionWithAnExample) {
    const CommandResult r = RunConvert({"--from", "plane", "--help"}, "/");
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.err, "");
    for (const char* option :
         {"--project",      "--from",      "--to",       "--source-datum",
          "--target-datum", "--seven",     "--four",     "--format",
          "--store",        "--separator", "--items",    "--extension",
          "--naming",       "--jobs",      "--progress", "--verbose",
          "--overwrite",    "--help",      "Examples:",  "terrax-convert --project job.cod"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(r.out, HelpText(FormatStorePath("/")));
    EXPECT_NE(r.out.find("format store  " + FormatStorePath("/") + "\n"), std::string::npos);
}

// Guards against two threads writing the same output file, or one file
// being converted twice at once under two names.
TEST(ConvertRun, SourcesSharingAnOutputStayInOrder) {
    TestTempDir dir;
    for (const char* name : {"a.txt", "a.dat", "b.txt", "c.txt"}) WriteBytes(dir.File(name), "x");
    const std::vector<std::string> sources = {dir.File("a.txt"), dir.File("b.txt"),
                                              dir.File("a.dat"), dir.Path() + "/./c.txt",
                                              dir.File("c.txt"), dir.File("missing")};
    using Groups = std::vector<std::vector<std::size_t>>;
    EXPECT_EQ(SerialGroups(sources, "txt", 2), (Groups{{0, 2}, {1}, {3, 4}, {5}}));
    EXPECT_EQ(SerialGroups(sources, "txt", 1), (Groups{{0, 2}, {1}, {3, 4}, {5}}));
    EXPECT_EQ(SerialGroups({}, "txt", 1), Groups{});
}

}  // namespace

// Guards against a message that glues the window's Chinese sentence to an
// English one: every reason reads in English, names what it is about and
// carries the system's reason where there is one.
TEST(ConvertRun, SkipReasonsReadInEnglish) {
    const std::pair<SkipReason, int> reasons[] = {
        {SkipReason::SourceUnreadable, EACCES}, {SkipReason::OutputUncreatable, ENOSPC},
        {SkipReason::OutputIsSource, 0},        {SkipReason::OutputIsOtherSource, 0},
        {SkipReason::ReadFailed, EIO},          {SkipReason::WriteFailed, ENOSPC},
        {SkipReason::DataAfterEmptyLine, 0},    {SkipReason::TextAfterLastSeparator, 0},
        {SkipReason::ReplaceFailed, EROFS},     {SkipReason::RepeatedSource, 0},
        {SkipReason::NotNumbers, 0},
        {SkipReason::OutputOfEarlierSource, 0}, {SkipReason::OutputExists, 0},
        {SkipReason::InUseByOtherRun, 0},       {SkipReason::OutputAppeared, 0},
        {SkipReason::NotFinite, 0},             {SkipReason::LineTooLong, 0},
        {SkipReason::OutOfMemory, 0},           {SkipReason::Cancelled, 0},
    };
    for (const auto& [reason, err] : reasons) {
        SkippedFile f{"/d/a.txt", "/d/a.txt1", reason, "输出文件", err, "/d/b.txt", {},
                      "/d/a.txt1", 4242};
        const std::string text = SkipText(f);
        SCOPED_TRACE(text);
        EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                                [](char c) { return c >= ' ' && c <= '~'; }));
        if (err != 0) {
            EXPECT_NE(text.find(std::strerror(err)), std::string::npos);
        }
        if (reason != SkipReason::SourceUnreadable && reason != SkipReason::RepeatedSource) {
            EXPECT_NE(text.find("'/d/a.txt1'"), std::string::npos);
        }
        if (reason == SkipReason::RepeatedSource || reason == SkipReason::OutputOfEarlierSource) {
            EXPECT_NE(text.find("'/d/b.txt'"), std::string::npos);
        }
    }
}

// The project file and the store that do not load are told in English too.
TEST(ConvertRun, LoadFailuresReadInEnglish) {
    Job job(MakeTestSession(2, 2));
    TestTempDir dir;
    WriteBytes(dir.File("short.cod"), ReadBytes(job.project).substr(0, 100));
    WriteBytes(dir.File("a.txt"), PointLines(2, 2));
    CommandResult r = RunConvert(
        {"--project", dir.File("short.cod"), "--items", "id,x,y,h", dir.File("a.txt")}, "/");
    EXPECT_EQ(r.err, "terrax-convert: cannot load the project file '" + dir.File("short.cod") +
                         "': it ends early: it is incomplete or damaged\n");
    r = RunConvert({"--project", dir.Path(), "--items", "id,x,y,h", dir.File("a.txt")}, "/");
    EXPECT_EQ(r.err, "terrax-convert: cannot load the project file '" + dir.Path() +
                         "': " + std::strerror(EISDIR) + "\n");
    r = RunConvert({"--format", "坐标", "--store", dir.Path(), dir.File("a.txt")}, "/");
    EXPECT_EQ(r.err, "terrax-convert: cannot read the format store '" + dir.Path() +
                         "': " + std::strerror(EISDIR) + "\n");
}

// Guards against sources replaced by points converted from 0 (a header, a
// byte-order mark before the first number, two numbers in one field) and
// against the DOS end-of-file byte read as a last line; the same rules as
// the window's batch.
TEST(ConvertRun, OverwriteKeepsSourcesWhoseCoordinatesAreNotNumbers) {
    TestTempDir dir;
    const std::string point = "3512345.000,512345.000,45.0,P1,";
    const std::string header = "X,Y,H,点号,\r\n";
    const std::string bom = "\xEF\xBB\xBF" + point + "\r\n";
    const std::string blank = "3512345 512345,512345.000,45.0,P1,\r\n";
    WriteBytes(dir.File("header.txt"), header + point + "\r\n");
    WriteBytes(dir.File("bom.txt"), bom);
    WriteBytes(dir.File("blank.txt"), blank);
    WriteBytes(dir.File("dos.txt"), point + "\r\n\x1A");
    const std::vector<std::string> format = {"--items", "x,y,h,id", "--extension", "txt",
                                             "--from",  "plane",    "--to",        "geodetic"};
    std::vector<std::string> args = format;
    args.insert(args.end(), {"--naming", "0", dir.File("header.txt"), dir.File("bom.txt"),
                             dir.File("blank.txt"), dir.File("dos.txt")});
    CommandResult r = RunConvert(args, "/");
    EXPECT_EQ(r.status, kExitSkipped);
    for (const std::string kept : {"bom", "blank"}) {
        EXPECT_NE(r.err.find("skipped '" + dir.File(kept + ".txt") +
                             "': it has 1 line whose coordinates are not whole numbers or angles "
                             "(line 1), read only as far as they are numbers; it was kept as it was "
                             "and the conversion is in '" +
                             dir.File(kept + "1.txt") + "'"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_EQ(r.err.find("header.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("dos.txt"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(dir.File("bom.txt")), bom);
    EXPECT_EQ(ReadBytes(dir.File("blank.txt")), blank);
    // The header is copied, the end-of-file byte adds no line: the same as
    // the lines converted through standard input.
    const std::string converted = RunConvert(format, "/", point + "\n").out;
    EXPECT_EQ(converted.substr(0, 4), "031:");
    EXPECT_EQ(ReadBytes(dir.File("header.txt")), header + converted);
    EXPECT_EQ(ReadBytes(dir.File("dos.txt")), converted);

    // Other naming choices convert every file and name the lines that are
    // no points: the header is not one of them.
    r = RunConvert(format, "/", header + point + "\r\n" + blank + "1,2,,P3,\r\n" + point + "\r\n");
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.out, header + converted + RunConvert(format, "/", blank).out +
                         RunConvert(format, "/", "1,2,,P3,").out + converted);
    EXPECT_EQ(r.err,
              "terrax-convert: the input has 2 lines whose coordinates are not whole numbers or "
              "angles (lines 3, 4); only the number they start with was read, 0 where there is "
              "none\n");
}

// Guards against lines cut at the first byte of a separator that is not
// "," or " " (a store edited by hand).
TEST(ConvertRun, StoreFormatWithAFullWidthSeparatorIsRefused) {
    TestTempDir dir;
    std::string error;
    ASSERT_TRUE(SaveFormatStore(dir.File("Par.txt"), {PointFormat("全角", "txt", "，")}, &error));
    const CommandResult r =
        RunConvert({"--format", "全角", "--store", dir.File("Par.txt")}, "/", "P1，1，2，3，\r\n");
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_EQ(r.err, "terrax-convert: the separator of the format '全角' is '，'; lines can only be "
                     "cut at ',' or ' '\n");
    EXPECT_EQ(r.out, "");
}

// Loss of a kind: a store extension "/tmp/x" led to the output "W/a./tmp/x1"
// outside the source's folder, which --extension refuses.
TEST(ConvertRun, StoreExtensionsObeyTheRuleOfTheOption) {
    TestTempDir dir;
    std::string error;
    for (const char* bad : {"/tmp/x", "a\\b", "c:d"}) {
        SCOPED_TRACE(bad);
        ASSERT_TRUE(SaveFormatStore(dir.File("Par.txt"), {PointFormat("坐标", bad, ",")}, &error));
        WriteBytes(dir.File("a.txt"), PointLines(2, 3));
        const CommandResult r = RunConvert({"--from", "plane", "--to", "plane", "--format", "坐标",
                                            "--store", dir.File("Par.txt"), dir.File("a.txt")},
                                           "/");
        EXPECT_EQ(r.status, kExitSetup);
        EXPECT_EQ(r.err, std::string("terrax-convert: the extension of the format '坐标' is '") +
                             bad +
                             "', which cannot name a file beside its source (give --extension "
                             "EXT)\n");
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Par.txt", "a.txt"}));
    }
    // A leading dot is no part of it, as with --extension.
    ASSERT_TRUE(SaveFormatStore(dir.File("Par.txt"), {PointFormat("坐标", ".out", ",")}, &error));
    EXPECT_EQ(RunConvert({"--from", "plane", "--to", "plane", "--local1", "0,0,0,1", "--format",
                          "坐标", "--store", dir.File("Par.txt"), dir.File("a.txt")},
                         "/")
                  .status,
              kExitConverted);
    EXPECT_TRUE(Platform::Exists(dir.File("a.out1")));
}

// Loss of a kind: a bad value was echoed whole (50 MB on standard error),
// and an unknown format named every one of 10,000 stored formats.
TEST(ConvertRun, MessagesQuoteShortly) {
    const std::string huge(1 << 20, 'x');
    CommandResult r = RunConvert({"--naming", huge}, "/");
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_EQ(r.err, "terrax-convert: bad value '" + std::string(kQuotedBytes, 'x') +
                         "...' for --naming: expected 0 (overwrite), 1 (ext1) or 2 (name1)\n"
                         "Try 'terrax-convert --help' for the options.\n");
    // A UTF-8 character is never cut: 坐 is three bytes, 80 is no multiple of 3.
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "坐";
    EXPECT_EQ(QuoteValue(chinese), "'" + chinese.substr(0, 78) + "...'");
    EXPECT_EQ(QuoteValue("txt"), "'txt'");
    r = RunConvert({"--estimate", "seven", "--tolerance", huge}, "/");
    EXPECT_LT(r.err.size(), 300u);

    TestTempDir dir;
    std::vector<FileFormat> formats;
    for (int i = 0; i < 10000; ++i) {
        formats.push_back(PointFormat("格式" + std::to_string(i), "txt", ","));
    }
    std::string error;
    ASSERT_TRUE(SaveFormatStore(dir.File("Par.txt"), formats, &error)) << error;
    r = RunConvert({"--format", "无", "--store", dir.File("Par.txt")}, "/");
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_LT(r.err.size(), 1000u);
    EXPECT_NE(r.err.find("'格式29' and 9970 more\n"), std::string::npos) << r.err;
}

// The common-point reader quotes a bad field by its start.
TEST(ConvertRun, EstimateQuotesABadFieldShortly) {
    TestTempDir dir;
    WriteBytes(dir.File("c.txt"), "A " + std::string(100000, '7') + "x 2 3 11 22 33\n");
    const CommandResult r =
        RunConvert({"--estimate", "three", "--from", "plane", "--to", "plane", dir.File("c.txt")},
                   "/");
    EXPECT_EQ(r.status, kExitSetup);
    EXPECT_LT(r.err.size(), 400u) << r.err.substr(0, 400);
    EXPECT_NE(r.err.find("'" + std::string(80, '7') + "...'"), std::string::npos)
        << r.err.substr(0, 400);
}
