// cli_floor IN OUT: the input/output floor of a conversion. Reads the three
// numbers after the first field of every line (fields ended by commas) with
// strtod and writes them with "%.6f", through C streams; no conversion.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: cli_floor IN OUT\n");
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (in == nullptr || out == nullptr) {
        std::perror("cli_floor");
        return 1;
    }
    char line[4096];
    long long lines = 0;
    while (std::fgets(line, sizeof line, in) != nullptr) {
        double v[3] = {0, 0, 0};
        const char* p = std::strchr(line, ',');
        for (int k = 0; k < 3 && p != nullptr; ++k) {
            v[k] = std::strtod(p + 1, nullptr);
            p = std::strchr(p + 1, ',');
        }
        std::fprintf(out, "%.6f,%.6f,%.6f\r\n", v[0], v[1], v[2]);
        ++lines;
    }
    std::fclose(in);
    if (std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(stderr, "%lld lines\n", lines);
    return 0;
}
