#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "session/Globals.h"
#include "tests/support/TestTempDir.h"

TEST(Globals, AppDirIsTheExecutablesRealDirectoryWithATrailingSlash) {
    InitGlobals();
    ASSERT_FALSE(g_appDir.empty());
    EXPECT_TRUE(PathOf(g_appDir).is_absolute()) << g_appDir;
    EXPECT_EQ(g_appDir.find('\\'), std::string::npos) << g_appDir;
    EXPECT_EQ(g_appDir.back(), '/');
    EXPECT_EQ(g_projectPath, " ");
    EXPECT_FALSE(HasProjectPath());
    // This test binary lives there under its own name.
    EXPECT_TRUE(Platform::Exists(g_appDir + "session_tests" TERRAX_EXECUTABLE_SUFFIX)) << g_appDir;
    g_projectPath = "/tmp/p.cod";
    EXPECT_TRUE(HasProjectPath());
    g_projectPath = kNoProjectPath;
}
