// Locale-free number text: atof-compatible reading and printf("%.*f")-compatible
// writing, both in the C locale whatever locale the process has set.
#include <locale.h>

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod in the C locale; only used for the rare texts from_chars does not
// answer the way strtod does (range errors, NaN payloads).
double StrtodC(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace

double AsciiToDouble(const char* text) {
    if (text == nullptr) return 0.0;
    const char* p = text;
    while (IsCSpace(*p)) ++p;
    const char* start = p;  // sign included
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // from_chars takes a minus sign of its own; after our sign there must be none.
    if (*p == '-') return 0.0;

    const char* end = p;
    while (*end != '\0') ++end;

    double value = 0.0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        // "0x" without hexadecimal digits after it reads as the "0" alone.
        if (p[2] == '-') return negative ? -0.0 : 0.0;
        auto r = std::from_chars(p + 2, end, value, std::chars_format::hex);
        if (r.ec == std::errc::invalid_argument) return negative ? -0.0 : 0.0;
        if (r.ec == std::errc::result_out_of_range) return StrtodC(start);
    } else {
        auto r = std::from_chars(p, end, value, std::chars_format::general);
        if (r.ec == std::errc::invalid_argument) return 0.0;
        if (r.ec == std::errc::result_out_of_range) return StrtodC(start);
        // "nan(chars)": strtod keeps the payload.
        if ((*p == 'n' || *p == 'N') && r.ptr - p > 3) return StrtodC(start);
    }
    return negative ? -value : value;
}

int FormatFixedTo(char* buf, int size, double value, int decimals) {
    if (decimals < 0) decimals = 6;  // printf: a negative precision is taken as omitted
    if (buf != nullptr && size > 0) {
        auto r = std::to_chars(buf, buf + size - 1, value, std::chars_format::fixed, decimals);
        if (r.ec == std::errc{}) {
            *r.ptr = '\0';
            return static_cast<int>(r.ptr - buf);
        }
    }
    // Too small a buffer: write what fits, as snprintf does, and return the full length.
    const std::string text = FormatFixed(value, decimals);
    const int length = static_cast<int>(text.size());
    if (buf != nullptr && size > 0) {
        const int n = length < size - 1 ? length : size - 1;
        text.copy(buf, static_cast<size_t>(n));
        buf[n] = '\0';
    }
    return length;
}

std::string FormatFixed(double value, int decimals) {
    if (decimals < 0) decimals = 6;
    // 309 integer digits, a sign and a point at most.
    std::string out(static_cast<size_t>(decimals) + 320, '\0');
    auto r = std::to_chars(out.data(), out.data() + out.size(), value, std::chars_format::fixed,
                           decimals);
    out.resize(static_cast<size_t>(r.ptr - out.data()));
    return out;
}
