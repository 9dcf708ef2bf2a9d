// The line engine on any stream: no crash and no hang; the single loop and
// the blocks on several threads, with blocks and buffers of any size, write
// the same bytes and see the same lines and findings. The first three bytes
// choose the conversion, the format's columns and the sizes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch/LineEngine.h"
#include "fuzz/FuzzCheck.h"
#include "session/ConversionSession.h"
#include "tests/support/SevenParameterSession.h"

namespace {

struct Converted {
    std::string bytes;
    StreamResult result;
};

Converted Convert(const LineEngine& prototype, std::string_view input, int threads,
                  std::size_t readBytes) {
    LineEngine engine(prototype);
    engine.SetThreads(threads);
    engine.SetReadBytes(readBytes);
    std::FILE* in = input.empty() ? std::fopen("/dev/null", "rb")
                                  : fmemopen(const_cast<char*>(input.data()), input.size(), "rb");
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    if (in == nullptr || out == nullptr) std::abort();
    Converted c;
    c.result = engine.Convert(in, out);
    std::fclose(in);
    std::fclose(out);
    c.bytes.assign(buffer, length);
    std::free(buffer);
    return c;
}

bool SameResult(const StreamResult& a, const StreamResult& b) {
    return a.lines == b.lines && a.headerLine == b.headerLine &&
           a.nonNumberLines == b.nonNumberLines &&
           a.nonNumberLineNumbers == b.nonNumberLineNumbers &&
           a.stoppedAtEmptyLine == b.stoppedAtEmptyLine &&
           a.dataAfterEmptyLine == b.dataAfterEmptyLine &&
           a.textAfterLastSeparator == b.textAfterLastSeparator && a.Succeeded() &&
           b.Succeeded();
}

// Every step of every chain changes the numbers.
ConversionSession Session(std::uint8_t kinds, std::uint8_t layout) {
    ConversionSession s = SevenParameterSession(kinds % 3, kinds / 3 % 3);
    s.m_targetDatum = (kinds & 0x10) ? 0 : 2;
    s.m_zoneChange = (kinds & 0x20) ? 2 : 0;
    s.m_format.m_formatSeparator = (layout & 1) ? " " : ",";
    static const int columns[][3] = {{1, 2, 3}, {0, 1, 2}, {2, 1, -1}, {3, -1, 1},
                                     {-1, -1, -1}, {5, 0, 2}, {1, 1, 2}, {0, 4, 8}};
    for (int k = 0; k < 3; ++k) s.m_format.m_column[k] = columns[layout >> 1 & 7][k];
    s.PrepareConversion();
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    const std::string_view input = whole.substr(3);
    const LineEngine prototype(Session(data[0], data[1]));
    const std::size_t small = 1 + data[2] % 64;
    const int threads = 2 + (data[2] >> 6) % 2;

    const Converted one = Convert(prototype, input, 1, 1 << 16);
    std::size_t lineEnds = 0;
    for (char c : one.bytes) lineEnds += c == '\n';
    FUZZ_CHECK(lineEnds == one.result.lines, whole);
    FUZZ_CHECK(one.result.nonNumberLines + one.result.headerLine <= one.result.lines, whole);
    if (one.result.headerLine) {
        // The first line as it is, with CR LF.
        const std::size_t lf = input.find('\n');
        std::string_view first = input.substr(0, lf);
        if (lf != std::string_view::npos && !first.empty() && first.back() == '\r') {
            first.remove_suffix(1);
        } else if (lf == std::string_view::npos && !first.empty() && first.back() == '\x1A') {
            first.remove_suffix(1);
        }
        FUZZ_CHECK(one.bytes.substr(0, first.size() + 2) == std::string(first) + "\r\n", whole);
    }

    const Converted smallBuffer = Convert(prototype, input, 1, small);
    FUZZ_CHECK(smallBuffer.bytes == one.bytes && SameResult(smallBuffer.result, one.result), whole);
    const Converted blocks = Convert(prototype, input, threads, small);
    FUZZ_CHECK(blocks.bytes == one.bytes && SameResult(blocks.result, one.result), whole);
    return 0;
}
