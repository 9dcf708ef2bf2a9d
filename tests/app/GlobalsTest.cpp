#include <gtest/gtest.h>
#include <unistd.h>

#include "app/Globals.h"

TEST(Globals, AppDirIsTheExecutablesRealDirectoryWithATrailingSlash) {
    InitGlobals();
    ASSERT_FALSE(g_appDir.empty());
    EXPECT_EQ(g_appDir.front(), '/');
    EXPECT_EQ(g_appDir.back(), '/');
    EXPECT_EQ(g_projectPath, " ");
    EXPECT_FALSE(HasProjectPath());
    // This test binary lives there under its own name.
    EXPECT_EQ(::access((g_appDir + "session_tests").c_str(), X_OK), 0) << g_appDir;
    g_projectPath = "/tmp/p.cod";
    EXPECT_TRUE(HasProjectPath());
    g_projectPath = kNoProjectPath;
}
