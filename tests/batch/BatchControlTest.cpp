// The batch as the window runs it on a worker thread: progress between
// blocks of lines, a cancel flag that leaves only complete outputs, the
// report of numbers that cannot be carried, and a file left half written by
// a killed run put back before anything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "batch/FileBatch.h"
#include "batch/OutputPath.h"
#include "io/WriteSlot.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/TestTempDir.h"

namespace {

const std::string kLine = "P1,3512345.000,512345.000,45.0,";

ConversionSession Session(const std::vector<std::string>& sources, int naming) {
    ConversionSession s = MakeTestSession(2, 2);
    s.m_format.m_formatExtension = "txt";
    s.m_format.m_naming = naming;
    s.m_sourceFiles = sources;
    s.m_sourceFileCount = static_cast<int>(sources.size());
    return s;
}

std::string Lines(std::uint64_t count) {
    std::string text;
    for (std::uint64_t i = 0; i < count; ++i) text += kLine + "\r\n";
    return text;
}

TEST(BatchControl, ProgressGrowsBetweenBlocksAndEndsWithEveryFile) {
    TestTempDir dir;
    const std::uint64_t lines = 2 * LineEngine::kProgressLines + 7;
    const std::vector<std::string> sources = {dir.File("a.txt"), dir.File("b.txt")};
    WriteBytes(sources[0], Lines(lines));
    WriteBytes(sources[1], Lines(3));
    ConversionSession s = Session(sources, kNamingFileName);
    std::vector<BatchProgress> seen;
    BatchCallbacks callbacks;
    callbacks.progress = [&](const BatchProgress& p) { seen.push_back(p); };
    const BatchResult r = RunBatch(s, callbacks);
    ASSERT_EQ(r.converted.size(), 2u);
    ASSERT_FALSE(seen.empty());
    // Not for each line: a few calls for the large file, one or two for the small.
    EXPECT_LE(seen.size(), 10u);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_LE(seen[i - 1].linesDone, seen[i].linesDone) << i;
        EXPECT_LE(seen[i - 1].filesDone, seen[i].filesDone) << i;
        EXPECT_EQ(seen[i].filesTotal, 2u);
    }
    // Inside the large file: the lines of blocks done so far.
    EXPECT_EQ(seen[0].filesDone, 0u);
    EXPECT_EQ(seen[0].linesInFile, LineEngine::kProgressLines);
    EXPECT_EQ(seen.back().filesDone, 2u);
    EXPECT_EQ(seen.back().linesDone, lines + 3);
}

// Cancel from another thread, as the window's button does: the file being
// converted stops, leaves nothing under its final name, and the rest are
// not started.
TEST(BatchControl, CancelLeavesOnlyCompleteOutputs) {
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        TestTempDir dir;
        const std::vector<std::string> sources = {dir.File("a.txt"), dir.File("b.txt"),
                                                  dir.File("c.txt")};
        WriteBytes(sources[0], Lines(10));
        WriteBytes(sources[1], Lines(4 * LineEngine::kProgressLines));
        WriteBytes(sources[2], Lines(10));
        ConversionSession s = Session(sources, kNamingOverwrite);
        std::atomic<bool> cancel{false}, inSecond{false};
        BatchCallbacks callbacks;
        callbacks.cancel = &cancel;
        callbacks.progress = [&](const BatchProgress& p) {
            if (p.file == 1 && p.linesInFile > 0) {
                inSecond = true;
                while (!cancel) std::this_thread::yield();
            }
        };
        BatchResult r;
        std::thread worker([&] { r = RunBatch(s, callbacks); });
        while (!inSecond) std::this_thread::yield();
        cancel = true;
        worker.join();
        ASSERT_EQ(r.converted.size(), 1u);
        EXPECT_EQ(r.converted[0].source, sources[0]);
        EXPECT_TRUE(r.skipped.empty());
        EXPECT_EQ(r.cancelledSources, (std::vector<std::string>{sources[1], sources[2]}));
        // b.txt and c.txt as they were, no b1.txt or c1.txt, no temporary file.
        EXPECT_EQ(ReadBytes(sources[1]), Lines(4 * LineEngine::kProgressLines));
        EXPECT_EQ(dir.Entries(),
                  (std::vector<std::string>{"a.txt", "a1.txt", "b.txt", "c.txt"}));
        EXPECT_NE(BatchReport(r).find("转换已取消"), std::string::npos);
    }
}

TEST(BatchControl, NumbersThatCannotBeCarriedAreToldInTheReport) {
    TestTempDir dir;
    const std::string source = dir.File("s.txt");
    const std::string text = kLine + "\r\nP2,1e400,2,3,\r\n";
    WriteBytes(source, text);
    ConversionSession s = Session({source}, kNamingOverwrite);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::NotFinite);
    EXPECT_EQ(ReadBytes(source), text);
    EXPECT_NE(r.skipped[0].message.find("第2行（共1行）"), std::string::npos)
        << r.skipped[0].message;
    // Beside the source: converted, and the line named in the report.
    s = Session({source}, kNamingFileName);
    BatchCallbacks replace;
    replace.beforeStart = [](const std::vector<std::string>&) { return ExistingOutputs::Replace; };
    r = RunBatch(s, replace);
    ASSERT_EQ(r.converted.size(), 1u);
    EXPECT_EQ(r.converted[0].stream.unrepresentableLineNumbers, std::vector<std::uint64_t>{2});
    EXPECT_NE(BatchReport(r).find("“" + source + "”第2行（共1行）"), std::string::npos)
        << BatchReport(r);
    EXPECT_NE(ReadBytes(dir.File("s1.txt")).find("\r\nP2,1e400,2,3,\r\n"), std::string::npos);
}

// What a run killed while writing s.txt in place leaves: the old bytes in
// their named copy, s.txt half new. The next batch puts them back first.
TEST(BatchControl, AFileLeftHalfWrittenIsPutBackBeforeTheBatch) {
    TestTempDir dir;
    const std::string source = dir.File("s.txt");
    const std::string old = Lines(5);
    WriteBytes(source, "HALF NEW");
    WriteBytes(BackupPathFor(source), old);
    ConversionSession s = Session({source}, kNamingOverwrite);
    const BatchResult r = RunBatch(s);
    ASSERT_EQ(r.interrupted.size(), 1u);
    EXPECT_TRUE(r.interrupted[0].restored);
    EXPECT_EQ(r.interrupted[0].path, source);
    ASSERT_EQ(r.converted.size(), 1u);
    EXPECT_EQ(ReadBytes(source), ReadBytes(dir.File("s1.txt")));
    // The five old lines, converted; nothing of the half-new text.
    const std::string converted = ReadBytes(source);
    EXPECT_EQ(std::count(converted.begin(), converted.end(), '\n'), 5);
    EXPECT_EQ(converted.find("HALF"), std::string::npos);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"s.txt", "s1.txt"}));
    EXPECT_NE(BatchReport(r).find("已恢复为原来的内容"), std::string::npos);
}

}  // namespace
