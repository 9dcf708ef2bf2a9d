// The batch over real files: naming choices, skipped files, many files, and
// the guards that keep every source as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "batch/FileBatch.h"
#include "batch/OutputPath.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/batch/BatchTestSession.h"

namespace {

const std::string kLine1 = "P1,3512345.000,512345.000,45.0,";
const std::string kLine2 = "P2,3321234.5678,487654.321,12.25,";
const std::string kSource = kLine1 + "\r\n" + kLine2 + "\n";

ConversionSession BatchSession(const std::vector<std::string>& sources, int naming) {
    ConversionSession s = MakeTestSession(2, 2);
    s.m_params.m_formatExtension = "txt";
    s.m_params.m_naming = naming;
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
                {}};
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
    ::chmod(dir.File("File.txt").c_str(), 0640);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    Recorder rec;
    BatchResult r = RunBatch(s, rec.Callbacks());
    EXPECT_TRUE(r.skipped.empty());
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("File1.txt")), Expected(s));
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("File.txt")});
    EXPECT_EQ(rec.converted, std::vector<std::string>{dir.File("File.txt")});
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"File.txt", "File1.txt"}));
    struct stat st;
    ASSERT_EQ(::stat(dir.File("File.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
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
    ASSERT_EQ(::mkdir(dir.File("d.txt").c_str(), 0755), 0);
    WriteBytes(dir.File("e.txt"), kSource);
    ASSERT_EQ(::mkdir(dir.File("e1.txt").c_str(), 0755), 0);  // the output name is taken
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
    ASSERT_EQ(::link(dir.File("a.dat").c_str(), dir.File("a.txt1").c_str()), 0);
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

TEST(FileBatchTest, FailedReplaceLeavesTheSourceAsItWas) {
    // The temporary file beside the source cannot be made (its name would
    // be too long), so the copy over the source fails before touching it.
    TestTempDir dir;
    const std::string name = std::string(245, 'p') + ".txt";
    WriteBytes(dir.File(name), kSource);
    ConversionSession s = BatchSession({dir.File(name)}, kNamingOverwrite);
    BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::ReplaceFailed);
    EXPECT_NE(r.skipped[0].message.find("保持原样"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File(name)), kSource);
    EXPECT_EQ(ReadBytes(dir.File(std::string(245, 'p') + "1.txt")), Expected(s));
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST(FileBatchTest, FailedWriteIsReportedAndNothingIsReplaced) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "/dev/full is not available";
    TestTempDir dir;
    std::string source;
    for (int i = 0; i < 3000; ++i) source += kLine1 + "\r\n";
    WriteBytes(dir.File("File.txt"), source);
    ASSERT_EQ(::symlink("/dev/full", dir.File("File1.txt").c_str()), 0);
    ConversionSession s = BatchSession({dir.File("File.txt")}, kNamingOverwrite);
    BatchResult r = RunBatch(s, Replacing());
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::WriteFailed);
    EXPECT_EQ(ReadBytes(dir.File("File.txt")), source);
    EXPECT_TRUE(s.m_outputFiles.empty());
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

// Loss: a source chosen twice under overwrite was converted twice, its
// coordinates gone from both files. Every name of one file counts once.
TEST(BatchPlanTest, OneFileIsConvertedOnceUnderAnyOfItsNames) {
    TestTempDir dir;
    const std::string a = dir.File("a.txt");
    WriteBytes(a, kSource);
    ASSERT_EQ(::link(a.c_str(), dir.File("b.txt").c_str()), 0);
    ConversionSession s =
        BatchSession({a, a, dir.File("b.txt"), dir.Path() + "/./a.txt"}, kNamingOverwrite);
    Recorder rec;
    const BatchResult r = RunBatch(s, rec.Callbacks());
    ASSERT_EQ(r.converted.size(), 1u);
    EXPECT_EQ(ReadBytes(a), Expected(s));
    EXPECT_EQ(ReadBytes(dir.File("a1.txt")), Expected(s));
    ASSERT_EQ(r.skipped.size(), 3u);
    for (const SkippedFile& f : r.skipped) {
        EXPECT_EQ(f.reason, SkipReason::RepeatedSource);
        EXPECT_EQ(f.earlier, a);
    }
    EXPECT_EQ(r.skipped[0].message, "源文件“" + a + "”选了不止一次，只转换一次。");
    EXPECT_EQ(r.skipped[1].message,
              "源文件“" + dir.File("b.txt") + "”与“" + a + "”是同一个文件，只转换一次。");
    EXPECT_EQ(rec.skipped.size(), 3u);
}

// Loss: pts.txt, pts.dat and pts all wrote pts1.txt; the last one won and
// all three were reported as converted.
TEST(BatchPlanTest, AnOutputIsWrittenForTheFirstSourceThatWritesIt) {
    for (int naming : {kNamingFileName, kNamingOverwrite}) {
        TestTempDir dir;
        WriteBytes(dir.File("pts.txt"), kSource);
        WriteBytes(dir.File("pts.dat"), "Q1,1,2,3,\r\n");
        WriteBytes(dir.File("pts"), "Q2,4,5,6,\r\n");
        ConversionSession s =
            BatchSession({dir.File("pts.txt"), dir.File("pts.dat"), dir.Path() + "/./pts"}, naming);
        const BatchResult r = RunBatch(s);
        ASSERT_EQ(r.converted.size(), 1u);
        EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));
        ASSERT_EQ(r.skipped.size(), 2u);
        for (const SkippedFile& f : r.skipped) {
            EXPECT_EQ(f.reason, SkipReason::OutputOfEarlierSource);
            EXPECT_EQ(f.earlier, dir.File("pts.txt"));
        }
        EXPECT_EQ(r.skipped[0].message, "输出文件“" + dir.File("pts1.txt") + "”已由本批的源文件“" +
                                            dir.File("pts.txt") + "”写出，源文件“" +
                                            dir.File("pts.dat") + "”未转换，以免覆盖它。");
        EXPECT_EQ(ReadBytes(dir.File("pts.dat")), "Q1,1,2,3,\r\n");
    }
    // A source that cannot be read writes nothing: the next one may.
    TestTempDir dir;
    WriteBytes(dir.File("pts.dat"), kSource);
    ConversionSession s = BatchSession({dir.File("pts.txt"), dir.File("pts.dat")}, kNamingFileName);
    const BatchResult r = RunBatch(s);
    ASSERT_EQ(r.skipped.size(), 1u);
    EXPECT_EQ(r.skipped[0].reason, SkipReason::SourceUnreadable);
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Expected(s));
}

