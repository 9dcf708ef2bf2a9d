#include "batch/FileBatch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

#include "batch/FilePoint.h"
#include "batch/OutputPath.h"
#include "io/AtomicFile.h"
#include "io/File.h"
#include "io/WriteSlot.h"
#include "io/FileException.h"
#include "platform/Platform.h"
#include "session/ConversionSession.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const std::string& path) { return "“" + path + "”"; }

std::string OsMessage(int err, const std::string& path, bool creating) {
    return CFileException(CFileException::CauseFromErrno(err, creating), path, err)
        .GetErrorMessage();
}

std::string SkipMessage(SkipReason reason, const std::string& source, const std::string& output,
                        int err, const std::string& earlier) {
    switch (reason) {
        case SkipReason::SourceUnreadable:
            return OsMessage(err, source, false);
        case SkipReason::OutputUncreatable:
            return OsMessage(err, output, true);
        case SkipReason::OutputIsSource:
            return "输出文件" + Quoted(output) + "就是源文件本身，未转换，源文件保持原样。";
        case SkipReason::OutputIsOtherSource:
            return "输出文件" + Quoted(output) + "是本批的另一个源文件，未转换，以免覆盖它。";
        case SkipReason::ReadFailed:
            return OsMessage(err, source, false) + "没有生成输出文件" + Quoted(output) + "。";
        case SkipReason::WriteFailed:
            return OsMessage(err, output, true) + "没有生成输出文件" + Quoted(output) + "。";
        case SkipReason::OutputAppeared:
            return "输出文件" + Quoted(output) + "在转换期间被别的程序建立，没有替换它，源文件" +
                   Quoted(source) + "未转换。";
        case SkipReason::OutOfMemory:
            return "内存不足，源文件" + Quoted(source) + "没有转换完，没有生成输出文件" +
                   Quoted(output) + "。";
        case SkipReason::Cancelled:
            return "源文件" + Quoted(source) + "的转换已取消，没有生成输出文件" + Quoted(output) +
                   "。";
        case SkipReason::DataAfterEmptyLine:
            return "源文件" + Quoted(source) +
                   "的空行之后还有数据，它们不会被转换；为免丢失，源文件没有被覆盖。转换结果在" +
                   Quoted(output) + "。";
        case SkipReason::TextAfterLastSeparator:
            return "源文件" + Quoted(source) +
                   "有的行在最后一个分隔符之后还有内容，它们不会写入结果；为免丢失，源文件没有被"
                   "覆盖。转换结果在" +
                   Quoted(output) + "。";
        case SkipReason::RepeatedSource:
            if (earlier == source) return "源文件" + Quoted(source) + "选了不止一次，只转换一次。";
            return "源文件" + Quoted(source) + "与" + Quoted(earlier) +
                   "是同一个文件，只转换一次。";
        case SkipReason::OutputOfEarlierSource:
            return "输出文件" + Quoted(output) + "已由本批的源文件" + Quoted(earlier) +
                   "写出，源文件" + Quoted(source) + "未转换，以免覆盖它。";
        case SkipReason::OutputExists:
            return "输出文件" + Quoted(output) + "在转换前已经存在，没有替换它，源文件" +
                   Quoted(source) + "未转换。";
        case SkipReason::NotNumbers:       // NotNumbersMessage
        case SkipReason::NotFinite:        // NotFiniteMessage
        case SkipReason::OutsideGeoid:     // OutsideGeoidMessage
        case SkipReason::LineTooLong:      // names the line
        case SkipReason::InUseByOtherRun:  // names the other run
        case SkipReason::ReplaceFailed:    // built where the failure is known
            break;
    }
    return {};
}

std::optional<Platform::FileId> IdOf(const std::string& path) {
    Platform::FileStatus status;
    if (!Platform::StatusOf(path, &status)) return std::nullopt;
    return status.id;
}

// The identity of the path itself: a symbolic link, dangling or not, is a
// file that exists.
std::optional<Platform::FileId> LinkIdOf(const std::string& path) {
    Platform::FileStatus status;
    if (!Platform::LinkStatusOf(path, &status)) return std::nullopt;
    return status.id;
}

