// The guards of the batch through the real main window: a file chosen twice,
// sources that share an output, outputs that exist already (the question
// before the batch and its three answers) and a read-only source under
// overwrite.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/FormatStore.h"
#include "batch/OutputPath.h"
#include "res/resource.h"
#include "session/Globals.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/Unprivileged.h"
#include "tests/ui/batch/MainWindowFixture.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/ConvertApp.h"
#include "ui/app/ConvertDlg.h"
#include "ui/framework/ListBox.h"

namespace {

constexpr char kBatchQuestion[] = "请确定已经设置转换关系了!";
const std::vector<std::string> kLines = {"P1,3512345.000,512345.000,45.0,",
                                         "P2,3321234.5678,487654.321,12.25,"};

std::string Points() { return kLines[0] + "\r\n" + kLines[1] + "\r\n"; }

class MainWindowGuardsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        std::filesystem::create_directories(config.File("terrax"));
        std::string error;
        ASSERT_TRUE(SaveFormatStore(config.File("terrax/Par.txt"),
                                    {{"坐标", "txt", ",", "点号,北方向X,东方向Y,水准高,"}}, &error))
            << error;
    }

    // Opens the main window, chooses the stored format with the naming
    // control `naming`, the sources in the file dialog, answers the batch
    // question with OK and then `answers`, and presses "=>". `check` runs
    // in the window afterwards. Returns the session of the closed window.
    ConversionSession Batch(int naming, const std::vector<std::string>& sources,
                            const std::vector<int>& answers,
                            const std::function<void(CWnd&)>& check = {}) {
        CConvertDlg dlg;
        app.m_pMainWnd = &dlg;
        auto run = Prompts().ArmModal([&](CWnd& w) {
            Click(w, IDC_TARGET_GEODETIC);  // converted twice would read angle texts as numbers
            SelectTab(w, IDC_MODE_TAB, 1);
            auto format = Prompts().ArmModal([&](CWnd& f) {
                SelectListItem(f, IDC_FORMAT_LIST, 0);
                SelectTab(f, IDC_FORMAT_TAB, 2);
                Click(f, naming);
                SelectTab(f, IDC_FORMAT_TAB, 0);
                Click(f, IDOK);
            });
            Click(w, IDC_FORMAT);
            EXPECT_TRUE(format->ran);
            Prompts().AnswerFileDialog(sources);
            Click(w, IDC_BROWSE);
            Prompts().AnswerMessageBox(IDOK);
            for (int answer : answers) Prompts().AnswerMessageBox(answer);
            Click(w, IDC_CONVERT_FILES);
            if (check) check(w);
        });
        dlg.DoModal();
        app.m_pMainWnd = nullptr;
        EXPECT_TRUE(run->ran);
        EXPECT_FALSE(Prompts().MessageBoxes().empty());
        if (!Prompts().MessageBoxes().empty()) {
            EXPECT_EQ(Prompts().MessageBoxes()[0].text, kBatchQuestion);
        }
        return dlg.m_session;
    }

    // The texts of the message boxes after the batch question; of the box
    // after a batch its report, the summary line before it checked here (a
    // box with the summary alone is left out).
    std::vector<std::string> LaterBoxes() {
        std::vector<std::string> texts;
        for (std::size_t i = 1; i < Prompts().MessageBoxes().size(); ++i) {
            std::string text = Prompts().MessageBoxes()[i].text;
            if (text.rfind("已转换 ", 0) == 0) {
                EXPECT_NE(text.find(" 个文件，共 "), std::string::npos) << text;
                const std::size_t end = text.find("\n\n");
                if (end == std::string::npos) continue;
                text = text.substr(end + 2);
            }
            texts.push_back(text);
        }
        return texts;
    }

    static std::string Converted(const ConversionSession& s) {
        std::string text;
        for (const std::string& line : kLines) text += ExpectedLine(s, line);
        return text;
    }

    static int OutputCount(CWnd& w) {
        return static_cast<CListBox*>(w.GetDlgItem(IDC_OUTPUT_FILES))->GetCount();
    }
};

// Loss: "pts.txt" "pts.txt" under overwrite converted the file twice; the
// original coordinates were gone from both files.
TEST_F(MainWindowGuardsTest, FileChosenTwiceIsConvertedOnceAndNamedInTheReport) {
    const std::string a = dir.File("a.txt");
    WriteBytes(a, Points());
    const ConversionSession s =
        Batch(IDC_NAMING_OVERWRITE, {a, a}, {IDOK}, [](CWnd& w) { EXPECT_EQ(OutputCount(w), 1); });
    EXPECT_EQ(ReadBytes(a), Converted(s));
    EXPECT_EQ(ReadBytes(dir.File("a1.txt")), Converted(s));
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{a});
    EXPECT_EQ(LaterBoxes(),
              std::vector<std::string>{"源文件“" + a + "”选了不止一次，只转换一次。"});
}

// Loss: pts.txt, pts.dat and pts all wrote pts1.txt; the last one won.
TEST_F(MainWindowGuardsTest, SourcesSharingAnOutputLeaveItToTheFirst) {
    const std::vector<std::string> sources = {dir.File("pts.txt"), dir.File("pts.dat"),
                                              dir.File("pts")};
    WriteBytes(sources[0], Points());
    WriteBytes(sources[1], "Q1,3400000,500000,1,\r\n");
    WriteBytes(sources[2], "Q2,3400000,500000,2,\r\n");
    const ConversionSession s = Batch(IDC_NAMING_FILE_NAME, sources, {IDOK});
    EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), Converted(s));
    const std::string output =
        "输出文件“" + dir.File("pts1.txt") + "”已由本批的源文件“" + sources[0] + "”写出，源文件“";
    EXPECT_EQ(LaterBoxes(), std::vector<std::string>{"以下文件没有转换:\n" + output + sources[1] +
                                                     "”未转换，以免覆盖它。\n" + output +
                                                     sources[2] + "”未转换，以免覆盖它。"});
    EXPECT_EQ(s.m_outputFiles, std::vector<std::string>{dir.File("pts1.txt")});
}

