// Converting a whole stream of point lines with the session's chosen format
// and conversion, line by line in constant memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/FilePoint.h"
#include "batch/LineIO.h"
#include "session/ConversionSession.h"

// What one stream conversion saw.
struct StreamResult {
    std::uint64_t lines = 0;          // lines written, a header line included
    bool headerLine = false;          // the first line was a header, written unchanged
    // Lines with a coordinate field that is not a number (not an angle text
    // for geodetic fields); they were converted with that field read as the
    // reader took it, mostly 0. Line numbers count from 1.
    std::uint64_t nonNumberLines = 0;
    static constexpr std::size_t kListedLines = 5;
    std::vector<std::uint64_t> nonNumberLineNumbers;  // the first kListedLines of them
    bool stoppedAtEmptyLine = false;  // reading ended at an empty line, not at the end
    bool dataAfterEmptyLine = false;  // bytes other than line ends followed that line
    bool textAfterLastSeparator =
        false;  // a line held text (not just blanks) after its last separator
    bool readFailed = false;
    bool writeFailed = false;
    int errorNumber = 0;  // errno of the failure

    bool Succeeded() const { return !readFailed && !writeFailed; }
};

// Reads lines (LF or CR LF) up to the end of the input or the first empty
// line, cuts each at the format's separator, converts its three coordinate
// fields and writes the line with the other fields unchanged, every field
// followed by the separator, ending with CR LF. A first line none of whose
// coordinate fields starts with a number is a header and is written as it
// is. A 0x1A byte that ends the input ends it as in DOS text files.
class LineEngine {
public:
    // Takes the format (m_column, m_formatSeparator) and the conversion from
    // a copy of `session`, which must be prepared (PrepareConversion) and able
    // to convert (CanConvert). The equal-datum rule is applied to the copy.
    explicit LineEngine(const ConversionSession& session);

    // Called now and then during Convert with the bytes of input taken so
    // far, for a progress display.
    using Progress = std::function<void(std::uint64_t bytesRead)>;
    static constexpr std::uint64_t kProgressLines = 65536;

    // Converts `in` to `out`; `progress`, when given, is called every
    // kProgressLines lines and once at the end.
    StreamResult Convert(std::FILE* in, std::FILE* out, const Progress& progress = {});

    // What ConvertLine found in a line, as bits.
    static constexpr unsigned kTextAfterLastSeparator = 1;  // left out of the output
    static constexpr unsigned kNotNumbers = 2;  // a coordinate field is not a number
    static constexpr unsigned kHeaderLine = 4;  // `first` and a header: written as it is

    // Converts one line (without its line end) and appends the output line,
    // CR LF included, to `writer`; `first` for the first line of a stream.
    unsigned ConvertLine(std::string_view line, LineWriter& writer, bool first = false);

    char Separator() const { return m_separator; }

    // With more than one thread, Convert reads the input in blocks of whole
    // lines and converts them on that many threads, each with its own copy of
    // the engine, writing the blocks in their order: the output and the result
    // are those of the single-threaded loop.
    void SetThreads(int threads) { m_threads = threads < 1 ? 1 : threads; }
    int Threads() const { return m_threads; }

    // Bytes read at a time: the buffer of the single loop and the size of a
    // block. Small sizes let tests put line ends at every block edge.
    void SetReadBytes(std::size_t bytes) { m_readBytes = bytes < 1 ? 1 : bytes; }

private:
    StreamResult ConvertInBlocks(std::FILE* in, std::FILE* out, const Progress& progress);
    // None of the coordinate fields the format names starts with a number.
    bool IsHeader(const std::string_view coordinates[3]) const;

    ConversionSession m_session;
    char m_separator;
    int m_column[3];
    unsigned m_named = 0;  // bit (1 << slot) for each slot the format names
    std::vector<std::string_view> m_fields;
    char m_results[3][kPointTextSize];
    int m_resultLengths[3] = {};
    int m_threads = 1;
    std::size_t m_readBytes = 1 << 16;
};
