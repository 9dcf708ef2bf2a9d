// A binary file on disk, opened for reading, writing or both. Errors throw
// CFileException, except Open, which can report them through its argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "io/FileException.h"

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,      // create, or truncate an existing file
        modeNoTruncate = 0x2000,  // with modeCreate: keep an existing file's contents
        typeBinary = 0x8000,      // every file is binary; accepted for readability
    };

    CFile() = default;
    // Opens or throws CFileException.
    CFile(const std::string& path, unsigned flags);
    // Closes the file; errors are ignored here (call Close to see them).
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns false on failure and, when `error` is given, fills it.
    // A directory is refused. Opening an open CFile closes it first.
    bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr);
    // Takes ownership of an open descriptor; `path` names the file in messages.
    void Attach(int fd, const std::string& path);

    // Reads up to `count` bytes; returns fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    void Write(const void* buffer, std::size_t count);
    // Writes the file's data through to the device.
    void Flush();
    void Close();
    // Closes without reporting errors.
    void Abort();

    // Moves to the start of the file.
    void SeekToBegin();
    // Cuts the file to `length` bytes, or extends it with zero bytes.
    void SetLength(std::uint64_t length);
    std::uint64_t GetLength() const;
    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    const std::string& GetFilePath() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};
