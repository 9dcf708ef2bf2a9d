#include <gtest/gtest.h>

#include <filesystem>

#include "framework/AtomicFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestTempDir.h"

TEST(AtomicFile, CommitReplacesTheFileAndLeavesNoTemporary) {
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    WriteBytes(path, "old contents");
    CAtomicFile out;
    out.Open(path);
    out.GetFile().Write("new", 3);
    EXPECT_EQ(ReadBytes(path), "old contents") << "replaced before Commit";
    out.Commit();
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.cod"});
}

TEST(AtomicFile, AbandonedWriteKeepsTheOldFile) {
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    WriteBytes(path, "old contents");
    {
        CAtomicFile out;
        out.Open(path);
        out.GetFile().Write("half", 4);
    }
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.cod"});
}

TEST(AtomicFile, WriteFailingMidwayKeepsTheOldFile) {
    // Fault injection: the file system refuses bytes beyond 100.
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    const std::string old(300, 'o');
    WriteBytes(path, old);
    const std::string data(1000, 'n');
    try {
        CAtomicFile out;
        out.Open(path);
        ScopedFileSizeLimit limit(100);
        out.GetFile().Write(data.data(), data.size());
        out.Commit();
        ADD_FAILURE() << "the write beyond the limit succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileTooLarge);
        // The message names the file the user chose, not the temporary one.
        EXPECT_NE(e.GetErrorMessage().find("“" + path + "”"), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.cod"});
}

TEST(AtomicFile, MissingFolderFailsAtOpenAndCreatesNothing) {
    TestTempDir dir;
    const std::string path = dir.File("nodir/p.cod");
    CAtomicFile out;
    try {
        out.Open(path);
        ADD_FAILURE() << "opened in a missing folder";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badPath);
        EXPECT_NE(e.GetErrorMessage().find(path), std::string::npos);
    }
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(AtomicFile, KeepsPermissionsAndWritesThroughASymbolicLink) {
    namespace fs = std::filesystem;
    TestTempDir dir;
    const std::string real = dir.File("real.cod");
    const std::string link = dir.File("link.cod");
    WriteBytes(real, "old");
    fs::permissions(PathOf(real),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    // 0640 here; Windows keeps only whether a file may be written.
    const fs::perms perms = fs::status(PathOf(real)).permissions();
    std::error_code noLink;
    fs::create_symlink(PathOf(real), PathOf(link), noLink);

    CAtomicFile out;
    out.Open(noLink ? real : link);
    out.GetFile().Write("new", 3);
    out.Commit();

    EXPECT_EQ(fs::status(PathOf(real)).permissions(), perms);
    EXPECT_EQ(ReadBytes(real), "new");
    if (noLink) GTEST_SKIP() << "no symbolic link can be made here: " << noLink.message();
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(PathOf(link))))
        << "the link was replaced by a file";
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.cod", "real.cod"}));
}

TEST(AtomicFile, CommitThatCannotReplaceTheTargetKeepsItAndLeavesNoTemporary) {
    // The chosen path is a folder: everything is written, then the
    // replacement is refused.
    TestTempDir dir;
    const std::string folder = dir.File("p.cod");
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(folder)));
    WriteBytes(folder + "/inside.txt", "kept");
    CAtomicFile out;
    out.Open(folder);
    out.GetFile().Write("new", 3);
    try {
        out.Commit();
        ADD_FAILURE() << "a folder was replaced by a file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::isDirectory);
        EXPECT_NE(e.GetErrorMessage().find(folder), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(folder + "/inside.txt"), "kept");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.cod"});
}
