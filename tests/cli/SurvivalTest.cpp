// Nothing of the user's is lost when terrax-convert is killed part way, when
// two runs overlap, or when a line holds numbers no double carries: the real
// executable in a child process, killed where TERRAX_TEST_KILL says.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "io/WriteSlot.h"
#include "platform/Platform.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/Unprivileged.h"

namespace {

// A project (plane to geodetic) and a store with the format 坐标.
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
        std::vector<std::string> args = {"--project", project, "--format", "坐标",
                                         "--store",   store,   "--naming", naming};
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

// The converter as a process; `kill` sets TERRAX_TEST_KILL for it.
int RunProcess(const std::vector<std::string>& args, const std::string& err,
               const char* kill = nullptr, const std::string& out = {}) {
    ScopedEnv hook("TERRAX_TEST_KILL", kill);
    std::vector<std::string> command = {TERRAX_CONVERT};
    command.insert(command.end(), args.begin(), args.end());
    return TestPlatform::RunProgram(command, {"", nullptr, out, err});
}

// Killed: no exit status of its own (on Windows the status TerminateNow gives).
bool WasKilled(int status) { return status == -1 || status == 137; }

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Loss: a SIGKILL left pts1.txt cut mid-line under its final name, and the
// next run skipped the source because its output "existed".
TEST(Survival, KillDuringAConversionLeavesNoOutputUnderItsName) {
    Job job;
    TestTempDir dir;
    const std::string points = PointLines(2, 40000);
    const std::string source = dir.File("pts.txt"), output = dir.File("pts1.txt");
    WriteBytes(source, points);
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const int status =
            RunProcess(job.Args("2", {source}, {"--jobs", jobs}), dir.File("err"), "lines:3000");
        ASSERT_TRUE(WasKilled(status)) << "status " << status;
        EXPECT_FALSE(Platform::Exists(output));
        // The next run takes over what the killed one left and finishes.
        ASSERT_EQ(RunProcess(job.Args("2", {source}, {"--jobs", jobs}), dir.File("err")), 0)
            << ReadBytes(dir.File("err"));
        EXPECT_EQ(ReadBytes(output), job.Once(points));
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"err", "pts.txt", "pts1.txt"}));
        std::filesystem::remove(PathOf(output));
    }
}

// Loss: naming 0 over a source with a second name is written in place; a
// kill there left its first lines converted and the rest original.
TEST(Survival, KillDuringAnInPlaceReplacementIsUndoneByTheNextRun) {
    Job job;
    TestTempDir dir;
    const std::string points = PointLines(2, 20000);
    const std::string source = dir.File("s.txt"), link = dir.File("h.txt");
    WriteBytes(source, points);
    std::filesystem::create_hard_link(PathOf(source), PathOf(link));
    const int status =
        RunProcess(job.Args("0", {source}, {"--jobs", "1"}), dir.File("err"), "in-place:65536");
    ASSERT_TRUE(WasKilled(status)) << "status " << status;
    // Part written: the old bytes wait in their named copy.
    const std::string backup = BackupPathFor(source);
    ASSERT_TRUE(Platform::Exists(backup));
    EXPECT_EQ(ReadBytes(backup), points);

    // The next run puts them back, then converts the source as it was.
    ASSERT_EQ(RunProcess(job.Args("0", {source}, {"--jobs", "1", "--overwrite"}),
                         dir.File("err")),
              0)
        << ReadBytes(dir.File("err"));
    EXPECT_TRUE(Contains(ReadBytes(dir.File("err")), "restored '" + source + "'"))
        << ReadBytes(dir.File("err"));
    EXPECT_EQ(ReadBytes(source), job.Once(points));
    EXPECT_EQ(ReadBytes(link), job.Once(points));
    EXPECT_FALSE(Platform::Exists(backup));
}

