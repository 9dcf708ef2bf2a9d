// Cost of the core operations that batch conversion repeats per line.
#include <benchmark/benchmark.h>

#include "geodesy/GeoCore.h"
#include "session/ConversionSession.h"
#include "tests/support/SevenParameterSession.h"

namespace {

constexpr double kDeg = 0.017453292519943334;
constexpr double kA = 6378245.0, kRf = 298.3;

// A small walk over China so that no input repeats from one call to the next.
struct Walk {
    double b = 30 * kDeg, l = 114 * kDeg;
    void Next() {
        b += 1e-4;
        l += 1.3e-4;
        if (b > 50 * kDeg) b = 20 * kDeg;
        if (l > 119 * kDeg) l = 115 * kDeg;
    }
};

// The chains' settings of the seven-parameter session on 117 degrees.
ConversionParams Settings() {
    ConversionSession s = SevenParameterSession(1, 2);
    s.m_params.m_projBefore.centralMeridian = 117.0;
    s.PrepareConversion();
    return s.m_params;
}

void BM_GaussForward(benchmark::State& state) {
    const CGeoCore geo;
    Walk w;
    double x, y;
    for (auto _ : state) {
        geo.GaussForward(kA, kRf, w.b, w.l, 117 * kDeg, &x, &y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        w.Next();
    }
}
BENCHMARK(BM_GaussForward);

void BM_GaussInverse(benchmark::State& state) {
    const CGeoCore geo;
    double x = 3323964.539, y = -289530.331, B, L;
    for (auto _ : state) {
        geo.GaussInverse(kA, kRf, x, y, 117 * kDeg, &B, &L);
        benchmark::DoNotOptimize(B);
        benchmark::DoNotOptimize(L);
        x += 1.7;
        y += 0.9;
        if (x > 5e6) x = 2e6;
        if (y > 3e5) y = -3e5;
    }
}
BENCHMARK(BM_GaussInverse);

void BM_SpaceToGeodetic(benchmark::State& state) {
    const CGeoCore geo;
    double X = -2248582.352, Y = 5050398.652, Z = 3170430.097, B, L, H;
    for (auto _ : state) {
        geo.SpaceToGeodetic(kA, kRf, X, Y, Z, &B, &L, &H);
        benchmark::DoNotOptimize(B);
        benchmark::DoNotOptimize(L);
        benchmark::DoNotOptimize(H);
        X += 0.37;
        Z -= 0.29;
    }
}
BENCHMARK(BM_SpaceToGeodetic);

// The settings record is copied into every call, as the callers do.
void BM_GeodeticToPlaneChain(benchmark::State& state) {
    const CGeoCore geo;
    const ConversionParams p = Settings();
    Walk w;
    double x, y, h;
    for (auto _ : state) {
        geo.GeodeticToPlaneChain(w.b, w.l, 50.0, p, &x, &y, &h);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        w.Next();
    }
}
BENCHMARK(BM_GeodeticToPlaneChain);

void BM_PlaneToGeodeticChain(benchmark::State& state) {
    const CGeoCore geo;
    const ConversionParams p = Settings();
    double x = 3323964.539 - 3.3e6, y = 20210469.669, B, L, H;
    for (auto _ : state) {
        geo.PlaneToGeodeticChain(x, y, 50.0, p, &B, &L, &H);
        benchmark::DoNotOptimize(B);
        benchmark::DoNotOptimize(L);
        x += 1.7;
        if (x > 1e6) x = -1e6;
    }
}
BENCHMARK(BM_PlaneToGeodeticChain);

void BM_EstimateSevenParameters(benchmark::State& state) {
    const CGeoCore geo;
    const double geodetic[3][3] = {{22.5, 101.0, 1200}, {45.0, 127.0, 150}, {36.0, 80.0, 3000}};
    double points[18];
    ConversionParams on = Settings();
    for (int p = 0; p < 3; ++p) {
        double* pt = points + 6 * p;
        geo.GeodeticToSpace(kA, kRf, geodetic[p][0] * kDeg, geodetic[p][1] * kDeg, geodetic[p][2],
                            &pt[0], &pt[1], &pt[2]);
        pt[3] = pt[0], pt[4] = pt[1], pt[5] = pt[2];
        geo.ApplySevenParameters(on.m_seven[0], on.m_seven[1], on.m_seven[2], on.m_seven[3],
                                 on.m_seven[4], on.m_seven[5], on.m_seven[6], on, &pt[3], &pt[4],
                                 &pt[5]);
    }
    double r[7];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            geo.EstimateSevenParameters(points, &r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]));
        benchmark::DoNotOptimize(r);
        points[3] += 1e-3;
    }
}
BENCHMARK(BM_EstimateSevenParameters);

}  // namespace
