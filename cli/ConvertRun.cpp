#include "cli/ConvertRun.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>
#include <utility>

#include "batch/FileBatch.h"
#include "batch/FileFormat.h"
#include "batch/FilePoint.h"
#include "batch/FormatStore.h"
#include "batch/LineEngine.h"
#include "batch/OutputPath.h"
#include "cli/Progress.h"
#include "io/ArchiveException.h"
#include "io/FileException.h"
#include "platform/Platform.h"
#include "session/AppPaths.h"
#include "session/GeoidFiles.h"

namespace {

const char kProgram[] = "terrax-convert";

// Work counts as long, and gets a progress bar, from this size or file count on.
constexpr std::uint64_t kLongWorkBytes = std::uint64_t{32} << 20;
constexpr std::size_t kLongWorkFiles = 20;
constexpr std::chrono::milliseconds kProgressDelay{500};

void Report(std::FILE* err, const std::string& text) {
    std::fprintf(err, "%s: %s\n", kProgram, text.c_str());
}

std::string Quoted(const std::string& text) {
    std::string out(1, '\'');
    out += text;
    out += '\'';
    return out;
}

std::string SystemMessage(int err) { return std::strerror(err != 0 ? err : EIO); }

// A known format list is cut after this many names.
constexpr std::size_t kListedFormats = 30;

// The test hook of KillAfterLinesForTests; 0 for none.
std::uint64_t g_killAfterLines = 0;

void KillAtLines(std::uint64_t lines) {
    if (g_killAfterLines != 0 && lines >= g_killAfterLines) Platform::TerminateNow();
}

// Flushes standard output and tells whether everything written to it arrived.
bool OutputWritten(std::FILE* out) { return std::fflush(out) == 0 && !std::ferror(out); }

int OutputFailed(const RunStreams& streams) {
    const int err = errno;
    Report(streams.err, "cannot write to standard output: " + SystemMessage(err));
    return kExitSetup;
}


// Why a project file did not load, in the words of this program.
std::string ProjectLoadError(ConversionSession& s, const std::string& path) {
    try {
        s.ReadProject(path);
        return {};
    } catch (const CFileException& e) {
        return SystemMessage(e.m_lOsError);
    } catch (const CArchiveException& e) {
        if (e.m_cause == CArchiveException::endOfFile) {
            return "it ends early: it is incomplete or damaged";
        }
        return "it cannot be read";
    } catch (const CException&) {
        return "it cannot be read";
    }
}

// The chosen format of the session: a format of the store, or the one the
// options describe.
bool ChooseFormat(const ConvertOptions& o, const std::string& appDir, FormatChoice& p,
                  std::string* error) {
    FileFormat format;
    int index = 0;
    if (o.format) {
        const std::string path = o.store ? *o.store : FormatStorePath(appDir);
        std::vector<FileFormat> formats;
        std::string message;
        int osError = 0;
        switch (LoadFormatStore(path, &formats, &message, &osError)) {
            case StoreStatus::Missing:
                *error = "the format store " + Quoted(path) + " does not exist";
                return false;
            case StoreStatus::Failed:
                *error = "cannot read the format store " + Quoted(path) + ": " +
                         SystemMessage(osError);
                return false;
            case StoreStatus::Loaded:
                break;
        }
        auto found = std::find_if(formats.begin(), formats.end(),
                                  [&](const FileFormat& f) { return f.name == *o.format; });
        if (found == formats.end()) {
            *error = "no format named " + QuoteValue(*o.format) + " in " + Quoted(path);
            if (formats.empty()) {
                *error += ", which holds no formats";
            } else {
                *error += "; its formats are:";
                for (std::size_t i = 0; i < formats.size() && i < kListedFormats; ++i) {
                    *error += ' ';
                    *error += QuoteValue(formats[i].name);
                }
                if (formats.size() > kListedFormats) {
                    *error += " and " + std::to_string(formats.size() - kListedFormats) + " more";
                }
            }
            return false;
        }
        index = static_cast<int>(found - formats.begin());
        format = *found;
    } else if (o.items) {
        format.separator = o.separator.value_or(",");
        for (const std::string& item : *o.items) format.itemLine += item + format.separator;
    } else {
        *error = "no file format: give --format NAME, or --items LIST (and --separator)";
        return false;
    }
    if (o.extension) {
        format.extension = *o.extension;
    } else if (o.format && !format.extension.empty()) {
        // A stored extension obeys the rule of --extension.
        const std::string_view ext = StripExtension(format.extension);
        if (!IsUsableExtension(ext)) {
            *error = "the extension of the format " + QuoteValue(format.name) + " is " +
                     QuoteValue(format.extension) +
                     ", which cannot name a file beside its source (give --extension EXT)";
            return false;
        }
        format.extension = std::string(ext);
    }
    if (format.separator.empty()) {
        *error = "the format " + QuoteValue(format.name) + " has no separator";
        return false;
    }
    if (!IsUsableSeparator(format.separator)) {
        *error = "the separator of the format " + QuoteValue(format.name) + " is " +
                 QuoteValue(format.separator) + "; lines can only be cut at ',' or ' '";
        return false;
    }
    DeriveColumns(format, p.m_column);
    p.m_formatName = format.name;
    p.m_formatExtension = format.extension;
    p.m_formatSeparator = format.separator;
    p.m_formatIndex = index;
    return true;
}

// `writesLines`: the converted lines go to standard output.
bool WantsProgress(const ConvertOptions& o, const RunStreams& streams, std::uint64_t bytes,
                   std::size_t files, bool writesLines) {
    if (o.progress == ProgressMode::Off || !streams.errIsTerminal) return false;
    if (streams.outOnErrTerminal && writesLines) return false;
    if (o.progress == ProgressMode::On) return true;
    // Of an input of unknown size only the time tells; the delay sees to that.
    return bytes == 0 || bytes >= kLongWorkBytes || files >= kLongWorkFiles;
}

std::uint64_t StreamSize(std::FILE* f) {
    Platform::FileStatus status;
    return Platform::StatusOfStream(f, &status) ? status.size : 0;
}

// Notes about a converted stream that did not write all of its input.
// "2 lines whose coordinates are not whole numbers or angles (lines 3, 4)".
std::string NonNumberLinesNote(const StreamResult& r) {
    std::string numbers;
    for (std::uint64_t n : r.nonNumberLineNumbers) {
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    }
    if (r.nonNumberLines > r.nonNumberLineNumbers.size()) numbers += ", ...";
    return std::to_string(r.nonNumberLines) + (r.nonNumberLines == 1 ? " line" : " lines") +
           " whose coordinates are not whole numbers or angles (" +
           (r.nonNumberLines == 1 ? "line " : "lines ") + numbers + ")";
}

// "2 lines whose numbers are beyond what a double carries (lines 3, 4)".
std::string UnrepresentableLinesNote(const StreamResult& r) {
    std::string numbers;
    for (std::uint64_t n : r.unrepresentableLineNumbers) {
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    }
    if (r.unrepresentableLines > r.unrepresentableLineNumbers.size()) numbers += ", ...";
    return std::to_string(r.unrepresentableLines) +
           (r.unrepresentableLines == 1 ? " line" : " lines") +
           " whose coordinates or results are not finite numbers (" +
           (r.unrepresentableLines == 1 ? "line " : "lines ") + numbers + ")";
}

// "2 lines (lines 3, 4)"; `count` lines of which `listed` are numbered.
std::string CountedLines(std::uint64_t count, const std::vector<std::uint64_t>& listed) {
    std::string numbers;
    for (std::uint64_t n : listed) numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    if (count > listed.size()) numbers += ", ...";
    return std::to_string(count) + (count == 1 ? " line" : " lines") + " (" +
           (count == 1 ? "line " : "lines ") + numbers + ")";
}

std::string OutsideGeoidNote(const StreamResult& r) {
    return CountedLines(r.outsideGeoidLines, r.outsideGeoidLineNumbers) +
           " whose points lie outside the geoid grid, so that their height anomaly is unknown";
}

std::vector<std::string> LeftOutNotes(const std::string& what, const StreamResult& r) {
    std::vector<std::string> notes;
    if (r.dataAfterEmptyLine) {
        notes.push_back(what + " has lines after an empty line; reading stopped there");
    }
    if (r.textAfterLastSeparator) {
        notes.push_back(what + " has lines with text after their last separator; it was left out");
    }
    if (r.nonNumberLines > 0) {
        notes.push_back(what + " has " + NonNumberLinesNote(r) +
                        "; only the number they start with was read, 0 where there is none");
    }
    if (r.unrepresentableLines > 0) {
        notes.push_back(what + " has " + UnrepresentableLinesNote(r) +
                        "; they were written as they were");
    }
    if (r.outsideGeoidLines > 0) {
        notes.push_back(what + " has " + OutsideGeoidNote(r) + "; they were written as they were");
    }
    if (r.extrapolatedLines > 0) {
        notes.push_back("warning: " + what + " has " +
                        CountedLines(r.extrapolatedLines, r.extrapolatedLineNumbers) +
                        " whose points lie outside the common points of the height model by "
                        "more than its margin; their height anomaly is extrapolated");
    }
    return notes;
}

int ConvertStream(const RunPlan& plan, const ConvertOptions& o, const RunStreams& streams) {
    LineEngine engine(plan.session);
    engine.SetThreads(plan.threads);
    engine.SetLineLimit(plan.lineLimit);
    const std::uint64_t size = StreamSize(streams.in);
    std::optional<ProgressBar> bar;
    if (WantsProgress(o, streams, size, 1, true)) {
        bar.emplace(streams.err, size, 1,
                    o.progress == ProgressMode::On ? std::chrono::milliseconds(0) : kProgressDelay);
    }
    std::uint64_t bytesRead = 0;
    StreamControl control;
    control.progress = [&](const StreamProgress& p) {
        KillAtLines(p.lines);
        bytesRead = p.bytes;
        if (bar) bar->Update(p.bytes, 0);
    };
    const StreamResult r = engine.Convert(streams.in, streams.out, control);
    if (bar) bar->Update(bytesRead, 0, true);
    bar.reset();
    if (r.writeFailed) {
        Report(streams.err, "cannot write to standard output: " + SystemMessage(r.errorNumber));
        return kExitSetup;
    }
    if (r.outOfMemory) {
        Report(streams.err, "out of memory at line " + std::to_string(r.lines + 1) +
                                " of the input; the output is incomplete");
        return kExitSkipped;
    }
    if (r.longLine != 0) {
        Report(streams.err, "line " + std::to_string(r.longLine) + " of the input is longer than " +
                                std::to_string(engine.LineLimit()) +
                                " bytes (--max-line-bytes); the output stops before it");
        return kExitSkipped;
    }
    if (r.readFailed) {
        Report(streams.err, "reading the input failed: " + SystemMessage(r.errorNumber));
        return kExitSkipped;
    }
    for (const std::string& note : LeftOutNotes("the input", r)) Report(streams.err, note);
    if (o.verbose) {
        Report(streams.err, std::to_string(r.lines - (r.headerLine ? 1 : 0)) + " lines converted" +
                                (r.headerLine ? ", the header line copied" : ""));
    }
    return kExitConverted;
}

int ConvertFiles(const RunPlan& plan, const ConvertOptions& o, const RunStreams& streams) {
    const FormatChoice& fmt = plan.session.m_format;
    const std::vector<std::string>& sources = plan.sources;
    const std::size_t count = sources.size();
    // Which sources are converted is settled before any file is written.
    BatchPlan batch(sources, fmt.m_formatExtension, fmt.m_naming);
    batch.ReplaceExisting(o.overwrite);
    for (const InterruptedWrite& w : batch.Interrupted()) {
        Report(streams.err, w.restored ? "restored " + Quoted(w.path) +
                                             ": an earlier run was killed while writing it; its "
                                             "old bytes were put back"
                                       : "an earlier run was killed while writing " +
                                             Quoted(w.path) + "; its old bytes are in " +
                                             Quoted(w.backup) + " (" +
                                             SystemMessage(w.errorNumber) + ")");
    }
    const std::vector<std::vector<std::size_t>> groups =
        SerialGroups(sources, fmt.m_formatExtension, fmt.m_naming);

    std::vector<std::uint64_t> sizes(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        Platform::FileStatus status;
        if (Platform::StatusOf(sources[i], &status)) sizes[i] = status.size;
    }
    std::optional<ProgressBar> bar;
    if (WantsProgress(o, streams, plan.sourceBytes, count, false)) {
        bar.emplace(streams.err, plan.sourceBytes, count,
                    o.progress == ProgressMode::On ? std::chrono::milliseconds(0) : kProgressDelay);
    }

    std::size_t skipped = 0;
    auto report = [&](const FileOutcome& outcome) {
        std::vector<std::string> lines;
        if (outcome.converted) {
            const ConvertedFile& f = outcome.file;
            lines = LeftOutNotes(Quoted(f.source), f.stream);
            if (o.verbose) lines.push_back(f.source + " -> " + f.output);
        } else if (outcome.skipped.reason == SkipReason::RepeatedSource) {
            // Converted once already: nothing is missing.
            lines.push_back("ignored " + Quoted(outcome.skipped.source) + ": " +
                            SkipText(outcome.skipped));
        } else {
            ++skipped;
            lines.push_back("skipped " + Quoted(outcome.skipped.source) + ": " +
                            SkipText(outcome.skipped));
        }
        if (bar && !lines.empty()) bar->Clear();
        for (const std::string& line : lines) Report(streams.err, line);
    };

    const std::size_t workers =
        std::min<std::size_t>(static_cast<std::size_t>(plan.threads), groups.size());
    if (workers <= 1) {
        // One file at a time; the engine may still use every thread on each.
        LineEngine engine(plan.session);
        engine.SetThreads(plan.threads);
        engine.SetLineLimit(plan.lineLimit);
        std::uint64_t doneBytes = 0;
        for (std::size_t i = 0; i < count; ++i) {
            StreamControl control;
            control.progress = [&](const StreamProgress& progress) {
                KillAtLines(progress.lines);
                if (bar) bar->Update(doneBytes + progress.bytes, i);
            };
            report(batch.ConvertFile(engine, i, control));
            doneBytes += sizes[i];
            if (bar) bar->Update(doneBytes, i + 1);
        }
        if (bar) bar->Update(doneBytes, count, true);
        return skipped == 0 ? kExitConverted : kExitSkipped;
    }

    // A thread per core, each with its own engine, taking whole groups;
    // outcomes are reported in the order of the sources.
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<std::optional<FileOutcome>> outcomes(count);
    std::atomic<std::size_t> nextGroup{0};
    std::vector<std::atomic<std::uint64_t>> current(workers);
    std::uint64_t doneBytes = 0;
    std::size_t doneFiles = 0;
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            LineEngine engine(plan.session);
            engine.SetLineLimit(plan.lineLimit);
            StreamControl control;
            control.progress = [&current, w](const StreamProgress& progress) {
                KillAtLines(progress.lines);
                current[w] = progress.bytes;
            };
            for (std::size_t g = nextGroup++; g < groups.size(); g = nextGroup++) {
                for (std::size_t i : groups[g]) {
                    FileOutcome outcome = batch.ConvertFile(engine, i, control);
                    current[w] = 0;
                    {
                        std::lock_guard lock(mutex);
                        outcomes[i] = std::move(outcome);
                        doneBytes += sizes[i];
                        ++doneFiles;
                    }
                    finished.notify_one();
                }
            }
        });
    }
    for (std::size_t next = 0; next < count;) {
        std::unique_lock lock(mutex);
        finished.wait_for(lock, std::chrono::milliseconds(100),
                          [&] { return outcomes[next].has_value(); });
        while (next < count && outcomes[next]) {
            report(*outcomes[next]);
            outcomes[next].reset();
            ++next;
        }
        if (bar) {
            std::uint64_t bytes = doneBytes;
            for (const auto& c : current) bytes += c;
            bar->Update(bytes, doneFiles);
        }
    }
    for (std::thread& t : threads) t.join();
    if (bar) bar->Update(doneBytes, count, true);
    return skipped == 0 ? kExitConverted : kExitSkipped;
}

}  // namespace