// Loss: two runs at once both converted s.txt (shifted twice), or one
// replaced the s1.txt the other had just made, without --overwrite.
TEST(Survival, ARunRefusesTheFilesAnotherRunHolds) {
    Job job;
    TestTempDir dir;
    const std::string points = PointLines(2, 50);
    for (const char* name : {"s.txt", "p.txt", "q.txt"}) WriteBytes(dir.File(name), points);
    // This process plays the first run: it holds s.txt (naming 0 writes it)
    // and p1.txt.
    CWriteSlot holdSource, holdOutput;
    ASSERT_EQ(holdSource.Claim(dir.File("s.txt")), CWriteSlot::Status::Claimed);
    ASSERT_EQ(holdOutput.Claim(dir.File("p1.txt")), CWriteSlot::Status::Claimed);

    EXPECT_EQ(RunProcess(job.Args("0", {dir.File("s.txt"), dir.File("q.txt")}), dir.File("err")),
              1);
    const std::string err = ReadBytes(dir.File("err"));
    EXPECT_TRUE(Contains(err, "skipped '" + dir.File("s.txt") + "': '" + dir.File("s.txt") +
                                  "' is being written by another run"))
        << err;
    if (Platform::ProcessId() > 0 && Contains(err, "(process ")) {
        EXPECT_TRUE(Contains(err, "(process " + std::to_string(Platform::ProcessId()) + ")"));
    }
    EXPECT_EQ(ReadBytes(dir.File("s.txt")), points);
    EXPECT_FALSE(Platform::Exists(dir.File("s1.txt")));
    EXPECT_EQ(ReadBytes(dir.File("q.txt")), job.Once(points));

    EXPECT_EQ(RunProcess(job.Args("2", {dir.File("p.txt")}), dir.File("err")), 1);
    EXPECT_TRUE(Contains(ReadBytes(dir.File("err")), "'" + dir.File("p1.txt") +
                                                         "' is being written by another run"));
    EXPECT_FALSE(Platform::Exists(dir.File("p1.txt")));

    // Once the first run is over, the files are free.
    holdSource.Release();
    holdOutput.Release();
    EXPECT_EQ(RunProcess(job.Args("2", {dir.File("p.txt")}), dir.File("err")), 0);
    EXPECT_EQ(ReadBytes(dir.File("p1.txt")), job.Once(points));
}

