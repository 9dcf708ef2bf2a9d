#include "io/StdioFile.h"

#include <cstring>

#include "io/CodePage.h"

namespace {
constexpr std::size_t kBufferSize = 8192;
}

CStdioFile::CStdioFile(Encoding encoding) : m_encoding(encoding) {}

CStdioFile::~CStdioFile() {
    try {
        FlushBuffer();
    } catch (const CFileException&) {
    }
}

bool CStdioFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Abort();
    return m_file.Open(path, flags, error);
}

bool CStdioFile::ReadString(std::string& line) {
    std::string bytes;
    for (;;) {
        if (m_readPos == m_readEnd) {
            if (m_eof) break;
            m_readBuffer.resize(kBufferSize);
            m_readEnd = m_file.Read(m_readBuffer.data(), m_readBuffer.size());
            m_readPos = 0;
            if (m_readEnd < m_readBuffer.size()) m_eof = true;
            if (m_readEnd == 0) break;
        }
        const char* start = m_readBuffer.data() + m_readPos;
        std::size_t avail = m_readEnd - m_readPos;
        const void* nl = std::memchr(start, '\n', avail);
        if (nl) {
            std::size_t n = static_cast<const char*>(nl) - start;
            bytes.append(start, n);
            m_readPos += n + 1;
            if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
            line = m_encoding == Encoding::Gb18030 ? Gb18030ToUtf8(bytes) : bytes;
            return true;
        }
        bytes.append(start, avail);
        m_readPos = m_readEnd;
    }
    if (bytes.empty()) {
        line.clear();
        return false;
    }
    line = m_encoding == Encoding::Gb18030 ? Gb18030ToUtf8(bytes) : bytes;
    return true;
}

void CStdioFile::WriteString(const std::string& text) {
    const std::string bytes = m_encoding == Encoding::Gb18030 ? Utf8ToGb18030(text) : text;
    std::size_t from = 0;
    for (;;) {
        std::size_t nl = bytes.find('\n', from);
        if (nl == std::string::npos) {
            WriteBuffered(bytes.data() + from, bytes.size() - from);
            return;
        }
        WriteBuffered(bytes.data() + from, nl - from);
        WriteBuffered("\r\n", 2);
        from = nl + 1;
    }
}

void CStdioFile::WriteBuffered(const char* data, std::size_t count) {
    m_writeBuffer.append(data, count);
    if (m_writeBuffer.size() >= kBufferSize) FlushBuffer();
}

void CStdioFile::FlushBuffer() {
    if (m_writeBuffer.empty() || !m_file.IsOpen()) return;
    std::string pending;
    pending.swap(m_writeBuffer);
    m_file.Write(pending.data(), pending.size());
}

void CStdioFile::Flush() {
    FlushBuffer();
    m_file.Flush();
}

void CStdioFile::Close() {
    try {
        FlushBuffer();
    } catch (...) {
        m_file.Abort();
        m_readPos = m_readEnd = 0;
        m_eof = false;
        throw;
    }
    m_readPos = m_readEnd = 0;
    m_eof = false;
    m_file.Close();
}

void CStdioFile::Abort() {
    m_writeBuffer.clear();
    m_readPos = m_readEnd = 0;
    m_eof = false;
    m_file.Abort();
}
