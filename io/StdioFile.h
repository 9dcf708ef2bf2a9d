// A text file read and written line by line, with CR LF line ends on disk.
//
// Two encodings: Gb18030 converts between the program's UTF-8 and GB18030
// bytes on disk (the format store); Raw passes every byte through unchanged
// (batch data files).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "io/File.h"

class CStdioFile {
public:
    enum class Encoding { Gb18030, Raw };

    explicit CStdioFile(Encoding encoding = Encoding::Gb18030);
    // Closes the file; unwritten text is written, errors are ignored (call
    // Close to see them).
    ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // Flags as for CFile. Returns false on failure and fills `error` if given.
    bool Open(const std::string& path, unsigned flags, CFileException* error = nullptr);

    // Reads the next line without its line end (LF, or CR LF). Returns false
    // at the end of the file when nothing was left to read; a last line
    // without a line end is still returned.
    bool ReadString(std::string& line);
    // Writes the text; every LF in it goes to disk as CR LF. No line end is
    // added.
    void WriteString(const std::string& text);

    void Flush();
    void Close();
    void Abort();

    bool IsOpen() const { return m_file.IsOpen(); }
    const std::string& GetFilePath() const { return m_file.GetFilePath(); }
    Encoding GetEncoding() const { return m_encoding; }

private:
    void WriteBuffered(const char* data, std::size_t count);
    void FlushBuffer();

    CFile m_file;
    Encoding m_encoding;
    std::vector<char> m_readBuffer;
    std::size_t m_readPos = 0;
    std::size_t m_readEnd = 0;
    bool m_eof = false;
    std::string m_writeBuffer;
};
