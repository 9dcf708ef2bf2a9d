// terrax-convert as a process: exit statuses, a real pipe from standard input
// to standard output, and peak memory that does not grow with the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/ScopedEnv.h"

extern char** environ;

namespace {

struct Process {
    int status = -1;  // exit status, or -1 when it did not exit normally
    long maxRssKiB = 0;
};

// Runs the converter with standard input, output and error on the given
// files ("" for /dev/null). With `measure`, through the probe that tells its
// peak memory.
Process Spawn(const std::vector<std::string>& args, const std::string& in, const std::string& out,
              const std::string& err, const std::string& measure = {}) {
    std::vector<std::string> all;
    if (!measure.empty()) all = {PEAK_MEMORY_PROBE, measure};
    all.push_back(TERRAX_CONVERT);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    auto file = [](const std::string& p) { return p.empty() ? std::string("/dev/null") : p; };
    posix_spawn_file_actions_addopen(&actions, 0, file(in).c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, file(out).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, file(err).c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid;
    Process p;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return p;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return p;
    if (WIFEXITED(status)) p.status = WEXITSTATUS(status);
    p.maxRssKiB = usage.ru_maxrss;
    if (!measure.empty()) {
        p = Process{};
        if (std::FILE* f = std::fopen(measure.c_str(), "r")) {
            if (std::fscanf(f, "%d %ld", &p.status, &p.maxRssKiB) != 2) p = Process{};
            std::fclose(f);
        }
    }
    return p;
}

TEST(Process, ExitStatusesAndMessages) {
    TestTempDir dir;
    TestTempDir config;
    ScopedEnv configHome("XDG_CONFIG_HOME", config.Path());
    const std::string exe = TERRAX_CONVERT;
    const std::string exeDir = exe.substr(0, exe.rfind('/') + 1);
    EXPECT_EQ(Spawn({"--help"}, "", dir.File("out"), dir.File("err")).status, 0);
    EXPECT_EQ(ReadBytes(dir.File("out")), HelpText(config.File("terrax/Par.txt")));
    EXPECT_EQ(Spawn({"--version"}, "", dir.File("out"), dir.File("err")).status, 0);
    EXPECT_EQ(ReadBytes(dir.File("out")), std::string("terrax-convert (TerraX) ") + TERRAX_VERSION + "\n");
    EXPECT_EQ(Spawn({"--naming", "7"}, "", dir.File("out"), dir.File("err")).status, 2);
    EXPECT_EQ(ReadBytes(dir.File("err")),
              "terrax-convert: bad value '7' for --naming: expected 0 (overwrite), 1 (ext1) or 2 "
              "(name1)\nTry 'terrax-convert --help' for the options.\n");
    EXPECT_EQ(ReadBytes(dir.File("out")), "");
    // Without --store, and none beside the executable, the store is the
    // one the window keeps in the configuration folder.
    EXPECT_EQ(Spawn({"--format", "坐标"}, "", dir.File("out"), dir.File("err")).status, 2);
    EXPECT_EQ(ReadBytes(dir.File("err")), "terrax-convert: the format store '" +
                                              config.File("terrax/Par.txt") + "' does not exist\n");
    std::filesystem::create_directory(config.File("terrax"));
    std::string error;
    ASSERT_TRUE(SaveFormatStore(config.File("terrax/Par.txt"),
                                {PointFormat("坐标", "txt", ",")}, &error))
        << error;
    WriteBytes(dir.File("p.txt"), PointLines(2, 3));
    EXPECT_EQ(Spawn({"--from", "plane", "--to", "plane", "--format", "坐标", dir.File("p.txt")}, "",
                    dir.File("out"), dir.File("err"))
                  .status,
              0)
        << ReadBytes(dir.File("err"));
    const std::string converted = ReadBytes(dir.File("p.txt1"));
    EXPECT_EQ(converted.substr(0, 3), "P1,");
    EXPECT_EQ(std::count(converted.begin(), converted.end(), '\n'), 3);
    ASSERT_FALSE(std::filesystem::exists(exeDir + "Par.txt"));
}

// Guards against a converter that needs a regular file to read: the input
// comes through a pipe written by another thread while it converts.
TEST(Process, PipeFromStandardInputToStandardOutput) {
    TestTempDir dir;
    const std::string points = PointLines(0, 8000);
    WriteBytes(dir.File("p.txt"), points);
    ConversionSession batch = MakeTestSession(0, 1);  // columns 1, 2, 3 of a comma format
    batch.m_params.m_formatExtension = "txt";
    batch.m_sourceFiles = {dir.File("p.txt")};
    batch.m_sourceFileCount = 1;
    ASSERT_EQ(RunBatch(batch).converted.size(), 1u);
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::thread writer([&] {
        std::FILE* f = std::fopen(dir.File("fifo").c_str(), "wb");
        if (f == nullptr) return;
        std::fwrite(points.data(), 1, points.size(), f);
        std::fclose(f);
    });
    std::string error;
    ConversionSession saved = MakeTestSession(0, 1);
    ASSERT_TRUE(saved.SaveProject(dir.File("job.cod"), &error));
    const Process p = Spawn({"--project", dir.File("job.cod"), "--items", "id,x,y,h,other"},
                            dir.File("fifo"), dir.File("out"), dir.File("err"));
    writer.join();
    EXPECT_EQ(p.status, 0) << ReadBytes(dir.File("err"));
    EXPECT_EQ(ReadBytes(dir.File("out")), ReadBytes(dir.File("p.txt1")));
}

// Peak memory of a run over 1,000,000 points against one over 1,000: the
// engine streams, so the difference stays within a few MiB.
TEST(Process, PeakMemoryDoesNotGrowWithTheFile) {
    TestTempDir dir;
    for (const auto& [name, count] : {std::pair<std::string, int>{"small.txt", 1000},
                                      std::pair<std::string, int>{"large.txt", 1000000}}) {
        std::FILE* f = std::fopen(dir.File(name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int done = 0; done < count; done += 1000) {
            const std::string lines = PointLines(1, 1000, ',', static_cast<std::uint64_t>(done));
            std::fwrite(lines.data(), 1, lines.size(), f);
        }
        std::fclose(f);
    }
    long peak[2] = {};
    for (const bool stdinToStdout : {false, true}) {
        for (int i = 0; i < 2; ++i) {
            const std::string source = dir.File(i == 0 ? "small.txt" : "large.txt");
            std::vector<std::string> args = {
                "--from",         "geodetic",  "--to",           "plane",
                "--source-datum", "beijing54", "--target-datum", "wgs84",
                "--seven",        "on",        "--items",        "id,lat,lon,height,other",
                "--extension",    "txt"};
            if (!stdinToStdout) args.push_back(source);
            const Process p = Spawn(args, stdinToStdout ? source : "",
                                    stdinToStdout ? dir.File("out.txt") : "", dir.File("err"),
                                    dir.File("peak"));
            ASSERT_EQ(p.status, 0) << ReadBytes(dir.File("err"));
            peak[i] = p.maxRssKiB;
        }
        const std::string output = stdinToStdout ? dir.File("out.txt") : dir.File("large.txt1");
        std::FILE* f = std::fopen(output.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        long lines = 0;
        for (int c; (c = std::fgetc(f)) != EOF;) lines += c == '\n';
        std::fclose(f);
        EXPECT_EQ(lines, 1000000);
        RecordProperty(stdinToStdout ? "pipe_peak_kib_1000" : "file_peak_kib_1000",
                       static_cast<int>(peak[0]));
        RecordProperty(stdinToStdout ? "pipe_peak_kib_1000000" : "file_peak_kib_1000000",
                       static_cast<int>(peak[1]));
        EXPECT_LE(peak[1] - peak[0], 4 * 1024)
            << "1,000 points: " << peak[0] << " KiB, 1,000,000 points: " << peak[1] << " KiB";
    }
}

}  // namespace
