// Cost of a fit from many common points: it must grow with the number of
// points as n log n at most (10,000 and 40,000 points), the redundancy
// numbers, the test and the geometry included.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "geodesy/GeoCore.h"
#include "geodesy/ParameterFit.h"

namespace {

constexpr double kDeg = 0.017453292519943334;

// Points over 60 km around 32 N, 117 E with millimetres of scatter, by a
// fixed linear congruential sequence.
std::vector<FitPoint> Points(FitModel model, int count) {
    std::uint64_t state = 12345;
    auto uniform = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) * 0x1.0p-53 - 0.5;
    };
    const CGeoCore geo;
    ConversionParams on;
    on.m_savedUseSeven = 1;
    std::vector<FitPoint> points(static_cast<std::size_t>(count));
    for (FitPoint& p : points) {
        const double north = uniform() * 60000, east = uniform() * 60000;
        if (model == FitModel::Four) {
            double x = p.source[0] = 3540000 + north, y = p.source[1] = 500000 + east;
            geo.ApplyFourParameters(-1234.5, 2345.6, 0.8 * kDeg, 1.000012, &x, &y);
            p.target[0] = x + 0.01 * uniform(), p.target[1] = y + 0.01 * uniform();
            continue;
        }
        geo.GeodeticToSpace(6378245.0, 298.3, 32 * kDeg + north / 6371000,
                            117 * kDeg + east / 5400000, 100 + 300 * uniform(), &p.source[0],
                            &p.source[1], &p.source[2]);
        double X = p.source[0], Y = p.source[1], Z = p.source[2];
        geo.ApplySevenParameters(-15.4, 120.7, 85.2, 5.8e-6, -3.9e-6, 1.02e-5, 3.5e-6, on, &X, &Y,
                                 &Z);
        p.target[0] = X + 0.01 * uniform(), p.target[1] = Y + 0.01 * uniform();
        p.target[2] = Z + 0.01 * uniform();
    }
    return points;
}

// range(0): 0 seven, 1 four; range(1): the number of points.
void BM_Fit(benchmark::State& state) {
    const FitModel model = state.range(0) == 0 ? FitModel::Seven : FitModel::Four;
    const std::vector<FitPoint> points = Points(model, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        const ParameterFit fit = FitParameters(model, points, 6378137.0, 298.257222101);
        benchmark::DoNotOptimize(fit.sigma0);
    }
}
BENCHMARK(BM_Fit)
    ->ArgsProduct({{0, 1}, {10000, 40000}})
    ->ArgNames({"four", "points"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
