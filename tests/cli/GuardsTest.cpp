// The guards of terrax-convert that keep the user's files: a file named
// twice, sources that share an output, outputs that exist already
// (--overwrite), sources that cannot be read, read-only files and folders,
// and no progress bar among converted lines on the terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/Unprivileged.h"

namespace {

// A project (plane to geodetic, so that a second conversion of a converted
// file would read angle texts as numbers) and a store with the format 坐标.
struct Job {
    TestTempDir conf;
    std::string project = conf.File("job.cod");
    std::string store = conf.File("Par.txt");

    Job() {
        ConversionSession s = MakeTestSession(2, 1);
        std::string error;
        EXPECT_TRUE(s.SaveProject(project, &error)) << error;
        EXPECT_TRUE(SaveFormatStore(store, {PointFormat("坐标", "txt", ",")}, &error)) << error;
    }
    std::vector<std::string> Args(const std::string& naming, std::vector<std::string> files,
                                  std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = {"--project", project,    "--format", "坐标",   "--store",
                                         store,       "--naming", naming,     "--jobs", "2"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), files.begin(), files.end());
        return args;
    }
    // `text` converted once, by the window's batch in a folder of its own.
    std::string Once(const std::string& text) const {
        TestTempDir ref;
        WriteBytes(ref.File("p.txt"), text);
        WindowBatch(project, store, "坐标", 2, {ref.File("p.txt")});
        return ReadBytes(ref.File("p1.txt"));
    }
};

std::string Line(const std::string& text) { return "terrax-convert: " + text + "\n"; }
std::string Q(const std::string& path) { return "'" + path + "'"; }

// Loss: `--naming 0 a.txt a.txt` converted the file twice with status 0 and
// no message; the original coordinates were gone from a.txt and a1.txt.
TEST(CliGuards, FileNamedTwiceIsConvertedOnce) {
    Job job;
    TestTempDir dir;
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt");
    const std::string points = PointLines(2, 30);
    WriteBytes(a, points);
    std::filesystem::create_hard_link(PathOf(a), PathOf(b));
    const CommandResult r = RunConvert(job.Args("0", {a, a, b}), "/");
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.err,
              Line("ignored " + Q(a) + ": it is named more than once; it was converted once") +
                  Line("ignored " + Q(b) + ": it is the same file as " + Q(a) +
                       "; it was converted once"));
    EXPECT_EQ(ReadBytes(a), job.Once(points));
    EXPECT_EQ(ReadBytes(dir.File("a1.txt")), job.Once(points));
}

// Loss: pts.txt, pts.dat and pts all wrote pts1.txt; the last one won and
// all three were reported as converted.
TEST(CliGuards, SourcesSharingAnOutputLeaveItToTheFirst) {
    Job job;
    for (const std::string naming : {"2", "0"}) {
        TestTempDir dir;
        const std::vector<std::string> sources = {dir.File("pts.txt"), dir.File("pts.dat"),
                                                  dir.File("pts")};
        for (std::size_t i = 0; i < sources.size(); ++i) {
            WriteBytes(sources[i], PointLines(2, 20, ',', 3 + i));
        }
        const CommandResult r = RunConvert(job.Args(naming, sources), "/");
        EXPECT_EQ(r.status, kExitSkipped);
        std::string expected;
        for (std::size_t i : {1, 2}) {
            expected +=
                Line("skipped " + Q(sources[i]) + ": its output " + Q(dir.File("pts1.txt")) +
                     " is written for " + Q(sources[0]) + " in this run; it was not converted");
            EXPECT_EQ(ReadBytes(sources[i]), PointLines(2, 20, ',', 3 + i));
        }
        EXPECT_EQ(r.err, expected);
        EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), job.Once(PointLines(2, 20, ',', 3)));
    }
}

// Loss: an existing file with the output's name (the surveyor's own
// pts1.txt, or the a1.txt that overwrite writes first) was replaced.
TEST(CliGuards, OutputsThatExistAreReplacedOnlyWithOverwrite) {
    Job job;
    TestTempDir dir;
    const std::string own = "MINE,1,2,3,\r\n";
    const std::string points = PointLines(2, 10);
    const std::vector<std::string> sources = {dir.File("pts.txt"), dir.File("q.txt")};
    for (const std::string naming : {"2", "0"}) {
        SCOPED_TRACE(naming);
        for (const std::string& s : sources) WriteBytes(s, points);
        WriteBytes(dir.File("pts1.txt"), own);
        std::filesystem::remove(dir.File("q1.txt"));
        CommandResult r = RunConvert(job.Args(naming, sources), "/");
        EXPECT_EQ(r.status, kExitSkipped);
        EXPECT_EQ(r.err,
                  Line("skipped " + Q(sources[0]) + ": its output " + Q(dir.File("pts1.txt")) +
                       " exists already and was kept (--overwrite replaces it); it was "
                       "not converted"));
        EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), own);
        EXPECT_EQ(ReadBytes(sources[0]), points);
        EXPECT_EQ(ReadBytes(dir.File("q1.txt")), job.Once(points));

        // Both outputs exist now: --overwrite replaces them.
        WriteBytes(sources[1], points);
        r = RunConvert(job.Args(naming, sources, {"--overwrite"}), "/");
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), job.Once(points));
        EXPECT_EQ(ReadBytes(sources[0]), naming == "0" ? job.Once(points) : points);
    }
    EXPECT_EQ(RunConvert({"--estimate", "three", "--overwrite", "x"}, "/").status, kExitSetup);
}

