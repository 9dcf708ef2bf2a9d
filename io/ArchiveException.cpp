#include "io/ArchiveException.h"

namespace {

std::string MessageFor(CArchiveException::Cause cause, const std::string& name) {
    const std::string q = "“" + name + "”";
    switch (cause) {
        case CArchiveException::none:
            return {};
        case CArchiveException::endOfFile:
            return "文件" + q + "意外结束：内容不完整或已损坏。";
        case CArchiveException::readOnly:
            return "文件" + q + "是为读取而打开的，不能写入。";
        case CArchiveException::writeOnly:
            return "文件" + q + "是为写入而打开的，不能读取。";
        case CArchiveException::badSchema:
            return "文件" + q + "的内容已损坏，或是本程序不认识的格式。";
        case CArchiveException::genericException:
            break;
    }
    return "读写文件" + q + "时出错。";
}

}  // namespace

CArchiveException::CArchiveException(Cause cause, std::string fileName)
    : CException(MessageFor(cause, fileName)), m_cause(cause), m_strFileName(std::move(fileName)) {}
