#include "batch/ShortenPath.h"

#include <algorithm>
#include <vector>

#include "io/CodePage.h"

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the UTF-8 character at `i`; 1 for a byte that starts none.
std::size_t CharLength(const std::string& s, std::size_t i) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    const std::size_t n = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    if (n == 1 || i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k) {
        if (!IsContinuation(s[i + k])) return 1;
    }
    return n;
}

}  // namespace

std::string ShortenPath(const std::string& path, int limit) {
    if (limit < 0) limit = 0;
    const std::size_t n = static_cast<std::size_t>(limit);

    // Where each character starts in the path and in its GB18030 bytes; the
    // ends of both come last.
    std::vector<std::size_t> at, gb;
    for (std::size_t i = 0, g = 0;;) {
        at.push_back(i);
        gb.push_back(g);
        if (i == path.size()) break;
        const std::size_t u = CharLength(path, i);
        g += u == 1 ? 1 : Utf8ToGb18030(path.substr(i, u)).size();
        i += u;
    }
    const std::size_t len = gb.back();
    if (len <= n + 2) return path;
    // The path offset of the first character starting at or after GB18030 byte `pos`.
    auto startingFrom = [&](std::size_t pos) {
        return at[static_cast<std::size_t>(std::lower_bound(gb.begin(), gb.end(), pos) - gb.begin())];
    };
    // The path offset of the end of the last whole character within `pos` bytes.
    auto endingBy = [&](std::size_t pos) {
        return at[static_cast<std::size_t>(std::upper_bound(gb.begin(), gb.end(), pos) - gb.begin()) -
                  1];
    };

    // Head: up to three bytes, ending after a "/" within them; whole characters.
    std::size_t head = endingBy(3);
    const std::size_t firstSlash = path.find('/');
    if (firstSlash != std::string::npos && firstSlash < head) head = firstSlash + 1;
    if (head == 0) head = at[1];  // the first character is longer than three bytes: keep it whole

    const std::size_t cut = startingFrom(len - n);
    const std::size_t tail = path.find('/', std::max(cut, head));
    std::string shown = path.substr(0, head) + "…";
    if (tail != std::string::npos) return shown + path.substr(tail);

    // The file name alone is longer than the limit: show its end.
    std::size_t nameStart = path.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    if (nameStart > 0) shown += "/";
    return shown + path.substr(std::max(cut, std::max(nameStart, head)));
}
