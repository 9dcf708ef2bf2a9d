// Output names beside the source, and the shortened paths of the file lists.
#include <gtest/gtest.h>

#include <string>

#include "batch/OutputPath.h"
#include "batch/ShortenPath.h"

namespace {

bool IsValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

}  // namespace

TEST(GetPathPartTest, DirectoryAndBaseName) {
    EXPECT_EQ(GetPathPart("/a.b/File.txt", kPathDirectory), "/a.b");
    EXPECT_EQ(GetPathPart("/data/pts.2003.txt", kPathBaseName), "pts");
    EXPECT_EQ(GetPathPart("File.txt", kPathDirectory), "");
    EXPECT_EQ(GetPathPart("/a/File.txt", 1), "");
}

TEST(GetPathPartTest, NameWithoutDotIsItsOwnBase) {
    // Regression: the base name was empty, so the output was named "1.txt".
    EXPECT_EQ(GetPathPart("/a/pts", kPathBaseName), "pts");
    EXPECT_EQ(GetPathPart("/a/.pts", kPathBaseName), ".pts");
    EXPECT_EQ(GetPathPart("/a.b/pts", kPathBaseName), "pts");
}

TEST(OutputPathTest, ThreeNamingChoices) {
    EXPECT_EQ(OutputPath("/a/File.txt", "txt", kNamingExtension), "/a/File.txt1");
    EXPECT_EQ(OutputPath("/a/File.txt", "txt", kNamingFileName), "/a/File1.txt");
    EXPECT_EQ(OutputPath("/a/File.txt", "txt", kNamingOverwrite), "/a/File1.txt");
    // The extension is always the format's.
    EXPECT_EQ(OutputPath("/data/pts.dat", "txt", kNamingFileName), "/data/pts1.txt");
    EXPECT_EQ(OutputPath("/data/pts.dat", "txt", kNamingExtension), "/data/pts.txt1");
    EXPECT_EQ(OutputPath("/data/pts.2003.txt", "txt", kNamingFileName), "/data/pts1.txt");
}

TEST(OutputPathTest, NamesWithoutDotOrDirectory) {
    EXPECT_EQ(OutputPath("/a/pts", "txt", kNamingFileName), "/a/pts1.txt");
    EXPECT_EQ(OutputPath("/a/pts", "txt", kNamingExtension), "/a/pts.txt1");
    // No directory: the output stays beside the source, not at the root.
    EXPECT_EQ(OutputPath("pts.txt", "txt", kNamingFileName), "pts1.txt");
    EXPECT_EQ(OutputPath("/pts.txt", "txt", kNamingFileName), "/pts1.txt");
}

TEST(ShortenPathTest, ShortPathsWhole) {
    EXPECT_EQ(ShortenPath("C:/data/abcdefgh.txt"), "C:/data/abcdefgh.txt");  // 20 bytes
    EXPECT_EQ(ShortenPath(""), "");
    EXPECT_EQ(ShortenPath("/a"), "/a");
}

TEST(ShortenPathTest, HeadEllipsisAndTailFromASlash) {
    EXPECT_EQ(ShortenPath("C:/Program Files/Data/pts.txt"), "C:/…/Data/pts.txt");
    EXPECT_EQ(ShortenPath("C:/data/abcdefghi.txt"), "C:/…/abcdefghi.txt");  // 21 bytes
    EXPECT_EQ(ShortenPath("/home/surveyor/jobs/2003/pts.txt"), "/…/jobs/2003/pts.txt");
    EXPECT_EQ(ShortenPath("D:/a/b/c/d/e/f/g/h/i/j/k/l"), "D:/…/d/e/f/g/h/i/j/k/l");
}

TEST(ShortenPathTest, LongFileNamesShowTheirEnd) {
    // Regression: with no slash in the last 18 bytes the old rule read past
    // the path; now the end of the name is shown.
    EXPECT_EQ(ShortenPath("C:/data/survey_points_2003_final.txt"), "C:/…/nts_2003_final.txt");
    EXPECT_EQ(ShortenPath("survey_points_2003_final.txt"), "sur…nts_2003_final.txt");
    const std::string longPath = "/" + std::string(5000, 'd') + "/" + std::string(300, 'n');
    const std::string shown = ShortenPath(longPath);
    EXPECT_EQ(shown, "/…/" + std::string(18, 'n'));
}

TEST(ShortenPathTest, NeverCutsInsideACharacter) {
    const std::vector<std::string> paths = {
        "/数据/测量/二零零三年/点位.txt", "数据测量二零零三年点位成果表.txt",
        "/home/测量员/测量成果表二零零三年第一批.txt", "C:/😀😀😀😀😀😀😀😀/x.txt", "😀😀😀😀😀😀😀😀😀😀"};
    for (const std::string& p : paths) {
        const std::string shown = ShortenPath(p);
        EXPECT_TRUE(IsValidUtf8(shown)) << p << " -> " << shown;
        EXPECT_NE(shown.find("…"), std::string::npos) << p;
        EXPECT_LT(shown.size(), p.size() + 4) << p;
    }
    EXPECT_EQ(ShortenPath("/数据/测量/二零零三年/点位.txt"), "/…/点位.txt");
    EXPECT_EQ(ShortenPath("数据测量二零零三年点位成果表.txt"), "数…三年点位成果表.txt");
}

// Guards against counting UTF-8 bytes: a Chinese character is two bytes in
// the code page the lists count in, so a name of 14 bytes there is shown whole.
TEST(ShortenPathTest, CountsTheBytesOfTheChineseCodePage) {
    EXPECT_EQ(ShortenPath("C:/d/控制点成果.txt"), "C:/d/控制点成果.txt");  // 19 bytes
    EXPECT_EQ(ShortenPath("/home/测量/控制点成果.txt"), "/…/控制点成果.txt");
    EXPECT_EQ(ShortenPath("/home/surveyor/控制点成果.txt"), "/…/控制点成果.txt");
    // Four bytes there: the tail starts after the character, never inside it.
    EXPECT_EQ(ShortenPath("/data/😀abcdefghijklm.txt"), "/…/abcdefghijklm.txt");
    // A byte that starts no character counts as one, and is kept.
    EXPECT_EQ(ShortenPath("/d/\xFF\xFF" "abcdefghijklmnopq"), "/…/\xFF" "abcdefghijklmnopq");
}
