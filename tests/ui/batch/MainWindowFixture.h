// A main window test with its own folders: the executable's folder (g_appDir)
// and the configuration folder where the format store is made, both empty.
#pragma once

#include <optional>
#include <string>

#include "session/Globals.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"
#include "tests/ui/support/UiTest.h"
#include "ui/app/ConvertApp.h"

class MainWindowFixture : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        m_savedAppDir = g_appDir;
        g_appDir = dir.Path() + "/";
        g_projectPath = kNoProjectPath;
        m_configHome.emplace(TestPlatform::kConfigFolderVariable, config.Path());
    }
    void TearDown() override {
        m_configHome.reset();
        g_appDir = m_savedAppDir;
        UiTest::TearDown();
    }

    TestTempDir dir;
    TestTempDir config;
    CConvertApp app;

private:
    std::string m_savedAppDir;
    std::optional<ScopedEnv> m_configHome;
};
