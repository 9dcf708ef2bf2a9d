// Locale-free number text: atof-compatible reading and printf("%.*f")-compatible
// writing, both in the C locale whatever locale the process has set.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "geodesy/FastPaths.h"
#include "geodesy/GeoCore.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// What strtod gives where from_chars reports a range error: the magnitude
// overflows (inf) or underflows to zero. [p, end) is the number after its
// sign, `hex` after "0x"; which of the two it is follows from where its first
// nonzero digit stands and its exponent, which need not be exact: the value
// lies beyond 1e308 or below 1e-323.
double OutOfRangeValue(const char* p, const char* end, bool hex, bool negative) {
    auto digit = [hex](char c) { return hex ? IsHexDigit(c) : IsDigit(c); };
    // The power of the base at the first nonzero digit, in digits.
    long long position = 0;
    bool found = false;
    const char* q = p;
    for (; q < end && digit(*q); ++q) {
        if (found) {
            ++position;
        } else if (*q != '0') {
            found = true;
        }
    }
    if (q < end && *q == '.') {
        for (++q; q < end && digit(*q); ++q) {
            if (!found) {
                --position;
                if (*q != '0') found = true;
            }
        }
    }
    long long exponent = 0;
    if (q < end && (hex ? (*q == 'p' || *q == 'P') : (*q == 'e' || *q == 'E'))) {
        ++q;
        const bool minus = q < end && *q == '-';
        if (q < end && (*q == '+' || *q == '-')) ++q;
        for (; q < end && IsDigit(*q); ++q) {
            if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
        }
        if (minus) exponent = -exponent;
    }
    const long long scale = hex ? 4 * position + exponent : position + exponent;
    const double magnitude = scale >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

// strtod's NaN of "nan(chars)" with its payload: the chars read as strtoull
// reads them in base 0, when they are all of that number, put into the low 51
// bits of the quiet NaN. p points at "(", the text holds its ")".
double NanWithPayload(const char* p, bool negative) {
    const char* seq = p + 1;
    const char* close = seq;
    while (*close != ')') ++close;
    const char* q = seq;
    unsigned base = 10;
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X') && q + 2 < close && IsHexDigit(q[2])) {
        base = 16;
        q += 2;
    } else if (q[0] == '0') {
        base = 8;
    }
    std::uint64_t mantissa = 0;
    bool overflow = false;
    for (; q < close; ++q) {
        unsigned d;
        if (IsDigit(*q)) {
            d = static_cast<unsigned>(*q - '0');
        } else if (*q >= 'a' && *q <= 'z') {
            d = static_cast<unsigned>(*q - 'a' + 10);
        } else if (*q >= 'A' && *q <= 'Z') {
            d = static_cast<unsigned>(*q - 'A' + 10);
        } else {
            break;
        }
        if (d >= base) break;
        if (mantissa > (UINT64_MAX - d) / base) overflow = true;
        mantissa = mantissa * base + d;
    }
    if (overflow) mantissa = UINT64_MAX;
    std::uint64_t bits = 0x7FF8000000000000ULL;
    if (q == close) bits |= mantissa & ((std::uint64_t{1} << 51) - 1);
    if (negative) bits |= std::uint64_t{1} << 63;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Exact powers of ten: every one up to 1e22 is a double.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimals ("-12.5", "3512345.000", "1e3") whose digits fit in 53 bits
// and whose decimal exponent is at most 22 either way: one division or
// multiplication by an exact power of ten is then correctly rounded, the
// value strtod gives. p points past the blanks; text ends at end. Returns
// false for every other text (hexadecimal, inf, nan, long or tiny numbers),
// which the full reader answers; *stop is then where the number ends.
bool ReadPlainDecimal(const char* p, const char* end, double* out, const char** stop) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    std::uint64_t digits = 0;
    int significant = 0;  // digits taken into `digits`, leading zeros not counted
    int exponent = 0;
    const char* first = p;
    while (p < end && *p == '0') ++p;
    const char* run = p;
    for (; p < end && IsDigit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    significant = static_cast<int>(p - run);
    bool anyDigit = p != first;
    if (p < end && *p == '.') {
        ++p;
        const char* fractionStart = p;
        if (significant == 0) {
            while (p < end && *p == '0') ++p;
        }
        run = p;
        for (; p < end && IsDigit(*p); ++p) digits = digits * 10 + static_cast<unsigned>(*p - '0');
        significant += static_cast<int>(p - run);
        exponent = -static_cast<int>(p - fractionStart);
        anyDigit = anyDigit || p != fractionStart;
    }
    // More than 19 digits may have wrapped `digits`; the full reader takes them.
    if (!anyDigit || significant > 19) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-')) {
            negativeExponent = *q == '-';
            ++q;
        }
        if (q < end && IsDigit(*q)) {
            int e = 0;
            for (; q < end && IsDigit(*q); ++q) {
                if (e > 100000) return false;
                e = e * 10 + (*q - '0');
            }
            exponent += negativeExponent ? -e : e;
            p = q;
        }
    }
    double value;
    if (digits == 0) {
        value = 0.0;
    } else {
        if (digits > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
        const double d = static_cast<double>(digits);
        value = exponent < 0 ? d / kExactPowers[-exponent] : d * kExactPowers[exponent];
    }
    *out = negative ? -value : value;
    *stop = p;
    return true;
}

