// Arguments for the tests of the elementary functions, made from a 64-bit
// linear congruential sequence and bit patterns only, so that every platform
// builds the same doubles; and a hash of results that every platform must
// reproduce.
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "crmath/Elementary.h"

namespace elementary_test {

using namespace crmath;

enum Function { kSin, kCos, kTan, kAtan, kAtan2, kLog10, kPow, kFunctionCount };

inline const char* Name(Function f) {
    static const char* const kNames[] = {"Sin", "Cos", "Tan", "Atan", "Atan2", "Log10", "Pow"};
    return kNames[f];
}

// One call: f(x), or Atan2(x, y) (x the ordinate), or Pow(x, y).
struct Case {
    Function f;
    double x;
    double y;
};

inline double Evaluate(const Case& c) {
    switch (c.f) {
        case kSin:
            return Sin(c.x);
        case kCos:
            return Cos(c.x);
        case kTan:
            return Tan(c.x);
        case kAtan:
            return Atan(c.x);
        case kAtan2:
            return Atan2(c.x, c.y);
        case kLog10:
            return Log10(c.x);
        default:
            return Pow(c.x, c.y);
    }
}

class Sequence {
public:
    explicit Sequence(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return m_state;
    }
    // Uniform in [lo, hi) on a grid of 2^-53 of the width.
    double Uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1p-53;
    }
    // A finite double with a uniformly drawn bit pattern.
    double AnyFinite() {
        for (;;) {
            const double d = std::bit_cast<double>(Next());
            if (d - d == 0) return d;
        }
    }
    // sign * m * 2^e, m in [1, 2), e uniform in [lo, hi].
    double LogUniform(int lo, int hi) {
        const std::uint64_t r = Next();
        const int e = lo + static_cast<int>((r >> 32) % static_cast<std::uint64_t>(hi - lo + 1));
        const double m = 1.0 + static_cast<double>(Next() >> 12) * 0x1p-52;
        double scale = 1.0;
        for (int i = 0; i < (e < 0 ? -e : e); ++i) scale = e < 0 ? scale * 0.5 : scale * 2.0;
        return ((r & 1) != 0 ? -m : m) * scale;
    }
    // x moved by up to 1000 units in the last place.
    double Near(double x) {
        const std::int64_t d = static_cast<std::int64_t>(Next() % 2001) - 1000;
        return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) +
                                     static_cast<std::uint64_t>(d));
    }

private:
    std::uint64_t m_state;
};

inline double Abs(double v) { return v < 0 ? -v : v; }

// n cases of f in the geodetic ranges and over the whole double range.
inline std::vector<Case> MakeCases(Function f, int n, std::uint64_t seed) {
    Sequence s(seed * 1000003 + static_cast<std::uint64_t>(f));
    std::vector<Case> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int kind = i % 5;
        double x = 0, y = 0;
        switch (f) {
            case kSin:
            case kCos:
            case kTan:
                if (kind == 0) x = s.Uniform(-8, 8);
                if (kind == 1) x = s.AnyFinite();
                if (kind == 2) x = s.LogUniform(-30, 20);
                if (kind == 3)
                    x = s.Near(static_cast<double>(s.Next() % 64) * 0x1.921fb54442d18p+0);
                if (kind == 4) x = s.LogUniform(-1074, 1023);
                break;
            case kAtan:
                if (kind == 0) x = s.Uniform(-10, 10);
                if (kind == 1) x = s.AnyFinite();
                if (kind == 2) x = s.LogUniform(-30, 60);
                if (kind == 3) x = s.Near(s.Uniform(-1.5, 1.5));
                if (kind == 4) x = s.LogUniform(-1074, 1023);
                break;
            case kAtan2:
                if (kind == 0) x = s.Uniform(-7e6, 7e6), y = s.Uniform(-7e6, 7e6);
                if (kind == 1) x = s.AnyFinite(), y = s.AnyFinite();
                if (kind == 2) x = s.LogUniform(-70, 70), y = s.LogUniform(-70, 70);
                if (kind == 3) y = s.Uniform(-2, 2), x = s.Near(y);
                if (kind == 4) x = s.LogUniform(-1074, 1023), y = s.LogUniform(-1074, 1023);
                break;
            case kLog10:
                if (kind == 0) x = s.Uniform(0, 10);
                if (kind == 1) x = Abs(s.AnyFinite());
                if (kind == 2) x = 1.0 + s.LogUniform(-60, -1);
                if (kind == 3) x = s.Near(static_cast<double>(s.Next() % 30 + 1));
                if (kind == 4) x = Abs(s.LogUniform(-1074, 1023));
                break;
            default:
                if (kind == 0) x = s.Uniform(0.9, 1.1), y = s.Uniform(0, 0.05);  // (1-s)/(1+s), e/2
                if (kind == 1) x = s.AnyFinite(), y = s.AnyFinite();
                if (kind == 2) x = 1.0 + s.LogUniform(-45, -1), y = s.LogUniform(-10, 50);
                if (kind == 3) x = Abs(s.LogUniform(-40, 40)), y = s.Uniform(-20, 20);
                if (kind == 4) x = 10.0, y = s.Uniform(-300, 300);
                if (kind == 3 && (s.Next() & 3) == 0)
                    x = -x, y = static_cast<double>(static_cast<int>(y));
                break;
        }
        out.push_back({f, x, y});
    }
    return out;
}

// FNV-1a over the bits of the results; every NaN counts as one pattern.
inline std::uint64_t HashResults(const std::vector<double>& results) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const double r : results) {
        const std::uint64_t bits = r != r ? 0x7ff8000000000000ULL : std::bit_cast<std::uint64_t>(r);
        for (int i = 0; i < 8; ++i) {
            h ^= (bits >> (8 * i)) & 0xff;
            h *= 1099511628211ULL;
        }
    }
    return h;
}

// The arguments of the hash every platform reproduces.
inline std::vector<Case> HashCases() {
    std::vector<Case> all;
    for (int f = 0; f < kFunctionCount; ++f) {
        const std::vector<Case> c = MakeCases(static_cast<Function>(f), 20000, 7);
        all.insert(all.end(), c.begin(), c.end());
    }
    return all;
}

// HashResults of the exact values rounded to nearest over HashCases(),
// computed with MPFR (the MPFR test checks it).
inline constexpr std::uint64_t kHashOfCorrectResults = 0x9d8b9ca6a1959a65;

}  // namespace elementary_test
