// The batch over real files: naming choices, skipped files, many files, and
// the guards that keep every source as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "batch/FileBatch.h"
#include "batch/OutputPath.h"
#include "platform/Platform.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestTempDir.h"

namespace {

const std::string kLine1 = "P1,3512345.000,512345.000,45.0,";
const std::string kLine2 = "P2,3321234.5678,487654.321,12.25,";
const std::string kSource = kLine1 + "\r\n" + kLine2 + "\n";

ConversionSession BatchSession(const std::vector<std::string>& sources, int naming) {
    ConversionSession s = MakeTestSession(2, 2);
    s.m_format.m_formatExtension = "txt";
    s.m_format.m_naming = naming;
    s.m_sourceFiles = sources;
    s.m_sourceFileCount = static_cast<int>(sources.size());
    return s;
}

std::string Expected(const ConversionSession& s) {
    return ExpectedLine(s, kLine1) + ExpectedLine(s, kLine2);
}

struct Recorder {
    std::vector<std::string> converted;
    std::vector<std::string> skipped;
    BatchCallbacks Callbacks() {
        return {[this](const ConvertedFile& f) { converted.push_back(f.output); },
                [this](const SkippedFile& f) { skipped.push_back(f.source); },
                {},
                {},
                nullptr};
    }
};

// The user agrees to replace outputs that exist already.
BatchCallbacks Replacing() {
    BatchCallbacks callbacks;
    callbacks.beforeStart = [](const std::vector<std::string>&) {
        return ExistingOutputs::Replace;
    };
    return callbacks;
}

}  // namespace

TEST(FileBatchTest, NamingExtensionWritesFileTxt1) {
    TestTempDir dir;
    WriteBytes(dir.File("File.txt"), kSource);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingExtension);
    BatchResult r = RunBatch(s);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(ReadBytes(dir.File("File.txt1")), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), kSource);
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("File.txt1")});
    ASSERT_EQ(r.converted.size(), 1u);
    EXPECT_EQ(r.converted[0].stream.lines, 2u);
}

TEST(FileBatchTest, NamingFileNameWritesFile1Txt) {
    TestTempDir dir;
    WriteBytes(dir.File("File.txt"), kSource);
    WriteBytes(dir.File("pts.dat"), kSource);
    ConversionSession s =
        BatchSession({dir.File("File.txt"), dir.File("pts.dat")}, kNamingFileName);
    RunBatch(s);
    EXPECT_EQ(ReadBytes(dir.File("File1.txt")), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), kSource);
    EXPECT_EQ(s.m_outputFiles,
              (std::vector<std::string>{dir.File("File1.txt"), dir.File("pts1.txt")}));
}

TEST(FileBatchTest, NamingOverwriteReplacesTheSourceAndKeepsFile1) {
    TestTempDir dir;
    WriteBytes(dir.File("File.txt"), kSource);
    namespace fs = std::filesystem;
    fs::permissions(PathOf(dir.File("File.txt")),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    // 0640 here; Windows keeps only whether a file may be written.
    const fs::perms perms = fs::status(PathOf(dir.File("File.txt"))).permissions();
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    Recorder rec;
    BatchResult r = RunBatch(s, rec.Callbacks());
    EXPECT_TRUE(r.skipped.empty());
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("File1.txt")), Expected(s));
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("File.txt")});
    EXPECT_EQ(rec.converted, std::vector<std::string>{dir.File("File.txt")});
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"File.txt", "File1.txt"}));
    EXPECT_EQ(fs::status(PathOf(dir.File("File.txt"))).permissions(), perms);
}

TEST(FileBatchTest, UnreadableSourceAmongThreeIsReported) {
    TestTempDir dir;
    WriteBytes(dir.File("a.txt"), kSource);
    WriteBytes(dir.File("c.txt"), kSource);
    ConversionSession s = BatchSession(
        {dir.File("a.txt"), dir.File("missing.txt"), dir.File("c.txt")}, kNamingFileName);
    s.m_outputFiles = {"old0", "old1", "old2", "old3"};
    Recorder rec;
    BatchResult r = RunBatch(s, rec.Callbacks());
    EXPECT_EQ(s.m_outputFiles, (std::vector<std::string>{dir.File("a1.txt"), dir.File("c1.txt")}));
    EXPECT_EQ(rec.converted, s.m_outputFiles);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].source, dir.File("missing.txt"));
    EXPECT_EQ(r.skipped[0].reason, SkipReason::SourceUnreadable);
    EXPECT_NE(r.skipped[0].message.find("missing.txt"), std::string::npos);
    EXPECT_EQ(rec.skipped, std::vector<std::string>{dir.File("missing.txt")});
    // No output was created for the missing source.
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.txt", "a1.txt", "c.txt", "c1.txt"}));
}