// Loss: "P1,1e400,2,3," became "inf,-inf,inf" over the source, exit 0 and
// no message; so did 400-digit numbers, 1.797e308 and Mercator at 90°.
TEST(Survival, NumbersThatCannotBeCarriedKeepTheSourceAndAreReported) {
    TestTempDir conf;
    const std::string store = conf.File("Par.txt");
    std::string error;
    ASSERT_TRUE(SaveFormatStore(store, {PointFormat("坐标", "txt", " ")}, &error)) << error;
    struct Case {
        std::string line;
        std::vector<std::string> options;
        std::string lines = "not finite numbers (line 2)";
        std::string good = "P0 1000.000 2000.000 3000.000 GPS \r\n";
    } cases[] = {
        {"P1 1e400 2 3 GPS ", {"--from", "space", "--to", "space"}},
        {"P1 1e+2147483648 2 3 GPS ", {"--from", "space", "--to", "space"}},
        {"P1 " + std::string(400, '9') + " 2 3 GPS ", {"--from", "space", "--to", "space"}},
        {"P1 1.797e308 1.797e308 1.797e308 GPS ", {"--from", "space", "--to", "geodetic"}},
        // Not a number to the reader, and not finite either.
        {"P1 nan 2 3 GPS ", {"--from", "space", "--to", "space"}, "(line 2)"},
        // Every point of a Mercator projection at the pole.
        {"P1 30:00:00 114:00:00 0 GPS ",
         {"--from", "geodetic", "--to", "plane", "--projection", "mercator", "--base-latitude",
          "90:00:00"},
         "not finite numbers (lines 1, 2, 3)",
         "P0 31:00:00 115:00:00 10 GPS \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.substr(0, 60));
        TestTempDir dir;
        const std::string source = dir.File("s.txt");
        const std::string text = c.good + c.line + "\r\n" + c.good;
        WriteBytes(source, text);
        std::vector<std::string> args = {"--format", "坐标", "--store", store, "--naming", "0"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(source);
        const CommandResult r = RunConvert(args, "/");
        EXPECT_EQ(r.status, kExitSkipped);
        EXPECT_EQ(ReadBytes(source), text);
        EXPECT_TRUE(Contains(r.err, c.lines)) << r.err;
        // The line as it was in the conversion beside it; the others converted.
        const std::string converted = ReadBytes(dir.File("s1.txt"));
        EXPECT_TRUE(Contains(converted, "\r\n" + c.line + "\r\n")) << converted.substr(0, 300);
        EXPECT_FALSE(Contains(converted, "inf")) << converted.substr(0, 300);

        // Beside the source the same conversion is made and noted.
        args[5] = "2";
        args.push_back("--overwrite");
        const CommandResult beside = RunConvert(args, "/");
        EXPECT_EQ(beside.status, kExitConverted);
        EXPECT_TRUE(Contains(beside.err, c.lines)) << beside.err;
        EXPECT_EQ(ReadBytes(dir.File("s1.txt")), converted);
    }
}

// Loss: a dangling a.txt1 -> elsewhere/created.txt did not count as an
// output, and the file was created at the link's target; with --overwrite
// a.txt1 -> precious.txt rewrote precious.txt.
TEST(Survival, OutputLinksAreNeverWrittenThrough) {
    Job job;
    TestTempDir dir, elsewhere;
    const std::string points = PointLines(2, 20);
    const std::string source = dir.File("a.txt"), output = dir.File("a.txt1");
    WriteBytes(source, points);
    std::error_code noLink;
    std::filesystem::create_symlink(PathOf(elsewhere.File("created.txt")), PathOf(output), noLink);
    if (noLink) GTEST_SKIP() << "no symbolic link can be made here: " << noLink.message();

    CommandResult r = RunConvert(job.Args("1", {source}), "/");
    EXPECT_EQ(r.status, kExitSkipped);
    EXPECT_TRUE(Contains(r.err, "exists already")) << r.err;
    EXPECT_TRUE(elsewhere.Entries().empty());

    const std::string precious = elsewhere.File("precious.txt");
    WriteBytes(precious, "PRECIOUS\r\n");
    std::filesystem::remove(PathOf(output));
    std::filesystem::create_symlink(PathOf(precious), PathOf(output));
    r = RunConvert(job.Args("1", {source}), "/");
    EXPECT_EQ(r.status, kExitSkipped);
    r = RunConvert(job.Args("1", {source}, {"--overwrite"}), "/");
    EXPECT_EQ(r.status, kExitConverted) << r.err;
    EXPECT_EQ(ReadBytes(precious), "PRECIOUS\r\n");
    EXPECT_FALSE(std::filesystem::is_symlink(PathOf(output)));
    EXPECT_EQ(ReadBytes(output), job.Once(points));
    EXPECT_EQ(elsewhere.Entries(), std::vector<std::string>{"precious.txt"});
}

Platform::FileStatus StatusOf(const std::string& path) {
    Platform::FileStatus status;
    EXPECT_TRUE(Platform::StatusOf(path, &status)) << path;
    return status;
}

// Loss: naming 0 run by a member of the file's group turned a colleague's
// 0664 file into one of its own, and the colleague lost write access.
TEST(Survival, ReplacedFilesKeepTheirOwnerAndMode) {
    UNPRIVILEGED_OR_SKIP(user);
    if (!user.SwitchesFromRoot()) GTEST_SKIP() << "the tests do not run as root";
    Job job;
    const std::string points = PointLines(2, 30);
    {
        // Run by root: another user's files stay that user's.
        TestTempDir dir;
        const std::string source = dir.File("s.txt"), output = dir.File("p1.txt");
        WriteBytes(source, points);
        WriteBytes(dir.File("p.txt"), points);
        WriteBytes(output, "OLD\r\n");
        user.Own(source);
        user.Own(output);
        std::filesystem::permissions(PathOf(source), std::filesystem::perms(0640));
        std::filesystem::permissions(PathOf(output), std::filesystem::perms(0604));
        const Platform::FileStatus before = StatusOf(source);
        const CommandResult r =
            RunConvert(job.Args("0", {source}, {"--overwrite"}), "/");
        EXPECT_EQ(r.status, kExitConverted) << r.err;
        EXPECT_EQ(RunConvert(job.Args("2", {dir.File("p.txt")}, {"--overwrite"}), "/").status,
                  kExitConverted);
        EXPECT_EQ(ReadBytes(source), job.Once(points));
        EXPECT_EQ(ReadBytes(output), job.Once(points));
        for (const std::string& path : {source, output}) {
            const Platform::FileStatus after = StatusOf(path);
            EXPECT_EQ(after.owner, before.owner) << path;
            EXPECT_EQ(after.group, before.group) << path;
        }
        EXPECT_EQ(StatusOf(source).mode, 0640u);
        EXPECT_EQ(StatusOf(output).mode, 0604u);
    }
    {
        // Run by a member of the file's group, in a folder the group may
        // write: the file is root's before and after, written in place.
        TestTempDir dir;
        const std::string folder = dir.File("shared");
        std::filesystem::create_directory(PathOf(folder));
        const std::string source = folder + "/s.txt";
        WriteBytes(source, points);
        user.Own(dir.Path());
        user.Own(job.conf.Path());
        user.GiveToGroup(source);
        std::filesystem::permissions(PathOf(source), std::filesystem::perms(0664));
        const Platform::FileStatus before = StatusOf(source);
        user.Run([&] {
            const CommandResult r = RunConvert(job.Args("0", {source}, {"--overwrite"}), "/");
            EXPECT_EQ(r.status, kExitConverted) << r.err;
        });
        const Platform::FileStatus after = StatusOf(source);
        EXPECT_EQ(after.owner, before.owner);
        EXPECT_EQ(after.group, before.group);
        EXPECT_EQ(after.mode, 0664u);
        EXPECT_EQ(after.id, before.id);
        EXPECT_EQ(ReadBytes(source), job.Once(points));
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(PathOf(folder))) {
            left.push_back(TextOf(e.path().filename()));
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"s.txt", "s1.txt"}));
    }
}