// A text that is the same for every path of one output file: the file's
// identity when it exists, else its folder's identity and its name as the
// system compares names.
std::string OutputKey(const std::string& output, const std::optional<Platform::FileId>& id) {
    auto idText = [](const Platform::FileId& f) {
        return std::to_string(f.device) + ":" + std::to_string(f.index);
    };
    if (id) return "file " + idText(*id);
    const std::size_t slash = output.find_last_of(Platform::PathSeparators());
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? output.substr(0, 1)
                                                          : output.substr(0, slash);
    const std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
    if (const auto folderId = IdOf(folder)) {
        return "in " + idText(*folderId) + " " + Platform::NameKey(name);
    }
    return "path " + output;
}

std::string NotNumbersMessage(const std::string& source, const std::string& output,
                              const StreamResult& stream) {
    return "源文件" + Quoted(source) + NonNumberLinesText(stream) +
           "的坐标不是完整的数字或角度，转换时只读了其中的数字（没有数字按0）；为免丢失，源文件"
           "没有被覆盖。转换结果在" +
           Quoted(output) + "。";
}

std::string NotFiniteMessage(const std::string& source, const std::string& output,
                             const StreamResult& stream) {
    return "源文件" + Quoted(source) + UnrepresentableLinesText(stream) +
           "的坐标或结果超出了数的范围（不是有限的数），这些行原样写出；为免丢失，源文件没有被覆盖。"
           "转换结果在" +
           Quoted(output) + "。";
}

std::string OutsideGeoidMessage(const std::string& source, const std::string& output,
                                const StreamResult& stream) {
    return "源文件" + Quoted(source) + OutsideGeoidLinesText(stream) +
           "的点在大地水准面格网之外，无法求高程异常，这些行原样写出；为免丢失，源文件没有被覆盖。"
           "转换结果在" +
           Quoted(output) + "。";
}

std::string LinesText(std::uint64_t count, const std::vector<std::uint64_t>& listed) {
    std::string text = "第";
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (i > 0) text += "、";
        text += std::to_string(listed[i]);
    }
    text += "行";
    if (count > listed.size()) text += "等";
    return text + "（共" + std::to_string(count) + "行）";
}

}  // namespace

std::string NonNumberLinesText(const StreamResult& stream) {
    return LinesText(stream.nonNumberLines, stream.nonNumberLineNumbers);
}

std::string UnrepresentableLinesText(const StreamResult& stream) {
    return LinesText(stream.unrepresentableLines, stream.unrepresentableLineNumbers);
}

std::string OutsideGeoidLinesText(const StreamResult& stream) {
    return LinesText(stream.outsideGeoidLines, stream.outsideGeoidLineNumbers);
}

std::string ExtrapolatedLinesText(const StreamResult& stream) {
    return LinesText(stream.extrapolatedLines, stream.extrapolatedLineNumbers);
}

std::string HeightsProblemMessage(const ConversionSession& session) {
    if (!session.HeightsChange()) return {};
    switch (session.CheckHeights()) {
        case ConversionSession::HeightsProblem::NothingGivesZeta:
            return "高程拟合已打开，但既没有高程拟合模型，也没有大地水准面，无法换算高程，没有转换。";
        case ConversionSession::HeightsProblem::GridNotOpen:
            return "高程拟合所用的大地水准面 " + session.m_heights.geoid + " 没有打开，无法换算高程，没有转换。";
        case ConversionSession::HeightsProblem::None:
            break;
    }
    return {};
}