const char* SkipBlanks(const char* p, const char* end) {
    while (p < end && IsCSpace(*p)) ++p;
    return p;
}

// Whether [p, end) is a decimal number with blanks around it and nothing
// else, in strtod's grammar without its hexadecimal, inf and nan forms.
bool IsDecimalText(const char* p, const char* end) {
    p = SkipBlanks(p, end);
    if (p < end && (*p == '+' || *p == '-')) ++p;
    const char* start = p;
    while (p < end && IsDigit(*p)) ++p;
    bool digits = p != start;
    if (p < end && *p == '.') {
        start = ++p;
        while (p < end && IsDigit(*p)) ++p;
        digits = digits || p != start;
    }
    if (!digits) return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        if (q < end && (*q == '+' || *q == '-')) ++q;
        if (q < end && IsDigit(*q)) {
            while (q < end && IsDigit(*q)) ++q;
            p = q;
        }
    }
    return SkipBlanks(p, end) == end;
}

// Where strtod's hexadecimal number that starts at p (after "0x") ends:
// digits, a point and digits, and a "p" exponent only when an optional sign
// and a decimal digit follow it.
const char* HexNumberEnd(const char* p, const char* end) {
    while (p < end && IsHexDigit(*p)) ++p;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && IsHexDigit(*p)) ++p;
    }
    if (p < end && (*p == 'p' || *p == 'P')) {
        const char* e = p + 1;
        if (e < end && (*e == '+' || *e == '-')) ++e;
        if (e < end && IsDigit(*e)) {
            while (e < end && IsDigit(*e)) ++e;
            p = e;
        }
    }
    return p;
}

// The full reader over a NUL-terminated text.
double ReadAnyNumber(const char* text) {
    const char* p = text;
    while (IsCSpace(*p)) ++p;
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
        // "0x" without a hexadecimal digit after it (or a point and one) reads
        // as the "0" alone; from_chars would take "0xinf" and "0xnan".
        if (!IsHexDigit(p[2]) && !(p[2] == '.' && IsHexDigit(p[3]))) {
            return negative ? -0.0 : 0.0;
        }
        // from_chars takes "p+-3" for an exponent; strtod ends the number
        // before such a "p", so from_chars is given only what strtod reads.
        const char* hexEnd = HexNumberEnd(p + 2, end);
        auto r = std::from_chars(p + 2, hexEnd, value, std::chars_format::hex);
        if (r.ec == std::errc::invalid_argument) return negative ? -0.0 : 0.0;
        if (r.ec == std::errc::result_out_of_range) {
            return OutOfRangeValue(p + 2, hexEnd, true, negative);
        }
    } else {
        auto r = std::from_chars(p, end, value, std::chars_format::general);
        if (r.ec == std::errc::invalid_argument) return 0.0;
        if (r.ec == std::errc::result_out_of_range) {
            return OutOfRangeValue(p, r.ptr, false, negative);
        }
        // "nan(chars)": strtod keeps the payload.
        if ((*p == 'n' || *p == 'N') && r.ptr - p > 3) return NanWithPayload(p + 3, negative);
    }
    return negative ? -value : value;
}

// A plain decimal followed by "x" or "X" could be the start of a hexadecimal
// number only after a lone "0"; the plain reader never looks past it, so the
// check is whether the text continues with a hexadecimal prefix.
bool StartsHex(const char* p, const char* end) {
    if (p < end && (*p == '+' || *p == '-')) ++p;
    return end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL,
                                    10000000000000000000ULL};
constexpr int kMaxFastDecimals = 19;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The decimal digits of v, at least `width` of them (zeros in front), most
// significant first; returns the count.
int WriteUnsigned(char* buf, std::uint64_t v, int width = 1) {
    char tmp[24];
    char* end = tmp + sizeof tmp;
    char* p = end;
    while (v >= 100) {
        const unsigned pair = static_cast<unsigned>(v % 100) * 2;
        v /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (v >= 10) {
        const unsigned pair = static_cast<unsigned>(v) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + v);
    }
    while (end - p < width) *--p = '0';
    const int n = static_cast<int>(end - p);
    std::memcpy(buf, p, static_cast<std::size_t>(n));
    return n;
}

