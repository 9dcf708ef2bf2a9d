// Time per call of the elementary functions against the C library's, over
// arguments of the geodetic chains (latitudes, their multiples, ratios of
// coordinates, the Mercator and UTM powers) and over wider ranges.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "crmath/Elementary.h"

namespace {

using namespace crmath;

// A fixed sequence of n arguments in [lo, hi).
std::vector<double> Arguments(double lo, double hi, int n = 1024) {
    std::uint64_t s = 88172645463325252ULL;
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v) {
        s = s * 6364136223846793005ULL + 1442695040888963407ULL;
        x = lo + (hi - lo) * static_cast<double>(s >> 11) * 0x1p-53;
    }
    return v;
}

template <class F>
void Run(benchmark::State& state, const std::vector<double>& v, F f) {
    std::size_t i = 0;
    double sum = 0;
    for (auto _ : state) {
        sum += f(v[i++ & 1023]);
    }
    benchmark::DoNotOptimize(sum);
}

#define PAIR(name, lo, hi, glibc, ours)                                               \
    void BM_##name##_glibc(benchmark::State& s) { Run(s, Arguments(lo, hi), glibc); } \
    BENCHMARK(BM_##name##_glibc);                                                     \
    void BM_##name##_ours(benchmark::State& s) { Run(s, Arguments(lo, hi), ours); }   \
    BENCHMARK(BM_##name##_ours);

// Latitudes and their multiples.
PAIR(
    Sin, -7.0, 7.0, [](double x) { return std::sin(x); }, [](double x) { return Sin(x); })
PAIR(
    Cos, -7.0, 7.0, [](double x) { return std::cos(x); }, [](double x) { return Cos(x); })
PAIR(
    Tan, -1.5, 1.5, [](double x) { return std::tan(x); }, [](double x) { return Tan(x); })
double SinCosSum(double x) {
    double s, c;
    SinCos(x, &s, &c);
    return s + c;
}
double SinCosTanSum(double x) {
    double s, c, t;
    SinCosTan(x, &s, &c, &t);
    return s + c + t;
}
PAIR(
    SinCos, 0.3, 1.3, [](double x) { return std::sin(x) + std::cos(x); }, SinCosSum)
PAIR(
    SinCosTan, 0.3, 1.3, [](double x) { return std::sin(x) + std::cos(x) + std::tan(x); },
    SinCosTanSum)
PAIR(
    SinLarge, -1e6, 1e6, [](double x) { return std::sin(x); }, [](double x) { return Sin(x); })
// Ratios of coordinates.
PAIR(
    Atan, -10.0, 10.0, [](double x) { return std::atan(x); }, [](double x) { return Atan(x); })
PAIR(
    Atan2, -5.0, 5.0, [](double x) { return std::atan2(x, 0.7); },
    [](double x) { return Atan2(x, 0.7); })
// The Mercator isometric latitude and the UTM footpoint powers.
PAIR(
    Log10, 0.1, 10.0, [](double x) { return std::log10(x); }, [](double x) { return Log10(x); })
PAIR(
    PowMercator, 0.9, 1.1, [](double x) { return std::pow(x, 0.0335); },
    [](double x) { return Pow(x, 0.0335); })
PAIR(
    PowTen, -1.0, 1.0, [](double x) { return std::pow(10.0, x); },
    [](double x) { return Pow(10.0, x); })
PAIR(
    PowUtm, 0.99, 1.0, [](double x) { return std::pow(x, 1.5); },
    [](double x) { return Pow(x, 1.5); })
PAIR(
    PowWide, 0.001, 1000.0, [](double x) { return std::pow(x, 3.7); },
    [](double x) { return Pow(x, 3.7); })

}  // namespace
