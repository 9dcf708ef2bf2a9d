#include "batch/FileBatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

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

// Device and inode of an existing file.
struct FileId {
    dev_t dev;
    ino_t ino;
    bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino; }
};

bool IdOf(const std::string& path, FileId* id) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    *id = {st.st_dev, st.st_ino};
    return true;
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
        case SkipReason::ReplaceFailed:
            break;
    }
    return {};
}

}  // namespace

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

BatchResult RunBatch(ConversionSession& session, const BatchCallbacks& callbacks) {
    BatchResult result;
    ApplyEqualDatumRule(session);
    if (!session.CanConvert()) {
        result.error = "坐标类型或椭球基准无效，无法转换。";
        return result;
    }
    result.started = true;

    const std::size_t count =
        std::min<std::size_t>(session.m_sourceFiles.size(),
                              static_cast<std::size_t>(std::max(session.m_sourceFileCount, 0)));
    const std::vector<std::string> sources(session.m_sourceFiles.begin(),
                                           session.m_sourceFiles.begin() + count);
    std::vector<FileId> sourceIds;
    for (const std::string& s : sources) {
        FileId id;
        if (IdOf(s, &id)) sourceIds.push_back(id);
    }

    const std::string extension = session.m_params.m_formatExtension;
    const int naming = session.m_params.m_naming;
    LineEngine engine(session);
    session.m_outputFiles.clear();

    auto skip = [&](const std::string& source, const std::string& output, SkipReason reason,
                    int err, std::string message = {}) {
        SkippedFile s{source, output, reason,
                      message.empty() ? SkipMessage(reason, source, output, err) : message};
        result.skipped.push_back(s);
        if (callbacks.fileSkipped) callbacks.fileSkipped(s);
    };

    for (const std::string& source : sources) {
        const std::string output = OutputPath(source, extension, naming);

        // Never write over a source of this batch, the file's own least of all.
        FileId sourceId{}, outputId{};
        const bool sourceKnown = IdOf(source, &sourceId);
        const bool outputExists = IdOf(output, &outputId);
        if (output == source || (sourceKnown && outputExists && outputId == sourceId)) {
            skip(source, output, SkipReason::OutputIsSource, 0);
            continue;
        }
        const bool otherSource =
            std::find(sources.begin(), sources.end(), output) != sources.end() ||
            (outputExists &&
             std::find(sourceIds.begin(), sourceIds.end(), outputId) != sourceIds.end());
        if (otherSource) {
            skip(source, output, SkipReason::OutputIsOtherSource, 0);
            continue;
        }

        struct stat st;
        if (::stat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            skip(source, output, SkipReason::SourceUnreadable, EISDIR);
            continue;
        }
        FilePtr in(std::fopen(source.c_str(), "rb"));
        if (!in) {
            skip(source, output, SkipReason::SourceUnreadable, errno);
            continue;
        }
        FilePtr out(std::fopen(output.c_str(), "wb"));
        if (!out) {
            skip(source, output, SkipReason::OutputUncreatable, errno);
            continue;
        }

        StreamResult stream = engine.Convert(in.get(), out.get());
        in.reset();
        errno = 0;
        if (std::fclose(out.release()) != 0 && !stream.writeFailed) {
            stream.writeFailed = true;
            stream.errorNumber = errno != 0 ? errno : EIO;
        }
        if (stream.readFailed) {
            skip(source, output, SkipReason::ReadFailed, stream.errorNumber);
            continue;
        }
        if (stream.writeFailed) {
            skip(source, output, SkipReason::WriteFailed, stream.errorNumber);
            continue;
        }

        std::string listed = output;
        if (naming == kNamingOverwrite) {
            if (stream.dataAfterEmptyLine) {
                skip(source, output, SkipReason::DataAfterEmptyLine, 0);
                continue;
            }
            if (stream.textAfterLastSeparator) {
                skip(source, output, SkipReason::TextAfterLastSeparator, 0);
                continue;
            }
            std::string error;
            if (!ReplaceFileWithCopy(output, source, &error)) {
                skip(source, output, SkipReason::ReplaceFailed, 0,
                     error + "源文件" + Quoted(source) + "保持原样，转换结果在" + Quoted(output) +
                         "。");
                continue;
            }
            listed = source;
        }
        session.m_outputFiles.push_back(listed);
        result.converted.push_back({source, listed, stream});
        if (callbacks.fileConverted) callbacks.fileConverted(result.converted.back());
    }
    return result;
}