TEST(FileBatchTest, DirectoryAndUncreatableOutputAreReported) {
    TestTempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(dir.File("d.txt"))));
    WriteBytes(dir.File("e.txt"), kSource);
    // The output name is taken.
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(dir.File("e1.txt"))));
    ConversionSession s = BatchSession({dir.File("d.txt"), dir.File("e.txt")}, kNamingFileName);
    BatchResult r = RunBatch(s, Replacing());
    ASSERT_EQ(r.skipped.size(), 2u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::SourceUnreadable);
    EXPECT_EQ(r.skipped[1].reason, SkipReason::OutputUncreatable);
    EXPECT_TRUE(s.m_outputFiles.empty());
}

TEST(FileBatchTest, NameWithoutDotGetsItsNameAsBase) {
    // Regression: a name without "." gave the output "1.txt".
    TestTempDir dir;
    WriteBytes(dir.File("pts"), kSource);
    ConversionSession s = BatchSession({dir.File("pts")}, kNamingFileName);
    RunBatch(s);
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("pts1.txt")});
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));
}

TEST(FileBatchTest, MoreThanTwoHundredFiles) {
    // Regression: the old tables held 200 source and 200 output paths.
    TestTempDir dir;
    std::vector<std::string> sources;
    for (int i = 0; i < 250; ++i) {
        sources.push_back(dir.File("f" + std::to_string(i) + ".txt"));
        WriteBytes(sources.back(), kSource);
    }
    ConversionSession s = BatchSession(sources, kNamingExtension);
    Recorder rec;
    BatchResult r = RunBatch(s, rec.Callbacks());
    ASSERT_EQ(s.m_outputFiles.size(), 250u);
    EXPECT_EQ(rec.converted.size(), 250u);
    EXPECT_EQ(s.m_outputFiles[249], dir.File("f249.txt1"));
    EXPECT_EQ(ReadBytes(dir.File("f249.txt1")), Expected(s));
    EXPECT_TRUE(r.skipped.empty());
}

TEST(FileBatchTest, OnlyTheCountedSourcesAreConverted) {
    TestTempDir dir;
    WriteBytes(dir.File("a.txt"), kSource);
    WriteBytes(dir.File("b.txt"), kSource);
    ConversionSession s = BatchSession({dir.File("a.txt"), dir.File("b.txt")}, kNamingFileName);
    s.m_sourceFileCount = 1;
    RunBatch(s);
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("a1.txt")});
}

TEST(FileBatchTest, OutputThatIsTheSourceLeavesItUntouched) {
    // Regression: "File.txt1" under naming 1 with extension txt is its own
    // output and was truncated before it was read.
    TestTempDir dir;
    WriteBytes(dir.File("File.txt1"), kSource);
    // The same file reached through a second name (a hard link).
    WriteBytes(dir.File("a.dat"), kSource);
    std::filesystem::create_hard_link(PathOf(dir.File("a.dat")), PathOf(dir.File("a.txt1")));
    ConversionSession s =
        BatchSession({dir.File("File.txt1"), dir.File("a.dat")}, kNamingExtension);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 2u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::OutputIsSource);
    EXPECT_EQ(r.skipped[1].reason, SkipReason::OutputIsSource);
    EXPECT_FALSE(r.skipped[0].message.empty());
    EXPECT_EQ(ReadBytes(dir.File("File.txt1")), kSource);
    EXPECT_EQ(ReadBytes(dir.File("a.dat")), kSource);
    EXPECT_TRUE(s.m_outputFiles.empty());
}

TEST(FileBatchTest, OutputThatIsAnotherSourceLeavesItUntouched) {
    // Regression: A.txt under naming 2 wrote A1.txt, another chosen source.
    TestTempDir dir;
    const std::string other = "Q1,3400000,500000,1,\r\n";
    WriteBytes(dir.File("A.txt"), kSource);
    WriteBytes(dir.File("A1.txt"), other);
    ConversionSession s = BatchSession({dir.File("A.txt"), dir.File("A1.txt")}, kNamingFileName);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].source, dir.File("A.txt"));
    EXPECT_EQ(r.skipped[0].reason, SkipReason::OutputIsOtherSource);
    EXPECT_EQ(ReadBytes(dir.File("A1.txt")), other);
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("A11.txt")});
}