// A source that cannot be read is skipped and reported; the others are
// converted (it stopped the whole run before).
TEST(CliGuards, UnreadableSourcesAreSkippedAndTheOthersConverted) {
    Job job;
    TestTempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    WriteBytes(dir.File("a.txt"), PointLines(2, 5));
    const CommandResult r = RunConvert(
        job.Args("2", {dir.File("missing.txt"), dir.File("sub"), dir.File("a.txt")}), "/");
    EXPECT_EQ(r.status, kExitSkipped);
    EXPECT_EQ(r.err, Line("skipped " + Q(dir.File("missing.txt")) +
                          ": cannot read it: " + std::strerror(ENOENT)) +
                         Line("skipped " + Q(dir.File("sub")) +
                              ": cannot read it: " + std::strerror(EISDIR)));
    EXPECT_EQ(ReadBytes(dir.File("a1.txt")), job.Once(PointLines(2, 5)));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.txt", "a1.txt", "sub"}));
}

// Losses: a read-only source under overwrite and a read-only project file
// were replaced; a writable project file in a read-only folder could not be
// saved. Run as an ordinary user.
TEST(CliGuards, ReadOnlyFilesAreKeptAndReadOnlyFoldersDoNotStopASave) {
    UNPRIVILEGED_OR_SKIP(user);
    Job job;
    TestTempDir dir;
    const std::string points = PointLines(2, 10);
    const std::string a = dir.File("a.txt"), b = dir.File("b.txt"), c = dir.File("c.txt");
    for (const std::string& s : {a, b, c}) WriteBytes(s, points);
    WriteBytes(dir.File("common.txt"), "K1 100 200 300 112 190 305\n");
    const std::string locked = dir.File("locked.cod");
    const std::string folder = dir.File("ro");
    WriteBytes(locked, "the user's");
    std::filesystem::create_directory(folder);
    WriteBytes(folder + "/new.cod", "the user's");
    user.Own(dir.Path());
    user.Own(job.conf.Path());
    ASSERT_EQ(::chmod(a.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(c.c_str(), 0), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const std::string once = job.Once(points);
    user.Run([&] {
        CommandResult r = RunConvert(job.Args("0", {a, b, c}), "/");
        EXPECT_EQ(r.status, kExitSkipped);
        EXPECT_EQ(
            r.err,
            Line("skipped " + Q(a) + ": it could not be replaced: " + std::strerror(EACCES) +
                 "; it was kept as it was and the conversion is in " + Q(dir.File("a1.txt"))) +
                Line("skipped " + Q(c) + ": cannot read it: " + std::strerror(EACCES)));
        EXPECT_EQ(ReadBytes(dir.File("a1.txt")), once);
        EXPECT_EQ(ReadBytes(b), once);

        const std::vector<std::string> estimate = {
            "--estimate",     "three",     "--from",         "space", "--to",          "space",
            "--source-datum", "beijing54", "--target-datum", "wgs84", "--save-project"};
        std::vector<std::string> args = estimate;
        args.insert(args.end(), {locked, dir.File("common.txt")});
        r = RunConvert(args, "/");
        EXPECT_EQ(r.status, kExitSkipped);
        EXPECT_NE(
            r.err.find(Line("cannot save the project " + Q(locked) + ": " + std::strerror(EACCES))),
            std::string::npos)
            << r.err;
        args = estimate;
        args.insert(args.end(), {folder + "/new.cod", dir.File("common.txt")});
        r = RunConvert(args, "/");
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        ConversionSession saved;
        std::string error;
        EXPECT_TRUE(saved.LoadProject(folder + "/new.cod", &error)) << error;
        EXPECT_EQ(saved.m_params.m_seven[0], 12.0);
    });
    EXPECT_EQ(ReadBytes(a), points);
    EXPECT_EQ(ReadBytes(locked), "the user's");
}

// The bar would be drawn among the converted lines when standard output
// and standard error are one terminal.
TEST(CliGuards, NoProgressBarAmongConvertedLines) {
    const std::vector<std::string> args = {"--items", "id,x,y,h", "--progress", "on", "--local1",
                                           "0,0,0,1"};
    const std::string points = PointLines(2, 50);
    CommandResult r = RunConvert(args, "/", points, true, true);
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(r.out.empty());
    r = RunConvert(args, "/", points, true, false);  // output elsewhere: the bar shows
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;

    // Files write no lines to standard output: their bar stays.
    TestTempDir dir;
    WriteBytes(dir.File("a.txt"), points);
    r = RunConvert(
        {"--items", "id,x,y,h", "--extension", "txt", "--progress", "on", "--local1", "0,0,0,1",
         dir.File("a.txt")},
        "/",
        "", true, true);
    EXPECT_EQ(r.status, kExitConverted);
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
}

}  // namespace
