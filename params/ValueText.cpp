#include "params/ValueText.h"

#include <charconv>
#include <cmath>
#include <string>

#include "geodesy/GeoCore.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, optionally followed by "." and digits; at least one digit in all.
bool IsPlainDecimal(std::string_view text) {
    std::size_t i = 0, digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return i == text.size() && digits > 0;
}

}  // namespace

bool ReadNumberText(std::string_view text, double* value) {
    std::string_view body = text;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) body.remove_prefix(1);
    // from_chars also takes "inf", "nan" and hexadecimal forms; only decimals pass.
    if (body.empty() || !(IsDigit(body.front()) || body.front() == '.')) return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    if (ec != std::errc() || end != body.data() + body.size()) return false;
    const std::string copy(text);
    v = AsciiToDouble(copy);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
}

namespace {

// Splits a strict angle text into its three fields.
bool SplitAngle(std::string_view text, double* deg, double* min, double* sec) {
    const std::size_t first = text.find(':');
    if (first == std::string_view::npos) return false;
    const std::size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    const std::string_view d = text.substr(0, first);
    const std::string_view m = text.substr(first + 1, second - first - 1);
    const std::string_view s = text.substr(second + 1);
    if (d.empty() || d.size() > 3 || m.empty() || s.empty() || s.front() == '.') return false;
    for (std::string_view digits : {d, m}) {
        for (char c : digits) {
            if (!IsDigit(c)) return false;
        }
    }
    if (!IsPlainDecimal(s)) return false;
    *deg = AsciiToDouble(std::string(d));
    *min = AsciiToDouble(std::string(m));
    *sec = AsciiToDouble(std::string(s));
    return *min < 60 && *sec < 60;
}

}  // namespace

bool ReadAngleText(std::string_view text, double* radians) {
    double d, m, s;
    if (!SplitAngle(text, &d, &m, &s)) return false;
    *radians = CGeoCore().ParseDmsText(std::string(text));
    return true;
}

bool ReadAngleDegrees(std::string_view text, double* degrees) {
    double d, m, s;
    if (!SplitAngle(text, &d, &m, &s)) return false;
    *degrees = d + m / 60 + s / 3600;
    return true;
}
