// The whole batch through the real main window: "格式" defines and chooses a
// format, "浏览" chooses the files, "=>" converts them, and the output list
// and the output files show the result.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <initializer_list>
#include <string>
#include <vector>

#include "batch/ShortenPath.h"
#include "res/resource.h"
#include "session/Globals.h"
#include "tests/batch/BatchTestSession.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/batch/MainWindowFixture.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/ConvertApp.h"
#include "ui/app/ConvertDlg.h"
#include "ui/framework/ListBox.h"

namespace {

constexpr char kBatchQuestion[] = "请确定已经设置转换关系了!";

// In the format dialog: defines the format 坐标 (*.txt) with the data items
// at `items`, chooses the naming radio button `naming` and confirms.
void DefineAndChooseFormat(CWnd& f, std::initializer_list<int> items, int naming) {
    SelectTab(f, IDC_FORMAT_TAB, 1);
    TypeText(f, IDC_FORMAT_NAME, "坐标");
    TypeText(f, IDC_EXTENSION, "txt");
    for (int item : items) {
        SelectListItem(f, IDC_DATA_ITEMS, item);
        Click(f, IDC_ADD_ITEM);
    }
    Click(f, IDC_FINISH_FORMAT);
    SelectTab(f, IDC_FORMAT_TAB, 2);
    Click(f, naming);
    SelectTab(f, IDC_FORMAT_TAB, 0);
    Click(f, IDOK);
}

class MainWindowBatchTest : public MainWindowFixture {};

TEST_F(MainWindowBatchTest, FormatFilesAndBatchFromTheFileConversionTab) {
    const std::vector<std::string> sources = {dir.File("a.txt"), dir.File("b.txt")};
    const std::vector<std::vector<std::string>> lines = {
        {"P1,3512345.000,512345.000,45.0,", "P2,3321234.5678,487654.321,12.25,"},
        {"Q1,3400000,500000,,"}};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        std::string text;
        for (const std::string& line : lines[i]) text += line + "\r\n";
        WriteBytes(sources[i], text);
    }
    const std::vector<std::string> outputs = {dir.File("a1.txt"), dir.File("b1.txt")};

    CConvertDlg dlg;
    app.m_pMainWnd = &dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        Click(w, IDC_TARGET_GEODETIC);  // geodetic target: every field but the point number changes
        SelectTab(w, IDC_MODE_TAB, 1);
        EXPECT_FALSE(ControlEnabled(w, IDC_BROWSE));

        auto format = Prompts().ArmModal([](CWnd& f) {
            // 点号 北方向X 东方向Y 水准高; 文件名上加1
            DefineAndChooseFormat(f, {0, 4, 5, 6}, IDC_NAMING_FILE_NAME);
        });
        Click(w, IDC_FORMAT);
        EXPECT_TRUE(format->ran);
        EXPECT_TRUE(ControlEnabled(w, IDC_BROWSE));

        Prompts().AnswerFileDialog(sources);
        Click(w, IDC_BROWSE);
        ASSERT_EQ(Prompts().FileDialogs().size(), 1u);
        EXPECT_EQ(Prompts().FileDialogs()[0].filter, "坐标(*.txt)|*.txt||");
        auto& sourceList = *static_cast<CListBox*>(w.GetDlgItem(IDC_SOURCE_FILES));
        ASSERT_EQ(sourceList.GetCount(), 2);
        EXPECT_EQ(sourceList.GetText(1), ShortenPath(sources[1], 18));

        Prompts().AnswerMessageBox(IDOK);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT_FILES);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        EXPECT_EQ(Prompts().MessageBoxes()[0].text, kBatchQuestion);
        // The summary first, then the report.
        EXPECT_EQ(Prompts().MessageBoxes()[1].text.rfind(
                      "已转换 2 个文件，共 3 个点，跳过 0 行，用时 ", 0),
                  0u)
            << Prompts().MessageBoxes()[1].text;
        // The empty height of Q1 was read as 0, and the report says so.
        EXPECT_NE(Prompts().MessageBoxes()[1].text.find("“" + sources[1] + "”第1行（共1行）"),
                  std::string::npos)
            << Prompts().MessageBoxes()[1].text;
        auto& outputList = *static_cast<CListBox*>(w.GetDlgItem(IDC_OUTPUT_FILES));
        ASSERT_EQ(outputList.GetCount(), 2);
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(outputList.GetText(k), ShortenPath(outputs[static_cast<std::size_t>(k)], 18));
        }
    });
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    EXPECT_TRUE(run->ran);

    const ConversionSession& s = dlg.m_session;
    EXPECT_EQ(s.m_format.m_formatName, "坐标");
    EXPECT_EQ(s.m_format.m_naming, 2);
    ASSERT_GE(s.m_outputFiles.size(), 2u);
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        SCOPED_TRACE(outputs[i]);
        EXPECT_EQ(s.m_outputFiles[i], outputs[i]);
        std::string expected;
        for (const std::string& line : lines[i]) expected += ExpectedLine(s, line);
        EXPECT_EQ(ReadBytes(outputs[i]), expected);
        // Each point was converted, not copied.
        EXPECT_EQ(ReadBytes(outputs[i]).find(lines[i][0].substr(3, 7)), std::string::npos);
    }
    // With none beside the executable, the store was made, with its folder,
    // in the configuration folder.
    EXPECT_FALSE(ReadBytes(config.File("terrax/Par.txt")).empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("Par.txt")));
}

