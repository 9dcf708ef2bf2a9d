// Writes a file so that a failure never leaves it half written, and never
// replaces a file the user may not write.
//
// The data goes to a temporary file beside the target, which takes the
// target's place in one step only when everything was written. Where no
// temporary file can be made beside an existing target that the user may
// write (a folder without write permission), where the target has more than
// one name (hard links, which a replacement would part), or where the folder
// lets the user write the target but not replace it, the data waits in a
// temporary file of the system instead and is written over the target in
// place at Commit; should that write fail, the old bytes are put back.
//
// A target the user may not write (no write permission; on Windows the
// read-only attribute) is refused with CFileException::accessDenied naming
// it, at Open, or at Commit if it became so meanwhile.
//
//   CAtomicFile out;
//   out.Open(path);               // throws CFileException
//   out.GetFile().Write(...);
//   out.Commit();                 // throws CFileException; the old file stays on failure
#pragma once

#include <string>
#include <string_view>

#include "io/File.h"

class CAtomicFile {
public:
    CAtomicFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Writes `bytes` as the whole new content of `path`: Open, Write, Commit.
    // Throws CFileException; the old file stays on failure.
    static void WriteWhole(const std::string& path, std::string_view bytes);

    // Checks that the target (the real file behind a symbolic link) may be
    // written and makes the temporary file. Throws CFileException naming
    // `path`.
    void Open(const std::string& path);

    // Where the data is written; its messages name the target path.
    CFile& GetFile() { return m_file; }

    // Puts the data in the target's place (with the old file's permissions),
    // written through to disk.
    void Commit();
    // Removes the temporary file; the target stays as it was.
    void Abort();

    // The temporary file beside the target; empty when writing in place.
    const std::string& GetTempPath() const { return m_tempPath; }
    // Whether Commit writes over the target in place.
    bool WritesInPlace() const { return m_inPlace; }

private:
    // Makes the temporary file beside the target: 0, or the error number.
    int CreateTemporaryBeside();
    // Writes all of `data` over the target from its start, putting the old
    // bytes back when that fails.
    void WriteInPlace(CFile& data);

    CFile m_file;
    std::string m_path;      // as given, for messages
    std::string m_realPath;  // the file that is replaced
    std::string m_tempPath;
    bool m_inPlace = false;
};
