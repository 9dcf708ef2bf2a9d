#include <gtest/gtest.h>

#include "io/File.h"
#include "platform/Platform.h"
#include "tests/support/TestTempDir.h"

namespace {

CFileException OpenError(const std::string& path, unsigned flags) {
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(path, flags, &e)) << path;
    EXPECT_FALSE(f.IsOpen());
    return e;
}

}  // namespace

TEST(File, CreateTruncatesUnlessNoTruncate) {
    TestTempDir dir;
    const std::string path = dir.File("a.bin");
    WriteBytes(path, "hello world");
    {
        CFile f(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        f.Write("J", 1);
    }
    EXPECT_EQ(ReadBytes(path), "Jello world");
    { CFile f(path, CFile::modeCreate | CFile::modeWrite); }
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(File, OpenFailuresNameTheirCauseAndPath) {
    TestTempDir dir;
    const std::string missing = dir.File("missing.cod");
    CFileException e = OpenError(missing, CFile::modeRead);
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.GetErrorMessage(), "找不到文件“" + missing + "”。");

    // A missing folder is a bad path when creating, not a missing file.
    const std::string inMissingDir = dir.File("no/such/dir/x.cod");
    e = OpenError(inMissingDir, CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_NE(e.GetErrorMessage().find(inMissingDir), std::string::npos);

    // The kernel opens a folder read-only; it must still be refused as a file.
    e = OpenError(dir.Path(), CFile::modeRead);
    EXPECT_EQ(e.m_cause, CFileException::isDirectory);

    EXPECT_THROW(CFile(missing, CFile::modeRead), CFileException);
}

TEST(File, ReadModeAsksForNoWriteAccess) {
    // Guards against opening a file for reading with write access: a file
    // that refuses writing (even to root) must still open for reading.
    TestTempDir dir;
    const std::string readOnly = ReadOnlyFile(dir);
    if (readOnly.empty()) GTEST_SKIP() << "no file here refuses writing to this process";
    CFile f;
    CFileException e;
    ASSERT_TRUE(f.Open(readOnly, CFile::modeRead, &e)) << e.GetErrorMessage();
    char c;
    EXPECT_EQ(f.Read(&c, 1), 1u);
    f.Close();

    e = OpenError(readOnly, CFile::modeReadWrite);
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
}

TEST(File, WriteErrorThrowsWithTheCause) {
    if (!Platform::Exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full, the device that is always full";
    CFile full("/dev/full", CFile::modeWrite);
    try {
        full.Write("x", 1);
        ADD_FAILURE() << "writing /dev/full succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, ENOSPC);
    }
}