void KillAfterLinesForTests(std::uint64_t lines) { g_killAfterLines = lines; }

bool WriteOutput(const std::string& text, const RunStreams& streams, int* status) {
    std::fputs(text.c_str(), streams.out);
    if (OutputWritten(streams.out)) return true;
    *status = OutputFailed(streams);
    return false;
}

std::string SkipText(const SkippedFile& f) {
    const std::string output = Quoted(f.output);
    const std::string why = SystemMessage(f.errorNumber);
    switch (f.reason) {
        case SkipReason::SourceUnreadable:
            return "cannot read it: " + why;
        case SkipReason::OutputUncreatable:
            return "cannot create " + output + ": " + why;
        case SkipReason::OutputIsSource:
            return "its output " + output + " is the file itself; it was left as it was";
        case SkipReason::OutputIsOtherSource:
            return "its output " + output + " is another source of this run, which was kept";
        case SkipReason::ReadFailed:
            return "reading it failed: " + why + "; " + output + " was not made";
        case SkipReason::WriteFailed:
            return "writing " + output + " failed: " + why + "; it was not made";
        case SkipReason::InUseByOtherRun:
            return Quoted(f.busy) + " is being written by another run" +
                   (f.holder != 0 ? " (process " + std::to_string(f.holder) + ")" : "") +
                   "; it was not converted";
        case SkipReason::OutputAppeared:
            return "its output " + output +
                   " was made by another program during the run and was kept; it was not "
                   "converted";
        case SkipReason::NotFinite:
            return "it has " + UnrepresentableLinesNote(f.stream) +
                   ", written as they were; it was kept as it was and the conversion is in " +
                   output;
        case SkipReason::OutsideGeoid:
            return "it has " + OutsideGeoidNote(f.stream) +
                   ", written as they were; it was kept as it was and the conversion is in " +
                   output;
        case SkipReason::LineTooLong:
            return "line " + std::to_string(f.stream.longLine) +
                   " is longer than the line limit (--max-line-bytes); " + output + " was not made";
        case SkipReason::OutOfMemory:
            return "memory ran out while converting it; " + output + " was not made";
        case SkipReason::Cancelled:
            return "the run was cancelled; " + output + " was not made";
        case SkipReason::DataAfterEmptyLine:
            return "it has lines after an empty line, which would be lost; it was kept as it "
                   "was and the conversion is in " +
                   output;
        case SkipReason::TextAfterLastSeparator:
            return "it has lines with text after their last separator, which would be lost; it "
                   "was kept as it was and the conversion is in " +
                   output;
        case SkipReason::NotNumbers:
            return "it has " + NonNumberLinesNote(f.stream) +
                   ", read only as far as they are numbers; it was kept as it was and the "
                   "conversion is in " +
                   output;
        case SkipReason::ReplaceFailed:
            return "it could not be replaced: " + why + "; it was kept as it was and the "
                   "conversion is in " +
                   output;
        case SkipReason::RepeatedSource:
            if (f.earlier == f.source) return "it is named more than once; it was converted once";
            return "it is the same file as " + Quoted(f.earlier) + "; it was converted once";
        case SkipReason::OutputOfEarlierSource:
            return "its output " + output + " is written for " + Quoted(f.earlier) +
                   " in this run; it was not converted";
        case SkipReason::OutputExists:
            return "its output " + output +
                   " exists already and was kept (--overwrite replaces it); it was not converted";
    }
    return "it was not converted";
}