TEST(FileBatchTest, OverwriteKeepsASourceWithLinesAfterAnEmptyLine) {
    // Regression: the lines after the empty line were lost with the copy.
    TestTempDir dir;
    const std::string source = kLine1 + "\r\n\r\n" + kLine2 + "\r\n";
    WriteBytes(dir.File("File.txt"), source);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::DataAfterEmptyLine);
    EXPECT_EQ(r.skipped[0].output, dir.File("File1.txt"));
    EXPECT_NE(r.skipped[0].message.find(dir.File("File1.txt")), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), source);
    EXPECT_EQ(ReadBytes(dir.File("File1.txt")), ExpectedLine(s, kLine1));
    EXPECT_TRUE(s.m_outputFiles.empty());

    // Trailing empty lines hold nothing: the source is replaced.
    WriteBytes(dir.File("File.txt"), kLine1 + "\r\n\r\n\r\n");
    r = RunBatch(s, Replacing());  // File1.txt is there now
    EXPECT_TRUE(r.skipped.empty());
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), ExpectedLine(s, kLine1));
}

TEST(FileBatchTest, OverwriteKeepsASourceWithTextAfterTheLastSeparator) {
    // Regression: a last field without its separator was dropped from the
    // line, and the copy took it from the source.
    TestTempDir dir;
    const std::string source = kLine1 + "\r\nP2,3321234.5,487654.3,12.25\r\n";
    WriteBytes(dir.File("File.txt"), source);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::TextAfterLastSeparator);
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), source);
    // Blanks after the last separator are no data.
    WriteBytes(dir.File("File.txt"), kLine1 + "  \r\n");
    r = RunBatch(s, Replacing());
    EXPECT_TRUE(r.skipped.empty());
}

// Loss: a name of 244 bytes or more could not be replaced, its temporary
// name being 12 bytes longer than the longest name a folder takes.
TEST(FileBatchTest, LongestNamesAreReplacedToo) {
    TestTempDir dir;
    const std::string name = std::string(249, 'p') + ".txt";
    WriteBytes(dir.File(name), kSource);
    ConversionSession s = BatchSession({dir.File(name)}, kNamingOverwrite);
    BatchResult r = RunBatch(s);
    EXPECT_TRUE(r.skipped.empty()) << (r.skipped.empty() ? "" : r.skipped[0].message);
    EXPECT_EQ(ReadBytes(dir.File(name)), Expected(s));
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST(FileBatchTest, FailedWriteIsReportedAndNothingIsReplaced) {
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    TestTempDir dir;
    std::string source;
    for (int i = 0; i < 3000; ++i) source += kLine1 + "\r\n";
    WriteBytes(dir.File("File.txt"), source);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    BatchResult r;
    {
        ScopedFileSizeLimit limit(10000);
        r = RunBatch(s, Replacing());
    }
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::WriteFailed);
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), source);
    EXPECT_TRUE(s.m_outputFiles.empty());
    // Neither the output nor its temporary file is left.
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"File.txt"});
}

TEST(FileBatchTest, EmptySourceGivesAListedEmptyOutput) {
    TestTempDir dir;
    WriteBytes(dir.File("e.txt"), "");
    WriteBytes(dir.File("f.txt"), "\r\n");
    ConversionSession s = BatchSession({dir.File("e.txt"), dir.File("f.txt")}, kNamingFileName);
    RunBatch(s);
    EXPECT_EQ(s.m_outputFiles.size(), 2u);
    EXPECT_EQ(ReadBytes(dir.File("e1.txt")), "");
    EXPECT_EQ(ReadBytes(dir.File("f1.txt")), "");
}

TEST(FileBatchTest, SessionThatCannotConvertStartsNothing) {
    TestTempDir dir;
    WriteBytes(dir.File("File.txt"), kSource);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    s.m_targetKind = 5;
    BatchResult r = RunBatch(s);
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"File.txt"});
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), kSource);
}

TEST(FileBatchTest, EqualDatumsClearTheRecordsSevenSwitch) {
    TestTempDir dir;
    WriteBytes(dir.File("File.txt"), kSource);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingFileName);
    s.m_targetDatum = s.m_sourceDatum;
    s.PrepareConversion();
    ASSERT_EQ(s.m_params.m_savedUseSeven, 1);
    RunBatch(s);
    // What the next save writes matches the conversion that was made.
    EXPECT_EQ(s.m_params.m_savedUseSeven, 0);
    EXPECT_EQ(ReadBytes(dir.File("File1.txt")), Expected(s));
}

TEST(ReplaceFileWithCopyTest, CopiesWholeOrNotAtAll) {
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    TestTempDir dir;
    std::string big(300000, 'x');
    WriteBytes(dir.File("from"), big);
    WriteBytes(dir.File("to"), "old");
    std::string error;
    {
        ScopedFileSizeLimit cap(1000);
        EXPECT_FALSE(ReplaceFileWithCopy(dir.File("from"), dir.File("to"), &error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadBytes(dir.File("to")), "old");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"from", "to"}));
    ASSERT_TRUE(ReplaceFileWithCopy(dir.File("from"), dir.File("to"), &error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("to")), big);
}

