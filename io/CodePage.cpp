#include "io/CodePage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "io/Gb18030Tables.h"
#include "platform/Platform.h"

// GB18030 is built here from its parts: single bytes for ASCII, the two-byte
// codes of the system's table (GBK) with the codes GB18030 reads otherwise,
// four-byte codes by run for the rest of the Basic Multilingual Plane and by
// arithmetic for the planes above, and the private-use table first of all.
// A byte that starts no valid sequence becomes one replacement, and the next
// byte is read afresh, as glibc's iconv does.

namespace {

constexpr char32_t kBmpEnd = 0x10000;
constexpr char32_t kUnicodeEnd = 0x110000;

std::size_t TwoByteIndex(unsigned lead, unsigned trail) {
    return (lead - 0x81) * 190 + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
}

class Tables {
public:
    Tables() {
        if (!Platform::LoadTwoByteTable(&m_decode) || m_decode.size() != Platform::kTwoByteCodes) {
            throw std::runtime_error("the system has no table of the Chinese code page (GBK)");
        }
        for (const TwoByteCode& d : GbkDifferences()) {
            m_decode[TwoByteIndex(d.code >> 8, d.code & 0xFF)] = d.codePoint;
        }
        m_encodeBmp.assign(kBmpEnd, 0);
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                const char32_t c = m_decode[TwoByteIndex(lead, trail)];
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                if (c == 0 || c >= kUnicodeEnd) continue;
                if (c < kBmpEnd) {
                    if (m_encodeBmp[c] == 0) m_encodeBmp[c] = code;
                } else {
                    m_encodeAbove.push_back({code, c});
                }
            }
        }
        std::sort(
            m_encodeAbove.begin(), m_encodeAbove.end(),
            [](const TwoByteCode& a, const TwoByteCode& b) { return a.codePoint < b.codePoint; });
        const std::span<const FourByteRun> runs = FourByteRuns();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const std::uint32_t end = i + 1 < runs.size() ? runs[i + 1].first : kFourByteBmpEnd;
            m_runsByCodePoint.push_back({runs[i].codePoint, runs[i].first, end - runs[i].first});
        }
        std::sort(m_runsByCodePoint.begin(), m_runsByCodePoint.end(),
                  [](const Run& a, const Run& b) { return a.codePoint < b.codePoint; });
    }

    // The character of a two-byte code; 0 when it has none.
    char32_t DecodeTwo(unsigned lead, unsigned trail) const {
        return m_decode[TwoByteIndex(lead, trail)];
    }
    // The two-byte code of a character; 0 when it has none.
    std::uint16_t EncodeTwo(char32_t c) const {
        if (c < kBmpEnd) return m_encodeBmp[c];
        auto it =
            std::lower_bound(m_encodeAbove.begin(), m_encodeAbove.end(), c,
                             [](const TwoByteCode& a, char32_t v) { return a.codePoint < v; });
        return it != m_encodeAbove.end() && it->codePoint == c ? it->code : 0;
    }
    // The character of a four-byte code's linear index; false when it has none.
    bool DecodeFour(std::uint32_t linear, char32_t* c) const {
        if (linear < kFourByteBmpEnd) {
            const std::span<const FourByteRun> runs = FourByteRuns();
            auto it =
                std::upper_bound(runs.begin(), runs.end(), linear,
                                 [](std::uint32_t v, const FourByteRun& r) { return v < r.first; });
            --it;  // the first run starts at 0
            *c = it->codePoint + (linear - it->first);
            return true;
        }
        if (linear >= kFourByteSupplementary &&
            linear - kFourByteSupplementary < kUnicodeEnd - kBmpEnd) {
            *c = kBmpEnd + (linear - kFourByteSupplementary);
            return true;
        }
        return false;
    }
    // The linear index of a character's four-byte code; false when it has none.
    bool EncodeFour(char32_t c, std::uint32_t* linear) const {
        if (c >= kBmpEnd) {
            *linear = kFourByteSupplementary + (c - kBmpEnd);
            return c < kUnicodeEnd;
        }
        auto it = std::upper_bound(m_runsByCodePoint.begin(), m_runsByCodePoint.end(), c,
                                   [](char32_t v, const Run& r) { return v < r.codePoint; });
        if (it == m_runsByCodePoint.begin()) return false;
        --it;
        if (c - it->codePoint >= it->length) return false;
        *linear = it->first + (c - it->codePoint);
        return true;
    }

