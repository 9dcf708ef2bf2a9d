// The fixture of the main window's tests: a temporary folder as the
// program's folder and settings folder, no project, and a run of the
// window with a callback once it is on the screen.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "session/Globals.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/ConvertApp.h"
#include "ui/app/ConvertDlg.h"
#include "ui/framework/WindowSettings.h"

class MainWindowTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        g_appDir = dir.Path() + "/";
        g_projectPath = kNoProjectPath;
        // The application object names the settings file there.
        TestPlatform::SetEnvironment(TestPlatform::kConfigFolderVariable, config.Path().c_str());
    }
    void TearDown() override {
        g_projectPath = kNoProjectPath;
        AfxSetWindowSettingsFile("");
        TestPlatform::SetEnvironment(TestPlatform::kConfigFolderVariable, nullptr);
        UiTest::TearDown();
    }

    // Runs a main window; `act` runs once it is on the screen. Returns the
    // end code of DoModal and whether the window was still open after `act`.
    struct Run {
        int result = 0;
        bool stillOpen = false;
    };
    Run RunWindow(CConvertDlg& dlg, const std::function<void(CWnd&)>& act) {
        auto run = Prompts().ArmModal(act);
        app.m_pMainWnd = &dlg;
        Run r;
        r.result = dlg.DoModal();
        app.m_pMainWnd = nullptr;
        EXPECT_TRUE(run->ran);
        r.stillOpen = run->closedByGuard;
        return r;
    }

    // Types a point into the source fields.
    static void TypePoint(CWnd& w, const char* a, const char* b, const char* c) {
        ReplaceText(w, IDC_SOURCE_X, a);
        ReplaceText(w, IDC_SOURCE_Y, b);
        ReplaceText(w, IDC_SOURCE_H, c);
    }

    TestTempDir dir;
    TestTempDir config;  // the user's settings folder
    CConvertApp app;  // routes 退出(&E) to the main window
};
