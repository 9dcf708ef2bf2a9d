// Writes a file so that a failure never leaves it half written, and never
// replaces a file the user may not write.
//
// The data goes to a temporary file beside the target, which takes the
// target's place in one step only when everything was written and flushed
// to disk; it gets the old file's owner, group and mode. Where no temporary
// file can be made beside an existing target that the user may write (a
// folder without write permission), where the target has more than one name
// (hard links, which a replacement would part), where the new file could not
// keep the old one's owner, or where the folder lets the user write the
// target but not replace it, the data is written over the target in place at
// Commit. Its old bytes are kept meanwhile in a named copy (BackupPathFor
// beside it, else in the user's settings folder; where neither can be made,
// an unnamed temporary file that only this process sees), removed once the
// new bytes are on disk: a process killed while writing in place leaves that
// copy, and RestoreInterrupted puts it back. Should the write fail, the old bytes are
// put back at once.
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

#include <cstdint>
#include <string>
#include <string_view>

#include "io/File.h"

class CWriteSlot;

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

    struct Options {
        // Write the file behind a symbolic link; without it the link itself
        // is replaced by the new file and what it leads to stays untouched.
        bool followLinks = true;
        // Without it Commit refuses (EEXIST) a target that exists, also as
        // a link.
        bool replaceExisting = true;
        // The claimed temporary file to write to, instead of a new one.
        CWriteSlot* slot = nullptr;
    };

    // Checks that the target (the real file behind a symbolic link) may be
    // written and makes the temporary file. Throws CFileException naming
    // `path`.
    void Open(const std::string& path) { Open(path, Options{}); }
    void Open(const std::string& path, const Options& options);

    // How an earlier write in place of `path` ended.
    enum class Interrupted {
        None,      // there was none, or it finished
        Restored,  // killed part way: the old bytes were put back
        Failed,    // killed part way, and the old bytes could not be put back
    };
    // Puts back the old bytes that a process killed while writing `path` in
    // place left; *backup names their copy (kept when Failed), *error the
    // cause of a failure.
    static Interrupted RestoreInterrupted(const std::string& path, std::string* backup,
                                          int* error);
    // The copy of the old bytes of `path` in the user's settings folder, for
    // a folder where none can be made beside it; empty when there is none.
    static std::string FolderBackupPath(const std::string& path);

    // For tests of interrupted writes: called after each piece written over
    // a target in place, with the bytes written so far.
    static void SetInPlaceHook(void (*hook)(std::uint64_t written));

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
    // Writes all of `data` over the target from its start, the old bytes in
    // their named copy meanwhile; puts them back when that fails.
    void WriteInPlace(CFile& data);

    CFile m_file;
    Options m_options;
    std::string m_path;      // as given, for messages
    std::string m_realPath;  // the file that is replaced
    std::string m_tempPath;
    bool m_inPlace = false;
};