// printf("%.*f") of a finite value below 2^64 in magnitude with at most 19
// decimals, from the exact binary value: the fraction is multiplied by
// 10^decimals in integers (128 bits when 64 do not hold it) and rounded half
// to even, as the C library rounds. Returns the length, or -1 for a value
// this path does not take. buf holds at least 48 bytes.
int FormatFixedFast(char* buf, double value, int decimals) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0x7FF) return -1;  // inf, nan
    // value = mantissa * 2^exp2
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exp2 = biased == 0 ? -1074 : biased - 1075;
    const std::uint64_t scale = kPow10[decimals];

    std::uint64_t whole = 0;
    std::uint64_t scaled = 0;  // the fraction times 10^decimals, rounded
    if (exp2 >= 0) {
        if (exp2 > 11 || (mantissa << exp2) >> exp2 != mantissa) return -1;
        whole = mantissa << exp2;
    } else {
        const int shift = -exp2;  // value = mantissa / 2^shift
        std::uint64_t rest = mantissa;
        if (shift < 64) {
            whole = mantissa >> shift;
            rest = mantissa & ((std::uint64_t{1} << shift) - 1);
        }
        bool up = false;
        if (rest == 0) {
            // no fraction
        } else if (shift < 64 && rest <= UINT64_MAX / scale) {
            const std::uint64_t product = rest * scale;
            scaled = product >> shift;
            const std::uint64_t r = product & ((std::uint64_t{1} << shift) - 1);
            const std::uint64_t half = std::uint64_t{1} << (shift - 1);
            const std::uint64_t last = decimals > 0 ? scaled : whole;
            up = r > half || (r == half && (last & 1) != 0);
        } else if (shift < 127) {
            const unsigned __int128 product = static_cast<unsigned __int128>(rest) * scale;
            const unsigned __int128 q = product >> shift;
            const unsigned __int128 r = product - (q << shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
            scaled = static_cast<std::uint64_t>(q);
            const std::uint64_t last = decimals > 0 ? scaled : whole;
            up = r > half || (r == half && (last & 1) != 0);
        }
        // else: product < 2^117, far below one half
        if (up) {
            if (decimals > 0 && ++scaled < scale) {
                // no carry
            } else {
                scaled = 0;
                if (whole == UINT64_MAX) return -1;
                ++whole;
            }
        }
    }

    char* out = buf;
    if (negative) *out++ = '-';
    out += WriteUnsigned(out, whole);
    if (decimals > 0) {
        *out++ = '.';
        out += WriteUnsigned(out, scaled, decimals);
    }
    *out = '\0';
    return static_cast<int>(out - buf);
}

}  // namespace

double AsciiToDouble(const char* text) {
    if (text == nullptr) return 0.0;
    const char* p = text;
    while (IsCSpace(*p)) ++p;
    const char* end = p + std::strlen(p);
    double value;
    const char* stop;
    if (!StartsHex(p, end) && ReadPlainDecimal(p, end, &value, &stop)) return value;
    return ReadAnyNumber(p);
}

double AsciiToDouble(const char* begin, const char* end) {
    if (begin == end) return 0.0;
    const char* p = begin;
    while (p < end && IsCSpace(*p)) ++p;
    // A NUL byte stops the plain reader as any other byte outside a number does.
    double value;
    const char* stop;
    if (!StartsHex(p, end) && ReadPlainDecimal(p, end, &value, &stop)) return value;
    if (const void* nul = std::memchr(p, '\0', static_cast<std::size_t>(end - p))) {
        end = static_cast<const char*>(nul);
    }
    return ReadAnyNumber(std::string(p, end).c_str());
}

double ReadNumberField(std::string_view text, bool* whole) {
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    double value;
    const char* stop;
    if (!StartsHex(p, end) && ReadPlainDecimal(p, end, &value, &stop)) {
        if (whole != nullptr) *whole = SkipBlanks(stop, end) == end;
        return value;
    }
    if (whole != nullptr) *whole = IsDecimalText(p, end);
    return AsciiToDouble(p, end);
}

int FormatFixedTo(char* buf, int size, double value, int decimals) {
    if (decimals < 0) decimals = 6;  // printf: a negative precision is taken as omitted
    if (buf != nullptr && size >= 48 && decimals <= kMaxFastDecimals) {
        const int n = FormatFixedFast(buf, value, decimals);
        if (n >= 0) return n;
    }
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
    if (decimals <= kMaxFastDecimals) {
        char buf[48];
        const int n = FormatFixedFast(buf, value, decimals);
        if (n >= 0) return std::string(buf, static_cast<std::size_t>(n));
    }
    // 309 integer digits, a sign and a point at most.
    std::string out(static_cast<size_t>(decimals) + 320, '\0');
    auto r = std::to_chars(out.data(), out.data() + out.size(), value, std::chars_format::fixed,
                           decimals);
    out.resize(static_cast<size_t>(r.ptr - out.data()));
    return out;
}
