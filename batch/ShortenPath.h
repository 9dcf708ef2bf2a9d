// The shortened form in which the file lists show a path.
#pragma once

#include <string>

// Display limit of both file lists.
inline constexpr int kListPathLimit = 18;

// Lengths and positions count the bytes of the path in GB18030, the Chinese
// code page (a Chinese character is two bytes there); the text shown is the
// path's own. A path of at most limit + 2 bytes is shown whole. A longer one
// is shown as its head, "…" and its tail. The head is the first three bytes,
// or less when a "/" ends it sooner ("C:/", "/"). The tail is the rest of the
// path from the first "/" at or after byte len - limit; when the file name is
// too long for that, the tail is "/" and the last bytes of the file name, at
// most `limit` of them. No character is cut.
std::string ShortenPath(const std::string& path, int limit = kListPathLimit);