TEST(BatchPlanTest, FilesConvertedOnTwoThreadsMatchTheBatch) {
    TestTempDir dir;
    std::vector<std::string> sources;
    std::string big;
    for (int i = 0; i < 20000; ++i) big += (i % 2 ? kLine1 : kLine2) + "\r\n";
    for (int i = 0; i < 6; ++i) {
        sources.push_back(dir.File("s" + std::to_string(i) + ".txt"));
        WriteBytes(sources.back(), big);
    }
    ConversionSession s = BatchSession(sources, kNamingExtension);
    ApplyEqualDatumRule(s);
    const BatchPlan plan(sources, "txt", kNamingExtension);
    std::vector<FileOutcome> outcomes(sources.size());
    auto work = [&](std::size_t first) {
        LineEngine engine(s);
        for (std::size_t i = first; i < sources.size(); i += 2) {
            outcomes[i] = plan.ConvertFile(engine, i);
        }
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    std::string expected;
    for (int i = 0; i < 20000; ++i) expected += ExpectedLine(s, i % 2 ? kLine1 : kLine2);
    for (std::size_t i = 0; i < sources.size(); ++i) {
        ASSERT_TRUE(outcomes[i].converted) << outcomes[i].skipped.message;
        EXPECT_EQ(outcomes[i].file.output, sources[i] + "1");
        EXPECT_EQ(ReadBytes(sources[i] + "1"), expected) << i;
    }
}

// What the plan settles before writing, beyond what the window's and the
// command line's tests show: other spellings of a path are the same file or
// output, an output that exists is listed once however many sources share
// it, a source that cannot be read writes nothing (the next one may), and
// without beforeStart existing outputs are kept.
TEST(BatchPlanTest, NamesOfOneFileAndOutputsThatExist) {
    TestTempDir dir;
    for (const char* name : {"a.txt", "pts.txt", "pts.dat", "q.dat"}) {
        WriteBytes(dir.File(name), kSource);
    }
    WriteBytes(dir.File("pts1.txt"), "MINE");
    const std::vector<std::string> sources = {dir.File("a.txt"),   dir.Path() + "/./a.txt",
                                              dir.File("pts.txt"), dir.File("pts.dat"),
                                              dir.File("q.txt"),  // missing: q.dat may write q1.txt
                                              dir.File("q.dat")};
    EXPECT_EQ(BatchPlan(sources, "txt", kNamingFileName).ExistingOutputs(),
              std::vector<std::string>{dir.File("pts1.txt")});
    ConversionSession s = BatchSession(sources, kNamingFileName);
    ApplyEqualDatumRule(s);
    LineEngine engine(s);
    using Reason = std::optional<SkipReason>;  // none: converted
    std::vector<Reason> reasons;
    // Twice: the second run replaces what exists, also the first run's outputs.
    for (bool replace : {false, true}) {
        BatchPlan plan(sources, "txt", kNamingFileName);
        plan.ReplaceExisting(replace);
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const FileOutcome o = plan.ConvertFile(engine, i);
            reasons.push_back(o.converted ? Reason() : o.skipped.reason);
        }
    }
    const Reason converted;
    EXPECT_EQ(reasons,
              (std::vector<Reason>{converted, SkipReason::RepeatedSource, SkipReason::OutputExists,
                                   SkipReason::OutputExists, SkipReason::SourceUnreadable,
                                   converted, converted, SkipReason::RepeatedSource, converted,
                                   SkipReason::OutputOfEarlierSource, SkipReason::SourceUnreadable,
                                   converted}));
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));

    WriteBytes(dir.File("pts1.txt"), "MINE");
    s = BatchSession({dir.File("pts.txt")}, kNamingFileName);
    EXPECT_EQ(RunBatch(s).skipped.at(0).reason, SkipReason::OutputExists);
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), "MINE");
}

// Output names that differ only in case are one file where the system
// ignores case (Windows): the later source is skipped, not written over
// the earlier one's output.
TEST(BatchPlanTest, OutputNamesThatTheSystemTakesForOneFile) {
    TestTempDir dir;
    WriteBytes(dir.File("pts.txt"), kSource);
    WriteBytes(dir.File("PTS.dat"), kLine2 + "\n");
    const std::vector<std::string> sources = {dir.File("pts.txt"), dir.File("PTS.dat")};
    ConversionSession s = BatchSession(sources, kNamingFileName);
    ApplyEqualDatumRule(s);
    const BatchResult result = RunBatch(s);
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));
    if (Platform::NameKey("pts1.txt") == Platform::NameKey("PTS1.txt")) {
        ASSERT_EQ(result.skipped.size(), 1u);
        EXPECT_EQ(result.skipped[0].reason, SkipReason::OutputOfEarlierSource);
    } else {
        EXPECT_TRUE(result.skipped.empty());
        EXPECT_EQ(ReadBytes(dir.File("PTS1.txt")), ExpectedLine(s, kLine2));
    }
}