std::string BatchReport(const BatchResult& result) {
    // A source chosen twice was converted once: told apart from the skipped.
    std::string skipped, repeated;
    for (const SkippedFile& file : result.skipped) {
        (file.reason == SkipReason::RepeatedSource ? repeated : skipped) += "\n" + file.message;
    }
    std::string text;
    auto paragraph = [&text](const std::string& part) {
        if (part.empty()) return;
        if (!text.empty()) text += "\n\n";
        text += part;
    };
    std::string interrupted;
    for (const InterruptedWrite& w : result.interrupted) {
        interrupted += "\n" + Quoted(w.path) +
                       (w.restored ? "已恢复为原来的内容。"
                                   : "没能恢复（" + OsMessage(w.errorNumber, w.path, false) +
                                         "），原来的内容在" + Quoted(w.backup) + "。");
    }
    if (!interrupted.empty()) {
        paragraph("上一次转换在写以下文件时中断了:" + interrupted);
    }
    if (!skipped.empty()) paragraph("以下文件没有转换:" + skipped);
    if (!repeated.empty()) {
        if (skipped.empty()) {
            paragraph(repeated.substr(1));
        } else {
            text += repeated;
        }
    }
    std::string cancelled;
    for (const std::string& source : result.cancelledSources) cancelled += "\n" + Quoted(source);
    if (!cancelled.empty()) paragraph("转换已取消，以下文件没有转换，也没有生成输出文件:" + cancelled);
    std::string notes, unrepresentable, outside, extrapolated;
    for (const ConvertedFile& file : result.converted) {
        if (file.stream.outsideGeoidLines > 0) {
            outside += "\n" + Quoted(file.source) + OutsideGeoidLinesText(file.stream);
        }
        if (file.stream.extrapolatedLines > 0) {
            extrapolated += "\n" + Quoted(file.source) + ExtrapolatedLinesText(file.stream);
        }
        if (file.stream.nonNumberLines > 0) {
            notes += "\n" + Quoted(file.source) + NonNumberLinesText(file.stream);
        }
        if (file.stream.unrepresentableLines > 0) {
            unrepresentable += "\n" + Quoted(file.source) + UnrepresentableLinesText(file.stream);
        }
    }
    if (!notes.empty()) {
        paragraph("以下文件中有的坐标不是完整的数字或角度，转换时只读了其中的数字（没有数字按0）:" +
                  notes);
    }
    if (!unrepresentable.empty()) {
        paragraph("以下文件中有的坐标或结果超出了数的范围（不是有限的数），这些行原样写出:" +
                  unrepresentable);
    }
    if (!outside.empty()) {
        paragraph("以下文件中有的点在大地水准面格网之外，无法求高程异常，这些行原样写出:" + outside);
    }
    if (!extrapolated.empty()) {
        paragraph("以下文件中有的点在高程拟合公共点的范围之外，高程异常是外推的:" + extrapolated);
    }
    return text;
}

bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error,
                         int* osError, CWriteSlot* slot) {
    try {
        CFile in(source, CFile::modeRead);
        CAtomicFile out;
        CAtomicFile::Options options;
        options.slot = slot;
        out.Open(target, options);
        std::vector<char> buffer(1 << 16);
        for (;;) {
            const std::size_t n = in.Read(buffer.data(), buffer.size());
            out.GetFile().Write(buffer.data(), n);
            if (n < buffer.size()) break;
        }
        out.Commit();
    } catch (const CFileException& e) {
        if (error) *error = e.GetErrorMessage();
        if (osError) *osError = e.m_lOsError != 0 ? e.m_lOsError : EIO;
        return false;
    }
    return true;
}

const char kCannotConvertMessage[] = "坐标类型或椭球基准无效，无法转换。";

BatchPlan::~BatchPlan() = default;

