#include "batch/ShortenPath.h"

#include <algorithm>

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string ShortenPath(const std::string& path, int limit) {
    if (limit < 0) limit = 0;
    const std::size_t n = static_cast<std::size_t>(limit);
    const std::size_t len = path.size();
    if (len <= n + 2) return path;

    // Head: up to three bytes, ending after a "/" within them; whole characters.
    std::size_t head = std::min<std::size_t>(3, len);
    std::size_t firstSlash = path.find('/');
    if (firstSlash != std::string::npos && firstSlash < head) head = firstSlash + 1;
    while (head > 0 && head < len && IsContinuation(path[head])) --head;
    if (head == 0) {
        // The first character is longer than three bytes: keep it whole.
        head = 1;
        while (head < len && IsContinuation(path[head])) ++head;
    }

    std::size_t tail = path.find('/', std::max(len - n, head));
    std::string shown = path.substr(0, head) + "…";
    if (tail != std::string::npos) return shown + path.substr(tail);

    // The file name alone is longer than the limit: show its end.
    std::size_t nameStart = path.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t from = std::max(len - n, std::max(nameStart, head));
    while (from < len && IsContinuation(path[from])) ++from;
    if (nameStart > 0) shown += "/";
    return shown + path.substr(from);
}