bool LoadSettings(const ConvertOptions& o, ConversionSession& s, std::string* error) {
    s = ConversionSession();
    if (!o.project.empty()) {
        const std::string message = ProjectLoadError(s, o.project);
        if (!message.empty()) {
            *error = "cannot load the project file " + Quoted(o.project) + ": " + message;
            return false;
        }
        // What the window's controls show after opening the project.
        s.m_useFour = s.m_params.m_savedUseFour;
        s.m_useSeven = s.m_params.m_savedUseSeven;
        s.m_sourceDatum = s.m_params.m_savedSourceDatum;
        s.m_targetDatum = s.m_params.m_savedTargetDatum;
    }
    ApplyParameterOptions(o.parameters, s);
    return true;
}

std::string LevelOneMissingText() {
    return "a plane to plane conversion goes through local level 1, which is not set (its K is "
           "0) and would turn every point into Xo, Yo: set level 1 with --local1 Xo,Yo,T,K or in "
           "the project";
}

bool LoadRunSettings(const ConvertOptions& o, ConversionSession& s, std::string* error) {
    if (!LoadSettings(o, s, error)) return false;
    if (o.sourceKind) s.m_sourceKind = *o.sourceKind;
    if (o.targetKind) s.m_targetKind = *o.targetKind;
    if (o.sourceDatum) s.m_sourceDatum = *o.sourceDatum;
    if (o.targetDatum) s.m_targetDatum = *o.targetDatum;
    if (o.useSeven) s.m_useSeven = *o.useSeven;
    if (o.useFour) s.m_useFour = *o.useFour;
    if (o.geoid) {
        // The geoid alone gives ζ: the project's model is left out.
        s.m_heights.model.reset();
        s.m_heights.geoid = *o.geoid == "egm96" ? std::string(kEgm96Name) : *o.geoid;
        s.m_heights.enabled = true;
    }
    if (o.heights) s.m_heights.enabled = *o.heights != 0;
    return true;
}

