// cli_bench_points COUNT POINTS PROJECT: writes COUNT geodetic points on
// Beijing-54, "P<n>,B,L,H,GPS," with CR LF, to POINTS, and to PROJECT a
// project file that converts them with seven parameters to Gauss-Krueger
// plane coordinates (3-degree zone on 114 degrees) on WGS-84. The same
// arguments always give the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "session/ConversionSession.h"
#include "tests/support/SevenParameterSession.h"

namespace {

// A fixed linear congruential sequence.
class Sequence {
public:
    double Next(double lo, double hi) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(m_state >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state = 20031101;
};

// Degrees as "DDD:MM:SS.ffffff", all in integers so no rounding of the
// C library enters the file.
void AngleText(double degrees, char* out, std::size_t size) {
    const long long micro = static_cast<long long>(degrees * 3600e6);
    const long long d = micro / 3600000000LL, m = micro / 60000000LL % 60;
    const long long s = micro / 1000000 % 60, f = micro % 1000000;
    std::snprintf(out, size, "%03lld:%02lld:%02lld.%06lld", d, m, s, f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: cli_bench_points COUNT POINTS PROJECT\n");
        return 2;
    }
    const long long count = std::atoll(argv[1]);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    Sequence seq;
    char b[32], l[32], line[128];
    for (long long i = 1; i <= count; ++i) {
        AngleText(seq.Next(25, 40), b, sizeof b);
        AngleText(seq.Next(112.5, 115.5), l, sizeof l);
        const long long mm = static_cast<long long>(seq.Next(0, 500000));
        const int n = std::snprintf(line, sizeof line, "P%lld,%s,%s,%lld.%03lld,GPS,\r\n", i, b, l,
                                    mm / 1000, mm % 1000);
        std::fwrite(line, 1, static_cast<std::size_t>(n), out);
    }
    if (std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }

    // Geodetic to plane with seven parameters, the local levels off.
    ConversionSession s = SevenParameterSession(1, 2);
    s.m_useFour = 0;
    s.PrepareConversion();
    std::string error;
    if (!s.SaveProject(argv[3], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
