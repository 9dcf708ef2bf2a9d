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

bool ReadAngleText(std::string_view text, double* radians) {
    const std::size_t first = text.find(':');
    if (first == std::string_view::npos) return false;
    const std::size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    const std::string_view d = text.substr(0, first);
    const std::string_view m = text.substr(first + 1, second - first - 1);
    const std::string_view s = text.substr(second + 1);
    if (d.empty() || m.empty() || s.empty()) return false;
    for (char c : d) {
        if (!IsDigit(c)) return false;
    }
    for (char c : m) {
        if (!IsDigit(c)) return false;
    }
    if (!IsPlainDecimal(s) || s.front() == '.') return false;
    const std::string copy(text);
    const std::string secondsText(s);
    if (AsciiToDouble(std::string(m)) >= 60 || AsciiToDouble(secondsText) >= 60) return false;
    if (d.size() > 3) return false;
    *radians = CGeoCore().ParseDmsText(copy);
    return true;
}
