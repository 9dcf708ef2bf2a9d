// Where the help page and the format store are found: beside the executable
// or in the installed and per-user places, for every combination.
#include "session/AppPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/TestTempDir.h"

namespace fs = std::filesystem;

TEST(AppPaths, StoreBesideTheExecutableWinsWhenItIsThere) {
    TestTempDir dir;
    const std::string bin = dir.Path() + "/bin/";
    fs::create_directory(PathOf(bin));
    const std::string config = dir.Path() + "/config";
    // Absent: the user's settings folder, with or without its final "/".
    EXPECT_EQ(FormatStorePath(bin, config), config + "/terrax/Par.txt");
    EXPECT_EQ(FormatStorePath(bin, config + "/"), config + "/terrax/Par.txt");
    // No settings folder at all: beside the executable, as before.
    EXPECT_EQ(FormatStorePath(bin, ""), bin + "Par.txt");

    // The window's settings lie beside the store, wherever that is.
    EXPECT_EQ(WindowSettingsPath(bin, config), config + "/terrax/terrax.ini");

    WriteBytes(bin + "Par.txt", "");
    EXPECT_EQ(FormatStorePath(bin, config), bin + "Par.txt");
    EXPECT_EQ(FormatStorePath(bin, ""), bin + "Par.txt");
    EXPECT_EQ(WindowSettingsPath(bin, config), bin + "terrax.ini");
}

TEST(AppPaths, StoreFollowsThisUsersSettingsFolder) {
    // A Chinese folder name, which the ANSI code page of Windows may not hold.
    TestTempDir dir;
    const std::string config = dir.Path() + "/配置";
    ScopedEnv configHome(TestPlatform::kConfigFolderVariable, config);
    EXPECT_EQ(FormatStorePath(dir.Path() + "/"), config + "/terrax/Par.txt");
    std::string error;
    ASSERT_TRUE(CreateFoldersFor(FormatStorePath(dir.Path() + "/"), &error)) << error;
    EXPECT_TRUE(fs::is_directory(PathOf(config + "/terrax")));
}

// The file dialogs open beside the executable only for a portable copy.
TEST(AppPaths, HelpPageAndFileDialogsBesideTheExecutableElseInstalled) {
    TestTempDir dir;
    const std::string bin = dir.Path() + "/bin/";
    const std::string share = dir.Path() + "/share/terrax/";
    const std::string home = dir.Path() + "/home";
    fs::create_directories(PathOf(bin));
    fs::create_directories(PathOf(share));
    EXPECT_EQ(InstalledDataDir(bin), share);
    // Neither: the place beside the executable, which names what is missing.
    EXPECT_EQ(HelpPagePath(bin), bin + kHelpPageName);
    EXPECT_EQ(FileDialogFolder(bin, home), home + "/");
    // Installed as on Linux: the page in share/.
    WriteBytes(share + kHelpPageName, "<html></html>");
    EXPECT_EQ(HelpPagePath(bin), share + kHelpPageName);
    EXPECT_EQ(FileDialogFolder(bin, home), home + "/");
    EXPECT_EQ(FileDialogFolder(bin, home + "/"), home + "/");
    EXPECT_EQ(FileDialogFolder(bin, ""), bin);
    // Installed as on Windows: the page beside the executable, no store
    // there; the dialogs still open in the home folder, not Program Files.
    WriteBytes(bin + kHelpPageName, "<html></html>");
    EXPECT_EQ(HelpPagePath(bin), bin + kHelpPageName);
    EXPECT_EQ(FileDialogFolder(bin, home), home + "/");
    // A portable copy: its store beside it.
    WriteBytes(bin + "Par.txt", "");
    EXPECT_EQ(FileDialogFolder(bin, home), bin);
}

TEST(AppPaths, MissingStoreFoldersAreCreatedAndAFileInTheWayIsNamed) {
    TestTempDir dir;
    std::string error;
    const std::string store = dir.Path() + "/config/terrax/Par.txt";
    ASSERT_TRUE(CreateFoldersFor(store, &error)) << error;
    EXPECT_TRUE(fs::is_directory(PathOf(dir.Path() + "/config/terrax")));
    EXPECT_FALSE(fs::exists(PathOf(store)));
    // Folders that exist are left as they are.
    ASSERT_TRUE(CreateFoldersFor(store, &error)) << error;

    // A file where a folder should be: the user is told which.
    WriteBytes(dir.Path() + "/file", "x");
    EXPECT_FALSE(CreateFoldersFor(dir.Path() + "/file/terrax/Par.txt", &error));
    EXPECT_NE(error.find(dir.Path() + "/file"), std::string::npos) << error;
}

TEST(AppPaths, AbsolutePathsAreUtf8WithSlashes) {
    TestTempDir dir;
    const std::string folder = dir.Path() + "/工程";
    EXPECT_EQ(AbsolutePath(folder + "/./a/../项目.cod"), folder + "/项目.cod");
    const std::string relative = AbsolutePath("项目.cod");
    EXPECT_TRUE(PathOf(relative).is_absolute()) << relative;
    EXPECT_EQ(relative, TextOf(fs::current_path()) + "/项目.cod");
}