int BatchPlan::Claim(const std::string& path, std::map<std::string, int>& claimed,
                     std::string* busy, long long* holder) {
    const std::string key = OutputKey(path, LinkIdOf(path));
    if (auto found = claimed.find(key); found != claimed.end()) return found->second;
    auto slot = std::make_unique<CWriteSlot>();
    switch (slot->Claim(path)) {
        case CWriteSlot::Status::Claimed:
            break;
        case CWriteSlot::Status::HeldByOther:
            *busy = path;
            *holder = slot->Holder();
            return -1;
        case CWriteSlot::Status::Failed:
            return -1;
    }
    // A file a killed run was writing in place gets its old bytes back
    // before anything looks at it.
    InterruptedWrite w;
    w.path = path;
    const CAtomicFile::Interrupted found =
        CAtomicFile::RestoreInterrupted(path, &w.backup, &w.errorNumber);
    if (found != CAtomicFile::Interrupted::None) {
        w.restored = found == CAtomicFile::Interrupted::Restored;
        m_interrupted.push_back(w);
    }
    m_slots.push_back(std::move(slot));
    const int index = static_cast<int>(m_slots.size() - 1);
    claimed.emplace(key, index);
    return index;
}

BatchPlan::BatchPlan(std::vector<std::string> sources, std::string extension, int naming)
    : m_sources(std::move(sources)), m_extension(std::move(extension)), m_naming(naming) {
    const std::size_t n = m_sources.size();
    m_entries.resize(n);
    // Every file the batch may write is claimed before anything is examined.
    std::map<std::string, int> claimed;
    for (std::size_t i = 0; i < n; ++i) {
        Entry& e = m_entries[i];
        e.output = OutputPath(m_sources[i], m_extension, m_naming);
        Platform::FileStatus status;
        if (!Platform::StatusOf(m_sources[i], &status) || status.directory) continue;
        e.outputSlot = Claim(e.output, claimed, &e.busy, &e.holder);
        if (e.busy.empty() && m_naming == kNamingOverwrite) {
            e.sourceSlot =
                Claim(Platform::ReplacementTarget(m_sources[i]), claimed, &e.busy, &e.holder);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        Entry& e = m_entries[i];
        Platform::FileStatus status;
        if (Platform::StatusOf(m_sources[i], &status)) {
            e.sourceId = status.id;
            e.sourceReadable = !status.directory;
        }
        e.outputId = LinkIdOf(e.output);
        e.outputKey = OutputKey(e.output, e.outputId);
    }
    for (std::size_t i = 0; i < n; ++i) {
        Entry& e = m_entries[i];
        const std::string& source = m_sources[i];
        // The same file as an earlier source: by identity, or by name when
        // neither can be examined.
        for (std::size_t j = 0; j < i && !e.guard; ++j) {
            const Entry& other = m_entries[j];
            if (e.sourceId ? e.sourceId == other.sourceId
                           : !other.sourceId && m_sources[j] == source) {
                e.guard = SkipReason::RepeatedSource;
                e.earlier = j;
            }
        }
        if (e.guard) continue;
        if (!e.busy.empty()) {
            e.guard = SkipReason::InUseByOtherRun;
            continue;
        }
        // Never write over a source of this batch, the file's own least of all.
        if (e.output == source || (e.outputId && e.outputId == e.sourceId)) {
            e.guard = SkipReason::OutputIsSource;
            continue;
        }
        for (std::size_t j = 0; j < n && !e.guard; ++j) {
            if (m_sources[j] == e.output || (e.outputId && e.outputId == m_entries[j].sourceId)) {
                e.guard = SkipReason::OutputIsOtherSource;
                e.earlier = j;
            }
        }
    }
    m_existing = Decide(true);
    Decide(false);
}

std::vector<std::string> BatchPlan::Decide(bool replace) {
    std::vector<std::string> replaced;
    std::map<std::string, std::size_t> writer;  // output key -> the source that writes it
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        e.skip = e.guard;
        // A source that cannot be read writes nothing; it is reported when converted.
        if (e.guard || !e.sourceReadable) continue;
        if (auto w = writer.find(e.outputKey); w != writer.end()) {
            e.skip = SkipReason::OutputOfEarlierSource;
            e.earlier = w->second;
            continue;
        }
        if (e.outputId && !replace) {
            e.skip = SkipReason::OutputExists;
            continue;
        }
        writer.emplace(e.outputKey, i);
        if (e.outputId) replaced.push_back(e.output);
    }
    return replaced;
}

void BatchPlan::ReplaceExisting(bool replace) { Decide(replace); }

