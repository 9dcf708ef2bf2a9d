// The platform layer on Windows: UTF-8 paths, environment and arguments
// reach the wide-character calls whatever the ANSI code page, folders come
// back with "/", and files keep their identity through hard links.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h:
#include <gtest/gtest.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/Platform.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestTempDir.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    const std::u8string text(utf8.begin(), utf8.end());
    return std::filesystem::path(text).wstring();
}

bool ExistsWide(const std::string& utf8) {
    return GetFileAttributesW(Wide(utf8).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(PlatformWindows, ChineseNamesReachTheDiskAsWideCharacters) {
    TestTempDir dir;
    const std::string folder = dir.File("测量成果");
    ASSERT_TRUE(Platform::CreateFolder(folder));
    EXPECT_TRUE(ExistsWide(folder));
    errno = 0;
    EXPECT_FALSE(Platform::CreateFolder(folder));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(Platform::CreateFolder(dir.File("缺少/测量成果")));
    EXPECT_EQ(errno, ENOENT);

    const std::string file = folder + "/控制点 (1).txt";
    std::FILE* stream = Platform::OpenStream(file, "wb");
    ASSERT_NE(stream, nullptr);
    std::fputs("P1,1,2,3\r\n", stream);
    std::fclose(stream);
    EXPECT_TRUE(ExistsWide(file));
    // Backslashes are folder separators too.
    Platform::FileStatus status;
    ASSERT_TRUE(Platform::StatusOf(dir.Path() + "\\测量成果\\控制点 (1).txt", &status));
    EXPECT_EQ(status.size, 10u);

    // The replacement moves in under the old name in one step.
    const std::string fresh = folder + "/控制点.tmp";
    WriteBytes(fresh, "new");
    ASSERT_TRUE(Platform::ReplaceAtomically(fresh, file));
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_FALSE(Platform::Exists(fresh));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"测量成果"});
}

TEST(PlatformWindows, HardLinksShareAnIdentityCopiesDoNot) {
    TestTempDir dir;
    WriteBytes(dir.File("点.txt"), "1,2,3\n");
    WriteBytes(dir.File("copy.txt"), "1,2,3\n");
    ASSERT_TRUE(CreateHardLinkW(Wide(dir.File("硬链接.txt")).c_str(),
                                Wide(dir.File("点.txt")).c_str(), nullptr));
    Platform::FileStatus file, link, copy, folder;
    ASSERT_TRUE(Platform::StatusOf(dir.File("点.txt"), &file));
    ASSERT_TRUE(Platform::StatusOf(dir.File("硬链接.txt"), &link));
    ASSERT_TRUE(Platform::StatusOf(dir.File("copy.txt"), &copy));
    ASSERT_TRUE(Platform::StatusOf(dir.Path(), &folder));
    EXPECT_EQ(link.id, file.id);
    EXPECT_EQ(file.links, 2u);
    EXPECT_NE(copy.id, file.id);
    EXPECT_EQ(copy.links, 1u);
    EXPECT_TRUE(folder.directory);
    EXPECT_FALSE(folder.regular);
}

// The file system ignores case, Chinese names have none.
TEST(PlatformWindows, NamesThatDifferOnlyInCaseHaveOneKey) {
    EXPECT_EQ(Platform::NameKey("pts1.TXT"), Platform::NameKey("PTS1.txt"));
    EXPECT_EQ(Platform::NameKey("控制点ä.txt"), "控制点Ä.TXT");
    EXPECT_NE(Platform::NameKey("pts1.txt"), Platform::NameKey("pts2.txt"));
}

TEST(PlatformWindows, EnvironmentIsReadAsUtf8) {
    ScopedEnv set("TERRAX_测试", "北京-54 坐标系");
    EXPECT_EQ(Platform::EnvironmentVariable("TERRAX_测试"), "北京-54 坐标系");
    {
        ScopedEnv unset("TERRAX_测试", nullptr);
        EXPECT_EQ(Platform::EnvironmentVariable("TERRAX_测试"), std::nullopt);
    }
    // Longer than the first buffer.
    const std::string long_(5000, 'x');
    ScopedEnv longValue("TERRAX_LONG", long_);
    EXPECT_EQ(Platform::EnvironmentVariable("TERRAX_LONG"), long_);
}

TEST(PlatformWindows, SettingsFolderIsAppDataWithSlashes) {
    {
        ScopedEnv appData("APPDATA", "C:\\Users\\测量员\\AppData\\Roaming");
        EXPECT_EQ(Platform::UserConfigFolder(), "C:/Users/测量员/AppData/Roaming/");
    }
    {
        ScopedEnv appData("APPDATA", "D:\\设置\\");
        EXPECT_EQ(Platform::UserConfigFolder(), "D:/设置/");
    }
    // Without %APPDATA% the system names the user's roaming folder.
    ScopedEnv appData("APPDATA", nullptr);
    const std::string folder = Platform::UserConfigFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(PathOf(folder).is_absolute()) << folder;
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder.find('\\'), std::string::npos) << folder;
    EXPECT_EQ(Platform::UserConfigPathForHelp("terrax/Par.txt"), "%APPDATA%\\terrax\\Par.txt");
}

TEST(PlatformWindows, ExecutablePathHasSlashesAndNamesThisProgram) {
    const std::string path = Platform::ExecutablePath();
    EXPECT_EQ(path.find('\\'), std::string::npos) << path;
    EXPECT_EQ(path.substr(path.rfind('/') + 1), "platform_tests.exe");
    EXPECT_TRUE(Platform::Exists(path));
}

TEST(PlatformWindows, FilesAndPipesAreNoTerminals) {
    TestTempDir dir;
    std::FILE* file = Platform::OpenStream(dir.File("out.txt"), "w");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(Platform::IsTerminal(file));
    std::fclose(file);
    HANDLE read = nullptr, write = nullptr;
    ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 0));
    Platform::FileStatus status;
    std::FILE* pipe = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(read), 0), "rb");
    ASSERT_NE(pipe, nullptr);
    EXPECT_FALSE(Platform::IsTerminal(pipe));
    ASSERT_TRUE(Platform::StatusOfStream(pipe, &status));
    EXPECT_FALSE(status.regular);
    std::fclose(pipe);
    CloseHandle(write);
}
