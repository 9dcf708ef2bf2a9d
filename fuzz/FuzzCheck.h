// Checks of the fuzz targets: a failed check prints what failed with the
// input as text and aborts, which libFuzzer records as a finding.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

[[noreturn]] inline void FuzzCheckFailed(const char* check, const char* file, int line,
                                         std::string_view input) {
    std::fprintf(stderr, "%s:%d: check failed: %s\ninput (%zu bytes): ", file, line, check,
                 input.size());
    for (unsigned char c : input) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", c);
        }
    }
    std::fputc('\n', stderr);
    std::abort();
}

#define FUZZ_CHECK(condition, input)                                               \
    do {                                                                           \
        if (!(condition)) FuzzCheckFailed(#condition, __FILE__, __LINE__, input); \
    } while (false)

// The same bits: NaN payloads and the sign of zero count.
inline bool SameBits(double a, double b) {
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}
