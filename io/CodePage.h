// Conversions between the program's UTF-8 texts and the GB18030 bytes of
// files written in the Chinese code page.
#pragma once

#include <string>

// UTF-8 to GB18030. Every valid UTF-8 text converts and comes back unchanged
// through Gb18030ToUtf8; a byte that does not belong to a valid UTF-8
// sequence becomes "?".
std::string Utf8ToGb18030(const std::string& utf8);

// GB18030 to UTF-8. A byte sequence that is not valid GB18030 becomes U+FFFD
// (one per bad byte), so the result is always valid UTF-8.
std::string Gb18030ToUtf8(const std::string& gb);
