#include "tests/ui/support/UiTest.h"

#include <QApplication>
#include <cstdlib>

#include "tests/support/TestPlatform.h"
#include "ui/framework/WinApp.h"

void UiTest::EnsureApplication() {
    if (QApplication::instance() != nullptr) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) TestPlatform::SetEnvironment("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "terrax-test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    AfxInitUiPlatform();
}

void UiTest::SetUp() {
    EnsureApplication();
    m_previous = AfxSetUiSeam(&m_prompts);
}

void UiTest::TearDown() {
    m_prompts.VerifyAllUsed();
    AfxSetUiSeam(m_previous);
}

// The Qt application lives to the end of the process; fontconfig, which Qt
// uses for its font list, keeps allocations that it frees only in FcFini.
// Tests built with the leak checker ignore those, and only those.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
