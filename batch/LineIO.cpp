#include "batch/LineIO.h"

#include <cerrno>
#include <cstring>

#include "io/File.h"

namespace {

// The DOS end-of-file byte, dropped when it ends the input.
constexpr char kEndOfFile = '\x1A';

}  // namespace

LineReader::LineReader(std::FILE* in, std::size_t bufferSize)
    : m_in(in), m_buffer(bufferSize < 16 ? 16 : bufferSize) {}

bool LineReader::Fill() {
    if (m_eof) return false;
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    // A line longer than the buffer: make room for it, up to the limit
    // (and its CR LF).
    if (m_end == m_buffer.size()) {
        if (m_end > m_lineLimit && m_end - m_lineLimit > 1) {
            m_tooLong = true;
            m_eof = true;
            return false;
        }
        m_buffer.resize(m_buffer.size() * 2);
    }
    const std::size_t wanted = m_buffer.size() - m_end;
    errno = 0;
    const std::size_t got = std::fread(m_buffer.data() + m_end, 1, wanted, m_in);
    m_end += got;
    m_totalRead += got;
    if (got < wanted) {
        m_eof = true;
        if (std::ferror(m_in)) {
            m_failed = true;
            m_errno = errno != 0 ? errno : EIO;
        }
    }
    return got > 0;
}

bool LineReader::Next(std::string_view* line) {
    std::size_t searched = m_pos;
    for (;;) {
        const char* base = m_buffer.data();
        const void* lf = std::memchr(base + searched, '\n', m_end - searched);
        if (lf != nullptr) {
            const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(lf) - base);
            std::size_t length = stop - m_pos;
            if (length > 0 && base[stop - 1] == '\r') --length;
            *line = std::string_view(base + m_pos, length);
            m_pos = stop + 1;
            return true;
        }
        const std::size_t unsearched = m_end - m_pos;
        if (!Fill()) {
            if (m_failed || m_tooLong) return false;
            if (m_pos < m_end && m_buffer[m_end - 1] == kEndOfFile) --m_end;
            if (m_pos == m_end) return false;
            *line = std::string_view(m_buffer.data() + m_pos, m_end - m_pos);
            m_pos = m_end;
            return true;
        }
        searched = m_pos + unsearched;  // Fill moved the unread bytes to the front
    }
}

bool LineReader::RestHasContent() {
    for (;;) {
        while (m_pos < m_end && (m_buffer[m_pos] == '\r' || m_buffer[m_pos] == '\n')) ++m_pos;
        if (m_pos < m_end) {
            if (m_buffer[m_pos] != kEndOfFile || m_pos + 1 < m_end) return true;
            // A 0x1A as the last byte read so far is content only when more follows.
            if (!Fill()) {
                m_pos = m_end;
                return false;
            }
            continue;
        }
        if (!Fill()) return false;
    }
}

LineWriter::LineWriter(std::FILE* out, std::size_t bufferSize)
    : m_out(out), m_buffer(bufferSize < 16 ? 16 : bufferSize) {}

LineWriter::LineWriter(CFile* file, std::size_t bufferSize)
    : m_file(file), m_buffer(bufferSize < 16 ? 16 : bufferSize) {}

LineWriter::LineWriter(std::string* sink, std::size_t bufferSize)
    : m_sink(sink), m_buffer(bufferSize < 16 ? 16 : bufferSize) {}

LineWriter::~LineWriter() { WriteBuffer(); }

void LineWriter::AppendSlow(std::string_view bytes) {
    WriteBuffer();
    if (bytes.size() >= m_buffer.size()) {
        WriteDirect(bytes.data(), bytes.size());
        return;
    }
    std::memcpy(m_buffer.data(), bytes.data(), bytes.size());
    m_used = bytes.size();
}

void LineWriter::WriteBuffer() {
    WriteDirect(m_buffer.data(), m_used);
    m_used = 0;
}

void LineWriter::WriteDirect(const char* data, std::size_t size) {
    if (size == 0 || m_failed) return;
    if (m_sink != nullptr) {
        m_sink->append(data, size);
        return;
    }
    if (m_file != nullptr) {
        try {
            m_file->Write(data, size);
        } catch (const CFileException& e) {
            m_failed = true;
            m_errno = e.m_lOsError != 0 ? e.m_lOsError : EIO;
        }
        return;
    }
    errno = 0;
    if (std::fwrite(data, 1, size, m_out) != size) {
        m_failed = true;
        m_errno = errno != 0 ? errno : EIO;
    }
}

bool LineWriter::Flush() {
    WriteBuffer();
    if (!m_failed && m_out != nullptr) {
        errno = 0;
        if (std::fflush(m_out) != 0) {
            m_failed = true;
            m_errno = errno != 0 ? errno : EIO;
        }
    }
    return !m_failed;
}
