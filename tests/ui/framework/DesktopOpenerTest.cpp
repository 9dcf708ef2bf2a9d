// The desktop's opener as the window uses it: an opener that cannot be
// started, or that ends at once saying it cannot open the file (xdg-open
// without a program for the type), gives a message naming the file; one that
// opens it says nothing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <filesystem>

#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/UiTest.h"
#include "ui/framework/DesktopOpener.h"

namespace {

class DesktopOpenerTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        if (!TestPlatform::kOpenerIsXdgOpen)
            GTEST_SKIP() << "the opener here is the shell's, not xdg-open";
        const char* path = std::getenv("PATH");
        m_savedPath = path != nullptr ? path : "";
        m_previous = AfxSetDesktopOpener({});  // the desktop's, through the platform
    }
    void TearDown() override {
        if (TestPlatform::kOpenerIsXdgOpen) {
            TestPlatform::SetEnvironment("PATH", m_savedPath.c_str());
            AfxSetDesktopOpener(m_previous);
        }
        UiTest::TearDown();
    }

    // A stand-in for xdg-open first in PATH, ending with `status`.
    void InstallOpener(int status) {
        const std::string bin = m_dir.File("bin");
        std::filesystem::create_directories(PathOf(bin));
        const std::string opener = bin + "/xdg-open";
        WriteBytes(opener, "#!/bin/sh\nexit " + std::to_string(status) + "\n");
        std::filesystem::permissions(PathOf(opener), std::filesystem::perms::owner_all);
        TestPlatform::SetEnvironment("PATH", bin.c_str());
    }

    // Runs the event loop until a message box came or `ms` passed.
    void WaitForMessage(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (Prompts().MessageBoxes().empty() && clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    TestTempDir m_dir;

private:
    std::string m_savedPath;
    DesktopOpener m_previous;
};

TEST_F(DesktopOpenerTest, AnOpenerThatFailsAtOnceIsToldWithTheFileName) {
    InstallOpener(3);
    const std::string file = m_dir.File("结果 1.txt");
    Prompts().AnswerMessageBox(IDOK);
    EXPECT_TRUE(AfxOpenWithDesktop(file));
    WaitForMessage(10000);
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, AfxOpenFailedText(file));
    EXPECT_NE(AfxOpenFailedText(file).find(file), std::string::npos);
}

TEST_F(DesktopOpenerTest, AnOpenerThatCannotBeStartedIsToldAtOnce) {
    TestPlatform::SetEnvironment("PATH", m_dir.Path().c_str());  // no xdg-open there
    const std::string file = m_dir.File("坐标转换问题.htm");
    Prompts().AnswerMessageBox(IDOK);
    EXPECT_FALSE(AfxOpenWithDesktop(file));
    ASSERT_EQ(Prompts().MessageBoxes().size(), 1u);
    EXPECT_EQ(Prompts().MessageBoxes()[0].text, AfxOpenFailedText(file));
}

TEST_F(DesktopOpenerTest, AnOpenerThatOpensTheFileSaysNothing) {
    InstallOpener(0);
    EXPECT_TRUE(AfxOpenWithDesktop(m_dir.File("a.txt")));
    WaitForMessage(1500);
    EXPECT_TRUE(Prompts().MessageBoxes().empty());
}

}  // namespace
