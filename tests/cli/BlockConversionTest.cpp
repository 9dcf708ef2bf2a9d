// The line engine on several threads against the engine on one: the same
// output bytes and the same findings for inputs cut anywhere into blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch/LineEngine.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/cli/CliTestUtil.h"

namespace {

struct Converted {
    std::string bytes;
    StreamResult result;
    std::vector<std::uint64_t> progress;
};

Converted Convert(const ConversionSession& session, const std::string& input, int threads) {
    LineEngine engine(session);
    engine.SetThreads(threads);
    std::FILE* in = TestPlatform::TemporaryStream();
    std::FILE* out = TestPlatform::TemporaryStream();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    Converted c;
    c.result = engine.Convert(in, out, {[&c](const StreamProgress& p) { c.progress.push_back(p.bytes); }});
    c.bytes = StreamBytes(out);
    std::fclose(in);
    std::fclose(out);
    return c;
}

void ExpectSameAsOneThread(const ConversionSession& session, const std::string& input,
                           const std::string& what) {
    const Converted one = Convert(session, input, 1);
    for (int threads : {2, 3}) {
        const Converted many = Convert(session, input, threads);
        EXPECT_EQ(many.bytes, one.bytes) << what << ", " << threads << " threads";
        EXPECT_EQ(many.result.lines, one.result.lines) << what;
        EXPECT_EQ(many.result.stoppedAtEmptyLine, one.result.stoppedAtEmptyLine) << what;
        EXPECT_EQ(many.result.dataAfterEmptyLine, one.result.dataAfterEmptyLine) << what;
        EXPECT_EQ(many.result.textAfterLastSeparator, one.result.textAfterLastSeparator) << what;
        EXPECT_EQ(many.result.headerLine, one.result.headerLine) << what;
        EXPECT_EQ(many.result.nonNumberLines, one.result.nonNumberLines) << what;
        EXPECT_EQ(many.result.nonNumberLineNumbers, one.result.nonNumberLineNumbers) << what;
        EXPECT_TRUE(many.result.Succeeded()) << what;
        // Progress only grows, and ends where the conversion stopped reading.
        ASSERT_FALSE(many.progress.empty()) << what;
        for (std::size_t i = 1; i < many.progress.size(); ++i) {
            EXPECT_LE(many.progress[i - 1], many.progress[i]) << what;
        }
        if (!one.result.stoppedAtEmptyLine) {
            EXPECT_EQ(many.progress.back(), input.size()) << what;
        }
    }
}

// A block holds about 64 KiB; these inputs put the interesting line on
// either side of a block edge and deep inside later blocks.
TEST(BlockConversion, SameBytesAndFindingsAsOneThread) {
    const ConversionSession geodetic = MakeTestSession(1, 2);
    const ConversionSession plane = MakeTestSession(2, 1, " ");
    const std::string many = PointLines(1, 9000);  // about 7 blocks
    const std::string blanks = PointLines(2, 9000, ' ');

    ExpectSameAsOneThread(geodetic, "", "empty input");
    ExpectSameAsOneThread(geodetic, PointLines(1, 3), "one block only");
    ExpectSameAsOneThread(geodetic, many, "many blocks, CR LF");
    ExpectSameAsOneThread(plane, blanks, "blank separator");

    std::string lf = many;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    ExpectSameAsOneThread(geodetic, lf, "LF line ends");
    ExpectSameAsOneThread(geodetic, many.substr(0, many.size() - 2), "last line without LF");
    ExpectSameAsOneThread(geodetic, many.substr(0, many.size() - 1), "last line ends in CR only");
    ExpectSameAsOneThread(geodetic, many + "\r\n", "empty last line");
    ExpectSameAsOneThread(geodetic, many + "\r\n\r\n\n", "only line ends after the empty line");

    for (std::size_t offset : {std::size_t{65000}, std::size_t{65536}, std::size_t{290000}}) {
        const std::size_t cut = many.find('\n', offset) + 1;
        const std::string head = many.substr(0, cut), tail = many.substr(cut);
        ExpectSameAsOneThread(geodetic, head + "\r\n" + tail,
                              "empty line at " + std::to_string(cut));
        ExpectSameAsOneThread(geodetic, head + "\n\r\n" + "\r\n",
                              "only line ends after " + std::to_string(cut));
        ExpectSameAsOneThread(geodetic, head + "P,1,2,3\r\n" + tail,
                              "text after the last separator at " + std::to_string(cut));
        ExpectSameAsOneThread(geodetic, "点号,B,L,H,\r\n" + head + "P,30.5,x,3,\r\n" + tail,
                              "a header, and a line that is no point at " + std::to_string(cut));
    }
    // Lines that are no points in many blocks: their count, and the first
    // ones' numbers counted across the blocks.
    std::string odd = many;
    for (std::size_t at = 0; (at = odd.find("\nP", at + 1000)) != std::string::npos;) {
        odd.replace(at + 1, 1, "点号,X,Y,H,\r\nP");
    }
    ExpectSameAsOneThread(geodetic, odd, "lines that are no points in every block");
    EXPECT_GT(Convert(geodetic, odd, 1).result.nonNumberLines, 100u);
    ExpectSameAsOneThread(geodetic, many + "\x1A", "DOS end-of-file byte");
    // A line longer than a block grows its block.
    const std::string longLine = "P," + std::string(300000, '7') + ",114:00:00,5,\r\n";
    ExpectSameAsOneThread(geodetic, many.substr(0, 200000) + longLine + many.substr(200000),
                          "line longer than a block");
    ExpectSameAsOneThread(geodetic, std::string(400000, '\n'), "only line ends");
}

// Guards against a write error that is lost when the blocks are written by
// the reading thread.
TEST(BlockConversion, WriteFailureIsReported) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (full == nullptr) GTEST_SKIP() << "/dev/full is not available";
    const std::string input = PointLines(1, 9000);
    std::FILE* in = TestPlatform::TemporaryStream();
    std::fwrite(input.data(), 1, input.size(), in);
    std::rewind(in);
    LineEngine engine(MakeTestSession(1, 2));
    engine.SetThreads(2);
    const StreamResult r = engine.Convert(in, full);
    EXPECT_TRUE(r.writeFailed);
    EXPECT_EQ(r.errorNumber, ENOSPC);
    std::fclose(in);
    std::fclose(full);
}

}  // namespace
