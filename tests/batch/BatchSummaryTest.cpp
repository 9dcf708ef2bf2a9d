// The summary of a finished batch: files, points and skipped lines counted
// from what the batch did, and its text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/BatchSummary.h"
#include "batch/FileBatch.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/TestTempDir.h"

namespace {

// A header line and a line beyond the range of doubles are written as they
// were: skipped. A source that cannot be read counts nowhere.
TEST(BatchSummary, CountsPointsAndSkippedLinesOfTheConvertedFiles) {
    TestTempDir dir;
    const std::string point = "P1,3512345.000,512345.000,45.0,\r\n";
    WriteBytes(dir.File("a.txt"), "点号,X,Y,H,\r\n" + point + point + point);
    WriteBytes(dir.File("b.txt"), point + "P2,1e999,512345.000,45.0,\r\n" + point);
    ConversionSession s = MakeTestSession(2, 1);
    s.m_format.m_formatExtension = "txt";
    s.m_format.m_naming = 2;
    s.m_sourceFiles = {dir.File("a.txt"), dir.File("b.txt"), dir.File("none.txt")};
    s.m_sourceFileCount = 3;
    const BatchResult result = RunBatch(s);
    ASSERT_TRUE(result.started);
    ASSERT_EQ(result.converted.size(), 2u);
    ASSERT_EQ(result.skipped.size(), 1u);

    const BatchCounts counts = CountBatch(result);
    EXPECT_EQ(counts.files, 2u);
    EXPECT_EQ(counts.points, 5u);
    EXPECT_EQ(counts.skippedLines, 2u);
    EXPECT_EQ(BatchSummary(result, 2.26), "已转换 2 个文件，共 5 个点，跳过 2 行，用时 2.3 秒。");

    // Nothing converted: zeros, and no negative time.
    EXPECT_EQ(BatchSummary(BatchResult(), -1), "已转换 0 个文件，共 0 个点，跳过 0 行，用时 0.0 秒。");
}

}  // namespace