// Loss: the surveyor's own pts1.txt was replaced silently. It is replaced
// only when beforeStart says so; Cancel writes nothing.
TEST(BatchPlanTest, OutputsThatExistAreReplacedOnlyWithConsent) {
    TestTempDir dir;
    const std::string own = "MINE,1,2,3,\r\n";
    auto fresh = [&] {
        WriteBytes(dir.File("pts.txt"), kSource);
        WriteBytes(dir.File("pts.dat"), kSource);
        WriteBytes(dir.File("pts1.txt"), own);
        WriteBytes(dir.File("q.txt"), kSource);
        WriteBytes(dir.File("q1.txt"), own);  // the intermediate file of overwrite
    };
    fresh();
    const BatchPlan plan({dir.File("pts.txt"), dir.File("pts.dat"), dir.File("q.txt")}, "txt",
                         kNamingFileName);
    EXPECT_EQ(plan.ExistingOutputs(),
              (std::vector<std::string>{dir.File("pts1.txt"), dir.File("q1.txt")}));

    for (ExistingOutputs choice :
         {ExistingOutputs::Cancel, ExistingOutputs::Keep, ExistingOutputs::Replace}) {
        for (int naming : {kNamingFileName, kNamingOverwrite}) {
            SCOPED_TRACE(naming);
            fresh();
            ConversionSession s =
                BatchSession({dir.File("pts.txt"), dir.File("pts.dat"), dir.File("q.txt")}, naming);
            std::vector<std::string> asked;
            BatchCallbacks callbacks;
            callbacks.beforeStart = [&](const std::vector<std::string>& existing) {
                asked = existing;
                return choice;
            };
            const BatchResult r = RunBatch(s, callbacks);
            EXPECT_EQ(asked.size(), 2u);
            const bool replace = choice == ExistingOutputs::Replace;
            EXPECT_EQ(r.cancelled, choice == ExistingOutputs::Cancel);
            EXPECT_EQ(r.started, choice != ExistingOutputs::Cancel);
            EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), replace ? Expected(s) : own);
            EXPECT_EQ(ReadBytes(dir.File("q1.txt")), replace ? Expected(s) : own);
            EXPECT_EQ(ReadBytes(dir.File("q.txt")),
                      replace && naming == kNamingOverwrite ? Expected(s) : kSource);
            EXPECT_EQ(ReadBytes(dir.File("pts.dat")), kSource);
            if (choice == ExistingOutputs::Keep) {
                ASSERT_EQ(r.skipped.size(), 3u);
                for (const SkippedFile& f : r.skipped)
                    EXPECT_EQ(f.reason, SkipReason::OutputExists);
                EXPECT_EQ(r.skipped[0].message, "输出文件“" + dir.File("pts1.txt") +
                                                    "”在转换前已经存在，没有替换它，源文件“" +
                                                    dir.File("pts.txt") + "”未转换。");
            }
        }
    }
    // Without beforeStart they are kept.
    fresh();
    ConversionSession s = BatchSession({dir.File("pts.txt")}, kNamingFileName);
    EXPECT_EQ(RunBatch(s).skipped.at(0).reason, SkipReason::OutputExists);
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), own);
}
