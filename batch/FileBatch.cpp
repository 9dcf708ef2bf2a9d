#include "batch/FileBatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/ConversionSession.h"
#include "batch/FilePoint.h"
#include "batch/OutputPath.h"
#include "framework/AtomicFile.h"
#include "framework/File.h"
#include "framework/FileException.h"

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
                        int err) {
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
        case SkipReason::NotNumbers:     // NotNumbersMessage
        case SkipReason::ReplaceFailed:  // built where the failure is known
            break;
    }
    return {};
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
    std::string text;
    if (!result.skipped.empty()) {
        text = "以下文件没有转换:";
        for (const SkippedFile& file : result.skipped) text += "\n" + file.message;
    }
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

bool ReplaceFileWithCopy(const std::string& source, const std::string& target, std::string* error) {
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
        return false;
    }
    return true;
}

const char kCannotConvertMessage[] = "坐标类型或椭球基准无效，无法转换。";

bool BatchPlan::IdOf(const std::string& path, FileId* id) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *id = {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino)};
    return true;
}

BatchPlan::BatchPlan(std::vector<std::string> sources, std::string extension, int naming)
    : m_sources(std::move(sources)), m_extension(std::move(extension)), m_naming(naming) {
    for (const std::string& s : m_sources) {
        FileId id;
        if (IdOf(s, &id)) m_sourceIds.push_back(id);
    }
}

FileOutcome BatchPlan::ConvertFile(LineEngine& engine, const std::string& source,
                                   const LineEngine::Progress& progress) const {
    FileOutcome outcome;
    const std::string output = OutputPath(source, m_extension, m_naming);
    auto skip = [&](SkipReason reason, int err, std::string message = {}) {
        outcome.skipped = {source, output, reason,
                           message.empty() ? SkipMessage(reason, source, output, err) : message};
        return outcome;
    };

    // Never write over a source of this batch, the file's own least of all.
    FileId sourceId{}, outputId{};
    const bool sourceKnown = IdOf(source, &sourceId);
    const bool outputExists = IdOf(output, &outputId);
    if (output == source || (sourceKnown && outputExists && outputId == sourceId)) {
        return skip(SkipReason::OutputIsSource, 0);
    }
    if (std::find(m_sources.begin(), m_sources.end(), output) != m_sources.end() ||
        (outputExists &&
         std::find(m_sourceIds.begin(), m_sourceIds.end(), outputId) != m_sourceIds.end())) {
        return skip(SkipReason::OutputIsOtherSource, 0);
    }

    struct stat st;
    if (::stat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return skip(SkipReason::SourceUnreadable, EISDIR);
    }
    FilePtr in(std::fopen(source.c_str(), "rb"));
    if (!in) return skip(SkipReason::SourceUnreadable, errno);
    FilePtr out(std::fopen(output.c_str(), "wb"));
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
            return skip(SkipReason::NotNumbers, 0, NotNumbersMessage(source, output, stream));
        }
        std::string error;
        if (!ReplaceFileWithCopy(output, source, &error)) {
            return skip(
                SkipReason::ReplaceFailed, 0,
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
    result.started = true;

    const std::size_t count =
        std::min<std::size_t>(session.m_sourceFiles.size(),
                              static_cast<std::size_t>(std::max(session.m_sourceFileCount, 0)));
    const BatchPlan plan(std::vector<std::string>(session.m_sourceFiles.begin(),
                                                  session.m_sourceFiles.begin() + count),
                         session.m_params.m_formatExtension, session.m_params.m_naming);
    LineEngine engine(session);
    session.m_outputFiles.clear();

    for (const std::string& source : plan.Sources()) {
        FileOutcome outcome = plan.ConvertFile(engine, source);
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
