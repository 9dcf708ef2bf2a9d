// A buffered binary stream over a CFile, in one direction: storing or loading.
//
// Layout on disk: int32 and double little-endian (double as IEEE binary64);
// a text is a length prefix and its GB18030 bytes, no terminator. The prefix
// counts the bytes: one byte when below 255; else 0xFF and a uint16 when
// below 0xFFFE; else 0xFF, 0xFFFF and a uint32.
//
// Reading past the end throws CArchiveException(endOfFile); errors of the
// file throw CFileException. Close() writes what is buffered; an archive
// destroyed without Close() drops its unwritten bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CFile;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* file, Mode mode, std::size_t bufferSize = 4096);
    ~CArchive() = default;
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    CFile* GetFile() const { return m_file; }

    // Raw bytes. Read returns fewer than `count` only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    void Write(const void* buffer, std::size_t count);

    // Writes the buffer to the file (storing only).
    void Flush();
    // Flushes a storing archive and detaches from the file (the file stays open).
    void Close();
    // Detaches without writing anything.
    void Abort();

    CArchive& operator<<(std::int32_t value);
    CArchive& operator<<(double value);
    // UTF-8 in memory, GB18030 on disk.
    CArchive& operator<<(const std::string& text);

    CArchive& operator>>(std::int32_t& value);
    CArchive& operator>>(double& value);
    CArchive& operator>>(std::string& text);

    // The length prefix alone.
    void WriteCount(std::uint32_t count);
    std::uint32_t ReadCount();

private:
    void ReadExact(void* buffer, std::size_t count);
    void CheckStoring() const;
    void CheckLoading() const;
    [[noreturn]] void ThrowEndOfFile() const;

    CFile* m_file;
    Mode m_mode;
    std::vector<unsigned char> m_buffer;
    std::size_t m_pos = 0;  // next byte to read, or number of bytes buffered for writing
    std::size_t m_end = 0;  // bytes valid in the read buffer
    bool m_eof = false;     // the file has no more bytes
};
