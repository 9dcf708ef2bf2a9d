#include "io/FileException.h"

#include <cerrno>

#include "platform/Platform.h"

namespace {

std::string MessageFor(CFileException::Cause cause, const std::string& name) {
    const std::string q = "“" + name + "”";
    switch (cause) {
        case CFileException::none:
            return {};
        case CFileException::fileNotFound:
            return "找不到文件" + q + "。";
        case CFileException::badPath:
            return "路径" + q + "无效，或它所在的文件夹不存在。";
        case CFileException::tooManyOpenFiles:
            return "打开的文件太多，无法打开" + q + "。";
        case CFileException::accessDenied:
            return "没有访问文件" + q + "的权限。";
        case CFileException::isDirectory:
            return q + "是文件夹，不是文件。";
        case CFileException::hardIO:
            return "读写文件" + q + "时发生输入输出错误。";
        case CFileException::diskFull:
            return "磁盘空间不足，无法写入文件" + q + "。";
        case CFileException::fileTooLarge:
            return "文件" + q + "超出了允许的大小，无法写入。";
        case CFileException::genericException:
            break;
    }
    return "访问文件" + q + "时出错。";
}

}  // namespace

CFileException::CFileException(Cause cause, std::string fileName, int osError)
    : CException(MessageFor(cause, fileName)),
      m_cause(cause),
      m_strFileName(std::move(fileName)),
      m_lOsError(osError) {}

CFileException::Cause CFileException::CauseFromErrno(int err, bool creating) {
    if (err == Platform::kDiskQuotaErrno) return diskFull;
    switch (err) {
        case ENOENT:
            return creating ? badPath : fileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return badPath;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return accessDenied;
        case EMFILE:
        case ENFILE:
            return tooManyOpenFiles;
        case EISDIR:
            return isDirectory;
        case ENOSPC:
            return diskFull;
        case EFBIG:
            return fileTooLarge;
        case EIO:
            return hardIO;
        default:
            return genericException;
    }
}

void CFileException::ThrowOsError(int err, const std::string& fileName, bool creating) {
    throw CFileException(CauseFromErrno(err, creating), fileName, err);
}
