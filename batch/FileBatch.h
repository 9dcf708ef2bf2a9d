// The batch: every chosen source file converted into an output file beside
// it, with the guards that keep every source file as it was unless it is
// meant to be replaced and can be replaced whole.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/LineEngine.h"
#include "platform/Platform.h"

class ConversionSession;
class CWriteSlot;

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
    InUseByOtherRun,         // another run (process `holder`) writes the output or the source
    OutputAppeared,          // the output was made by someone else while the batch ran
    NotFinite,               // overwrite: lines whose numbers cannot be carried would change
    OutsideGeoid,            // overwrite: lines outside the geoid grid would stay unconverted
    LineTooLong,             // a line is longer than the line limit; no output
    OutOfMemory,             // memory ran out; no output
    Cancelled,               // the cancel flag stopped it; no output
};

struct SkippedFile {
    std::string source;
    std::string output;  // the path that was or would have been written
    SkipReason reason = SkipReason::SourceUnreadable;
    std::string message;  // for the user, in Chinese
    int errorNumber = 0;  // the system's error number, where one is the cause
    std::string earlier;  // the earlier source a repeated source or shared output refers to
    StreamResult stream;  // of the conversion, when the source was converted but kept
    std::string busy;     // InUseByOtherRun: the file the other run holds
    long long holder = 0;  // InUseByOtherRun: its process id, 0 when unknown
};

// A file that a run killed while writing it in place left with its old bytes
// in a named copy, found when the next plan was made.
struct InterruptedWrite {
    std::string path;
    std::string backup;     // the copy of the old bytes
    bool restored = false;  // put back (and the copy removed); else still in `backup`
    int errorNumber = 0;    // why it could not be put back
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
// file that exists already (a symbolic link too, even a dangling one) is
// replaced only when ReplaceExisting allows it.
//
// Before that, the plan claims every file the batch will write (each output,
// and under overwrite each source) with a CWriteSlot, held until the plan is
// destroyed: a file another run holds skips its source (InUseByOtherRun), and
// what a killed run left is taken over: its temporary files are reused, and a
// file it was writing in place gets its old bytes back (Interrupted).
//
// Each output is written to its temporary file and takes its final name only
// when complete; an output never goes through a symbolic link, the link
// itself is replaced. A replaced file keeps its owner, group and mode, or is
// written in place through a named copy of its old bytes (CAtomicFile).
class BatchPlan {
public:
    BatchPlan(std::vector<std::string> sources, std::string extension, int naming);
    ~BatchPlan();
    BatchPlan(const BatchPlan&) = delete;
    BatchPlan& operator=(const BatchPlan&) = delete;

    // Files found half written by a killed run, as the plan left them.
    const std::vector<InterruptedWrite>& Interrupted() const { return m_interrupted; }

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
    // `control` sees the conversion's progress and may cancel it.
    FileOutcome ConvertFile(LineEngine& engine, std::size_t index,
                            const StreamControl& control = {}) const;

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
        int outputSlot = -1;              // in m_slots
        int sourceSlot = -1;              // under overwrite
        std::string busy;                 // the file another run holds
        long long holder = 0;
    };
    // Claims `path`; the index in m_slots, or -1 when another run holds it
    // (*busy, *holder) or no claim can be made (the write then fails as it would).
    int Claim(const std::string& path, std::map<std::string, int>& claimed, std::string* busy,
              long long* holder);
    // Decides each source's skip; returns the existing outputs that are replaced.
    std::vector<std::string> Decide(bool replace);

    std::vector<std::string> m_sources;
    std::vector<Entry> m_entries;
    std::vector<std::string> m_existing;
    std::string m_extension;
    int m_naming;
    std::vector<std::unique_ptr<CWriteSlot>> m_slots;
    std::vector<InterruptedWrite> m_interrupted;
};

// How far a batch has come, for a progress display.
struct BatchProgress {
    std::size_t filesDone = 0;   // sources finished, skipped ones included
    std::size_t filesTotal = 0;  // sources of the batch
    std::size_t file = 0;        // the source being converted (index); after one, the next
    std::uint64_t linesInFile = 0;  // lines written of the current source
    std::uint64_t linesDone = 0;    // lines written of all sources so far
    std::uint64_t bytesInFile = 0;  // input taken of the current source
};

struct BatchCallbacks {
    // After each finished file, in order; the output is already in m_outputFiles.
    std::function<void(const ConvertedFile&)> fileConverted;
    std::function<void(const SkippedFile&)> fileSkipped;
    // Once the plan is made, before anything is written, with the outputs
    // that exist already; without it they are kept.
    std::function<ExistingOutputs(const std::vector<std::string>& existing)> beforeStart;
    // Between blocks of lines of each source (not for each line) and after
    // each source, on the thread that runs the batch.
    std::function<void(const BatchProgress&)> progress;
    // Read at the same points, from any thread: once set, the source being
    // converted stops and leaves no output under its final name, and the
    // sources after it are not started (BatchResult::cancelledSources).
    const std::atomic<bool>* cancel = nullptr;
};

struct BatchResult {
    bool started = false;  // false: nothing was read or written (see error)
    bool cancelled = false;  // beforeStart chose Cancel
    std::string error;
    std::vector<ConvertedFile> converted;
    std::vector<SkippedFile> skipped;
    // Sources the cancel flag stopped or kept from starting, in order.
    std::vector<std::string> cancelledSources;
    std::vector<InterruptedWrite> interrupted;
};

// The message when a session cannot convert (CanConvert is false).
extern const char kCannotConvertMessage[];

// Converts the first m_sourceFileCount entries of m_sourceFiles in order
// with the session's chosen format and naming choice. The caller has read
// its controls into the session and run PrepareConversion; the equal-datum
// rule is applied to the session here. m_outputFiles is refilled from entry 0
// with the listed path of each converted file. A session that cannot convert
// (CanConvert) starts nothing, and neither does Cancel in beforeStart.
// RunBatch may run on a worker thread while the session is left alone
// meanwhile; the callbacks are called on that thread, and `cancel` may be
// set from any other.
BatchResult RunBatch(ConversionSession& session, const BatchCallbacks& callbacks = {});

// The message for the user after a batch: files put back from an
// interrupted run, the skipped files with their reasons, the cancelled ones,
// then the converted files with coordinates that are not whole numbers or
// not finite, with points outside the geoid grid or where the height model
// extrapolates; empty when there is nothing to tell.
std::string BatchReport(const BatchResult& result);

// The lines of a converted stream whose coordinates are not whole numbers,
// for the user: "第2、5、9行（共3行）", with "等" when more than the
// listed ones.
std::string NonNumberLinesText(const StreamResult& stream);
// The same for the lines whose numbers are not finite.
std::string UnrepresentableLinesText(const StreamResult& stream);
// The same for the lines outside the geoid grid, and for those where the
// height model extrapolates.
std::string OutsideGeoidLinesText(const StreamResult& stream);
std::string ExtrapolatedLinesText(const StreamResult& stream);

// Why a session whose heights cannot convert (CheckHeights) converts
// nothing; empty when they can.
std::string HeightsProblemMessage(const ConversionSession& session);

// Replaces `target` by a copy of `source` as CAtomicFile writes: a target
// the user may not write is refused, and on failure `target` is as it was.
// Returns false with the user's message in `error` and the system's error
// number in `osError`.
// `slot`: the claimed temporary of `target` to write to.
bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error,
                         int* osError = nullptr, CWriteSlot* slot = nullptr);
