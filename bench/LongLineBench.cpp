// Time of one very long line through the line engine on two threads: a
// point whose note field holds 8 to 64 MB. The time should grow with the
// length of the line, not with its square.
//
//   long_line_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "batch/LineEngine.h"
#include "session/ConversionSession.h"

namespace {

// Plane to plane, the format "id,x,y,h,note,".
ConversionSession Session() {
    ConversionSession s;
    s.m_sourceKind = 2;
    s.m_targetKind = 2;
    s.m_format.m_formatSeparator.assign(1, ',');
    s.m_format.m_column[0] = 1;
    s.m_format.m_column[1] = 2;
    s.m_format.m_column[2] = 3;
    s.PrepareConversion();
    return s;
}

void BM_LongLine(benchmark::State& state) {
    const std::uint64_t bytes = static_cast<std::uint64_t>(state.range(0)) * 1000000;
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string input = (dir / ("terrax-long-line-" + std::to_string(bytes))).string();
    const std::string output = input + ".out";
    {
        std::FILE* f = std::fopen(input.c_str(), "wb");
        if (f == nullptr) {
            state.SkipWithError("cannot write the input");
            return;
        }
        const std::string head = "P1,3512345.000,512345.000,45.0,";
        std::fwrite(head.data(), 1, head.size(), f);
        const std::string chunk(1 << 16, 'n');
        for (std::uint64_t done = head.size(); done < bytes;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), bytes - done));
            std::fwrite(chunk.data(), 1, n, f);
            done += n;
        }
        std::fwrite(",\r\nP2,1,2,3,\r\n", 1, 14, f);
        std::fclose(f);
    }
    LineEngine engine(Session());
    engine.SetThreads(2);
    for (auto _ : state) {
        std::FILE* in = std::fopen(input.c_str(), "rb");
        std::FILE* out = std::fopen(output.c_str(), "wb");
        const StreamResult r = engine.Convert(in, out);
        std::fclose(in);
        std::fclose(out);
        if (!r.Succeeded() || r.lines != 2) {
            state.SkipWithError("the long line was not converted");
            break;
        }
    }
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6,
        benchmark::Counter::kIsRate);
    std::filesystem::remove(input);
    std::filesystem::remove(output);
}

BENCHMARK(BM_LongLine)->Arg(8)->Arg(16)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