// Loss: the surveyor's own pts1.txt was replaced silently. The window asks
// once before the batch, listing it: Cancel converts nothing, No skips its
// source, Yes replaces it. Under overwrite the intermediate q1.txt counts.
TEST_F(MainWindowGuardsTest, OutputsThatExistAreReplacedOnlyAfterTheQuestion) {
    const std::string own = "MINE,1,2,3,\r\n";
    const std::vector<std::string> sources = {dir.File("pts.txt"), dir.File("q.txt"),
                                              dir.File("r.txt")};
    struct Case {
        int naming;
        int answer;
    };
    for (const Case c : {Case{IDC_NAMING_FILE_NAME, IDCANCEL}, Case{IDC_NAMING_FILE_NAME, IDNO},
                         Case{IDC_NAMING_FILE_NAME, IDYES}, Case{IDC_NAMING_OVERWRITE, IDNO},
                         Case{IDC_NAMING_OVERWRITE, IDYES}}) {
        SCOPED_TRACE(std::to_string(c.naming) + " " + std::to_string(c.answer));
        for (const std::string& source : sources) WriteBytes(source, Points());
        WriteBytes(dir.File("pts1.txt"), own);
        WriteBytes(dir.File("q1.txt"), own);
        std::filesystem::remove(dir.File("r1.txt"));
        // No means a report of the skipped sources after the batch, Yes the
        // summary alone.
        const std::vector<int> answers = c.answer == IDCANCEL ? std::vector<int>{c.answer}
                                                              : std::vector<int>{c.answer, IDOK};
        const ConversionSession s = Batch(c.naming, sources, answers, [&](CWnd& w) {
            EXPECT_EQ(OutputCount(w), c.answer == IDCANCEL ? 0 : c.answer == IDYES ? 3 : 1);
        });
        ASSERT_GE(Prompts().MessageBoxes().size(), 2u);
        const MessageBoxRequest& question = Prompts().MessageBoxes()[1];
        EXPECT_EQ(question.type, MB_YESNOCANCEL | MB_ICONQUESTION);
        EXPECT_EQ(question.text, "下列输出文件已经存在:\n" + dir.File("pts1.txt") + "\n" +
                                     dir.File("q1.txt") +
                                     "\n\n要替换它们吗?\n“是”替换这些文件；“否”不替换，跳过它们的"
                                     "源文件；“取消”不转换。");
        const bool replaced = c.answer == IDYES;
        const bool overwrite = c.naming == IDC_NAMING_OVERWRITE;
        EXPECT_EQ(ReadBytes(dir.File("pts1.txt")), replaced ? Converted(s) : own);
        EXPECT_EQ(ReadBytes(dir.File("q1.txt")), replaced ? Converted(s) : own);
        EXPECT_EQ(ReadBytes(sources[0]), replaced && overwrite ? Converted(s) : Points());
        EXPECT_EQ(std::filesystem::exists(dir.File("r1.txt")), c.answer != IDCANCEL);
        if (c.answer == IDCANCEL) {
            EXPECT_EQ(Prompts().MessageBoxes().size(), 2u);  // no report
        } else if (c.answer == IDNO) {
            ASSERT_EQ(LaterBoxes().size(), 2u);
            EXPECT_EQ(LaterBoxes()[1], "以下文件没有转换:\n输出文件“" + dir.File("pts1.txt") +
                                           "”在转换前已经存在，没有替换它，源文件“" + sources[0] +
                                           "”未转换。\n输出文件“" + dir.File("q1.txt") +
                                           "”在转换前已经存在，没有替换它，源文件“" + sources[1] +
                                           "”未转换。");
        } else {
            EXPECT_EQ(LaterBoxes().size(), 1u);  // the question only
        }
        Prompts().VerifyAllUsed();
    }
}

// Loss: under overwrite a read-only source was replaced (a new file renamed
// over it). As an ordinary user it stays, and the report says why.
TEST_F(MainWindowGuardsTest, ReadOnlySourceIsKeptUnderOverwrite) {
    UNPRIVILEGED_OR_SKIP(user);
    const std::string a = dir.File("a.txt");
    const std::string b = dir.File("b.txt");
    WriteBytes(a, Points());
    WriteBytes(b, Points());
    user.Own(dir.Path());
    user.Own(config.Path());
    ASSERT_EQ(::chmod(a.c_str(), 0444), 0);
    user.Run([&] {
        const ConversionSession s = Batch(IDC_NAMING_OVERWRITE, {a, b}, {IDOK});
        EXPECT_EQ(ReadBytes(a), Points());
        EXPECT_EQ(ReadBytes(dir.File("a1.txt")), Converted(s));
        EXPECT_EQ(ReadBytes(b), Converted(s));
        EXPECT_EQ(LaterBoxes(), std::vector<std::string>{
                                    "以下文件没有转换:\n没有访问文件“" + a + "”的权限。源文件“" +
                                    a + "”保持原样，转换结果在“" + dir.File("a1.txt") + "”。"});
    });
    EXPECT_EQ(ReadBytes(a), Points());
}

}  // namespace