FileOutcome BatchPlan::ConvertFile(LineEngine& engine, std::size_t index,
                                   const StreamControl& control) const {
    FileOutcome outcome;
    const Entry& entry = m_entries[index];
    const std::string& source = m_sources[index];
    const std::string& output = entry.output;
    const std::string earlier = entry.skip ? m_sources[entry.earlier] : std::string();
    auto skip = [&](SkipReason reason, int err, std::string message = {},
                    StreamResult stream = {}) {
        outcome.skipped = {
            source,
            output,
            reason,
            message.empty() ? SkipMessage(reason, source, output, err, earlier) : message,
            err,
            reason == SkipReason::RepeatedSource || reason == SkipReason::OutputOfEarlierSource
                ? earlier
                : std::string(),
            std::move(stream),
            {},
            0};
        if (reason == SkipReason::InUseByOtherRun) {
            outcome.skipped.busy = entry.busy;
            outcome.skipped.holder = entry.holder;
        }
        return outcome;
    };
    if (entry.skip == SkipReason::InUseByOtherRun) {
        const std::string other =
            entry.holder != 0 ? "另一个转换（进程" + std::to_string(entry.holder) + "）"
                              : "另一个转换";
        return skip(SkipReason::InUseByOtherRun, 0,
                    "文件" + Quoted(entry.busy) + "正由" + other + "写入，源文件" +
                        Quoted(source) + "未转换。");
    }
    if (entry.skip) return skip(*entry.skip, 0);
    if (control.Cancelled()) return skip(SkipReason::Cancelled, 0);

    Platform::FileStatus status;
    if (Platform::StatusOf(source, &status) && status.directory) {
        return skip(SkipReason::SourceUnreadable, EISDIR);
    }
    FilePtr in(Platform::OpenStream(source, "rb"));
    if (!in) return skip(SkipReason::SourceUnreadable, errno);

    Platform::FileStatus taken;
    if (Platform::LinkStatusOf(output, &taken) && taken.directory) {
        return skip(SkipReason::OutputUncreatable, EISDIR);
    }
    // The output under its temporary name until it is complete; never
    // through a link, and over an existing file only with consent.
    CAtomicFile out;
    CAtomicFile::Options options;
    options.followLinks = false;
    options.replaceExisting = entry.outputId.has_value();
    options.slot = entry.outputSlot >= 0 ? m_slots[static_cast<std::size_t>(entry.outputSlot)].get()
                                         : nullptr;
    try {
        out.Open(output, options);
    } catch (const CFileException& e) {
        if (e.m_lOsError == EEXIST) return skip(SkipReason::OutputAppeared, EEXIST);
        return skip(SkipReason::OutputUncreatable, e.m_lOsError);
    }
    StreamResult stream = engine.Convert(in.get(), out.GetFile(), control);
    in.reset();
    if (stream.readFailed) return skip(SkipReason::ReadFailed, stream.errorNumber);
    if (stream.writeFailed) return skip(SkipReason::WriteFailed, stream.errorNumber);
    if (stream.outOfMemory) return skip(SkipReason::OutOfMemory, ENOMEM);
    if (stream.cancelled) return skip(SkipReason::Cancelled, 0);
    if (stream.longLine != 0) {
        return skip(SkipReason::LineTooLong, 0,
                    "源文件" + Quoted(source) + "的第" + std::to_string(stream.longLine) +
                        "行超过" + std::to_string(engine.LineLimit()) +
                        "字节，不是点的数据；没有转换，没有生成输出文件" + Quoted(output) + "。",
                    stream);
    }
    try {
        out.Commit();
    } catch (const CFileException& e) {
        if (e.m_lOsError == EEXIST) return skip(SkipReason::OutputAppeared, EEXIST);
        return skip(SkipReason::WriteFailed, e.m_lOsError != 0 ? e.m_lOsError : EIO);
    }

    std::string listed = output;
    if (m_naming == kNamingOverwrite) {
        if (stream.dataAfterEmptyLine) return skip(SkipReason::DataAfterEmptyLine, 0);
        if (stream.textAfterLastSeparator) return skip(SkipReason::TextAfterLastSeparator, 0);
        if (stream.nonNumberLines > 0) {
            return skip(SkipReason::NotNumbers, 0, NotNumbersMessage(source, output, stream),
                        stream);
        }
        if (stream.unrepresentableLines > 0) {
            return skip(SkipReason::NotFinite, 0, NotFiniteMessage(source, output, stream),
                        stream);
        }
        if (stream.outsideGeoidLines > 0) {
            return skip(SkipReason::OutsideGeoid, 0, OutsideGeoidMessage(source, output, stream),
                        stream);
        }
        std::string error;
        int err = 0;
        CWriteSlot* slot = entry.sourceSlot >= 0
                               ? m_slots[static_cast<std::size_t>(entry.sourceSlot)].get()
                               : nullptr;
        if (!ReplaceFileWithCopy(output, source, &error, &err, slot)) {
            return skip(
                SkipReason::ReplaceFailed, err,
                error + "源文件" + Quoted(source) + "保持原样，转换结果在" + Quoted(output) + "。");
        }
        listed = source;
    }
    outcome.converted = true;
    outcome.file = {source, listed, stream};
    return outcome;
}

