// The line engine on streams: line ends, the empty line that ends the read,
// fields that pass through byte for byte, every kind pair against the
// single-point conversion, and failing streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "batch/FilePoint.h"
#include "batch/LineEngine.h"
#include "batch/LineIO.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/TestPlatform.h"

namespace {

// A temporary stream holding `bytes`, positioned at its start.
std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* f = TestPlatform::TemporaryStream();
    if (f == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::string Contents(std::FILE* f) {
    std::rewind(f);
    std::string bytes;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    return bytes;
}

std::string RunEngine(const ConversionSession& session, const std::string& input,
                      StreamResult* result = nullptr) {
    std::FILE* in = StreamOf(input);
    std::FILE* out = TestPlatform::TemporaryStream();
    LineEngine engine(session);
    StreamResult r = engine.Convert(in, out);
    std::string bytes = Contents(out);
    std::fclose(in);
    std::fclose(out);
    if (result) *result = r;
    return bytes;
}

std::string Join(const std::vector<std::string>& fields, char sep) {
    std::string line;
    for (const std::string& f : fields) line += f + sep;
    return line;
}

}  // namespace

TEST(LineEngineTest, PlaneDefaultsGiveTheLiteralLine) {
    // Plane to plane with the session defaults: level 1 is all zero, so x and
    // y are 0 and h is copied; every field is followed by the separator.
    ConversionSession s;
    s.m_format.m_formatSeparator = ",";
    s.m_format.m_column[0] = 1;
    s.m_format.m_column[1] = 2;
    s.m_format.m_column[2] = 3;
    s.PrepareConversion();
    EXPECT_EQ(RunEngine(s, "P1,3512345.000,512345.000,45.0,\r\n"),
              "P1,0.000000,0.000000,45.000000,\r\n");
}

TEST(LineEngineTest, TrailingSeparatorOrNot) {
    ConversionSession s = MakeTestSession(2, 2);
    const std::string with = "P1,3512345.000,512345.000,45.0,";
    StreamResult r;
    std::string out = RunEngine(s, with + "\r\n", &r);
    EXPECT_EQ(out, ExpectedLine(s, with));
    EXPECT_NE(out.find(",45.000000,\r\n"), std::string::npos);
    EXPECT_FALSE(r.textAfterLastSeparator);

    // Without it the line has three fields: the height is not read and the
    // output has three fields too.
    const std::string without = "P1,3512345.0,512345.0,45.0";
    out = RunEngine(s, without + "\r\n", &r);
    EXPECT_EQ(out, ExpectedLine(s, without));
    EXPECT_EQ(std::count(out.begin(), out.end(), ','), 3);
    EXPECT_EQ(out.find("45"), std::string::npos);
    EXPECT_TRUE(r.textAfterLastSeparator);
    EXPECT_EQ(r.lines, 1u);
}

TEST(LineEngineTest, BlankSeparatorFollowsEveryField) {
    ConversionSession s = MakeTestSession(2, 2, " ");
    const std::string line = "P1 3512345.000 512345.000 45.0 ";
    const std::string out = RunEngine(s, line + "\n");
    EXPECT_EQ(out, ExpectedLine(s, line));
    EXPECT_EQ(out.substr(0, 3), "P1 ");
    EXPECT_EQ(std::count(out.begin(), out.end(), ' '), 4);
    EXPECT_EQ(out.substr(out.size() - 3), " \r\n");
}

TEST(LineEngineTest, EmptyLineEndsTheRead) {
    ConversionSession s = MakeTestSession(2, 2);
    const std::string a = "P1,3512345.000,512345.000,45.0,", b = "P2,3321234.5,487654.3,12.0,";
    StreamResult r;
    std::string out = RunEngine(s, a + "\r\n" + b + "\r\n\r\nP3,1,2,3,\r\n", &r);
    EXPECT_EQ(out, ExpectedLine(s, a) + ExpectedLine(s, b));
    EXPECT_EQ(r.lines, 2u);
    EXPECT_TRUE(r.stoppedAtEmptyLine);
    EXPECT_TRUE(r.dataAfterEmptyLine);

    // Only line ends after the empty line: nothing is left unread.
    out = RunEngine(s, a + "\r\n\r\n\r\n\n", &r);
    EXPECT_EQ(out, ExpectedLine(s, a));
    EXPECT_TRUE(r.stoppedAtEmptyLine);
    EXPECT_FALSE(r.dataAfterEmptyLine);

    // An empty first line gives an empty output; so does an empty input.
    EXPECT_EQ(RunEngine(s, "\r\nP1,1,2,3,\r\n", &r), "");
    EXPECT_TRUE(r.dataAfterEmptyLine);
    EXPECT_EQ(RunEngine(s, "", &r), "");
    EXPECT_FALSE(r.stoppedAtEmptyLine);
    EXPECT_TRUE(r.Succeeded());
}

TEST(LineEngineTest, LineEndsLfCrLfAndNone) {
    ConversionSession s = MakeTestSession(2, 2);
    const std::string a = "P1,3512345.000,512345.000,45.0,", b = "P2,3400000,500000,1,";
    const std::string expected = ExpectedLine(s, a) + ExpectedLine(s, b);
    EXPECT_EQ(RunEngine(s, a + "\n" + b + "\n"), expected);
    EXPECT_EQ(RunEngine(s, a + "\r\n" + b + "\r\n"), expected);
    EXPECT_EQ(RunEngine(s, a + "\n" + b), expected);  // last line without a line end
    // A carriage return that does not end a line stays in its field.
    EXPECT_EQ(RunEngine(s, "P\r1,3512345.000,512345.000,45.0,\r\n"),
              ExpectedLine(s, "P\r1,3512345.000,512345.000,45.0,"));
}

TEST(LineEngineTest, OtherFieldsPassByteForByte) {
    ConversionSession s = MakeTestSession(2, 2, ",", {1, 2, 3});
    // GBK point name, bytes that are no valid text, a NUL, and a remark field.
    const std::string name("\xb5\xe3\xba\xc5\x80\xff\x00z", 8);
    const std::string remark = "\xb1\xb8\xd7\xa2 a\tb";
    const std::string line = name + ",3512345.000,512345.000,45.0," + remark + ",";
    const std::string out = RunEngine(s, line + "\r\n");
    EXPECT_EQ(out, ExpectedLine(s, line));
    EXPECT_EQ(out.substr(0, name.size() + 1), name + ",");
    EXPECT_EQ(out.substr(out.size() - remark.size() - 3), remark + ",\r\n");
}

TEST(LineEngineTest, MoreThanTwentyFields) {
    // Regression: fields past the 20th were lost from the output line.
    std::vector<std::string> fields;
    for (int i = 0; i < 30; ++i) fields.push_back("f" + std::to_string(i));
    fields[22] = "3512345.000";
    fields[25] = "512345.000";
    fields[28] = "45.0";
    ConversionSession s = MakeTestSession(2, 2, ",", {22, 25, 28});
    const std::string line = Join(fields, ',');
    const std::string out = RunEngine(s, line + "\r\n");
    EXPECT_EQ(out, ExpectedLine(s, line));
    EXPECT_NE(out.find(",f29,\r\n"), std::string::npos);
    EXPECT_NE(out.find(",45.000000,"), std::string::npos);
}

TEST(LineEngineTest, GeodeticTargetWritesAngleTexts) {
    // "纬度" in column 1: the latitude is written as an angle text.
    ConversionSession s = MakeTestSession(2, 1, ",", {1, 2, 3});
    const std::string line = "P1,3512345.000,512345.000,45.0,";
    const std::string out = RunEngine(s, line + "\r\n");
    EXPECT_EQ(out, ExpectedLine(s, line));
    const std::regex layout(
        R"(P1,\d{3}:\d{2}:\d{2}\.\d{6},\d{3}:\d{2}:\d{2}\.\d{6},-?\d+\.\d{6},\r\n)");
    EXPECT_TRUE(std::regex_match(out, layout)) << out;
    EXPECT_EQ(out.substr(3, 4), "031:");
}

TEST(LineEngineTest, MissingColumnsReadAsEmptyTexts) {
    // The height slot has no item and the first slot lies beyond the line.
    ConversionSession s = MakeTestSession(2, 2, ",", {5, 1, -1});
    const std::string line = "P1,512345.000,45.0,";
    EXPECT_EQ(RunEngine(s, line + "\r\n"), ExpectedLine(s, line));
}

class KindPairTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(KindPairTest, EveryLineEqualsTheSinglePointConversion) {
    const auto [source, target] = GetParam();
    for (const char* sep : {",", " "}) {
        ConversionSession s = MakeTestSession(source, target, sep, {1, 2, 3});
        std::string input, expected;
        int n = 0;
        for (const std::vector<std::string>& p : TestPoints(source)) {
            const std::string line =
                Join({"P" + std::to_string(++n), p[0], p[1], p[2], "\xb1\xb8"}, sep[0]);
            input += line + "\r\n";
            expected += ExpectedLine(s, line);
        }
        StreamResult r;
        EXPECT_EQ(RunEngine(s, input, &r), expected) << "separator '" << sep << "'";
        EXPECT_EQ(r.lines, 3u);
    }
}

std::string KindPairName(const ::testing::TestParamInfo<std::pair<int, int>>& info) {
    static const char* const names[] = {"Space", "Geodetic", "Plane"};
    return std::string(names[info.param.first]) + "To" + names[info.param.second];
}

INSTANTIATE_TEST_SUITE_P(AllKinds, KindPairTest,
                         ::testing::Values(std::pair{0, 0}, std::pair{0, 1}, std::pair{0, 2},
                                           std::pair{1, 0}, std::pair{1, 1}, std::pair{1, 2},
                                           std::pair{2, 0}, std::pair{2, 1}, std::pair{2, 2}),
                         KindPairName);

TEST(LineEngineTest, EqualDatumsNeverApplySevenParameters) {
    ConversionSession on = MakeTestSession(1, 2);
    on.m_targetDatum = on.m_sourceDatum;
    on.PrepareConversion();
    ConversionSession off = on;
    off.m_useSeven = 0;
    off.PrepareConversion();
    ConversionSession other = MakeTestSession(1, 2);  // different datums, switch on
    const std::string input = "P1,031:45:12.345678,114:07:50.5,45.25,\r\n";
    EXPECT_EQ(RunEngine(on, input), RunEngine(off, input));
    EXPECT_NE(RunEngine(on, input), RunEngine(other, input));
    // The engine works on its own copy: the caller's session is unchanged.
    EXPECT_EQ(on.m_params.m_savedUseSeven, 1);
}

TEST(ConvertFilePointTest, SameTextsAsTheSinglePointConversion) {
    for (int source = 0; source < 3; ++source) {
        for (int target = 0; target < 3; ++target) {
            ConversionSession s = MakeTestSession(source, target);
            const std::vector<std::string> p = TestPoints(source)[1];
            std::string o1, o2, o3;
            ASSERT_TRUE(ConvertFilePoint(s, p[0], p[1], p[2], &o1, &o2, &o3));
            ConversionSession single = s;
            for (int k = 0; k < 3; ++k) single.m_sourceText[k] = p[static_cast<std::size_t>(k)];
            ASSERT_TRUE(single.Convert());
            EXPECT_EQ(o1, single.m_targetText[0]) << source << "->" << target;
            EXPECT_EQ(o2, single.m_targetText[1]) << source << "->" << target;
            EXPECT_EQ(o3, single.m_targetText[2]) << source << "->" << target;
        }
    }
}

TEST(ConvertFilePointTest, EqualDatumRuleAndUnknownKinds) {
    ConversionSession s = MakeTestSession(1, 2);
    s.m_targetDatum = 0;
    s.PrepareConversion();
    std::string o1, o2, o3;
    ASSERT_TRUE(ConvertFilePoint(s, "030:00:00", "114:00:00", "0", &o1, &o2, &o3));
    EXPECT_EQ(s.m_params.m_savedUseSeven, 0);

    s.m_sourceKind = 3;  // only a project file can bring such a kind
    o1 = o2 = o3 = "old";
    EXPECT_FALSE(ConvertFilePoint(s, "030:00:00", "114:00:00", "0", &o1, &o2, &o3));
    EXPECT_EQ(o1 + o2 + o3, "");
}

TEST(LineEngineTest, FailedWriteIsReported) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) GTEST_SKIP() << "/dev/full is not available";
    ConversionSession s = MakeTestSession(2, 2);
    std::string input;
    for (int i = 0; i < 5000; ++i) input += "P1,3512345.000,512345.000,45.0,\r\n";
    std::FILE* in = StreamOf(input);
    LineEngine engine(s);
    StreamResult r = engine.Convert(in, full);
    std::fclose(in);
    std::fclose(full);
    EXPECT_TRUE(r.writeFailed);
    EXPECT_FALSE(r.Succeeded());
    EXPECT_NE(r.errorNumber, 0);
}

