#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "io/CodePage.h"
#include "tests/support/Utf8Encode.h"

namespace {

// Strict UTF-8 check: shortest forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80                 ? 1
                              : b >= 0xC2 && b <= 0xDF ? 2
                              : (b & 0xF0) == 0xE0     ? 3
                              : b >= 0xF0 && b <= 0xF4 ? 4
                                                       : 0;
        if (n == 0 || i + n > s.size()) return false;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = c << 6 | (t & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

}  // namespace

TEST(CodePage, KnownTextsMapToTheirGb18030Bytes) {
    EXPECT_EQ(Utf8ToGb18030("坐标转换"), "\xD7\xF8\xB1\xEA\xD7\xAA\xBB\xBB");
    EXPECT_EQ(Utf8ToGb18030("北京-54坐标系  "), "\xB1\xB1\xBE\xA9-54\xD7\xF8\xB1\xEA\xCF\xB5  ");
    EXPECT_EQ(Utf8ToGb18030("€"), "\xA2\xE3");
    // Outside the two-byte range: a four-byte sequence.
    EXPECT_EQ(Utf8ToGb18030("\U0001F600"), "\x94\x39\xFC\x36");
    EXPECT_EQ(Gb18030ToUtf8("\xD2\xAA\xB1\xA3\xB4\xE6\xD7\xF8\xB1\xEA\xD7\xAA\xBB\xBB\xCE\xC4"
                            "\xBC\xFE\xC2\xF0?"),
              "要保存坐标转换文件吗?");
}

TEST(CodePage, AsciiAndEmbeddedZeroBytesPassUnchanged) {
    const std::string ascii("x=1.5\0y", 7);
    EXPECT_EQ(Utf8ToGb18030(ascii), ascii);
    EXPECT_EQ(Gb18030ToUtf8(ascii), ascii);
    const std::string mixed("\xE5\x9D\x90\0\xE6\xA0\x87", 7);  // 坐 NUL 标
    EXPECT_EQ(Gb18030ToUtf8(Utf8ToGb18030(mixed)), mixed);
}

// FNV-1a, to compare megabytes of output with the figures below.
std::uint64_t Digest(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037u;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211u;
    return h;
}

TEST(CodePage, EveryUnicodeScalarValueRoundTrips) {
    std::string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        AppendUtf8(all, c);
    }
    const std::string gb = Utf8ToGb18030(all);
    // The bytes of glibc's converter and the private-use table, which
    // CodePageReferenceTest compares code by code; the same on every system.
    EXPECT_EQ(gb.size(), 4399991u);
    EXPECT_EQ(Digest(gb), 0x67e238326c5d79a7u);
    const std::string back = Gb18030ToUtf8(gb);
    ASSERT_EQ(back.size(), all.size());
    // Report the first character that did not survive, not a megabyte dump.
    auto diff = std::mismatch(all.begin(), all.end(), back.begin());
    EXPECT_TRUE(diff.first == all.end())
        << "first difference at byte " << (diff.first - all.begin());
}

TEST(CodePage, EveryCodeIsReadAlikeOnEverySystem) {
    // Every single byte, two-byte and four-byte form in a row, valid or not.
    std::string all;
    for (int b = 1; b < 0x100; ++b) all += static_cast<char>(b);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            all += {static_cast<char>(lead), static_cast<char>(trail)};
        }
    }
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x30; b2 <= 0x39; ++b2) {
            for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
                for (int b4 = 0x30; b4 <= 0x39; ++b4) {
                    all += {static_cast<char>(b1), static_cast<char>(b2), static_cast<char>(b3),
                            static_cast<char>(b4)};
                }
            }
        }
    }
    const std::string utf8 = Gb18030ToUtf8(all);
    EXPECT_EQ(utf8.size(), 6996861u);
    EXPECT_EQ(Digest(utf8), 0x0ab9a31b21fc171au);
}

TEST(CodePage, PrivateUseCharactersGlibcCannotEncodeUseTheFourByteCodes) {
    // Regression: glibc 2.36 refuses U+E78D and 23 more, which turned them
    // into "?". Their 2022 four-byte codes must be written and read back.
    EXPECT_EQ(Utf8ToGb18030("\uE78D"), "\x84\x31\x82\x36");
    EXPECT_EQ(Gb18030ToUtf8("\x84\x31\x82\x36"), "\uE78D");
    EXPECT_EQ(Utf8ToGb18030("a\uE816b"),
              "a\x95\x32\x90\x31"
              "b");
    EXPECT_EQ(Gb18030ToUtf8("a\x95\x32\x90\x31"
                            "b"),
              "a\uE816b");
    // Their former two-byte codes read as the standard characters.
    EXPECT_EQ(Gb18030ToUtf8("\xA6\xD9"), "\uFE10");
    EXPECT_EQ(Gb18030ToUtf8("\xFE\x51"), "\U00020087");
    // A table code inside a two-byte character is not one: 0x95 here is a
    // trail byte.
    EXPECT_EQ(Gb18030ToUtf8("\xB1\x95\x32\x90\x31"),
              Gb18030ToUtf8("\xB1\x95") + "2" + Gb18030ToUtf8("\x90\x31"));
}

TEST(CodePage, BadUtf8BytesBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGb18030("a\x80z"), "a?z");
    EXPECT_EQ(Utf8ToGb18030("\xC0\xAF"), "??");       // overlong "/"
    EXPECT_EQ(Utf8ToGb18030("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(Utf8ToGb18030("\xE5\x9D"), "??");       // cut at the end
    EXPECT_EQ(Utf8ToGb18030("\xE5\x9D"
                            "a"),
              "??a");  // cut in the middle
    EXPECT_EQ(Utf8ToGb18030("坐\xFF标"), "\xD7\xF8?\xB1\xEA");
}

TEST(CodePage, BadGb18030BytesBecomeReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(Gb18030ToUtf8("a\xFFz"), "a" + r + "z");
    EXPECT_EQ(Gb18030ToUtf8("\xD7"), r);  // lead byte cut at the end
    EXPECT_EQ(Gb18030ToUtf8("\xD7\xF8\xB1"), "坐" + r);
    EXPECT_EQ(Gb18030ToUtf8("\x81\x30"), r + "0");  // four-byte form cut short
}

TEST(CodePage, RandomBytesNeverCrashAndGiveValidUtf8) {
    // The checker itself refuses what a lax decoder would take.
    ASSERT_TRUE(IsValidUtf8("a\u00E9\u5750\U0010FFFF"));
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                            "\xE5\x9D", "\x80", "\xE5\x41\x90"}) {
        ASSERT_FALSE(IsValidUtf8(bad)) << bad;
    }

    std::mt19937 gen(20240601);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 64);
    for (int round = 0; round < 20000; ++round) {
        std::string s(length(gen), '\0');
        for (char& c : s) c = static_cast<char>(byte(gen));
        const std::string utf8 = Gb18030ToUtf8(s);
        ASSERT_TRUE(IsValidUtf8(utf8));
        // Whatever came out is valid, so it survives the way back unchanged.
        ASSERT_EQ(Gb18030ToUtf8(Utf8ToGb18030(utf8)), utf8);
        (void)Utf8ToGb18030(s);
    }
}
