// The platform layer on this system: files by UTF-8 path, identity through
// links, terminals, and the desktop's opener started without a shell.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "io/File.h"
#include "platform/Platform.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestTempDir.h"

namespace {

Platform::FileStatus StatusOf(const std::string& path) {
    Platform::FileStatus status;
    EXPECT_TRUE(Platform::StatusOf(path, &status)) << path;
    return status;
}

}  // namespace

TEST(Platform, FilesByUtf8PathKeepTheirNamesOnDisk) {
    TestTempDir dir;
    const std::string name = "控制点 成果(1).txt";
    const std::string path = dir.File(name);
    {
        CFile f(path, CFile::modeCreate | CFile::modeWrite);
        f.Write("坐标", 6);
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{name});
    std::FILE* stream = Platform::OpenStream(path, "rb");
    ASSERT_NE(stream, nullptr);
    char buf[8];
    EXPECT_EQ(std::fread(buf, 1, sizeof buf, stream), 6u);
    std::fclose(stream);
    const Platform::FileStatus status = StatusOf(path);
    EXPECT_TRUE(status.regular);
    EXPECT_FALSE(status.directory);
    EXPECT_EQ(status.size, 6u);

    EXPECT_TRUE(Platform::RemoveFile(path));
    EXPECT_FALSE(Platform::Exists(path));
    Platform::FileStatus gone;
    errno = 0;
    EXPECT_FALSE(Platform::StatusOf(path, &gone));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(Platform::RemoveFile(path));
    EXPECT_EQ(errno, ENOENT);
}

TEST(Platform, LinksToOneFileShareItsIdentity) {
    TestTempDir dir;
    const std::string file = dir.File("点.txt");
    const std::string copy = dir.File("copy.txt");
    WriteBytes(file, "1,2,3\n");
    WriteBytes(copy, "1,2,3\n");
    ASSERT_EQ(::link(file.c_str(), dir.File("hard.txt").c_str()), 0);
    ASSERT_EQ(::symlink(file.c_str(), dir.File("soft.txt").c_str()), 0);
    ASSERT_EQ(::symlink(dir.File("missing").c_str(), dir.File("dangling.txt").c_str()), 0);

    const Platform::FileId id = StatusOf(file).id;
    EXPECT_EQ(StatusOf(file).links, 2u);
    EXPECT_EQ(StatusOf(copy).links, 1u);
    EXPECT_EQ(StatusOf(dir.File("hard.txt")).id, id);
    EXPECT_EQ(StatusOf(dir.File("soft.txt")).id, id);
    EXPECT_NE(StatusOf(copy).id, id) << "same bytes, another file";
    const Platform::FileStatus folder = StatusOf(dir.Path());
    EXPECT_TRUE(folder.directory);
    EXPECT_FALSE(folder.regular);
    EXPECT_NE(folder.id, id);
    Platform::FileStatus status;
    EXPECT_FALSE(Platform::StatusOf(dir.File("dangling.txt"), &status));

    // The status under an open stream is the file's; a pipe has no size.
    std::FILE* stream = Platform::OpenStream(dir.File("soft.txt"), "rb");
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(Platform::StatusOfStream(stream, &status));
    EXPECT_EQ(status.id, id);
    EXPECT_EQ(status.size, 6u);
    std::fclose(stream);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::FILE* pipe = ::fdopen(fds[0], "rb");
    ASSERT_TRUE(Platform::StatusOfStream(pipe, &status));
    EXPECT_FALSE(status.regular);
    EXPECT_EQ(status.size, 0u);
    std::fclose(pipe);
    ::close(fds[1]);
}

TEST(Platform, TerminalsAreToldFromPipesAndFiles) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        GTEST_SKIP() << "no pseudo-terminal here";
    }
    std::FILE* terminal = std::fopen(::ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    EXPECT_TRUE(Platform::IsTerminal(terminal));
    std::fclose(terminal);
    ::close(master);

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::FILE* pipe = ::fdopen(fds[1], "w");
    EXPECT_FALSE(Platform::IsTerminal(pipe));
    std::fclose(pipe);
    ::close(fds[0]);
    TestTempDir dir;
    std::FILE* file = std::fopen(dir.File("out.txt").c_str(), "w");
    EXPECT_FALSE(Platform::IsTerminal(file));
    std::fclose(file);
}

// Guards against a progress bar drawn among the converted lines: two
// streams on one terminal are told from two terminals and from a file.
TEST(Platform, StreamsOnOneTerminalAreToldApart) {
    int masters[2];
    std::FILE* terminals[3];
    for (int i = 0; i < 2; ++i) {
        masters[i] = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (masters[i] < 0 || ::grantpt(masters[i]) != 0 || ::unlockpt(masters[i]) != 0) {
            GTEST_SKIP() << "no pseudo-terminal here";
        }
        terminals[i] = std::fopen(::ptsname(masters[i]), "w");
        ASSERT_NE(terminals[i], nullptr);
    }
    terminals[2] = std::fopen(::ptsname(masters[0]), "w");  // opened again
    TestTempDir dir;
    std::FILE* file = std::fopen(dir.File("out.txt").c_str(), "w");
    EXPECT_TRUE(Platform::SameTerminal(terminals[0], terminals[2]));
    EXPECT_TRUE(Platform::SameTerminal(terminals[0], terminals[0]));
    EXPECT_FALSE(Platform::SameTerminal(terminals[0], terminals[1]));
    EXPECT_FALSE(Platform::SameTerminal(terminals[0], file));
    EXPECT_FALSE(Platform::SameTerminal(file, file));
    for (std::FILE* f : terminals) std::fclose(f);
    std::fclose(file);
    for (int m : masters) ::close(m);
}

