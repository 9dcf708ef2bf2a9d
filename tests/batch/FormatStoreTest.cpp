// The format store "Par.txt": its bytes, reading it back, stores written by
// hand, and saving that never loses the old store.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/FormatStore.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestTempDir.h"
#include "tests/support/Unprivileged.h"

namespace {

// GB18030 (GBK) bytes written out by hand, independent of the code under test.
const std::string kCountGb = "\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xca\xfd:";  // 文件类型数:
const std::string kZuobiaoGb = "\xd7\xf8\xb1\xea";                         // 坐标
const std::string kPlaneItemsGb =  // 点号,北方向X,东方向Y,水准高,
    "\xb5\xe3\xba\xc5,\xb1\xb1\xb7\xbd\xcf\xf2X,\xb6\xab\xb7\xbd\xcf\xf2Y,"
    "\xcb\xae\xd7\xbc\xb8\xdf,";
const std::string kGeoItemsGb =  // 点号 纬度 经度 椭球高 (each followed by a blank)
    "\xb5\xe3\xba\xc5 \xce\xb3\xb6\xc8 \xbe\xad\xb6\xc8 \xcd\xd6\xc7\xf2\xb8\xdf ";
const std::string kCeliangGb = "\xb2\xe2\xc1\xbf";  // 测量

bool SameFormat(const FileFormat& a, const FileFormat& b) {
    return a.name == b.name && a.extension == b.extension && a.separator == b.separator &&
           a.itemLine == b.itemLine;
}

}  // namespace

TEST(FormatStoreTest, OneFormatGivesFiveGbLines) {
    std::vector<FileFormat> formats = {{"坐标", "txt", ",", "点号,北方向X,东方向Y,水准高,"}};
    EXPECT_EQ(FormatStoreBytes(formats),
              kCountGb + "1\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb + "\r\n");
    EXPECT_EQ(FormatStoreBytes({}), kCountGb + "0\r\n");
}

TEST(FormatStoreTest, HandWrittenGbkStoreReads) {
    const std::string bytes = kCountGb + "2\r\n" + kZuobiaoGb + "\r\ntxt\r\n,\r\n" + kPlaneItemsGb +
                              "\r\n" + kCeliangGb + "\r\ndat\r\n \r\n" + kGeoItemsGb + "\r\n";
    std::vector<FileFormat> formats = ParseFormatStore(bytes);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_TRUE(SameFormat(formats[0], {"坐标", "txt", ",", "点号,北方向X,东方向Y,水准高,"}));
    EXPECT_TRUE(SameFormat(formats[1], {"测量", "dat", " ", "点号 纬度 经度 椭球高 "}));
}

TEST(FormatStoreTest, LineFeedsAloneAndMissingLinesAtTheEnd) {
    // LF line ends, and the file ends inside the second format: its missing
    // lines read as empty texts.
    const std::string bytes =
        kCountGb + "2\n" + kZuobiaoGb + "\ntxt\n,\n" + kPlaneItemsGb + "\n" + kCeliangGb + "\ndat";
    std::vector<FileFormat> formats = ParseFormatStore(bytes);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].itemLine, "点号,北方向X,东方向Y,水准高,");
    EXPECT_TRUE(SameFormat(formats[1], {"测量", "dat", "", ""}));
}

TEST(FormatStoreTest, CountIsReadAfterElevenGbBytesLikeAtoi) {
    const std::string one = "\r\nA\r\ntxt\r\n,\r\nx,\r\n";
    EXPECT_EQ(ParseFormatStore(kCountGb + "1" + one).size(), 1u);
    EXPECT_EQ(ParseFormatStore(kCountGb + "  +1abc" + one).size(), 1u);
    EXPECT_EQ(ParseFormatStore(kCountGb + "abc" + one).size(), 0u);
    EXPECT_EQ(ParseFormatStore(kCountGb + "-3" + one).size(), 0u);
    EXPECT_EQ(ParseFormatStore(kCountGb + one).size(), 0u);
    // Any 11 bytes are dropped, whatever they are.
    EXPECT_EQ(ParseFormatStore("01234567890" + std::string("1") + one).size(), 1u);
    EXPECT_EQ(ParseFormatStore("short").size(), 0u);
    EXPECT_EQ(ParseFormatStore("").size(), 0u);
    // The UTF-8 count text is 16 bytes: after 11 of them no digit follows.
    EXPECT_EQ(ParseFormatStore("文件类型数:1" + one).size(), 0u);
}

