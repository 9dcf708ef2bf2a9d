// Angle texts "DDD:MM:SS.ffffff" and their radian values.
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "geodesy/Constants.h"
#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"

namespace {

constexpr double kRadToDegInvPi = 0.31830988618378997;  // used as r * 180 * this
constexpr double kMinute = 0.016666666666666666;        // degrees
constexpr double kSecond = kArcSecondInDegrees;

// The rightmost n characters; empty for n < 0, the whole text when n is larger.
std::string_view Right(std::string_view s, long n) {
    if (n <= 0) return {};
    if (static_cast<size_t>(n) >= s.size()) return s;
    return s.substr(s.size() - static_cast<size_t>(n));
}


// Text written into a caller's buffer of kDmsTextSize bytes; the same
// operations as std::string, so the writers below serve both.
class TextBuffer {
public:
    explicit TextBuffer(char* buf) : m_buf(buf) {}
    TextBuffer& operator+=(char c) {
        if (m_length < kDmsTextSize - 1) m_buf[m_length++] = c;
        return *this;
    }
    TextBuffer& operator+=(const char* text) { return append(text, std::strlen(text)); }
    TextBuffer& append(const char* text, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) *this += text[i];
        return *this;
    }
    int Finish() {
        m_buf[m_length] = '\0';
        return m_length;
    }

private:
    char* m_buf;
    int m_length = 0;
};

// Degree, minute and second values of a text. D ends before the first colon
// (unless that one opens the text), the prefix P before the last colon.
// Degrees and minutes are rounded through single precision. *whole, when
// asked for: two colons, and three parts read whole.
void SplitDms(std::string_view text, double* deg, double* min, double* sec,
              bool* whole = nullptr) {
    std::string_view d, p;
    int colons = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ':') continue;
        ++colons;
        if (d.empty()) {
            d = text.substr(0, i);
        } else {
            p = text.substr(0, i);
        }
    }
    const std::string_view s = Right(text, static_cast<long>(text.size() - p.size()) - 1);
    const std::string_view m = Right(p, static_cast<long>(p.size() - d.size()) - 1);
    bool parts[3];
    bool* asked = whole != nullptr ? parts : nullptr;
    *deg = static_cast<double>(static_cast<float>(ReadNumberField(d, asked)));
    *min = static_cast<double>(static_cast<float>(ReadNumberField(m, asked ? asked + 1 : nullptr)));
    *sec = ReadNumberField(s, asked ? asked + 2 : nullptr);
    if (whole != nullptr) *whole = colons == 2 && parts[0] && parts[1] && parts[2];
}

// Appends an integer-valued double as printf("%0*d") prints an int. Values
// beyond the int range are printed in full rather than wrapped.
template <class Out>
void AppendPadded(Out& out, double value, int width) {
    value += 0.0;  // -0 prints as 0
    if (value < 0) {
        out += '-';
        value = -value;
        --width;
    }
    char digits[400];
    int n;
    if (value < 1e18) {
        n = static_cast<int>(
            std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr -
            digits);
    } else {
        n = FormatFixedTo(digits, sizeof digits, value, 0);
    }
    for (int i = n; i < width; ++i) out += '0';
    out.append(digits, static_cast<size_t>(n));
}

// Non-finite degrees have no sexagesimal form; they print as printf prints them.
template <class Out>
bool AppendNonFinite(Out& out, double v) {
    if (std::isfinite(v)) return false;
    out += std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf");
    return true;
}

// Degrees v to "DDD:MM:SS.ffffff", every step truncated.
template <class Out>
void AppendDmsWithFraction(Out& out, double v) {
    if (AppendNonFinite(out, v)) return;
    const double d = std::trunc(v);
    v = (v - d) * 60;
    const double m = std::trunc(v);
    v = (v - m) * 60;
    const double s = std::trunc(v);
    const double f = std::trunc((v - s) * 1000000);
    AppendPadded(out, d, 3);
    out += ':';
    AppendPadded(out, m, 2);
    out += ':';
    AppendPadded(out, s, 2);
    out += '.';
    AppendPadded(out, f, 6);
}

}  // namespace

double ParseDmsField(std::string_view text, bool* whole) {
    double deg, min, sec;
    SplitDms(text, &deg, &min, &sec, whole);
    return (sec * kSecond + min * kMinute + deg) * kDegToRad;
}

double ParseDmsView(std::string_view text) { return ParseDmsField(text, nullptr); }

int FormatDmsPositiveTo(double r, char* buf) {
    if (r < 0) r += kHalfTurn;
    TextBuffer out(buf);
    AppendDmsWithFraction(out, r * 180 * kRadToDegInvPi);
    return out.Finish();
}

double CGeoCore::ParseDmsText(const std::string& text) const { return ParseDmsView(text); }

double CGeoCore::ParseSignedDmsText(const std::string& text) const {
    std::string_view body = text;
    double factor = 1.0;
    if (!body.empty() && body.front() == '-') {
        body.remove_prefix(1);
        factor = -1.0;
    }
    double deg, min, sec;
    SplitDms(body, &deg, &min, &sec);
    return (sec * kSecond + min * kMinute + deg) * factor * kDegToRad;
}

std::string CGeoCore::FormatDmsSigned(double r) const {
    std::string out;
    if (r < 0) {
        r = -r;
        out += '-';
    }
    AppendDmsWithFraction(out, r * 180 * kRadToDegInvPi);
    return out;
}

std::string CGeoCore::FormatDmsPositive(double r) const {
    if (r < 0) r += kHalfTurn;
    std::string out;
    AppendDmsWithFraction(out, r * 180 * kRadToDegInvPi);
    return out;
}

std::string CGeoCore::FormatDmsWhole(double r) const {
    if (r < 0) r += kHalfTurn;
    double v = r * 180 * kRadToDegInvPi + 1e-10;
    char text[400];
    FormatFixedTo(text, sizeof text, v, 10);
    v = AsciiToDouble(text);  // rounds to ten decimals
    std::string out;
    if (AppendNonFinite(out, v)) return out;
    const double d = std::trunc(v);
    v = (v - d) * 60;
    const double m = std::trunc(v);
    const double s = std::trunc((v - m) * 60);
    AppendPadded(out, d, 3);
    out += ':';
    AppendPadded(out, m, 2);
    out += ':';
    AppendPadded(out, s, 2);
    return out;
}
