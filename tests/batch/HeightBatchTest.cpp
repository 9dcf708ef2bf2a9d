// Heights in the batch: the H column of a file converted with the switch
// on, the switch off byte for byte as before, lines outside the geoid grid
// written as they were and reported by number (on one thread and on
// several), extrapolated points counted, and the batch's messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch/BatchSummary.h"
#include "batch/FileBatch.h"
#include "batch/LineEngine.h"
#include "batch/OutputPath.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/HeightTestData.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"

namespace {

const std::string& kSmallGrid = kSmallGeoidGrid;

std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* f = TestPlatform::TemporaryStream();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::string RunEngine(const ConversionSession& session, const std::string& input, StreamResult* result,
                int threads = 1, std::size_t readBytes = 1 << 16) {
    std::FILE* in = StreamOf(input);
    std::FILE* out = TestPlatform::TemporaryStream();
    LineEngine engine(session);
    engine.SetThreads(threads);
    engine.SetReadBytes(readBytes);
    *result = engine.Convert(in, out);
    std::rewind(out);
    std::string bytes;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;) bytes.append(buf, n);
    std::fclose(in);
    std::fclose(out);
    return bytes;
}

// Geodetic WGS-84 lines id,B,L,h to plane coordinates on the same datum,
// with ζ from the small test grid: N = -20 + 4 (B - 30°) + (L - 114°).
ConversionSession GridSession(bool enabled) {
    ConversionSession s;
    s.m_sourceKind = 1;
    s.m_targetKind = 2;
    s.m_sourceDatum = s.m_targetDatum = 2;
    s.m_format.m_formatSeparator = ",";
    for (int k = 0; k < 3; ++k) s.m_format.m_column[k] = k + 1;
    s.m_heights.enabled = enabled;
    s.m_heights.geoid = kSmallGrid;
    std::string error;
    EXPECT_TRUE(s.OpenGeoidGrid("", &error)) << error;
    s.PrepareConversion();
    return s;
}

// Fields up to the last separator; "" for a field a line lacks.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ',') {
            fields.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return fields;
}

}  // namespace

TEST(HeightBatch, HeightColumnIsTheNormalHeightAndTheRestAsWithTheSwitchOff) {
    const std::string input =
        "P1,030:18:00.000,114:36:00.000,100,a,\r\n"
        "P2,030:00:00.000,114:00:00.000,0,b,\r\n"
        "P3,030:45:00.000,114:59:24.000,-12.5,c,\r\n";
    // N at the three points: -18.2, -20, -16.01.
    const char* const expectedH[] = {"118.200000", "20.000000", "3.510000"};
    StreamResult on, off;
    const std::string withHeights = RunEngine(GridSession(true), input, &on);
    const std::string without = RunEngine(GridSession(false), input, &off);
    const std::vector<std::string> a = CrlfLines(withHeights), b = CrlfLines(without);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::vector<std::string> fa = Fields(a[i]), fb = Fields(b[i]);
        ASSERT_EQ(fa.size(), 5u) << a[i];
        EXPECT_EQ(fa[3], expectedH[i]) << a[i];
        EXPECT_NE(fa[3], fb[3]);
        for (std::size_t k : {0u, 1u, 2u, 4u}) EXPECT_EQ(fa[k], fb[k]) << k;
    }
    EXPECT_EQ(on.outsideGeoidLines, 0u);
    EXPECT_EQ(on.extrapolatedLines, 0u);
}

// Guards the switch off for every pair of kinds: a session holding a model
// and an open grid writes what one without heights writes, byte for byte.
TEST(HeightBatch, SwitchOffWritesEveryKindByteForByte) {
    for (int from = 0; from < 3; ++from) {
        for (int to = 0; to < 3; ++to) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            std::string input;
            for (const std::vector<std::string>& p : TestPoints(from)) {
                input += "P," + p[0] + "," + p[1] + "," + p[2] + ",x\r\n";
            }
            const ConversionSession plain = MakeTestSession(from, to);
            ConversionSession held = plain;
            held.m_heights.model = HeightModel();
            held.m_heights.model->coefficients[0] = 30;
            held.m_heights.model->onGeoid = true;
            held.m_heights.geoid = kSmallGrid;
            std::string error;
            ASSERT_TRUE(held.OpenGeoidGrid("", &error)) << error;
            StreamResult r1, r2;
            EXPECT_EQ(RunEngine(held, input, &r1), RunEngine(plain, input, &r2));
        }
    }
}