TEST(LineReaderTest, SmallBuffersGiveTheSameLines) {
    // Lines cut across buffer refills, and lines longer than the buffer.
    std::mt19937 gen(12345);
    std::string input;
    std::vector<std::string> lines;
    for (int i = 0; i < 400; ++i) {
        std::string line(gen() % (i % 50 == 0 ? 300 : 40), 'a');
        for (char& c : line) c = "ab,\r x"[gen() % 6];
        if (!line.empty() && line.back() == '\r') line.back() = 'y';
        lines.push_back(line);
        input += line + (gen() % 2 ? "\r\n" : "\n");
    }
    input += "last";
    lines.push_back("last");
    for (std::size_t size : {16u, 17u, 64u, 4096u}) {
        std::FILE* in = StreamOf(input);
        LineReader reader(in, size);
        std::vector<std::string> got;
        std::string_view line;
        while (reader.Next(&line)) got.emplace_back(line);
        std::fclose(in);
        EXPECT_FALSE(reader.Failed());
        EXPECT_EQ(got, lines) << "buffer " << size;
    }
}

TEST(LineWriterTest, LargeAndSmallPiecesArriveInOrder) {
    std::FILE* out = TestPlatform::TemporaryStream();
    std::string expected;
    {
        LineWriter writer(out, 16);
        for (int i = 0; i < 100; ++i) {
            const std::string piece(static_cast<std::size_t>(i % 37),
                                    static_cast<char>('a' + i % 26));
            writer.Append(piece);
            writer.Append(',');
            expected += piece + ",";
        }
        EXPECT_TRUE(writer.Flush());
    }
    EXPECT_EQ(Contents(out), expected);
    std::fclose(out);
}

