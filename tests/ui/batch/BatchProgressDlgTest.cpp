// The batch of the window on its worker thread: the progress dialog shows
// files and lines while a million points are converted, the window's event
// loop runs meanwhile, Esc stops the batch after the current block with only
// complete outputs under their final names, and the counts are reported.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "batch/BatchSummary.h"
#include "batch/OutputPath.h"
#include "res/resource.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/batch/BatchProgressDlg.h"

namespace {

constexpr int kFiles = 4;
constexpr std::size_t kLinesPerFile = 250000;  // a million points in all
constexpr int kLinesBarEnd = 1000;

class BatchProgressTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        std::string text;
        text.reserve(kLinesPerFile * 40);
        for (std::size_t i = 0; i < kLinesPerFile; ++i) {
            text += "P" + std::to_string(i) + ",3512345.000,512345.000,45.0,\r\n";
        }
        for (int f = 0; f < kFiles; ++f) {
            sources.push_back(dir.File("p" + std::to_string(f) + ".txt"));
            WriteBytes(sources.back(), text);
        }
        session = MakeTestSession(2, 1);
        session.m_format.m_formatExtension = "txt";
        session.m_format.m_naming = 2;
        session.m_sourceFiles = sources;
        session.m_sourceFileCount = kFiles;
    }

    // What the bars showed while the batch ran.
    struct Seen {
        std::vector<int> files;  // positions of the files bar, each once
        bool linesPartWay = false;
        int turns = 0;  // rounds of the event loop while the batch ran
    };

    // Runs the event loop of the open dialog until `stop` or its end, noting the bars.
    static void Watch(CWnd& w, Seen& seen, const std::function<bool(const Seen&)>& stop) {
        auto& dlg = static_cast<CBatchProgressDlg&>(w);
        while (w.ContinueModal() && !stop(seen)) {
            QTest::qWait(5);
            ++seen.turns;
            const int files = dlg.m_filesBar.GetPos();
            if (seen.files.empty() || seen.files.back() != files) seen.files.push_back(files);
            const int lines = dlg.m_linesBar.GetPos();
            if (lines > 0 && lines < kLinesBarEnd) seen.linesPartWay = true;
        }
    }

    static std::size_t LineCount(const std::string& path) {
        const std::string bytes = ReadBytes(path);
        return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }

    TestTempDir dir;
    std::vector<std::string> sources;
    ConversionSession session;
};

TEST_F(BatchProgressTest, AMillionPointsShowTheirProgressAndCounts) {
    Seen seen;
    auto run = Prompts().ArmProgress([&](CWnd& w) {
        int lower = -1, upper = -1;
        static_cast<CBatchProgressDlg&>(w).m_filesBar.GetRange(lower, upper);
        EXPECT_EQ(upper, kFiles);
        EXPECT_EQ(ControlText(w, IDCANCEL), "取消");
        Watch(w, seen, [](const Seen&) { return false; });
    });
    std::vector<std::string> listed;
    CBatchProgressDlg dlg(session);
    dlg.m_fileConverted = [&](const std::string& output) { listed.push_back(output); };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(dlg.DoModal(), IDOK);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(run->ran && !run->closedByGuard);
    std::printf("a million points in %.1f s, %d rounds of the event loop meanwhile\n", seconds,
                seen.turns);

    // The bars moved on while the files were converted, file by file.
    EXPECT_TRUE(seen.linesPartWay);
    EXPECT_GE(seen.files.size(), 3u);
    EXPECT_TRUE(std::is_sorted(seen.files.begin(), seen.files.end()));
    EXPECT_GT(seen.turns, 10);

    const BatchResult& r = dlg.m_result;
    ASSERT_EQ(r.converted.size(), static_cast<std::size_t>(kFiles));
    EXPECT_TRUE(r.skipped.empty() && r.cancelledSources.empty());
    const BatchCounts counts = CountBatch(r);
    EXPECT_EQ(counts.points, 1000000u);
    EXPECT_EQ(counts.skippedLines, 0u);
    EXPECT_EQ(BatchSummary(r, dlg.m_seconds).rfind("已转换 4 个文件，共 1000000 个点，跳过 0 行，用时 ", 0),
              0u);
    EXPECT_GT(dlg.m_seconds, 0);
    EXPECT_LE(dlg.m_seconds, seconds);
    std::vector<std::string> outputs;
    for (const std::string& source : sources) outputs.push_back(OutputPath(source, "txt", 2));
    EXPECT_EQ(listed, outputs);
    EXPECT_EQ(session.m_outputFiles, outputs);
    for (const std::string& output : outputs) EXPECT_EQ(LineCount(output), kLinesPerFile) << output;
}

TEST_F(BatchProgressTest, EscapeStopsAfterTheCurrentBlockLeavingOnlyCompleteOutputs) {
    Seen seen;
    auto run = Prompts().ArmProgress([&](CWnd& w) {
        // Part way through the second file.
        Watch(w, seen, [](const Seen& s) { return !s.files.empty() && s.files.back() >= 1; });
        ASSERT_TRUE(w.ContinueModal()) << "the batch ended before it was cancelled";
        PressEscape(w);
        EXPECT_FALSE(ControlEnabled(w, IDCANCEL));
        EXPECT_TRUE(w.ContinueModal());  // until the worker has stopped
        Watch(w, seen, [](const Seen&) { return false; });
    });
    CBatchProgressDlg dlg(session);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(run->ran && !run->closedByGuard);

    const BatchResult& r = dlg.m_result;
    ASSERT_GE(r.converted.size(), 1u);
    ASSERT_LT(r.converted.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(r.converted.size() + r.cancelledSources.size(), static_cast<std::size_t>(kFiles));
    EXPECT_EQ(CountBatch(r).points, kLinesPerFile * r.converted.size());
    // In the folder: the sources and the complete outputs, nothing else.
    std::vector<std::string> expected;
    for (const std::string& source : sources) expected.push_back(source.substr(dir.Path().size() + 1));
    for (const ConvertedFile& f : r.converted) {
        EXPECT_EQ(LineCount(f.output), kLinesPerFile) << f.output;
        expected.push_back(f.output.substr(dir.Path().size() + 1));
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> entries = dir.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, expected);
}

// The close box cancels too, and a batch stopped before it started writes nothing.
TEST_F(BatchProgressTest, CloseBoxCancelsAsEscapeDoes) {
    auto run = Prompts().ArmProgress([&](CWnd& w) {
        ClickCloseBox(w);
        Seen seen;
        Watch(w, seen, [](const Seen&) { return false; });
    });
    CBatchProgressDlg dlg(session);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(run->ran);
    const BatchResult& r = dlg.m_result;
    EXPECT_FALSE(r.cancelledSources.empty());
    EXPECT_EQ(r.converted.size() + r.cancelledSources.size(), static_cast<std::size_t>(kFiles));
}

}  // namespace