bool PrepareHeights(ConversionSession& s, const std::string& appDir, std::string* error) {
    if (!s.m_heights.enabled) return true;
    if (!s.m_heights.model && s.m_heights.geoid.empty()) {
        *error = "--heights on needs a height model in the project (高程拟合) or a geoid: give "
                 "--geoid egm96|FILE";
        return false;
    }
    if (!s.m_heights.NeedsGrid()) return true;
    std::string why;
    if (!s.OpenGeoidGrid(appDir, &why)) {
        if (s.m_heights.geoid == kEgm96Name) {
            *error = std::string("the EGM96 geoid grid ") + kEgm96FileName +
                     " is not beside the program, in $PROJ_DATA or in /usr/share/proj (Debian's "
                     "proj-data installs it)";
        } else {
            *error = "cannot use the geoid grid " + Quoted(s.m_heights.geoid) + ": " + why;
        }
        return false;
    }
    return true;
}

bool PlanRun(const ConvertOptions& o, const std::string& appDir, RunPlan* plan,
             std::string* error) {
    ConversionSession& s = plan->session;
    if (!LoadRunSettings(o, s, error)) return false;
    if (!PrepareHeights(s, appDir, error)) return false;
    if (!s.CanConvert()) {
        *error = "the project file sets source kind " + std::to_string(s.m_sourceKind) +
                 ", target kind " + std::to_string(s.m_targetKind) + ", source datum " +
                 std::to_string(s.m_sourceDatum) + " and target datum " +
                 std::to_string(s.m_targetDatum) +
                 "; kinds must be 0..2 and datums 0..4 (give --from, --to, --source-datum or "
                 "--target-datum)";
        return false;
    }
    if (!ChooseFormat(o, appDir, s.m_format, error)) return false;
    if (o.naming) s.m_format.m_naming = *o.naming;

    plan->fromStdin = o.files.empty() || (o.files.size() == 1 && o.files[0] == "-");
    plan->sources.clear();
    plan->sourceBytes = 0;
    if (!plan->fromStdin) {
        if (s.m_format.m_formatExtension.empty()) {
            *error = "the output files need an extension: give --extension EXT";
            return false;
        }
        for (const std::string& source : o.files) {
            Platform::FileStatus status;
            if (Platform::StatusOf(source, &status)) plan->sourceBytes += status.size;
            plan->sources.push_back(source);
        }
    }
    if (s.LevelOneMissing()) {
        *error = LevelOneMissingText();
        return false;
    }
    s.m_sourceFiles = plan->sources;
    s.m_sourceFileCount = static_cast<int>(plan->sources.size());

    s.PrepareConversion();
    ApplyEqualDatumRule(s);
    if (o.maxLineBytes) plan->lineLimit = *o.maxLineBytes;
    const unsigned cores = std::thread::hardware_concurrency();
    plan->threads = o.jobs > 0 ? o.jobs : static_cast<int>(std::max(1u, cores));
    return true;
}