TEST(FormatStoreTest, CountLargerThanTheFileMakesNoEmptyFormats) {
    // Regression guard: a count of two thousand million must not build that
    // many records; only formats that begin in the file are made.
    const std::string bytes = kCountGb + "2147483647\r\nA\r\ntxt\r\n";
    std::vector<FileFormat> formats = ParseFormatStore(bytes);
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_TRUE(SameFormat(formats[0], {"A", "txt", "", ""}));
    EXPECT_EQ(ParseFormatStore(kCountGb + "99999999999999999999\r\n").size(), 0u);
}

TEST(FormatStoreTest, SavedStoreReadsBackWithMoreThanAHundredFormats) {
    // Regression: the old table held 100 formats.
    TestTempDir dir;
    std::vector<FileFormat> formats;
    for (int i = 0; i < 150; ++i) {
        formats.push_back({"格式" + std::to_string(i), "t" + std::to_string(i), i % 2 ? " " : ",",
                           i % 3 ? "点号,北方向X,东方向Y," : ""});
    }
    const std::string path = dir.File("Par.txt");
    std::string error;
    ASSERT_TRUE(SaveFormatStore(path, formats, &error)) << error;
    EXPECT_EQ(ReadBytes(path).substr(0, 15), kCountGb + "150\r");

    std::vector<FileFormat> back;
    ASSERT_EQ(LoadFormatStore(path, &back, &error), StoreStatus::Loaded) << error;
    ASSERT_EQ(back.size(), formats.size());
    for (std::size_t i = 0; i < formats.size(); ++i) {
        EXPECT_TRUE(SameFormat(back[i], formats[i])) << i;
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Par.txt"});
}

TEST(FormatStoreTest, MissingStoreIsEmptyNotAnError) {
    TestTempDir dir;
    std::vector<FileFormat> formats = {{"old", "txt", ",", ""}};
    std::string error;
    EXPECT_EQ(LoadFormatStore(dir.File("Par.txt"), &formats, &error), StoreStatus::Missing);
    EXPECT_TRUE(formats.empty());
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(FormatStoreTest, UnreadableStoreFailsAndKeepsTheTable) {
    TestTempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(PathOf(dir.File("Par.txt"))));
    std::vector<FileFormat> formats = {{"old", "txt", ",", ""}};
    std::string error;
    EXPECT_EQ(LoadFormatStore(dir.File("Par.txt"), &formats, &error), StoreStatus::Failed);
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].name, "old");
}

TEST(FormatStoreTest, FailedSaveKeepsTheOldStore) {
    TestTempDir dir;
    const std::string path = dir.File("Par.txt");
    const std::string old = kCountGb + "1\r\nA\r\ntxt\r\n,\r\n\r\n";
    WriteBytes(path, old);
    std::string error;
    // A directory that does not exist: nothing can be written.
    EXPECT_FALSE(SaveFormatStore(dir.File("no/such/dir/Par.txt"), {{"B", "b", ",", ""}}, &error));
    EXPECT_FALSE(error.empty());
    // A write that fails part way (the file size limit stands in for a full
    // disk): the old store stays, and no temporary file is left.
    SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED();
    std::vector<FileFormat> many(200, FileFormat{"格式", "txt", ",", "点号,北方向X,东方向Y,"});
    {
        ScopedFileSizeLimit cap(64);
        EXPECT_FALSE(SaveFormatStore(path, many, &error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Par.txt"});
}

// Guards against replacing a store the user made read-only.
TEST(FormatStoreTest, ReadOnlyStoreIsKept) {
    UNPRIVILEGED_OR_SKIP(user);
    TestTempDir dir;
    const std::string path = dir.File("Par.txt");
    const std::string old = kCountGb + "1\r\nA\r\ntxt\r\n,\r\n\r\n";
    WriteBytes(path, old);
    user.Own(dir.Path());
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    user.Run([&] {
        std::string error;
        EXPECT_FALSE(SaveFormatStore(path, {{"B", "b", ",", "点号,"}}, &error));
        EXPECT_EQ(error, "没有访问文件“" + path + "”的权限。");
    });
    EXPECT_EQ(ReadBytes(path), old);
}