// Loss: a 1 GB line took the whole memory (3.1 GB with --jobs 1) or ended
// in std::bad_alloc (exit 134) with an empty output left.
TEST(Survival, LinesLongerThanTheLimitStopTheirSource) {
    Job job;
    TestTempDir dir;
    const std::string points = PointLines(2, 200);
    const std::string longLine = "P9," + std::string(3 << 20, '7') + ",1,2,\r\n";
    const std::string source = dir.File("big.txt");
    WriteBytes(source, points + longLine + points);
    WriteBytes(dir.File("ok.txt"), points);
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        const CommandResult r = RunConvert(
            job.Args("2", {source, dir.File("ok.txt")},
                     {"--jobs", jobs, "--max-line-bytes", "1M", "--overwrite"}),
            "/");
        EXPECT_EQ(r.status, kExitSkipped);
        EXPECT_TRUE(Contains(r.err, "skipped '" + source + "': line 201 is longer than the line "
                                                           "limit"))
            << r.err;
        EXPECT_FALSE(Platform::Exists(dir.File("big1.txt")));
        EXPECT_EQ(ReadBytes(dir.File("ok1.txt")), job.Once(points));
        EXPECT_EQ(dir.Entries(),
                  (std::vector<std::string>{"big.txt", "ok.txt", "ok1.txt"}));
    }
    // Within the limit the line is converted.
    EXPECT_EQ(RunConvert(job.Args("2", {source}, {"--max-line-bytes", "4M"}), "/").status,
              kExitConverted);
    EXPECT_TRUE(Platform::Exists(dir.File("big1.txt")));

    // An endless line: a device that gives only zero bytes, through a link.
    std::error_code noLink;
    if (Platform::Exists("/dev/zero")) {
        std::filesystem::create_symlink("/dev/zero", PathOf(dir.File("zero.txt")), noLink);
    }
    if (Platform::Exists("/dev/zero") && !noLink) {
        const int status = RunProcess(job.Args("2", {dir.File("zero.txt")},
                                               {"--max-line-bytes", "2M", "--jobs", "2"}),
                                      dir.File("err"));
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(Contains(ReadBytes(dir.File("err")), "line 1 is longer than the line limit"))
            << ReadBytes(dir.File("err"));
        EXPECT_FALSE(Platform::Exists(dir.File("zero1.txt")));
    }
}

// Loss: --estimate > /dev/full, --json and --help exited 0 with nothing
// written.
TEST(Survival, AFullStandardOutputIsExitTwoInEveryMode) {
    if (!Platform::Exists("/dev/full")) GTEST_SKIP() << "/dev/full is not available";
    TestTempDir dir;
    WriteBytes(dir.File("common.txt"),
               "A 0 0 0 1 2 3\nB 100 0 0 101 2 3\nC 0 100 0 1 102 3\nD 0 0 100 1 2 103\n");
    WriteBytes(dir.File("pts.txt"), PointLines(2, 10));
    const std::vector<std::vector<std::string>> modes = {
        {"--help"},
        {"--version"},
        {"--estimate", "three", "--from", "plane", "--to", "plane", dir.File("common.txt")},
        {"--estimate", "three", "--from", "plane", "--to", "plane", "--json",
         dir.File("common.txt")},
        {"--from", "plane", "--to", "plane", "--items", "id,x,y,h,other", "--local1", "0,0,0,1",
         "-"},
    };
    for (const std::vector<std::string>& args : modes) {
        SCOPED_TRACE(args[0] + (args.size() > 5 ? " " + args[5] : ""));
        std::vector<std::string> command = {TERRAX_CONVERT};
        command.insert(command.end(), args.begin(), args.end());
        const int status =
            TestPlatform::RunProgram(command, {dir.File("pts.txt"), nullptr, "/dev/full",
                                               dir.File("err")});
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(Contains(ReadBytes(dir.File("err")), "cannot write to standard output"))
            << ReadBytes(dir.File("err"));
    }
}

}  // namespace