TEST(Platform, DesktopOpenerGetsThePathAsOneArgumentWithoutAShell) {
    TestTempDir dir;
    const std::string bin = dir.File("bin");
    ASSERT_EQ(::mkdir(bin.c_str(), 0755), 0);
    // A stand-in for xdg-open that writes down its arguments.
    const std::string opener = bin + "/xdg-open";
    WriteBytes(opener,
               "#!/bin/sh\nPATH=/usr/bin:/bin\n"
               "printf '%s\\n' \"$#\" \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    ASSERT_EQ(::chmod(opener.c_str(), 0755), 0);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    struct RestorePath {
        std::string value;
        ~RestorePath() { ::setenv("PATH", value.c_str(), 1); }
    } restore{savedPath};

    // A shell would split this path, expand the command in it and stop at ";".
    const std::string path = dir.File("a b;$(touch " + dir.File("ran") + ") '控制点'.txt");
    ::setenv("PATH", bin.c_str(), 1);
    ASSERT_TRUE(Platform::OpenWithDesktop(path));
    const std::string args = opener + ".args";
    for (int i = 0; i < 200 && !Platform::Exists(args); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(ReadBytes(args), "1\n" + path + "\n");
    EXPECT_FALSE(Platform::Exists(dir.File("ran")));

    ::setenv("PATH", dir.Path().c_str(), 1);  // no opener there
    EXPECT_FALSE(Platform::OpenWithDesktop(path));
}

// The opener's end is told: a failing exit status (xdg-open's "no program
// for this file") as false, a good one as true.
TEST(Platform, DesktopOpenerTellsWhetherItOpenedTheFile) {
    TestTempDir dir;
    const std::string bin = dir.File("bin");
    ASSERT_EQ(::mkdir(bin.c_str(), 0755), 0);
    const std::string opener = bin + "/xdg-open";
    // Fails for files named *.bad, as xdg-open does for a type nothing opens.
    WriteBytes(opener, "#!/bin/sh\ncase \"$1\" in *.bad) exit 3;; esac\nexit 0\n");
    ASSERT_EQ(::chmod(opener.c_str(), 0755), 0);
    const char* oldPath = std::getenv("PATH");
    struct RestorePath {
        std::string value;
        ~RestorePath() { ::setenv("PATH", value.c_str(), 1); }
    } restore{oldPath ? oldPath : ""};
    ::setenv("PATH", bin.c_str(), 1);

    for (const auto& [name, expected] : {std::pair<const char*, int>{"a.bad", 0}, {"a.txt", 1}}) {
        // Shared with the thread that tells, which may outlive a failed wait.
        auto told = std::make_shared<std::atomic<int>>(-1);
        ASSERT_TRUE(
            Platform::OpenWithDesktop(dir.File(name), [told](bool opened) { *told = opened; }));
        for (int i = 0; i < 200 && *told < 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(*told, expected) << name;
    }
}

TEST(Platform, SettingsAndHomeFoldersFromXdgConfigHomeAndHome) {
    struct Case {
        const char* configHome;
        const char* home;
        const char* folder;
    };
    for (const Case& c :
         {Case{"/x/conf", "/home/u", "/x/conf/"}, Case{"/x/conf/", "/home/u", "/x/conf/"},
          Case{nullptr, "/home/u", "/home/u/.config/"}, Case{"", "/home/u/", "/home/u/.config/"},
          // A relative $XDG_CONFIG_HOME is no settings folder.
          Case{"rel/config", "/home/u", "/home/u/.config/"}, Case{nullptr, nullptr, ""},
          Case{"rel", "", ""}}) {
        ScopedEnv configHome("XDG_CONFIG_HOME", c.configHome);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(Platform::UserConfigFolder(), c.folder)
            << (c.configHome ? c.configHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
    // The home folder alone; a relative $HOME is none.
    for (const auto& [value, folder] : std::vector<std::pair<const char*, std::string>>{
             {"/home/u", "/home/u/"}, {"/home/u/", "/home/u/"}, {"home/u", ""}, {"", ""},
             {nullptr, ""}}) {
        ScopedEnv home("HOME", value);
        EXPECT_EQ(Platform::UserHomeFolder(), folder) << (value ? value : "(unset)");
    }
    EXPECT_EQ(Platform::UserConfigPathForHelp("terrax/Par.txt"),
              "$XDG_CONFIG_HOME/terrax/Par.txt (by default ~/.config/terrax/Par.txt)");
}

TEST(Platform, NewFoldersAreTheOwnersOnly) {
    TestTempDir dir;
    const std::string folder = dir.File("设置");
    ASSERT_TRUE(Platform::CreateFolder(folder));
    struct stat st;
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    errno = 0;
    EXPECT_FALSE(Platform::CreateFolder(folder));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(Platform::CreateFolder(dir.File("missing/设置")));
    EXPECT_EQ(errno, ENOENT);
}
