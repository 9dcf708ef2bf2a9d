// The batch: every chosen source file converted into an output file beside
// it, with the guards that keep every source file as it was unless it is
// meant to be replaced and can be replaced whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/LineEngine.h"
#include "platform/Platform.h"

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
    RepeatedSource,          // an earlier source of the batch is the same file: converted once
    OutputOfEarlierSource,   // an earlier source of the batch writes the same output
    OutputExists,            // the output existed before the batch and is kept
};

struct SkippedFile {
    std::string source;
    std::string output;  // the path that was or would have been written
    SkipReason reason = SkipReason::SourceUnreadable;
    std::string message;  // for the user, in Chinese
    int errorNumber = 0;  // the system's error number, where one is the cause
    std::string earlier;  // the earlier source a repeated source or shared output refers to
    StreamResult stream;  // of the conversion, when the source was converted but kept
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

// What becomes of output files that exist before the batch.
enum class ExistingOutputs {
    Keep,     // their sources are skipped and reported
    Replace,  // they are replaced
    Cancel,   // no batch
};

// The sources of one batch and how their outputs are named. Everything that
// decides whether a source is converted is examined when the plan is made,
// before anything is written: a source that an earlier source of the batch
// already is (the same file, also through another name) is converted once;
// no output is written twice, nor over a source of the batch; and an output
// file that exists already is replaced only when ReplaceExisting allows it.
class BatchPlan {
public:
    BatchPlan(std::vector<std::string> sources, std::string extension, int naming);

    const std::vector<std::string>& Sources() const { return m_sources; }

    // The output files that exist before the batch and that converting would
    // replace, each once, in the order of their sources.
    const std::vector<std::string>& ExistingOutputs() const { return m_existing; }
    // Whether those are replaced; until this is called they are kept and
    // their sources skipped.
    void ReplaceExisting(bool replace);

    // Converts source `index` with `engine`: guards, conversion and, under
    // overwrite, the replacement of the source. Only reads the plan, so
    // several threads may convert different sources, each with its own engine.
    FileOutcome ConvertFile(LineEngine& engine, std::size_t index,
                            const LineEngine::Progress& progress = {}) const;

private:
    using FileId = Platform::FileId;
    struct Entry {
        std::string output;
        std::optional<FileId> sourceId;
        bool sourceReadable = false;      // it exists and is no folder
        std::optional<FileId> outputId;   // of an output that exists
        std::string outputKey;            // the same for every path of one output file
        std::optional<SkipReason> guard;  // skipped whatever the user chooses
        std::optional<SkipReason> skip;   // the guard, or what ReplaceExisting decided
        std::size_t earlier = 0;          // the source that `skip` refers to
    };
    // Decides each source's skip; returns the existing outputs that are replaced.
    std::vector<std::string> Decide(bool replace);

    std::vector<std::string> m_sources;
    std::vector<Entry> m_entries;
    std::vector<std::string> m_existing;
    std::string m_extension;
    int m_naming;
};

struct BatchCallbacks {
    // After each finished file, in order; the output is already in m_outputFiles.
    std::function<void(const ConvertedFile&)> fileConverted;
    std::function<void(const SkippedFile&)> fileSkipped;
    // Once the plan is made, before anything is written, with the outputs
    // that exist already; without it they are kept.
    std::function<ExistingOutputs(const std::vector<std::string>& existing)> beforeStart;
};

struct BatchResult {
    bool started = false;  // false: nothing was read or written (see error)
    bool cancelled = false;  // beforeStart chose Cancel
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
// (CanConvert) starts nothing, and neither does Cancel in beforeStart.
BatchResult RunBatch(ConversionSession& session, const BatchCallbacks& callbacks = {});

// The message for the user after a batch: the skipped files with their
// reasons, then the converted files with coordinates that are not whole
// numbers; empty when there is nothing to tell.
std::string BatchReport(const BatchResult& result);

// The lines of a converted stream whose coordinates are not whole numbers,
// for the user: "第2、5、9行（共3行）", with "等" when more than the
// listed ones.
std::string NonNumberLinesText(const StreamResult& stream);

// Replaces `target` by a copy of `source` as CAtomicFile writes: a target
// the user may not write is refused, and on failure `target` is as it was.
// Returns false with the user's message in `error` and the system's error
// number in `osError`.
bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error,
                         int* osError = nullptr);
