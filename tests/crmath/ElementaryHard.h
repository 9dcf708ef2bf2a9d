// For the tests of the accurate path: its functions by case, the forced
// levels of Ziv's loop, and the near-tie cases of tests/data/crmath.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "crmath/ElementaryAccurate.h"
#include "tests/crmath/ElementaryCases.h"

namespace elementary_test {

// The accurate path's result of the case, where it takes the arguments.
inline bool AccurateOf(const Case& c, double* out) {
    using namespace crmath::detail;
    if (!(c.x - c.x == 0) || !(c.y - c.y == 0)) return false;  // inf, NaN
    switch (c.f) {
        case kSin:
            *out = AccurateSin(c.x);
            return true;
        case kCos:
            *out = AccurateCos(c.x);
            return true;
        case kTan:
            *out = AccurateTan(c.x);
            return true;
        case kAtan:
            *out = AccurateAtan(c.x);
            return true;
        case kAtan2:
            if (c.x == 0 || c.y == 0) return false;
            *out = AccurateAtan2(c.x, c.y);
            return true;
        case kLog10:
            if (!(c.x > 0)) return false;
            *out = AccurateLog10(c.x);
            return true;
        default:
            if (!(c.x > 0) || c.x == 1 || c.y == 0) return false;
            *out = AccuratePow(c.x, c.y);
            return true;
    }
}

// Ziv's loop started at `first` words, no level below `decide` deciding,
// while it lives.
class ForcedLevels {
public:
    ForcedLevels(int first, int decide) {
        crmath::detail::SetAccurateLevels(first, decide);
        crmath::detail::LastAccurateWords();
    }
    ~ForcedLevels() { crmath::detail::SetAccurateLevels(4, 4); }
    ForcedLevels(const ForcedLevels&) = delete;
    ForcedLevels& operator=(const ForcedLevels&) = delete;
};

// A double written as C's %a prints it ("-0x1.8p+3", "0x0p+0"); false for
// anything else.
inline bool ParseHexDouble(const std::string& text, double* out) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    if (text.compare(i, 2, "0x") != 0) return false;
    i += 2;
    std::uint64_t m = 0;
    int digits = 0, fraction = 0;
    bool point = false;
    for (; i < text.size() && text[i] != 'p'; ++i) {
        const char ch = text[i];
        int d;
        if (ch >= '0' && ch <= '9') {
            d = ch - '0';
        } else if (ch >= 'a' && ch <= 'f') {
            d = ch - 'a' + 10;
        } else if (ch == '.' && !point) {
            point = true;
            continue;
        } else {
            return false;
        }
        if (++digits > 14) return false;
        m = m * 16 + static_cast<std::uint64_t>(d);
        if (point) ++fraction;
    }
    if (digits == 0 || m >= (std::uint64_t{1} << 53) || i + 1 >= text.size()) return false;
    ++i;  // 'p'
    int e = 0;
    const bool eNegative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || e > 100000) return false;
        e = e * 10 + (text[i] - '0');
    }
    // m 2^(e - 4 fraction), exactly: m has at most 53 bits and the value is a double.
    const double v = std::ldexp(static_cast<double>(m), (eNegative ? -e : e) - 4 * fraction);
    *out = negative ? -v : v;
    return true;
}

// A line of near-ties.txt: the case, its exact value rounded to nearest, and
// the distance of the exact value to the nearest midpoint: 2^-bits ulp.
struct NearTie {
    Case c;
    double result;
    double bits;
    std::string line;
};

// The cases of tests/data/crmath/near-ties.txt; a line that does not
// read is returned with bits = -1.
inline std::vector<NearTie> NearTies() {
    std::ifstream in(std::string(TERRAX_TEST_DATA) + "/crmath/near-ties.txt");
    std::vector<NearTie> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, x, y, result, bits;
        fields >> name >> x >> y >> result >> bits;
        NearTie t = {{kSin, 0, 0}, 0, -1, line};
        int f = 0;
        while (f < kFunctionCount && name != Name(static_cast<Function>(f))) ++f;
        const bool two = f == kAtan2 || f == kPow;
        if (f < kFunctionCount && ParseHexDouble(x, &t.c.x) &&
            (two ? ParseHexDouble(y, &t.c.y) : y == "-") && ParseHexDouble(result, &t.result)) {
            t.c.f = static_cast<Function>(f);
            t.bits = std::atof(bits.c_str());
        }
        out.push_back(t);
    }
    return out;
}

}  // namespace elementary_test
