#include "framework/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

// The 24 private-use characters that glibc's GB18030 table (2.36) cannot
// encode: since the 2022 revision their former two-byte codes decode to
// standard characters. They get the four-byte codes of GB 18030-2022 (for
// the six plane-2 characters, the codes that standard freed), here in both
// directions so that every valid text round-trips whatever glibc does.
struct PrivateUseCode {
    char32_t codePoint;
    unsigned char gb[4];
};
constexpr PrivateUseCode kPrivateUse[] = {
    {0xE78D, {0x84, 0x31, 0x82, 0x36}}, {0xE78E, {0x84, 0x31, 0x82, 0x38}},
    {0xE78F, {0x84, 0x31, 0x82, 0x37}}, {0xE790, {0x84, 0x31, 0x82, 0x39}},
    {0xE791, {0x84, 0x31, 0x83, 0x30}}, {0xE792, {0x84, 0x31, 0x83, 0x31}},
    {0xE793, {0x84, 0x31, 0x83, 0x32}}, {0xE794, {0x84, 0x31, 0x83, 0x33}},
    {0xE795, {0x84, 0x31, 0x83, 0x34}}, {0xE796, {0x84, 0x31, 0x83, 0x35}},
    {0xE816, {0x95, 0x32, 0x90, 0x31}}, {0xE817, {0x95, 0x32, 0x90, 0x33}},
    {0xE818, {0x95, 0x32, 0x97, 0x30}}, {0xE81E, {0x82, 0x35, 0x90, 0x37}},
    {0xE826, {0x82, 0x35, 0x90, 0x38}}, {0xE82B, {0x82, 0x35, 0x90, 0x39}},
    {0xE82C, {0x82, 0x35, 0x91, 0x30}}, {0xE831, {0x95, 0x36, 0xB9, 0x37}},
    {0xE832, {0x82, 0x35, 0x91, 0x31}}, {0xE83B, {0x96, 0x30, 0xBA, 0x35}},
    {0xE843, {0x82, 0x35, 0x91, 0x32}}, {0xE854, {0x82, 0x35, 0x91, 0x33}},
    {0xE855, {0x96, 0x35, 0xB6, 0x30}}, {0xE864, {0x82, 0x35, 0x91, 0x34}},
};

// One iconv descriptor for one conversion call.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv_open failed: ") + from + " -> " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `size` bytes onto `out`; each undecodable input byte is
    // replaced by `replacement` (already in the target encoding) and skipped.
    void Run(const char* data, std::size_t size, const char* replacement, std::string& out) {
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        char buf[4096];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            int err = errno;
            out.append(buf, o - buf);
            if (r != static_cast<size_t>(-1)) break;
            if (err == E2BIG) continue;
            // EILSEQ: invalid sequence; EINVAL: incomplete sequence at the end.
            out += replacement;
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    iconv_t cd_;
};

bool IsAscii(const std::string& s) {
    for (unsigned char c : s) {
        if (c >= 0x80) return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    // Only the three-byte range is needed here.
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

const PrivateUseCode* FindCodePoint(char32_t c) {
    for (const PrivateUseCode& p : kPrivateUse) {
        if (p.codePoint == c) return &p;
    }
    return nullptr;
}

const PrivateUseCode* FindGb(const unsigned char* b) {
    for (const PrivateUseCode& p : kPrivateUse) {
        if (std::memcmp(p.gb, b, 4) == 0) return &p;
    }
    return nullptr;
}

}  // namespace

std::string Utf8ToGb18030(const std::string& utf8) {
    if (IsAscii(utf8)) return utf8;
    Converter c("GB18030", "UTF-8");
    std::string out;
    out.reserve(utf8.size() + 16);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t start = 0;
    // The table's characters are U+E78D..U+E864: lead byte 0xEE.
    for (std::size_t i = 0; i + 3 <= n; ++i) {
        if (s[i] != 0xEE || (s[i + 1] & 0xC0) != 0x80 || (s[i + 2] & 0xC0) != 0x80) continue;
        char32_t cp = ((s[i] & 0x0Fu) << 12) | ((s[i + 1] & 0x3Fu) << 6) | (s[i + 2] & 0x3Fu);
        const PrivateUseCode* p = FindCodePoint(cp);
        if (!p) continue;
        c.Run(utf8.data() + start, i - start, "?", out);
        out.append(reinterpret_cast<const char*>(p->gb), 4);
        i += 2;
        start = i + 1;
    }
    c.Run(utf8.data() + start, n - start, "?", out);
    return out;
}

std::string Gb18030ToUtf8(const std::string& gb) {
    if (IsAscii(gb)) return gb;
    Converter c("UTF-8", "GB18030");
    std::string out;
    out.reserve(gb.size() * 3 / 2 + 16);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(gb.data());
    const std::size_t n = gb.size();
    std::size_t start = 0;
    std::size_t i = 0;
    // Walk the sequences as the decoder does, to find the table's codes.
    while (i < n) {
        const unsigned char b = s[i];
        std::size_t len = 1;
        if (b >= 0x81 && b <= 0xFE && i + 1 < n) {
            const unsigned char b2 = s[i + 1];
            if (b2 >= 0x30 && b2 <= 0x39) {
                if (i + 3 < n && s[i + 2] >= 0x81 && s[i + 2] <= 0xFE && s[i + 3] >= 0x30 &&
                    s[i + 3] <= 0x39) {
                    len = 4;
                }
            } else if (b2 >= 0x40 && b2 <= 0xFE && b2 != 0x7F) {
                len = 2;
            }
        }
        if (len == 4) {
            if (const PrivateUseCode* p = FindGb(s + i)) {
                c.Run(gb.data() + start, i - start, "\xEF\xBF\xBD", out);
                AppendUtf8(out, p->codePoint);
                start = i + 4;
            }
        }
        i += len;
    }
    c.Run(gb.data() + start, n - start, "\xEF\xBF\xBD", out);
    return out;
}
