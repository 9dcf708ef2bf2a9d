#include "io/Archive.h"

#include <algorithm>
#include <cstring>

#include "io/ArchiveException.h"
#include "io/CodePage.h"
#include "io/File.h"

namespace {

void PutLittle(unsigned char* p, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint64_t GetLittle(const unsigned char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}

// Texts are read in pieces of this size, so that a damaged length prefix
// cannot make us reserve gigabytes before the end of the file is found.
constexpr std::size_t kTextChunk = 65536;

}  // namespace

CArchive::CArchive(CFile* file, Mode mode, std::size_t bufferSize)
    : m_file(file), m_mode(mode), m_buffer(std::max<std::size_t>(bufferSize, 16)) {}

void CArchive::CheckStoring() const {
    if (m_mode != store) {
        throw CArchiveException(CArchiveException::readOnly,
                                m_file ? m_file->GetFilePath() : std::string());
    }
}

void CArchive::CheckLoading() const {
    if (m_mode != load) {
        throw CArchiveException(CArchiveException::writeOnly,
                                m_file ? m_file->GetFilePath() : std::string());
    }
}

void CArchive::ThrowEndOfFile() const {
    throw CArchiveException(CArchiveException::endOfFile,
                            m_file ? m_file->GetFilePath() : std::string());
}

std::size_t CArchive::Read(void* buffer, std::size_t count) {
    CheckLoading();
    unsigned char* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (m_pos == m_end) {
            if (m_eof || !m_file) break;
            if (count - done >= m_buffer.size()) {
                // Large reads go straight to the caller's memory.
                std::size_t want = count - done;
                std::size_t n = m_file->Read(out + done, want);
                done += n;
                if (n < want) m_eof = true;
                break;
            }
            m_end = m_file->Read(m_buffer.data(), m_buffer.size());
            m_pos = 0;
            if (m_end < m_buffer.size()) m_eof = true;
            if (m_end == 0) break;
        }
        std::size_t n = std::min(count - done, m_end - m_pos);
        std::memcpy(out + done, m_buffer.data() + m_pos, n);
        m_pos += n;
        done += n;
    }
    return done;
}

void CArchive::ReadExact(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) ThrowEndOfFile();
}

void CArchive::Write(const void* buffer, std::size_t count) {
    CheckStoring();
    const unsigned char* in = static_cast<const unsigned char*>(buffer);
    while (count > 0) {
        if (m_pos == m_buffer.size()) Flush();
        std::size_t n = std::min(count, m_buffer.size() - m_pos);
        std::memcpy(m_buffer.data() + m_pos, in, n);
        m_pos += n;
        in += n;
        count -= n;
    }
}

void CArchive::Flush() {
    if (m_mode != store || m_pos == 0 || !m_file) return;
    std::size_t n = m_pos;
    m_pos = 0;
    m_file->Write(m_buffer.data(), n);
}

void CArchive::Close() {
    Flush();
    m_file = nullptr;
}

void CArchive::Abort() {
    m_pos = m_end = 0;
    m_file = nullptr;
}

CArchive& CArchive::operator<<(std::int32_t value) {
    unsigned char b[4];
    PutLittle(b, static_cast<std::uint32_t>(value), 4);
    Write(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, 8);
    unsigned char b[8];
    PutLittle(b, bits, 8);
    Write(b, 8);
    return *this;
}

CArchive& CArchive::operator<<(const std::string& text) {
    const std::string bytes = Utf8ToGb18030(text);
    WriteCount(static_cast<std::uint32_t>(bytes.size()));
    Write(bytes.data(), bytes.size());
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value) {
    unsigned char b[4];
    ReadExact(b, 4);
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLittle(b, 4)));
    return *this;
}

CArchive& CArchive::operator>>(double& value) {
    unsigned char b[8];
    ReadExact(b, 8);
    std::uint64_t bits = GetLittle(b, 8);
    std::memcpy(&value, &bits, 8);
    return *this;
}

CArchive& CArchive::operator>>(std::string& text) {
    std::uint32_t count = ReadCount();
    std::string bytes;
    while (bytes.size() < count) {
        std::size_t piece = std::min<std::size_t>(kTextChunk, count - bytes.size());
        std::size_t old = bytes.size();
        bytes.resize(old + piece);
        ReadExact(bytes.data() + old, piece);
    }
    text = Gb18030ToUtf8(bytes);
    return *this;
}

void CArchive::WriteCount(std::uint32_t count) {
    unsigned char b[7];
    if (count < 0xFF) {
        b[0] = static_cast<unsigned char>(count);
        Write(b, 1);
    } else if (count < 0xFFFE) {
        b[0] = 0xFF;
        PutLittle(b + 1, count, 2);
        Write(b, 3);
    } else {
        b[0] = 0xFF;
        b[1] = b[2] = 0xFF;
        PutLittle(b + 3, count, 4);
        Write(b, 7);
    }
}

std::uint32_t CArchive::ReadCount() {
    unsigned char b[4];
    ReadExact(b, 1);
    if (b[0] < 0xFF) return b[0];
    ReadExact(b, 2);
    std::uint32_t w = static_cast<std::uint32_t>(GetLittle(b, 2));
    if (w != 0xFFFF) return w;
    ReadExact(b, 4);
    return static_cast<std::uint32_t>(GetLittle(b, 4));
}