TEST(LineEngineTest, ProgressReportsTheBytesTaken) {
    ConversionSession s = MakeTestSession(2, 2);
    const std::string line = "P1,3512345.000,512345.000,45.0,\r\n";
    const std::uint64_t lines = 2 * LineEngine::kProgressLines + 10;
    std::string input;
    for (std::uint64_t i = 0; i < lines; ++i) input += line;
    input += "\r\nrest,\r\n";
    std::FILE* in = StreamOf(input);
    std::FILE* out = TestPlatform::TemporaryStream();
    std::vector<std::uint64_t> seen;
    LineEngine engine(s);
    StreamResult r = engine.Convert(in, out, {[&](const StreamProgress& p) { seen.push_back(p.bytes); }});
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(r.lines, lines);
    const std::uint64_t n = line.size() * LineEngine::kProgressLines;
    // Two reports on the way, one at the end: past the empty line, up to the
    // first byte of data after it.
    const std::uint64_t stop = input.size() - std::string("rest,\r\n").size();
    EXPECT_EQ(seen, (std::vector<std::uint64_t>{n, 2 * n, stop}));
    EXPECT_TRUE(r.dataAfterEmptyLine);
}

namespace {

// RunEngine on one thread, then with a small buffer and on three threads in
// small blocks: all three must write the same bytes and see the same lines.
std::string RunAllWays(const ConversionSession& session, const std::string& input,
                       StreamResult* result) {
    const std::string bytes = RunEngine(session, input, result);
    for (int threads : {1, 3}) {
        LineEngine engine(session);
        engine.SetThreads(threads);
        engine.SetReadBytes(7);
        std::FILE* in = StreamOf(input);
        std::FILE* out = TestPlatform::TemporaryStream();
        const StreamResult r = engine.Convert(in, out);
        EXPECT_EQ(Contents(out), bytes) << threads << " threads";
        std::fclose(in);
        std::fclose(out);
        EXPECT_EQ(r.lines, result->lines) << threads << " threads";
        EXPECT_EQ(r.headerLine, result->headerLine) << threads << " threads";
        EXPECT_EQ(r.nonNumberLines, result->nonNumberLines) << threads << " threads";
        EXPECT_EQ(r.nonNumberLineNumbers, result->nonNumberLineNumbers) << threads << " threads";
        EXPECT_EQ(r.textAfterLastSeparator, result->textAfterLastSeparator);
        EXPECT_EQ(r.dataAfterEmptyLine, result->dataAfterEmptyLine);
    }
    return bytes;
}

}  // namespace