private:
    struct Run {
        char32_t codePoint;
        std::uint32_t first;
        std::uint32_t length;
    };
    std::vector<char32_t> m_decode;          // by TwoByteIndex
    std::vector<std::uint16_t> m_encodeBmp;  // by code point
    std::vector<TwoByteCode> m_encodeAbove;  // by code point
    std::vector<Run> m_runsByCodePoint;
};

const Tables& GetTables() {
    static const Tables tables;
    return tables;
}

bool IsAscii(const std::string& s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at s (n bytes left) and its
// character; 0 when none starts there (shortest forms only, no surrogates,
// nothing above U+10FFFF).
std::size_t ReadUtf8(const unsigned char* s, std::size_t n, char32_t* c) {
    const unsigned char b = s[0];
    if (b < 0x80) {
        *c = b;
        return 1;
    }
    std::size_t len;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (n < len || s[1] < low || s[1] > high) return 0;
    char32_t v = b & (0x7F >> len);
    for (std::size_t i = 1; i < len; ++i) {
        if (!IsContinuation(s[i])) return 0;
        v = v << 6 | (s[i] & 0x3F);
    }
    *c = v;
    return len;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < kBmpEnd) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendFourByte(std::string& out, std::uint32_t linear) {
    out += static_cast<char>(0x81 + linear / 12600);
    out += static_cast<char>(0x30 + linear / 1260 % 10);
    out += static_cast<char>(0x81 + linear / 10 % 126);
    out += static_cast<char>(0x30 + linear % 10);
}

std::uint32_t LinearIndex(const unsigned char* b) {
    return (b[0] - 0x81u) * 12600 + (b[1] - 0x30u) * 1260 + (b[2] - 0x81u) * 10 + (b[3] - 0x30u);
}

const PrivateUseCode* FindCodePoint(char32_t c) {
    for (const PrivateUseCode& p : PrivateUseCodes()) {
        if (p.codePoint == c) return &p;
    }
    return nullptr;
}

const PrivateUseCode* FindGb(const unsigned char* b) {
    for (const PrivateUseCode& p : PrivateUseCodes()) {
        if (std::memcmp(p.gb, b, 4) == 0) return &p;
    }
    return nullptr;
}

bool InRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
}

}  // namespace

std::string Utf8ToGb18030(const std::string& utf8) {
    if (IsAscii(utf8)) return utf8;
    const Tables& tables = GetTables();
    std::string out;
    out.reserve(utf8.size() + 16);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n;) {
        char32_t c;
        const std::size_t len = ReadUtf8(s + i, n - i, &c);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        std::uint32_t linear;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const PrivateUseCode* p = FindCodePoint(c)) {
            out.append(reinterpret_cast<const char*>(p->gb), 4);
        } else if (const std::uint16_t code = tables.EncodeTwo(c)) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (tables.EncodeFour(c, &linear)) {
            AppendFourByte(out, linear);
        } else {
            out.append(len, '?');
        }
    }
    return out;
}

std::string Gb18030ToUtf8(const std::string& gb) {
    if (IsAscii(gb)) return gb;
    const Tables& tables = GetTables();
    std::string out;
    out.reserve(gb.size() * 3 / 2 + 16);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(gb.data());
    const std::size_t n = gb.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (InRange(b, 0x81, 0xFE) && i + 1 < n) {
            const unsigned char b2 = s[i + 1];
            if (InRange(b2, 0x40, 0xFE) && b2 != 0x7F) {
                if (const char32_t c = tables.DecodeTwo(b, b2)) {
                    AppendUtf8(out, c);
                    i += 2;
                    continue;
                }
            } else if (InRange(b2, 0x30, 0x39) && i + 3 < n && InRange(s[i + 2], 0x81, 0xFE) &&
                       InRange(s[i + 3], 0x30, 0x39)) {
                char32_t c;
                if (const PrivateUseCode* p = FindGb(s + i)) {
                    AppendUtf8(out, p->codePoint);
                    i += 4;
                    continue;
                }
                if (tables.DecodeFour(LinearIndex(s + i), &c)) {
                    AppendUtf8(out, c);
                    i += 4;
                    continue;
                }
            }
        }
        out += "\xEF\xBF\xBD";
        ++i;
    }
    return out;
}
