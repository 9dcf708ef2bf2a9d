// Where the help page and the format store are found: beside the executable
// or in the installed and per-user places, for every combination.
#include "app/AppPaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestTempDir.h"

namespace fs = std::filesystem;

TEST(AppPaths, StoreBesideTheExecutableWinsWhenItIsThere) {
    TestTempDir dir;
    const std::string bin = dir.Path() + "/bin/";
    fs::create_directory(bin);
    const std::string config = dir.Path() + "/config";
    // Absent: the configuration folder, as $XDG_CONFIG_HOME or ~/.config.
    EXPECT_EQ(FormatStorePath(bin, config, "/home/u"), config + "/terrax/Par.txt");
    EXPECT_EQ(FormatStorePath(bin, config + "/", "/home/u"), config + "/terrax/Par.txt");
    EXPECT_EQ(FormatStorePath(bin, "", "/home/u"), "/home/u/.config/terrax/Par.txt");
    EXPECT_EQ(FormatStorePath(bin, "", "/home/u/"), "/home/u/.config/terrax/Par.txt");
    // A relative $XDG_CONFIG_HOME is not a configuration folder.
    EXPECT_EQ(FormatStorePath(bin, "rel/config", "/home/u"), "/home/u/.config/terrax/Par.txt");
    // No home at all: beside the executable, as before.
    EXPECT_EQ(FormatStorePath(bin, "", ""), bin + "Par.txt");

    WriteBytes(bin + "Par.txt", "");
    EXPECT_EQ(FormatStorePath(bin, config, "/home/u"), bin + "Par.txt");
    EXPECT_EQ(FormatStorePath(bin, "", "/home/u"), bin + "Par.txt");
}

TEST(AppPaths, StoreFollowsThisProcesssEnvironment) {
    TestTempDir dir;
    const std::string bin = dir.Path() + "/";
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/x/conf");
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(FormatStorePath(bin), "/x/conf/terrax/Par.txt");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "/home/u");
        EXPECT_EQ(FormatStorePath(bin), "/home/u/.config/terrax/Par.txt");
    }
}

TEST(AppPaths, HelpPageBesideTheExecutableElseInstalled) {
    TestTempDir dir;
    const std::string bin = dir.Path() + "/bin/";
    const std::string share = dir.Path() + "/share/terrax/";
    fs::create_directories(bin);
    fs::create_directories(share);
    EXPECT_EQ(InstalledDataDir(bin), share);
    // Neither: the place beside the executable, which names what is missing.
    EXPECT_EQ(HelpPagePath(bin), bin + kHelpPageName);
    WriteBytes(share + kHelpPageName, "<html></html>");
    EXPECT_EQ(HelpPagePath(bin), share + kHelpPageName);
    WriteBytes(bin + kHelpPageName, "<html></html>");
    EXPECT_EQ(HelpPagePath(bin), bin + kHelpPageName);
}

TEST(AppPaths, StoreFoldersAreCreatedForTheOwnerOnly) {
    TestTempDir dir;
    std::string error;
    const std::string store = dir.Path() + "/config/terrax/Par.txt";
    ASSERT_TRUE(CreateFoldersFor(store, &error)) << error;
    for (const std::string& folder : {dir.Path() + "/config", dir.Path() + "/config/terrax"}) {
        struct stat st;
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_FALSE(fs::exists(store));
    // Folders that exist are left as they are.
    ASSERT_TRUE(CreateFoldersFor(store, &error)) << error;

    // A file where a folder should be: the user is told which.
    WriteBytes(dir.Path() + "/file", "x");
    EXPECT_FALSE(CreateFoldersFor(dir.Path() + "/file/terrax/Par.txt", &error));
    EXPECT_NE(error.find(dir.Path() + "/file"), std::string::npos) << error;
}
