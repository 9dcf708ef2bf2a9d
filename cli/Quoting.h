// How messages of terrax-convert quote a value the user gave.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kQuotedBytes = 80;

// `text` in single quotes: at most its first kQuotedBytes bytes (never
// cutting a UTF-8 character), "..." after a longer one.
inline std::string QuoteValue(std::string_view text) {
    std::string out(1, '\'');
    if (text.size() <= kQuotedBytes) {
        out.append(text);
    } else {
        std::size_t cut = kQuotedBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        out.append(text.substr(0, cut));
        out += "...";
    }
    out += '\'';
    return out;
}