TEST(HeightBatch, LinesOutsideTheGridAreWrittenAsReadAndNumbered) {
    std::vector<std::string> given = {"点号,纬度,经度,椭球高,"};
    std::vector<std::uint64_t> outside;
    for (int i = 0; i < 400; ++i) {
        const bool out = i % 37 == 5;
        given.push_back("P" + std::to_string(i) + (out ? ",032:00:00.000" : ",030:30:00.000") +
                        ",114:30:00.000,10,");
        if (out) outside.push_back(given.size());
    }
    std::string input;
    for (const std::string& line : given) input += line + "\r\n";
    StreamResult one;
    const std::string single = RunEngine(GridSession(true), input, &one);
    ASSERT_TRUE(one.Succeeded());
    EXPECT_EQ(one.outsideGeoidLines, outside.size());
    EXPECT_EQ(one.outsideGeoidLineNumbers,
              std::vector<std::uint64_t>(outside.begin(), outside.begin() + 5));
    EXPECT_EQ(one.unrepresentableLines, 0u);
    const std::vector<std::string> lines = CrlfLines(single);
    ASSERT_EQ(lines.size(), 401u);
    for (std::uint64_t n : outside) EXPECT_EQ(lines[n - 1], given[n - 1]) << n;
    EXPECT_NE(lines[1], given[1]);
    EXPECT_EQ(Fields(lines[1])[3], "27.500000");  // N = -17.5 at 30.5°N 114.5°E

    // In blocks on two threads: the same bytes and the same numbers.
    StreamResult two;
    EXPECT_EQ(RunEngine(GridSession(true), input, &two, 2, 512), single);
    EXPECT_EQ(two.outsideGeoidLines, one.outsideGeoidLines);
    EXPECT_EQ(two.outsideGeoidLineNumbers, one.outsideGeoidLineNumbers);

    BatchResult batch;
    batch.converted.push_back({"/data/a.txt", "/data/a.txt1", one});
    const BatchCounts counts = CountBatch(batch);
    EXPECT_EQ(counts.points, 400u - outside.size());
    EXPECT_EQ(counts.skippedLines, outside.size() + 1);
    const std::string report = BatchReport(batch);
    EXPECT_NE(report.find("大地水准面格网之外"), std::string::npos) << report;
    EXPECT_NE(report.find("第7、44、81、118、155行等（共" + std::to_string(outside.size()) + "行）"),
              std::string::npos)
        << report;
}

TEST(HeightBatch, ExtrapolatedPointsAreCountedAndReported) {
    ConversionSession s = GridSession(true);
    s.m_heights.model = PlaneModelNearTheGrid(1);
    const std::string input =
        "A,030:18:00.000,114:36:00.000,10,\r\nB,030:48:00.000,114:36:00.000,10,\r\n"
        "C,030:18:00.000,114:36:10.000,10,\r\nD,029:30:00.000,114:36:00.000,10,\r\n";
    StreamResult r;
    const std::vector<std::string> lines = CrlfLines(RunEngine(s, input, &r));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Fields(lines[0])[3], "9.000000");
    EXPECT_EQ(r.extrapolatedLines, 2u);
    EXPECT_EQ(r.extrapolatedLineNumbers, (std::vector<std::uint64_t>{2, 4}));
    BatchResult batch;
    batch.converted.push_back({"/data/a.txt", "/data/a.txt1", r});
    EXPECT_EQ(CountBatch(batch).points, 4u);
    EXPECT_NE(BatchSummary(batch, 1.0).find("其中 2 个点的高程异常是外推的。"), std::string::npos);
    EXPECT_NE(BatchReport(batch).find("第2、4行（共2行）"), std::string::npos) << BatchReport(batch);
    r.extrapolatedLines = 0;
    batch.converted[0].stream = r;
    EXPECT_EQ(BatchSummary(batch, 1.0).find("外推"), std::string::npos);
}

TEST(HeightBatch, RunBatchRefusesHeightsThatCannotConvertAndKeepsSourcesUnderOverwrite) {
    TestTempDir dir;
    const std::string source = "P1,030:30:00.000,114:30:00.000,10,\r\nP2,035:00:00.000,114:30:00.000,10,\r\n";
    WriteBytes(dir.File("a.txt"), source);
    ConversionSession s = GridSession(true);
    s.m_format.m_formatExtension = "txt";
    s.m_format.m_naming = kNamingOverwrite;
    s.m_sourceFiles = {dir.File("a.txt")};
    s.m_sourceFileCount = 1;

    ConversionSession closed = s;
    closed.m_geoidGrid.reset();
    BatchResult refused = RunBatch(closed);
    EXPECT_FALSE(refused.started);
    EXPECT_NE(refused.error.find("没有打开"), std::string::npos) << refused.error;
    closed.m_heights.geoid.clear();
    refused = RunBatch(closed);
    EXPECT_NE(refused.error.find("既没有高程拟合模型"), std::string::npos) << refused.error;
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), source);

    // A line outside the grid would stay unconverted in the replaced source.
    const BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::OutsideGeoid);
    EXPECT_NE(r.skipped[0].message.find("第2行"), std::string::npos) << r.skipped[0].message;
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), source);
    const std::vector<std::string> out = CrlfLines(ReadBytes(dir.File("a1.txt")));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1] + "\r\n", source.substr(source.find("P2")));
}
