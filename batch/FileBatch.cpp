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
            return OsMessage(err, source, false) + "输出文件" + Quoted(output) + "不完整。";
        case SkipReason::WriteFailed:
            return OsMessage(err, output, true) + "输出文件" + Quoted(output) + "不完整。";
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
        case SkipReason::NotNumbers:     // NotNumbersMessage
        case SkipReason::ReplaceFailed:  // built where the failure is known
            break;
    }
    return {};
}

std::optional<Platform::FileId> IdOf(const std::string& path) {
    Platform::FileStatus status;
    if (!Platform::StatusOf(path, &status)) return std::nullopt;
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

}  // namespace

std::string NonNumberLinesText(const StreamResult& stream) {
    std::string text = "第";
    for (std::size_t i = 0; i < stream.nonNumberLineNumbers.size(); ++i) {
        if (i > 0) text += "、";
        text += std::to_string(stream.nonNumberLineNumbers[i]);
    }
    text += "行";
    if (stream.nonNumberLines > stream.nonNumberLineNumbers.size()) text += "等";
    return text + "（共" + std::to_string(stream.nonNumberLines) + "行）";
}

std::string BatchReport(const BatchResult& result) {
    // A source chosen twice was converted once: told apart from the skipped.
    std::string skipped, repeated;
    for (const SkippedFile& file : result.skipped) {
        (file.reason == SkipReason::RepeatedSource ? repeated : skipped) += "\n" + file.message;
    }
    std::string text;
    if (!skipped.empty()) text = "以下文件没有转换:" + skipped;
    if (!repeated.empty()) text += text.empty() ? repeated.substr(1) : repeated;
    std::string notes;
    for (const ConvertedFile& file : result.converted) {
        if (file.stream.nonNumberLines > 0) {
            notes += "\n" + Quoted(file.source) + NonNumberLinesText(file.stream);
        }
    }
    if (!notes.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "以下文件中有的坐标不是完整的数字或角度，转换时只读了其中的数字（没有数字按0）:" +
                notes;
    }
    return text;
}

bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error,
                         int* osError) {
    try {
        CFile in(source, CFile::modeRead);
        CAtomicFile out;
        out.Open(target);
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

BatchPlan::BatchPlan(std::vector<std::string> sources, std::string extension, int naming)
    : m_sources(std::move(sources)), m_extension(std::move(extension)), m_naming(naming) {
    const std::size_t n = m_sources.size();
    m_entries.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        Entry& e = m_entries[i];
        e.output = OutputPath(m_sources[i], m_extension, m_naming);
        Platform::FileStatus status;
        if (Platform::StatusOf(m_sources[i], &status)) {
            e.sourceId = status.id;
            e.sourceReadable = !status.directory;
        }
        e.outputId = IdOf(e.output);
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
                                   const LineEngine::Progress& progress) const {
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
            std::move(stream)};
        return outcome;
    };
    if (entry.skip) return skip(*entry.skip, 0);

    Platform::FileStatus status;
    if (Platform::StatusOf(source, &status) && status.directory) {
        return skip(SkipReason::SourceUnreadable, EISDIR);
    }
    FilePtr in(Platform::OpenStream(source, "rb"));
    if (!in) return skip(SkipReason::SourceUnreadable, errno);
    FilePtr out(Platform::OpenStream(output, "wb"));
    if (!out) return skip(SkipReason::OutputUncreatable, errno);

    StreamResult stream = engine.Convert(in.get(), out.get(), progress);
    in.reset();
    errno = 0;
    if (std::fclose(out.release()) != 0 && !stream.writeFailed) {
        stream.writeFailed = true;
        stream.errorNumber = errno != 0 ? errno : EIO;
    }
    if (stream.readFailed) return skip(SkipReason::ReadFailed, stream.errorNumber);
    if (stream.writeFailed) return skip(SkipReason::WriteFailed, stream.errorNumber);

    std::string listed = output;
    if (m_naming == kNamingOverwrite) {
        if (stream.dataAfterEmptyLine) return skip(SkipReason::DataAfterEmptyLine, 0);
        if (stream.textAfterLastSeparator) return skip(SkipReason::TextAfterLastSeparator, 0);
        if (stream.nonNumberLines > 0) {
            return skip(SkipReason::NotNumbers, 0, NotNumbersMessage(source, output, stream),
                        stream);
        }
        std::string error;
        int err = 0;
        if (!ReplaceFileWithCopy(output, source, &error, &err)) {
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
    LineEngine engine(session);
    session.m_outputFiles.clear();

    for (std::size_t i = 0; i < plan.Sources().size(); ++i) {
        FileOutcome outcome = plan.ConvertFile(engine, i);
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
