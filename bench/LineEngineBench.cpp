// Lines per second of the batch line engine: 1,000,000 generated points
// converted file to file along each conversion path, and the same file only
// split and written back (the floor of reading and writing).
//
//   line_engine_bench [--benchmark_filter=...]
//
// The input files are generated once, deterministically, into a temporary
// directory that is removed at the end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "batch/LineEngine.h"
#include "batch/LineIO.h"
#include "batch/SplitFields.h"
#include "session/ConversionSession.h"
#include "tests/support/SevenParameterSession.h"

namespace {

constexpr std::uint64_t kPoints = 1000000;
constexpr double kDeg = 0.017453292519943334;

// A fixed linear congruential sequence, so every run reads the same file.
class Sequence {
public:
    // Uniform in [lo, hi).
    double Next(double lo, double hi) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(m_state >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state = 20031101;
};

std::string DmsText(double degrees) {
    int d = static_cast<int>(degrees);
    double m = (degrees - d) * 60;
    int mi = static_cast<int>(m);
    double s = (m - mi) * 60;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%03d:%02d:%09.6f", d, mi, s);
    return buffer;
}

class Workspace {
public:
    ~Workspace() {
        if (!m_dir.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_dir, ec);
        }
    }

    std::string Dir() {
        if (m_dir.empty()) {
            std::string pattern =
                std::filesystem::temp_directory_path().string() + "/line-bench-XXXXXX";
            std::vector<char> buffer(pattern.begin(), pattern.end());
            buffer.push_back('\0');
            if (::mkdtemp(buffer.data()) != nullptr) m_dir = buffer.data();
        }
        return m_dir;
    }

    // "P<n>,c1,c2,c3,remark," lines of one source kind, CR LF ended.
    const std::string& Input(int sourceKind) {
        auto it = m_inputs.find(sourceKind);
        if (it != m_inputs.end()) return it->second;
        const std::string path = Dir() + "/points" + std::to_string(sourceKind) + ".txt";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        Sequence seq;
        CGeoCore geo;
        char line[256];
        for (std::uint64_t i = 1; f != nullptr && i <= kPoints; ++i) {
            const double b = seq.Next(25, 40), l = seq.Next(112.5, 115.5), h = seq.Next(0, 500);
            int n = 0;
            if (sourceKind == 1) {
                n = std::snprintf(line, sizeof line, "P%llu,%s,%s,%.3f,GPS,\r\n",
                                  static_cast<unsigned long long>(i), DmsText(b).c_str(),
                                  DmsText(l).c_str(), h);
            } else if (sourceKind == 0) {
                double X, Y, Z;
                geo.GeodeticToSpace(6378245.0, 298.3, b * kDeg, l * kDeg, h, &X, &Y, &Z);
                n = std::snprintf(line, sizeof line, "P%llu,%.3f,%.3f,%.3f,GPS,\r\n",
                                  static_cast<unsigned long long>(i), X, Y, Z);
            } else {
                n = std::snprintf(line, sizeof line, "P%llu,%.3f,%.3f,%.3f,GPS,\r\n",
                                  static_cast<unsigned long long>(i), seq.Next(2.8e6, 4.4e6),
                                  seq.Next(380000, 620000), h);
            }
            std::fwrite(line, 1, static_cast<std::size_t>(n), f);
        }
        if (f != nullptr) std::fclose(f);
        return m_inputs[sourceKind] = path;
    }

    std::string Output() { return Dir() + "/out.txt"; }

private:
    std::string m_dir;
    std::map<int, std::string> m_inputs;
};

Workspace g_workspace;

enum class PlaneMode { Plain, Seven, ZoneChange };

// The seven-parameter session, the seven switch off for plain plane to
// plane, or with the zone change.
ConversionSession Session(int sourceKind, int targetKind, PlaneMode mode) {
    ConversionSession s = SevenParameterSession(sourceKind, targetKind);
    s.m_useSeven = mode == PlaneMode::Plain ? 0 : 1;
    s.m_zoneChange = mode == PlaneMode::ZoneChange ? 2 : 0;
    s.m_format.m_formatSeparator.assign(1, ',');
    s.m_format.m_column[0] = 1;
    s.m_format.m_column[1] = 2;
    s.m_format.m_column[2] = 3;
    s.PrepareConversion();
    return s;
}

void BM_LineEngine(benchmark::State& state, int sourceKind, int targetKind, PlaneMode mode) {
    const std::string input = g_workspace.Input(sourceKind);
    const std::string output = g_workspace.Output();
    LineEngine engine(Session(sourceKind, targetKind, mode));
    for (auto _ : state) {
        std::FILE* in = std::fopen(input.c_str(), "rb");
        std::FILE* out = std::fopen(output.c_str(), "wb");
        if (in == nullptr || out == nullptr) {
            state.SkipWithError("cannot open the benchmark files");
            if (in) std::fclose(in);
            if (out) std::fclose(out);
            break;
        }
        const StreamResult r = engine.Convert(in, out);
        std::fclose(in);
        std::fclose(out);
        if (!r.Succeeded() || r.lines != kPoints) {
            state.SkipWithError("the conversion did not read every line");
            break;
        }
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(kPoints) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// Reading, splitting and writing the fields back without converting.
void BM_SplitAndWriteOnly(benchmark::State& state) {
    const std::string input = g_workspace.Input(2);
    const std::string output = g_workspace.Output();
    std::vector<std::string_view> fields;
    std::uint64_t lines = 0;
    for (auto _ : state) {
        std::FILE* in = std::fopen(input.c_str(), "rb");
        std::FILE* out = std::fopen(output.c_str(), "wb");
        if (in == nullptr || out == nullptr) {
            state.SkipWithError("cannot open the benchmark files");
            if (in) std::fclose(in);
            if (out) std::fclose(out);
            break;
        }
        {
            LineReader reader(in);
            LineWriter writer(out);
            std::string_view line;
            while (reader.Next(&line) && !line.empty()) {
                SplitFields(line, ',', &fields);
                for (std::string_view f : fields) {
                    writer.Append(f);
                    writer.Append(',');
                }
                writer.Append(std::string_view("\r\n", 2));
                ++lines;
            }
            writer.Flush();
        }
        std::fclose(in);
        std::fclose(out);
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

#define LINE_PATH(name, source, target, mode)                               \
    BENCHMARK_CAPTURE(BM_LineEngine, name, source, target, PlaneMode::mode) \
        ->Unit(benchmark::kMillisecond)                                     \
        ->UseRealTime()

LINE_PATH(plane_to_plane, 2, 2, Plain);
LINE_PATH(plane_to_plane_seven, 2, 2, Seven);
LINE_PATH(plane_to_plane_zone_change, 2, 2, ZoneChange);
LINE_PATH(plane_to_geodetic, 2, 1, Seven);
LINE_PATH(plane_to_space, 2, 0, Seven);
LINE_PATH(geodetic_to_plane, 1, 2, Seven);
LINE_PATH(geodetic_to_geodetic, 1, 1, Seven);
LINE_PATH(geodetic_to_space, 1, 0, Seven);
LINE_PATH(space_to_plane, 0, 2, Seven);
LINE_PATH(space_to_geodetic, 0, 1, Seven);
LINE_PATH(space_to_space, 0, 0, Seven);
BENCHMARK(BM_SplitAndWriteOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
