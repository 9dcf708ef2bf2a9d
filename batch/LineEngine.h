// Converting a whole stream of point lines with the session's chosen format
// and conversion, line by line in constant memory.
#pragma once

#include <atomic>
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
    // Lines with a coordinate, or a result, that is not finite (beyond the
    // range of doubles, "nan", a projection's singular point): written as
    // they were read, their coordinate fields unchanged.
    std::uint64_t unrepresentableLines = 0;
    std::vector<std::uint64_t> unrepresentableLineNumbers;  // the first kListedLines of them
    // With the heights on: lines whose point lies outside the geoid grid, so
    // that its height anomaly is unknown; written as they were read, their
    // coordinate fields unchanged.
    std::uint64_t outsideGeoidLines = 0;
    std::vector<std::uint64_t> outsideGeoidLineNumbers;  // the first kListedLines of them
    // Lines converted where the height model's surface extrapolates.
    std::uint64_t extrapolatedLines = 0;
    std::vector<std::uint64_t> extrapolatedLineNumbers;  // the first kListedLines of them
    bool readFailed = false;
    bool writeFailed = false;
    int errorNumber = 0;  // errno of the failure
    // The conversion stopped before the end, its output incomplete:
    std::uint64_t longLine = 0;  // at this line (from 1), longer than the line limit
    bool outOfMemory = false;    // memory ran out
    bool cancelled = false;      // the cancel flag was set

    bool Succeeded() const {
        return !readFailed && !writeFailed && longLine == 0 && !outOfMemory && !cancelled;
    }
};

// How far a stream conversion has come.
struct StreamProgress {
    std::uint64_t bytes = 0;  // of input taken
    std::uint64_t lines = 0;  // written
};

// What a caller may see and do while a stream is converted: `progress` is
// called between blocks of lines (every LineEngine::kProgressLines lines on
// one thread, after each block on several) and once at the end, on the
// thread that called Convert; `cancel` is read at the same points, and once
// it is set the conversion stops there (StreamResult::cancelled). Both may
// be empty. The flag may be set from any thread.
struct StreamControl {
    std::function<void(const StreamProgress&)> progress;
    const std::atomic<bool>* cancel = nullptr;

    bool Cancelled() const { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
};

// Reads lines (LF or CR LF) up to the end of the input or the first empty
// line, cuts each at the format's separator, converts its three coordinate
// fields and writes the line with the other fields unchanged, every field
// followed by the separator, ending with CR LF. A first line none of whose
// coordinate fields starts with a number is a header and is written as it
// is. A 0x1A byte that ends the input ends it as in DOS text files. A line
// whose coordinates or results are not finite, or whose height anomaly is
// unknown (outside the geoid grid, with the heights on), is written with its
// fields as they were.
class LineEngine {
public:
    // Takes the format (m_column, m_formatSeparator) and the conversion from
    // a copy of `session`, which must be prepared (PrepareConversion) and able
    // to convert (CanConvert). The equal-datum rule is applied to the copy.
    explicit LineEngine(const ConversionSession& session);

    static constexpr std::uint64_t kProgressLines = 65536;
    // The longest line converted unless SetLineLimit says otherwise: a
    // longer one stops the conversion (StreamResult::longLine), so that
    // memory stays bounded whatever the input.
    static constexpr std::size_t kDefaultLineLimit = std::size_t{64} << 20;

    // Converts `in` to `out`, in time linear in the input and in memory
    // bounded by the line limit, the block size and the threads; a failed
    // allocation ends it with StreamResult::outOfMemory.
    StreamResult Convert(std::FILE* in, std::FILE* out, const StreamControl& control = {});
    // The same into a file (written, not flushed to disk).
    StreamResult Convert(std::FILE* in, CFile& out, const StreamControl& control = {});

    // What ConvertLine found in a line, as bits.
    static constexpr unsigned kTextAfterLastSeparator = 1;  // left out of the output
    static constexpr unsigned kNotNumbers = 2;  // a coordinate field is not a number
    static constexpr unsigned kHeaderLine = 4;  // `first` and a header: written as it is
    static constexpr unsigned kNotFinite = 8;   // a coordinate or result is not finite
    static constexpr unsigned kOutsideGeoid = 16;  // no height anomaly: written as it is
    static constexpr unsigned kExtrapolated = 32;  // the height model extrapolates

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
    // The longest line, line end excluded, in bytes (at least 1).
    void SetLineLimit(std::size_t bytes) { m_lineLimit = bytes < 1 ? 1 : bytes; }
    std::size_t LineLimit() const { return m_lineLimit; }

private:
    StreamResult ConvertTo(std::FILE* in, LineWriter& writer, const StreamControl& control);
    StreamResult ConvertInBlocks(std::FILE* in, LineWriter& writer, const StreamControl& control);
    // What every conversion does at its end: writes the rest, reports the
    // last progress and notes the failures.
    static void Finish(StreamResult& result, LineWriter& writer, std::uint64_t bytes,
                       bool readFailed, int readError, const StreamControl& control);
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
    std::size_t m_lineLimit = kDefaultLineLimit;
};
