// Claims on the files a run writes: one holder at a time, what a killed
// holder left taken over, links under the temporary name never followed,
// and temporary names that fit wherever the name itself fits.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "io/AtomicFile.h"
#include "io/WriteSlot.h"
#include "platform/Platform.h"
#include "tests/support/TestTempDir.h"

namespace {

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(WriteSlot, OneHolderAtATime) {
    TestTempDir dir;
    const std::string path = dir.File("p1.txt");
    CWriteSlot first, second;
    ASSERT_EQ(first.Claim(path), CWriteSlot::Status::Claimed);
    EXPECT_EQ(first.TempPath(), TemporaryPathFor(path));
    EXPECT_EQ(second.Claim(path), CWriteSlot::Status::HeldByOther);
    first.Release();
    EXPECT_FALSE(Platform::Exists(TemporaryPathFor(path)));
    EXPECT_EQ(second.Claim(path), CWriteSlot::Status::Claimed);
    // The claim is on the temporary name only: the file itself is not made.
    EXPECT_FALSE(Platform::Exists(path));
}

TEST(WriteSlot, WhatAKilledHolderLeftIsTakenOverEmpty) {
    TestTempDir dir;
    const std::string path = dir.File("p1.txt");
    WriteBytes(TemporaryPathFor(path), "half a line of a killed run");
    CWriteSlot slot;
    ASSERT_EQ(slot.Claim(path), CWriteSlot::Status::Claimed);
    EXPECT_EQ(ReadBytes(slot.TempPath()), "");
    // Written through CAtomicFile, it becomes the file.
    CAtomicFile out;
    CAtomicFile::Options options;
    options.slot = &slot;
    out.Open(path, options);
    out.GetFile().Write("whole", 5);
    out.Commit();
    slot.Release();
    EXPECT_EQ(ReadBytes(path), "whole");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p1.txt"});
}

TEST(WriteSlot, ALinkUnderTheTemporaryNameIsNeverFollowed) {
    TestTempDir dir, elsewhere;
    const std::string path = dir.File("p1.txt");
    const std::string precious = elsewhere.File("precious.txt");
    WriteBytes(precious, "PRECIOUS");
    std::error_code noLink;
    std::filesystem::create_symlink(PathOf(precious), PathOf(TemporaryPathFor(path)), noLink);
    if (noLink) GTEST_SKIP() << "no symbolic link can be made here: " << noLink.message();
    CWriteSlot slot;
    ASSERT_EQ(slot.Claim(path), CWriteSlot::Status::Claimed);
    EXPECT_FALSE(std::filesystem::is_symlink(PathOf(slot.TempPath())));
    EXPECT_EQ(ReadBytes(precious), "PRECIOUS");
}

TEST(WriteSlot, TemporaryNamesFitWhereTheNameFits) {
    for (std::size_t length : {1u, 100u, 249u, 250u, 255u}) {
        const std::string name(length, 'n');
        for (const std::string& temp :
             {TemporaryPathFor("/d/" + name), BackupPathFor("/d/" + name)}) {
            EXPECT_LE(NameOf(temp).size(), 255u) << length;
            EXPECT_EQ(temp.substr(0, 3), "/d/");
            EXPECT_EQ(NameOf(temp).front(), '.');
        }
    }
    EXPECT_NE(TemporaryPathFor("/d/" + std::string(255, 'a')),
              TemporaryPathFor("/d/" + std::string(255, 'b')));
    EXPECT_EQ(TemporaryPathFor("pts1.txt"), ".pts1.txt.~tx");
    // A real file of the longest name gets its temporary file.
    TestTempDir dir;
    CWriteSlot slot;
    EXPECT_EQ(slot.Claim(dir.File(std::string(255, 'x'))), CWriteSlot::Status::Claimed);
}

}  // namespace
