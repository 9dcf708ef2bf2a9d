// The parts of GB18030 that the system's table of the Chinese code page does
// not give: see CodePage.cpp for how they are used.
#pragma once

#include <cstdint>
#include <span>

// Private-use characters with GB 18030-2022 four-byte codes. glibc (2.36)
// cannot encode them: since the 2022 revision their former two-byte codes
// decode to standard characters. For the six plane-2 characters the codes are
// the ones that revision freed. Used in both directions, before any table.
struct PrivateUseCode {
    char32_t codePoint;
    unsigned char gb[4];
};
std::span<const PrivateUseCode> PrivateUseCodes();

// Two-byte codes that GB18030 reads otherwise than GBK (code page 936, the
// table Windows has): the euro sign, characters added in 2000 and 2005, and
// the 2022 revision's vertical forms and ideographs.
struct TwoByteCode {
    std::uint16_t code;  // lead byte << 8 | trail byte
    char32_t codePoint;
};
std::span<const TwoByteCode> GbkDifferences();

// The four-byte codes of the Basic Multilingual Plane, as runs: from linear
// index `first` (0 for 0x81308130; each code counts the previous one plus 1)
// up to the next run, consecutive code points from `codePoint`. The runs
// cover linear indexes 0..39419; the indexes of the private-use codes above
// lie inside runs but are answered by that table first.
struct FourByteRun {
    std::uint32_t first;
    char32_t codePoint;
};
std::span<const FourByteRun> FourByteRuns();
inline constexpr std::uint32_t kFourByteBmpEnd = 39420;
// Linear index of U+10000 (0x90308130); the planes above follow in order.
inline constexpr std::uint32_t kFourByteSupplementary = 189000;
