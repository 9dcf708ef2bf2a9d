#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "io/AtomicFile.h"
#include "platform/Platform.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/Unprivileged.h"

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

// Guards against replacing a file the user may not write: renaming over it
// needs only the folder's permission, so the save must ask the file.
TEST(AtomicFilePermissions, ReadOnlyFileIsRefusedAndKept) {
    UNPRIVILEGED_OR_SKIP(user);
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    const std::string later = dir.File("later.cod");
    WriteBytes(path, "old");
    WriteBytes(later, "old");
    user.Own(dir.Path());
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    user.Run([&] {
        CAtomicFile out;
        try {
            out.Open(path);
            ADD_FAILURE() << "a read-only file was opened for replacing";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::accessDenied);
            EXPECT_EQ(e.GetErrorMessage(), "没有访问文件“" + path + "”的权限。");
        }
        // Made read-only while the new contents were being written.
        out.Open(later);
        out.GetFile().Write("new", 3);
        ASSERT_EQ(::chmod(later.c_str(), 0444), 0);
        EXPECT_THROW(out.Commit(), CFileException);
    });
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(ReadBytes(later), "old");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"later.cod", "p.cod"}));
}

// Guards against refusing a file the user may write only because its folder
// takes no new files, and against a failed write in place that leaves the
// file half written.
TEST(AtomicFilePermissions, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    UNPRIVILEGED_OR_SKIP(user);
    TestTempDir dir;
    const std::string folder = dir.File("ro");
    const std::string path = folder + "/p.cod";
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(folder)));
    const std::string old(300, 'o');
    WriteBytes(path, old);
    user.Own(dir.Path());
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    user.Run([&] {
        CAtomicFile out;
        out.Open(path);
        EXPECT_TRUE(out.WritesInPlace());
        out.GetFile().Write("short", 5);
        out.Commit();
        EXPECT_EQ(ReadBytes(path), "short");

        // The write in place fails beyond 500 bytes: the old bytes come back.
        WriteBytes(path, old);
        const std::string data(1000, 'n');
        out.Open(path);
        out.GetFile().Write(data.data(), data.size());
        try {
            ScopedFileSizeLimit limit(500);
            out.Commit();
            ADD_FAILURE() << "the write beyond the limit succeeded";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::fileTooLarge);
            EXPECT_NE(e.GetErrorMessage().find("“" + path + "”"), std::string::npos);
        }
        EXPECT_EQ(ReadBytes(path), old);

        // A new file cannot be made there.
        try {
            out.Open(folder + "/new.cod");
            ADD_FAILURE() << "a file was created in a read-only folder";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        }
    });
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"p.cod"});
}

// Guards against parting hard links: a replacement would leave the other
// names with the old contents.
TEST(AtomicFile, HardLinkedFileIsWrittenInPlaceUnderEveryName) {
    TestTempDir dir;
    const std::string path = dir.File("p.cod");
    const std::string other = dir.File("other.cod");
    WriteBytes(path, "old");
    std::filesystem::create_hard_link(PathOf(path), PathOf(other));
    Platform::FileStatus before;
    ASSERT_TRUE(Platform::StatusOf(path, &before));

    CAtomicFile out;
    out.Open(path);
    EXPECT_TRUE(out.WritesInPlace());
    out.GetFile().Write("new", 3);
    out.Commit();
    EXPECT_EQ(ReadBytes(other), "new");
    Platform::FileStatus after;
    ASSERT_TRUE(Platform::StatusOf(path, &after));
    EXPECT_EQ(after.id, before.id);
    EXPECT_EQ(after.links, 2u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"other.cod", "p.cod"}));
}

// A folder with the sticky bit lets the user write another's file but not
// replace it: the file is written in place.
TEST(AtomicFilePermissions, FileThatMayBeWrittenButNotReplacedIsWrittenInPlace) {
    UNPRIVILEGED_OR_SKIP(user);
    if (!user.SwitchesFromRoot()) GTEST_SKIP() << "needs a file of another user";
    TestTempDir dir;
    const std::string folder = dir.File("shared");
    const std::string path = folder + "/p.cod";
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(folder)));
    WriteBytes(path, "old contents");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    user.Run([&] {
        CAtomicFile out;
        out.Open(path);
        EXPECT_FALSE(out.WritesInPlace());
        out.GetFile().Write("new", 3);
        out.Commit();
    });
    EXPECT_EQ(ReadBytes(path), "new");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);  // still the owner's file
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"p.cod"});
}