// Guards against a header line read as a point of zeros, which under naming
// choice 0 replaced the header in the user's file.
TEST(LineEngineTest, FirstLineWithoutNumbersIsAHeaderCopiedAsItIs) {
    ConversionSession s = MakeTestSession(2, 1);
    const std::string point = "P1,3512345.000,512345.000,45.0,";
    StreamResult r;
    for (const std::string header : {"点号,X,Y,H,", "点号,X,Y,H", "Name,  x, -y,h,note,more"}) {
        EXPECT_EQ(RunAllWays(s, header + "\r\n" + point + "\n", &r),
                  header + "\r\n" + ExpectedLine(s, point))
            << header;
        EXPECT_TRUE(r.headerLine);
        EXPECT_EQ(r.lines, 2u);
        EXPECT_EQ(r.nonNumberLines, 0u);
        EXPECT_FALSE(r.textAfterLastSeparator);
    }
    // Only the first line; one coordinate that starts with a number makes a point.
    const std::string later = point + "\r\n点号,X,Y,H,\r\n";
    EXPECT_EQ(RunAllWays(s, later, &r), ExpectedLine(s, point) + ExpectedLine(s, "点号,X,Y,H,"));
    EXPECT_FALSE(r.headerLine);
    EXPECT_EQ(r.nonNumberLineNumbers, std::vector<std::uint64_t>{2});
    EXPECT_EQ(RunAllWays(s, "点号,2000X,Y,H,\r\n", &r), ExpectedLine(s, "点号,2000X,Y,H,"));
    EXPECT_FALSE(r.headerLine);
    EXPECT_EQ(r.nonNumberLines, 1u);
    // Geodetic sources: a header of angle columns.
    ConversionSession geodetic = MakeTestSession(1, 2);
    EXPECT_EQ(RunAllWays(geodetic, "点号,B,L,H,\r\n", &r), "点号,B,L,H,\r\n");
    EXPECT_TRUE(r.headerLine);
}

