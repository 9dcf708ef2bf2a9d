// Writes a file through a temporary file beside it, which replaces the target
// in one step only when everything was written: a failed write leaves the old
// file as it was.
//
//   CAtomicFile out;
//   out.Open(path);               // throws CFileException
//   out.GetFile().Write(...);
//   out.Commit();                 // throws CFileException; the old file stays on failure
#pragma once

#include <string>

#include "framework/File.h"

class CAtomicFile {
public:
    CAtomicFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the temporary file in the target's folder (following a symbolic
    // link to the real file). Throws CFileException naming `path`.
    void Open(const std::string& path);

    // The temporary file; its messages name the target path.
    CFile& GetFile() { return m_file; }

    // Writes the data through to disk and puts the temporary file in the
    // target's place, with the old file's permissions.
    void Commit();
    // Removes the temporary file.
    void Abort();

    const std::string& GetTempPath() const { return m_tempPath; }

private:
    CFile m_file;
    std::string m_path;      // as given, for messages
    std::string m_realPath;  // the file that is replaced
    std::string m_tempPath;
};