BatchResult RunBatch(ConversionSession& session, const BatchCallbacks& callbacks) {
    BatchResult result;
    ApplyEqualDatumRule(session);
    if (!session.CanConvert()) {
        result.error = kCannotConvertMessage;
        return result;
    }
    if (std::string heights = HeightsProblemMessage(session); !heights.empty()) {
        result.error = std::move(heights);
        return result;
    }

    const std::size_t count =
        std::min<std::size_t>(session.m_sourceFiles.size(),
                              static_cast<std::size_t>(std::max(session.m_sourceFileCount, 0)));
    BatchPlan plan(std::vector<std::string>(session.m_sourceFiles.begin(),
                                            session.m_sourceFiles.begin() + count),
                   session.m_format.m_formatExtension, session.m_format.m_naming);
    const ExistingOutputs choice = callbacks.beforeStart
                                       ? callbacks.beforeStart(plan.ExistingOutputs())
                                       : ExistingOutputs::Keep;
    if (choice == ExistingOutputs::Cancel) {
        result.cancelled = true;
        return result;
    }
    plan.ReplaceExisting(choice == ExistingOutputs::Replace);
    result.started = true;
    result.interrupted = plan.Interrupted();
    LineEngine engine(session);
    session.m_outputFiles.clear();

    BatchProgress progress;
    progress.filesTotal = plan.Sources().size();
    StreamControl control;
    control.cancel = callbacks.cancel;
    if (callbacks.progress) {
        control.progress = [&](const StreamProgress& p) {
            BatchProgress now = progress;
            now.linesInFile = p.lines;
            now.bytesInFile = p.bytes;
            now.linesDone += p.lines;
            callbacks.progress(now);
        };
    }
    for (std::size_t i = 0; i < plan.Sources().size(); ++i) {
        progress.file = i;
        FileOutcome outcome = plan.ConvertFile(engine, i, control);
        ++progress.filesDone;
        if (outcome.converted) progress.linesDone += outcome.file.stream.lines;
        if (callbacks.progress) {
            BatchProgress now = progress;
            now.file = i + 1;
            callbacks.progress(now);
        }
        if (!outcome.converted && outcome.skipped.reason == SkipReason::Cancelled) {
            result.cancelledSources.push_back(outcome.skipped.source);
            continue;
        }
        if (outcome.converted) {
            session.m_outputFiles.push_back(outcome.file.output);
            result.converted.push_back(std::move(outcome.file));
            if (callbacks.fileConverted) callbacks.fileConverted(result.converted.back());
        } else {
            result.skipped.push_back(std::move(outcome.skipped));
            if (callbacks.fileSkipped) callbacks.fileSkipped(result.skipped.back());
        }
    }
    return result;
}
