// The batch: every chosen source file converted into an output file beside
// it, with the guards that keep every source file as it was unless it is
// meant to be replaced and can be replaced whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "batch/LineEngine.h"

class ConversionSession;

// Why a source produced no listed output.
enum class SkipReason {
    SourceUnreadable,        // the source cannot be opened
    OutputUncreatable,       // the output cannot be created
    OutputIsSource,          // the output path names the source itself
    OutputIsOtherSource,     // the output path names another source of the batch
    ReadFailed,              // reading the source failed part way
    WriteFailed,             // writing the output failed part way
    DataAfterEmptyLine,      // overwrite: lines after an empty line would be lost
    NotNumbers,              // overwrite: coordinate fields that are not numbers would be lost
    TextAfterLastSeparator,  // overwrite: text after a line's last separator would be lost
    ReplaceFailed,           // overwrite: the source could not be replaced; it is unchanged
};

struct SkippedFile {
    std::string source;
    std::string output;  // the path that was or would have been written
    SkipReason reason = SkipReason::SourceUnreadable;
    std::string message;  // for the user, in Chinese
};

struct ConvertedFile {
    std::string source;
    std::string output;  // the listed path: the source itself under overwrite
    StreamResult stream;
};

// What became of one source.
struct FileOutcome {
    bool converted = false;
    ConvertedFile file;   // when converted
    SkippedFile skipped;  // otherwise
};

// The sources of one batch and how their outputs are named. Every output is
// checked against all the sources, so no source of the batch is written over.
class BatchPlan {
public:
    BatchPlan(std::vector<std::string> sources, std::string extension, int naming);

    const std::vector<std::string>& Sources() const { return m_sources; }

    // Converts one source with `engine`: output path, guards, conversion and,
    // under overwrite, the replacement of the source. Only reads the plan, so
    // several threads may convert different sources, each with its own engine.
    FileOutcome ConvertFile(LineEngine& engine, const std::string& source,
                            const LineEngine::Progress& progress = {}) const;

private:
    struct FileId {
        unsigned long long dev, ino;
        bool operator==(const FileId&) const = default;
    };
    static bool IdOf(const std::string& path, FileId* id);

    std::vector<std::string> m_sources;
    std::vector<FileId> m_sourceIds;
    std::string m_extension;
    int m_naming;
};

struct BatchCallbacks {
    // After each finished file, in order; the output is already in m_outputFiles.
    std::function<void(const ConvertedFile&)> fileConverted;
    std::function<void(const SkippedFile&)> fileSkipped;
};

struct BatchResult {
    bool started = false;  // false: nothing was read or written (see error)
    std::string error;
    std::vector<ConvertedFile> converted;
    std::vector<SkippedFile> skipped;
};

// The message when a session cannot convert (CanConvert is false).
extern const char kCannotConvertMessage[];

// Converts the first m_sourceFileCount entries of m_sourceFiles in order
// with the session's chosen format and naming choice. The caller has read
// its controls into the session and run PrepareConversion; the equal-datum
// rule is applied to the session here. m_outputFiles is refilled from entry 0
// with the listed path of each converted file. A session that cannot convert
// (CanConvert) starts nothing.
BatchResult RunBatch(ConversionSession& session, const BatchCallbacks& callbacks = {});

// The message for the user after a batch: the skipped files with their
// reasons, then the converted files with coordinates that are not whole
// numbers; empty when there is nothing to tell.
std::string BatchReport(const BatchResult& result);

// The lines of a converted stream whose coordinates are not whole numbers,
// for the user: "第2、5、9行（共3行）", with "等" when more than the
// listed ones.
std::string NonNumberLinesText(const StreamResult& stream);

// Replaces `target` by a copy of `source` through a temporary file renamed
// over it: on failure `target` is as it was. Returns false with the user's
// message in `error`.
bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error);
