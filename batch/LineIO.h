// Buffered line input and output over C streams, in constant memory: the
// buffers grow only to the longest line, never with the size of the stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads lines ending with LF or CR LF. Bytes pass through unchanged, except
// a 0x1A byte that ends the input: it ends the text, as in DOS text files.
class LineReader {
public:
    explicit LineReader(std::FILE* in, std::size_t bufferSize = 1 << 16);

    // The next line without its LF or CR LF; the view is valid until the next
    // call. A last line without a line end is returned too. Returns false at
    // the end of the input or on a read error.
    bool Next(std::string_view* line);

    // Reads on to the end and tells whether any byte other than CR or LF (or
    // the 0x1A that ends the input) was left unread.
    bool RestHasContent();

    // Bytes of the input taken so far: the lines returned and their line ends.
    std::uint64_t BytesConsumed() const { return m_totalRead - (m_end - m_pos); }

    // A line longer than `bytes` (its line end excluded) ends the input:
    // Next returns false there and LineTooLong tells why. The buffer never
    // grows much beyond it.
    void SetLineLimit(std::size_t bytes) { m_lineLimit = bytes; }
    bool LineTooLong() const { return m_tooLong; }

    // A read error happened (errno in ErrorNumber).
    bool Failed() const { return m_failed; }
    int ErrorNumber() const { return m_errno; }

private:
    // Keeps the unread bytes and reads more after them; false when nothing
    // more came.
    bool Fill();

    std::FILE* m_in;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::uint64_t m_totalRead = 0;
    bool m_eof = false;
    bool m_failed = false;
    int m_errno = 0;
    std::size_t m_lineLimit = SIZE_MAX;
    bool m_tooLong = false;
};

class CFile;

// Collects output bytes and writes them in large blocks to a stream or a
// file, or appends them to a text in memory.
class LineWriter {
public:
    explicit LineWriter(std::FILE* out, std::size_t bufferSize = 1 << 16);
    explicit LineWriter(CFile* file, std::size_t bufferSize = 1 << 16);
    explicit LineWriter(std::string* sink, std::size_t bufferSize = 1 << 16);
    // Writes what is left; call Flush to see errors.
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void Append(std::string_view bytes) {
        if (bytes.size() <= m_buffer.size() - m_used) {
            if (!bytes.empty()) {
                std::char_traits<char>::copy(m_buffer.data() + m_used, bytes.data(), bytes.size());
            }
            m_used += bytes.size();
        } else {
            AppendSlow(bytes);
        }
    }
    void Append(char c) {
        if (m_used == m_buffer.size()) WriteBuffer();
        m_buffer[m_used++] = c;
    }

    // Writes the buffered bytes and flushes the stream. Returns false when any
    // write failed so far.
    bool Flush();
    bool Failed() const { return m_failed; }
    int ErrorNumber() const { return m_errno; }

private:
    void AppendSlow(std::string_view bytes);
    void WriteBuffer();
    void WriteDirect(const char* data, std::size_t size);

    std::FILE* m_out = nullptr;
    CFile* m_file = nullptr;
    std::string* m_sink = nullptr;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    int m_errno = 0;
};