// Guards against sources replaced by points converted from 0: a header line,
// a byte-order mark before the first number, two numbers in one field; and
// against the DOS end-of-file byte read as a last line.
TEST_F(MainWindowBatchTest, OverwriteKeepsSourcesWhoseCoordinatesAreNotNumbers) {
    const std::string point = "3512345.000,512345.000,45.0,P1,";
    const std::string header = "X,Y,H,点号,";
    const std::string bom = "\xEF\xBB\xBF" + point + "\r\n";
    const std::string blank = "3512345 512345,512345.000,45.0,P1,\r\n";
    WriteBytes(dir.File("header.txt"), header + "\r\n" + point + "\r\n");
    WriteBytes(dir.File("bom.txt"), bom);
    WriteBytes(dir.File("blank.txt"), blank);
    WriteBytes(dir.File("dos.txt"), point + "\r\n\x1A");
    const std::vector<std::string> sources = {dir.File("header.txt"), dir.File("bom.txt"),
                                              dir.File("blank.txt"), dir.File("dos.txt")};

    CConvertDlg dlg;
    app.m_pMainWnd = &dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        // Plane to plane with level 1 unset converts nothing.
        Click(w, IDC_TARGET_GEODETIC);
        SelectTab(w, IDC_MODE_TAB, 1);
        auto format = Prompts().ArmModal([](CWnd& f) {
            // 北方向X 东方向Y 水准高 点号; 覆盖原文件
            DefineAndChooseFormat(f, {4, 5, 6, 0}, IDC_NAMING_OVERWRITE);
        });
        Click(w, IDC_FORMAT);
        EXPECT_TRUE(format->ran);
        Prompts().AnswerFileDialog(sources);
        Click(w, IDC_BROWSE);
        Prompts().AnswerMessageBox(IDOK);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT_FILES);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        const std::string report = Prompts().MessageBoxes()[1].text;
        for (const char* kept : {"bom.txt", "blank.txt"}) {
            EXPECT_NE(report.find("源文件“" + dir.File(kept) +
                                  "”第1行（共1行）的坐标不是完整的数字或角度"),
                      std::string::npos)
                << report;
        }
        EXPECT_EQ(report.find("header.txt"), std::string::npos) << report;
        EXPECT_EQ(report.find("dos.txt"), std::string::npos) << report;
        EXPECT_EQ(static_cast<CListBox*>(w.GetDlgItem(IDC_OUTPUT_FILES))->GetCount(), 2);
    });
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    EXPECT_TRUE(run->ran);

    const ConversionSession& s = dlg.m_session;
    EXPECT_EQ(s.m_outputFiles, (std::vector<std::string>{dir.File("header.txt"), dir.File("dos.txt")}));
    // The header stays as it was; the end-of-file byte adds no line.
    EXPECT_EQ(ReadBytes(dir.File("header.txt")), header + "\r\n" + ExpectedLine(s, point));
    EXPECT_EQ(ReadBytes(dir.File("dos.txt")), ExpectedLine(s, point));
    // The others are as they were, their conversion beside them.
    EXPECT_EQ(ReadBytes(dir.File("bom.txt")), bom);
    EXPECT_EQ(ReadBytes(dir.File("blank.txt")), blank);
    EXPECT_EQ(ReadBytes(dir.File("blank1.txt")), ExpectedLine(s, blank.substr(0, blank.size() - 2)));
}

// Plane to plane with local level 1 unset (K = 0) would write every point
// as Xo, Yo: the batch refuses with the window's message and writes nothing.
TEST_F(MainWindowBatchTest, PlaneToPlaneWithLevelOneUnsetRefuses) {
    const std::string source = dir.File("a.txt");
    WriteBytes(source, "P1,3512345.000,512345.000,45.0,\r\n");
    CConvertDlg dlg;
    app.m_pMainWnd = &dlg;
    auto run = Prompts().ArmModal([&](CWnd& w) {
        SelectTab(w, IDC_MODE_TAB, 1);
        auto format = Prompts().ArmModal(
            [](CWnd& f) { DefineAndChooseFormat(f, {0, 4, 5, 6}, IDC_NAMING_FILE_NAME); });
        Click(w, IDC_FORMAT);
        EXPECT_TRUE(format->ran);
        Prompts().AnswerFileDialog(source);
        Click(w, IDC_BROWSE);
        Prompts().AnswerMessageBox(IDOK);
        Prompts().AnswerMessageBox(IDOK);
        Click(w, IDC_CONVERT_FILES);
        ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
        EXPECT_EQ(Prompts().MessageBoxes()[1].text, kBatchQuestion);
        EXPECT_EQ(Prompts().MessageBoxes()[1].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(static_cast<CListBox*>(w.GetDlgItem(IDC_OUTPUT_FILES))->GetCount(), 0);
    });
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
    EXPECT_TRUE(run->ran);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.txt"}));
    EXPECT_TRUE(dlg.m_session.m_outputFiles.empty());
}

}  // namespace
