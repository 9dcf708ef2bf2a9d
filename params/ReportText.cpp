#include "params/ReportText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "geodesy/GeoCore.h"

namespace report {

int DisplayWidth(std::string_view s) {
    int width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned cp = c;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        if (extra > 0) cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                          (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                          (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                          (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
        width += wide ? 2 : 1;
    }
    return width;
}

std::string PadRight(const std::string& s, int width) {
    return s + std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ');
}

std::string PadLeft(const std::string& s, int width) {
    return std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(s))), ' ') + s;
}

std::string Fixed(double v, int decimals) {
    // No "-0.0000": a residual that rounds to zero shows unsigned.
    std::string out = FormatFixed(v + 0.0, decimals);
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

std::string JsonNumber(double v) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v + 0.0);
    return std::string(text, r.ptr);
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}


std::vector<int> ColumnWidths(const std::vector<std::vector<std::string>>& rows,
                              const std::vector<int>& minimum) {
    std::vector<int> w;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string>& r = rows[i];
        if (w.size() < r.size()) w.resize(r.size(), 0);
        for (std::size_t c = 0; c < r.size(); ++c) {
            w[c] = std::max(w[c], DisplayWidth(r[c]) + (i == 0 ? 1 : 2));
        }
    }
    for (std::size_t c = 0; c < w.size() && c < minimum.size(); ++c) {
        w[c] = std::max(w[c], minimum[c]);
    }
    return w;
}

std::string Row(const std::vector<std::string>& cells, const std::vector<int>& widths) {
    std::string out;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        out += c == 0 ? PadRight(cells[c], widths[c]) : PadLeft(cells[c], widths[c]);
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Percent(double alpha) { return JsonNumber(alpha * 100) + " %"; }

}  // namespace report
