// Converting a whole stream of point lines with the session's chosen format
// and conversion, line by line in constant memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ConversionSession.h"
#include "batch/FilePoint.h"
#include "batch/LineIO.h"

// What one stream conversion saw.
struct StreamResult {
    std::uint64_t lines = 0;          // lines converted and written
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
// followed by the separator, ending with CR LF.
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

    // Converts one line (without its line end) and appends the output line,
    // CR LF included, to `writer`. Returns true when text after the line's
    // last separator was left out.
    bool ConvertLine(std::string_view line, LineWriter& writer);

    char Separator() const { return m_separator; }

    // With more than one thread, Convert reads the input in blocks of whole
    // lines and converts them on that many threads, each with its own copy of
    // the engine, writing the blocks in their order: the output and the result
    // are those of the single-threaded loop.
    void SetThreads(int threads) { m_threads = threads < 1 ? 1 : threads; }
    int Threads() const { return m_threads; }

private:
    StreamResult ConvertInBlocks(std::FILE* in, std::FILE* out, const Progress& progress);

    ConversionSession m_session;
    char m_separator;
    int m_column[3];
    std::vector<std::string_view> m_fields;
    std::string m_texts[3];
    char m_results[3][kPointTextSize];
    int m_resultLengths[3] = {};
    int m_threads = 1;
};
