// The code page against glibc's own GB18030 converter, character by character
// and on random bytes: the two must agree everywhere except on the 24
// private-use characters, which glibc cannot encode. Linux only.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "io/CodePage.h"
#include "io/Gb18030Tables.h"
#include "tests/support/Utf8Encode.h"

namespace {

// iconv over the whole text; each byte that starts no valid sequence becomes
// `replacement` and the next byte is read afresh.
std::string Iconv(const char* to, const char* from, const std::string& text,
                  const char* replacement) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out;
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buf[4096];
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        const int err = errno;
        out.append(buf, o - buf);
        if (r != static_cast<size_t>(-1)) break;
        if (err == E2BIG) continue;
        out += replacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

std::string GlibcToGb18030(const std::string& utf8) { return Iconv("GB18030", "UTF-8", utf8, "?"); }
std::string GlibcToUtf8(const std::string& gb) {
    return Iconv("UTF-8", "GB18030", gb, "\xEF\xBF\xBD");
}

bool IsPrivateUse(char32_t c) {
    for (const PrivateUseCode& p : PrivateUseCodes()) {
        if (p.codePoint == c) return true;
    }
    return false;
}

bool IsPrivateUseCode(const char* code) {
    for (const PrivateUseCode& p : PrivateUseCodes()) {
        if (std::memcmp(p.gb, code, 4) == 0) return true;
    }
    return false;
}

bool HasPrivateUseCode(const std::string& gb) {
    for (std::size_t i = 0; i + 4 <= gb.size(); ++i) {
        if (IsPrivateUseCode(gb.data() + i)) return true;
    }
    return false;
}

// Where two texts first differ, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = std::mismatch(a.begin(), a.begin() + n, b.begin()).first - a.begin();
    if (i == n && a.size() == b.size()) return "none";
    return "at byte " + std::to_string(i) + " of " + std::to_string(a.size()) + " and " +
           std::to_string(b.size());
}

}  // namespace

TEST(CodePageReference, EveryCharacterIsWrittenAsGlibcWritesIt) {
    std::string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || IsPrivateUse(c)) continue;
        AppendUtf8(all, c);
    }
    const std::string ours = Utf8ToGb18030(all);
    const std::string glibc = GlibcToGb18030(all);
    EXPECT_TRUE(ours == glibc) << FirstDifference(ours, glibc);
}

TEST(CodePageReference, EveryCodeIsReadAsGlibcReadsIt) {
    // Every single byte, every two-byte and every four-byte form, valid or
    // not, one after another: a bad one must also leave the next one whole.
    std::string all;
    for (int b = 1; b < 0x100; ++b) all += static_cast<char>(b);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            all += static_cast<char>(lead);
            all += static_cast<char>(trail);
        }
    }
    for (int b1 = 0x81; b1 <= 0xFE; ++b1) {
        for (int b2 = 0x30; b2 <= 0x39; ++b2) {
            for (int b3 = 0x81; b3 <= 0xFE; ++b3) {
                for (int b4 = 0x30; b4 <= 0x39; ++b4) {
                    const char code[4] = {static_cast<char>(b1), static_cast<char>(b2),
                                          static_cast<char>(b3), static_cast<char>(b4)};
                    if (!IsPrivateUseCode(code)) all.append(code, 4);
                }
            }
        }
    }
    const std::string ours = Gb18030ToUtf8(all);
    const std::string glibc = GlibcToUtf8(all);
    EXPECT_TRUE(ours == glibc) << FirstDifference(ours, glibc);
}

TEST(CodePageReference, RandomBytesAreReadAndWrittenAsGlibcDoes) {
    // Bytes drawn mostly from the ranges where sequences start, continue and
    // break, so that cut and malformed sequences are common.
    const unsigned char pool[] = {0x00, 0x30, 0x39, 0x41, 0x7F, 0x80, 0x81, 0x84, 0x8F, 0x90,
                                  0x95, 0x9F, 0xA0, 0xA6, 0xBF, 0xC0, 0xC2, 0xD7, 0xDF, 0xE0,
                                  0xE4, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF8, 0xFE, 0xFF};
    std::mt19937 gen(20250113);
    std::uniform_int_distribution<int> pick(0, sizeof pool - 1);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<int> length(1, 24);
    int compared = 0;
    for (int round = 0; round < 30000; ++round) {
        std::string s(length(gen), '\0');
        for (char& c : s) c = static_cast<char>(round % 2 ? pool[pick(gen)] : any(gen));
        if (!HasPrivateUseCode(s)) {
            ASSERT_EQ(Gb18030ToUtf8(s), GlibcToUtf8(s)) << "round " << round;
        }
        // UTF-8 of the private-use characters starts EE 9E..EE A1.
        bool privateUse = false;
        for (std::size_t i = 0; i + 1 < s.size(); ++i) {
            const unsigned char next = static_cast<unsigned char>(s[i + 1]);
            privateUse |= static_cast<unsigned char>(s[i]) == 0xEE && next >= 0x9E && next <= 0xA1;
        }
        if (!privateUse) {
            ASSERT_EQ(Utf8ToGb18030(s), GlibcToGb18030(s)) << "round " << round;
            ++compared;
        }
    }
    EXPECT_GT(compared, 25000);
}