int ExecuteRun(const RunPlan& plan, const ConvertOptions& options, const RunStreams& streams) {
    const int status = plan.fromStdin ? ConvertStream(plan, options, streams)
                                      : ConvertFiles(plan, options, streams);
    const std::string& project = options.estimate.saveProject;
    if (project.empty() || status == kExitSetup) return status;
    // What the window shows after the run's settings were chosen in it.
    ConversionSession s;
    std::string error;
    if (!LoadRunSettings(options, s, &error)) {
        Report(streams.err, error);
        return kExitSkipped;
    }
    s.PrepareConversion();
    return std::max(status, SaveRunProject(s, project, streams));
}

int SaveRunProject(ConversionSession& session, const std::string& path,
                   const RunStreams& streams) {
    try {
        session.WriteProject(path);
    } catch (const CFileException& failure) {
        Report(streams.err,
               "cannot save the project " + Quoted(path) + ": " + SystemMessage(failure.m_lOsError));
        return kExitSkipped;
    } catch (const CException&) {
        Report(streams.err, "cannot save the project " + Quoted(path));
        return kExitSkipped;
    }
    return kExitConverted;
}

std::vector<std::vector<std::size_t>> SerialGroups(const std::vector<std::string>& sources,
                                                   const std::string& extension, int naming) {
    const std::size_t n = sources.size();
    std::vector<std::size_t> parent(n);
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    auto root = [&](std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    auto unite = [&](std::size_t a, std::size_t b) {
        a = root(a);
        b = root(b);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
    };
    std::map<std::string, std::size_t> byOutput, byPath;
    std::map<Platform::FileId, std::size_t> byFile;
    for (std::size_t i = 0; i < n; ++i) {
        auto [o, newOutput] = byOutput.emplace(OutputPath(sources[i], extension, naming), i);
        if (!newOutput) unite(i, o->second);
        Platform::FileStatus status;
        if (Platform::StatusOf(sources[i], &status)) {
            auto [f, newFile] = byFile.emplace(status.id, i);
            if (!newFile) unite(i, f->second);
        } else {
            auto [q, newPath] = byPath.emplace(sources[i], i);
            if (!newPath) unite(i, q->second);
        }
    }
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::size_t, std::size_t> groupOfRoot;
    for (std::size_t i = 0; i < n; ++i) {
        auto [g, added] = groupOfRoot.emplace(root(i), groups.size());
        if (added) groups.emplace_back();
        groups[g->second].push_back(i);
    }
    return groups;
}