// Guards against sources replaced by values converted from 0 (a byte-order
// mark before a number, two numbers in one field, an empty height).
TEST(LineEngineTest, CountsLinesWhoseCoordinatesAreNotNumbers) {
    ConversionSession s = MakeTestSession(2, 2, ",", {0, 1, 2});
    const std::vector<std::string> lines = {
        "\xEF\xBB\xBF" "3512345.0,512345.0,45.0,P1,",  // 1
        "3512345.0,512345.0,45.0,P2,",
        "3512345 512345,512345.0,45.0,P3,",  // 3
        "3512345.0,512345.0,,P4,",           // 4: no height
        "3512345.0,512345.0,45.0,P5,",
        "3512345.0,0xinf,45.0,P6,",  // 6
        "3512345.0,512345.0m,45.0,P7,",  // 7
        "3512345.0,512345.0,45.0",   // 8: the height lies after the last separator
        "3512345.0,512345.0,1e2,P9,",
    };
    std::string input, expected;
    for (const std::string& line : lines) {
        input += line + "\r\n";
        expected += ExpectedLine(s, line);
    }
    StreamResult r;
    EXPECT_EQ(RunAllWays(s, input, &r), expected);
    EXPECT_EQ(r.lines, 9u);
    EXPECT_FALSE(r.headerLine);
    EXPECT_EQ(r.nonNumberLines, 6u);
    EXPECT_EQ(r.nonNumberLineNumbers, (std::vector<std::uint64_t>{1, 3, 4, 6, 7}));
    // Regression: "0xinf" read as infinity and the point converted to "nan".
    EXPECT_EQ(ExpectedLine(s, lines[5]), ExpectedLine(s, "3512345.0,0,45.0,P6,"));

    // A slot the format does not name is no field of the line.
    ConversionSession noHeight = MakeTestSession(2, 2, ",", {1, 2, -1});
    EXPECT_EQ(RunAllWays(noHeight, "P1,3512345.0,512345.0,\r\n", &r),
              ExpectedLine(noHeight, "P1,3512345.0,512345.0,"));
    EXPECT_EQ(r.nonNumberLines, 0u);

    // Geodetic fields are angle texts.
    ConversionSession geodetic = MakeTestSession(1, 2);
    RunAllWays(geodetic,
               "P1,030:00:00.000,114:00:00,5,\r\nP2,30.5,114:00:00,5,\r\nP3,030:00,114:00:00,5,\r\n",
               &r);
    EXPECT_EQ(r.nonNumberLineNumbers, (std::vector<std::uint64_t>{2, 3}));
}

