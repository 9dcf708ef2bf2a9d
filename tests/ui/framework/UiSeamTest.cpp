// The seam for message boxes and file dialogs: what the program asks reaches
// the seam unchanged, the answers come back, and the file dialog's own rules
// (default extension, overwrite question, several files) hold.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "tests/ui/support/UiTest.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/WinApp.h"
#include "ui/prompts/QtUiSeam.h"

namespace {

class UiSeamTest : public UiTest {};

TEST_F(UiSeamTest, MessageBoxesAskTheSeamAndReturnItsAnswer) {
    CWinApp app("坐标转换");
    Prompts().AnswerMessageBox(IDCANCEL);
    Prompts().AnswerMessageBox(IDOK);
    EXPECT_EQ(AfxMessageBox("要保存坐标转换文件吗?", MB_YESNOCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("椭球基准相同，七参数为零!"), IDOK);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, "要保存坐标转换文件吗?");
    EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(Prompts().MessageBoxes()[0].caption, "坐标转换");
    EXPECT_EQ(Prompts().MessageBoxes()[1].type, MB_OK);
}

TEST_F(UiSeamTest, AnAnswerThatIsNotAButtonFailsTheTest) {
    Prompts().AnswerMessageBox(IDYES);
    EXPECT_NONFATAL_FAILURE(AfxMessageBox("请输入文件类型名称和后缀", MB_OK),
                            "is not a button of the message box");
}

TEST_F(UiSeamTest, AnUnscriptedBoxFailsTheTestAndIsCancelled) {
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(
        answer = AfxMessageBox("请确定已经设置转换关系了!", MB_OKCANCEL | MB_ICONQUESTION),
        "unscripted message box");
    EXPECT_EQ(answer, IDCANCEL);
    bool chosen = true;
    CFileDialog dlg(TRUE);
    EXPECT_NONFATAL_FAILURE(chosen = dlg.DoModal() == IDOK, "unscripted file dialog");
    EXPECT_FALSE(chosen);
}

TEST_F(UiSeamTest, FileDialogsPassTheirSetUpToTheSeam) {
    CFileDialog dlg(FALSE, "cod", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||");
    dlg.m_ofn.lpstrTitle = "坐标转换文件另存为";
    dlg.m_ofn.lpstrInitialDir = "/opt/terrax/";
    Prompts().CancelFileDialog();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.GetPathName(), "");
    ASSERT_EQ(Prompts().FileDialogs().size(), 1u);
    const FileDialogRequest& shown = Prompts().FileDialogs()[0];
    EXPECT_FALSE(shown.open);
    EXPECT_EQ(shown.title, "坐标转换文件另存为");
    EXPECT_EQ(shown.filter, "坐标转换文件 (*.cod)|*.cod|全部文件 (*.*)|*.*||");
    EXPECT_EQ(shown.initialDir, "/opt/terrax/");
    EXPECT_EQ(shown.defaultExt, "cod");
    EXPECT_EQ(shown.flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
}

TEST_F(UiSeamTest, ANameWithoutExtensionGetsTheDefaultOne) {
    CFileDialog save(FALSE, "cod", nullptr, OFN_HIDEREADONLY);
    Prompts().AnswerFileDialog("/tmp/project");
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/project.cod");
    EXPECT_EQ(save.GetFileName(), "project.cod");
    EXPECT_EQ(save.GetFileExt(), "cod");
    CFileDialog keep(FALSE, "cod", nullptr, OFN_HIDEREADONLY);
    Prompts().AnswerFileDialog("/tmp/project.txt");
    ASSERT_EQ(keep.DoModal(), IDOK);
    EXPECT_EQ(keep.GetPathName(), "/tmp/project.txt");
    CFileDialog open(TRUE);
    Prompts().AnswerFileDialog("/tmp/dir.d/name");
    ASSERT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "/tmp/dir.d/name") << "no default extension: the name stays";
}

class OverwriteTest : public UiSeamTest {
protected:
    void SetUp() override {
        UiSeamTest::SetUp();
        dir =
            std::filesystem::temp_directory_path() / ("terrax-seam-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        existing = (dir / "old.cod").string();
        std::FILE* file = std::fopen(existing.c_str(), "wb");
        std::fclose(file);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        UiSeamTest::TearDown();
    }
    std::filesystem::path dir;
    std::string existing;
};

TEST_F(OverwriteTest, SavingOverAnExistingFileAsksAndNoShowsTheDialogAgain) {
    CFileDialog dlg(FALSE, "cod", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    dlg.m_ofn.lpstrTitle = "新建坐标转换文件";
    Prompts().AnswerFileDialog(existing);
    Prompts().AnswerMessageBox(IDNO);
    Prompts().AnswerFileDialog((dir / "old").string());  // gets ".cod": the same file
    Prompts().AnswerMessageBox(IDYES);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), existing);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 2u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, existing + " 已存在。\n要替换它吗？");
    EXPECT_EQ(Prompts().MessageBoxes()[0].type, MB_YESNO | MB_ICONWARNING);
    EXPECT_EQ(Prompts().MessageBoxes()[0].caption, "新建坐标转换文件");
    ASSERT_EQ(Prompts().FileDialogs().size(), 2u);
    EXPECT_EQ(Prompts().FileDialogs()[1].fileName, existing)
        << "the dialog comes back with the name refused";
}

TEST_F(OverwriteTest, NoQuestionForNewFilesOpenDialogsOrWithoutTheFlag) {
    CFileDialog fresh(FALSE, "cod", nullptr, OFN_OVERWRITEPROMPT);
    Prompts().AnswerFileDialog((dir / "new.cod").string());
    EXPECT_EQ(fresh.DoModal(), IDOK);
    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    Prompts().AnswerFileDialog(existing);
    EXPECT_EQ(open.DoModal(), IDOK);
    CFileDialog unasked(FALSE, "cod", nullptr, OFN_HIDEREADONLY);
    Prompts().AnswerFileDialog(existing);
    EXPECT_EQ(unasked.DoModal(), IDOK);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

TEST_F(UiSeamTest, SeveralChosenFilesAreWalkedInOrder) {
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT,
                    "坐标(*.txt)|*.txt||");
    Prompts().AnswerFileDialog(std::vector<std::string>{"/d/a.txt", "/d/b.txt", "/d/c.txt"});
    ASSERT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> walked;
    for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;)
        walked.push_back(dlg.GetNextPathName(pos));
    EXPECT_EQ(walked, (std::vector<std::string>{"/d/a.txt", "/d/b.txt", "/d/c.txt"}));
    CFileDialog none(TRUE);
    EXPECT_EQ(none.GetStartPosition(), nullptr);
}

}  // namespace
