// terrax-convert as a process: exit statuses, a real pipe from standard input
// to standard output, and peak memory that does not grow with the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"

namespace {

struct Process {
    int status = -1;  // exit status, or -1 when it did not exit normally
    long maxRssKiB = 0;
};

// Runs the converter with standard input, output and error on the given
// files ("" for the null device). With `measure`, through the probe that
// tells its peak memory.
Process Spawn(const std::vector<std::string>& args, const TestPlatform::ProgramStreams& streams,
              const std::string& measure = {}) {
    std::vector<std::string> command;
    if (!measure.empty()) command = {PEAK_MEMORY_PROBE, measure};
    command.push_back(TERRAX_CONVERT);
    command.insert(command.end(), args.begin(), args.end());
    Process p;
    p.status = TestPlatform::RunProgram(command, streams);
    if (!measure.empty()) {
        p = Process{};
        if (std::FILE* f = std::fopen(measure.c_str(), "r")) {
            if (std::fscanf(f, "%d %ld", &p.status, &p.maxRssKiB) != 2) p = Process{};
            std::fclose(f);
        }
    }
    return p;
}

Process Spawn(const std::vector<std::string>& args, const std::string& in, const std::string& out,
              const std::string& err) {
    return Spawn(args, {in, nullptr, out, err});
}

TEST(Process, ExitStatusesAndMessages) {
    TestTempDir dir;
    TestTempDir config;
    ScopedEnv configHome(TestPlatform::kConfigFolderVariable, config.Path());
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
    // A Chinese file name on the command line (on Windows the wide one).
    WriteBytes(dir.File("控制点.txt"), PointLines(2, 3));
    EXPECT_EQ(
        Spawn({"--from", "plane", "--to", "plane", "--local1", "0,0,0,1", "--format", "坐标",
               dir.File("控制点.txt")},
              "",
              dir.File("out"), dir.File("err"))
            .status,
        0)
        << ReadBytes(dir.File("err"));
    const std::string converted = ReadBytes(dir.File("控制点.txt1"));
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
    batch.m_format.m_formatExtension = "txt";
    batch.m_sourceFiles = {dir.File("p.txt")};
    batch.m_sourceFileCount = 1;
    ASSERT_EQ(RunBatch(batch).converted.size(), 1u);
    std::string error;
    ConversionSession saved = MakeTestSession(0, 1);
    ASSERT_TRUE(saved.SaveProject(dir.File("job.cod"), &error));
    const Process p = Spawn({"--project", dir.File("job.cod"), "--items", "id,x,y,h,other"},
                            {"", &points, dir.File("out"), dir.File("err")});
    EXPECT_EQ(p.status, 0) << ReadBytes(dir.File("err"));
    EXPECT_EQ(ReadBytes(dir.File("out")), ReadBytes(dir.File("p.txt1")));
}

// Peak memory of a run over 1,000,000 points against one over 1,000: the
// engine streams, so the difference stays within a few MiB.
TEST(Process, PeakMemoryDoesNotGrowWithTheFile) {
    if (std::string(PEAK_MEMORY_PROBE).empty()) {
        GTEST_SKIP() << "no probe of a child's peak memory on this system";
    }
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
            const Process p = Spawn(args,
                                    {stdinToStdout ? source : "", nullptr,
                                     stdinToStdout ? dir.File("out.txt") : "", dir.File("err")},
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
