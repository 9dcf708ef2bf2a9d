#include <gtest/gtest.h>

#include <vector>

#include "io/StdioFile.h"
#include "tests/support/TestTempDir.h"

namespace {

std::vector<std::string> ReadAll(const std::string& path, CStdioFile::Encoding enc) {
    CStdioFile f(enc);
    EXPECT_TRUE(f.Open(path, CFile::modeRead));
    std::vector<std::string> lines;
    std::string line;
    while (f.ReadString(line)) lines.push_back(line);
    EXPECT_EQ(line, "");
    EXPECT_FALSE(f.ReadString(line)) << "reading again after the end";
    return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(StdioFile, WriteStringTurnsEachLineFeedIntoCrLf) {
    TestTempDir dir;
    const std::string path = dir.File("out.txt");
    CStdioFile f(CStdioFile::Encoding::Raw);
    ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
    f.WriteString("a,b\n");
    f.WriteString("");
    f.WriteString("c\n\nd");
    f.Close();
    EXPECT_EQ(ReadBytes(path), "a,b\r\nc\r\n\r\nd");
}

TEST(StdioFile, ReadStringStripsCrLfOrLfAndKeepsOtherBytes) {
    TestTempDir dir;
    const std::string path = dir.File("in.txt");
    WriteBytes(path, "l1\r\nl2\n\r\nmid\rcr\r\n\nlast");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw),
              (Lines{"l1", "l2", "", "mid\rcr", "", "last"}));

    WriteBytes(path, "");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw), Lines{});
    WriteBytes(path, "\r\n");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw), Lines{""});
    WriteBytes(path, "only");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw), Lines{"only"});
}

TEST(StdioFile, LinesLongerThanTheBufferAndCrLfAcrossARefill) {
    // The reader refills every 8192 bytes; put a CR LF across the boundary
    // and a line several buffers long.
    TestTempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string first(8191, 'a');
    const std::string second(30000, 'b');
    WriteBytes(path, first + "\r\n" + second + "\r\nz\r\n");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw), (Lines{first, second, "z"}));
}

TEST(StdioFile, Gb18030ModeConvertsBothWays) {
    TestTempDir dir;
    const std::string path = dir.File("Par.txt");
    {
        CStdioFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.WriteString("坐标,cod\n北京-54坐标系  \n");
    }  // the destructor writes what is buffered
    EXPECT_EQ(ReadBytes(path),
              "\xD7\xF8\xB1\xEA,cod\r\n\xB1\xB1\xBE\xA9-54\xD7\xF8\xB1\xEA\xCF\xB5  \r\n");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Gb18030), (Lines{"坐标,cod", "北京-54坐标系  "}));
}

TEST(StdioFile, RawModePassesBytesThrough) {
    // Batch fields are not text of ours: GB18030 and invalid bytes alike
    // must come back exactly.
    TestTempDir dir;
    const std::string path = dir.File("points.dat");
    const std::string field("\xB1\xB1\xBE\xA9,\x80\xFF,\x01\x7F", 9);
    {
        CStdioFile f(CStdioFile::Encoding::Raw);
        ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
        f.WriteString(field + "\n");
        f.Close();
    }
    EXPECT_EQ(ReadBytes(path), field + "\r\n");
    EXPECT_EQ(ReadAll(path, CStdioFile::Encoding::Raw), Lines{field});
}

TEST(StdioFile, OpenFailureIsReported) {
    TestTempDir dir;
    CStdioFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(dir.File("none.txt"), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
}