// Guards against the DOS end-of-file byte read as a last line: an empty
// output line, and a source kept for text after its last separator.
TEST(LineEngineTest, EndOfFileByteEndsTheInput) {
    ConversionSession s = MakeTestSession(2, 2);
    const std::string point = "P1,3512345.000,512345.000,45.0,";
    StreamResult r;
    for (const std::string& input : {point + "\r\n\x1A", point + "\x1A"}) {
        EXPECT_EQ(RunAllWays(s, input, &r), ExpectedLine(s, point));
        EXPECT_EQ(r.lines, 1u);
        EXPECT_FALSE(r.textAfterLastSeparator);
    }
    EXPECT_EQ(RunAllWays(s, "\x1A", &r), "");
    EXPECT_EQ(r.lines, 0u);
    RunAllWays(s, point + "\r\n\r\n\r\n\x1A", &r);
    EXPECT_TRUE(r.stoppedAtEmptyLine);
    EXPECT_FALSE(r.dataAfterEmptyLine);
    // Anywhere else it is data.
    EXPECT_EQ(RunAllWays(s, point + "\r\n\x1A\r\n", &r),
              ExpectedLine(s, point) + ExpectedLine(s, "\x1A"));
    EXPECT_TRUE(r.textAfterLastSeparator);
    RunAllWays(s, point + "\r\n\r\n\x1A\x1A", &r);
    EXPECT_TRUE(r.dataAfterEmptyLine);
}
