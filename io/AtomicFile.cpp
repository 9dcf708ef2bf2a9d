#include "io/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <vector>

#include "io/WriteSlot.h"
#include "platform/Platform.h"

namespace {

// The folder refuses: no file may be made or replaced there by this user.
bool IsPermissionError(int err) { return err == EACCES || err == EPERM || err == EROFS; }

void (*g_inPlaceHook)(std::uint64_t) = nullptr;

// The status of the file a target path names: through a link or of the
// path itself.
bool TargetStatus(const std::string& path, bool followLinks, Platform::FileStatus* status) {
    return followLinks ? Platform::StatusOf(path, status) : Platform::LinkStatusOf(path, status);
}

// Throws CFileException naming `path` unless the user may write the
// existing file `realPath`. Opening for writing changes nothing in it.
void RequireWriteAccess(const std::string& realPath, const std::string& path) {
    const int fd = Platform::OpenDescriptor(realPath, Platform::kWrite);
    if (fd < 0) CFileException::ThrowOsError(errno, path, true);
    Platform::CloseDescriptor(fd);
}

// A temporary file of the system whose messages name `path`.
void OpenSystemTemporary(CFile& file, const std::string& path) {
    const int fd = Platform::OpenTemporaryDescriptor();
    if (fd < 0) CFileException::ThrowOsError(errno, path, true);
    file.Attach(fd, path);
}

// Copies the rest of `from` to `to`; `inPlace`: `to` is the target written
// in place, whose test hook sees each piece.
void CopyRest(CFile& from, CFile& to, bool inPlace = false) {
    std::vector<char> buffer(1 << 16);
    std::uint64_t written = 0;
    for (;;) {
        const std::size_t n = from.Read(buffer.data(), buffer.size());
        to.Write(buffer.data(), n);
        written += n;
        if (inPlace && g_inPlaceHook != nullptr) g_inPlaceHook(written);
        if (n < buffer.size()) return;
    }
}

// Writes the rest of `from` over `to` from its start, cut to that length
// and flushed.
void Overwrite(CFile& from, CFile& to, bool inPlace) {
    to.SeekToBegin();
    CopyRest(from, to, inPlace);
    to.SetLength(from.GetLength());
    to.Flush();
}

// Makes `name` from a copy of the rest of `from`, whole or not at all:
// written under a temporary name, flushed and then named. Returns 0, or the
// error number (EEXIST when `name` exists).
int MakeCopy(CFile& from, const std::string& name) {
    const std::string temp = TemporaryPathFor(name);
    const unsigned flags =
        Platform::kWrite | Platform::kCreate | Platform::kExclusive | Platform::kNoFollow;
    int fd = Platform::OpenDescriptor(temp, flags);
    if (fd < 0 && errno == EEXIST) {
        // Left by a process killed while making the copy.
        Platform::RemoveFile(temp);
        fd = Platform::OpenDescriptor(temp, flags);
    }
    if (fd < 0) return errno;
    CFile copy;
    copy.Attach(fd, name);
    try {
        CopyRest(from, copy);
        copy.Flush();
        copy.Close();
    } catch (const CFileException& e) {
        copy.Abort();
        Platform::RemoveFile(temp);
        return e.m_lOsError != 0 ? e.m_lOsError : EIO;
    }
    if (!Platform::RenameNoReplace(temp, name)) {
        const int err = errno;
        Platform::RemoveFile(temp);
        return err;
    }
    return 0;
}

}  // namespace

void CAtomicFile::SetInPlaceHook(void (*hook)(std::uint64_t)) { g_inPlaceHook = hook; }

std::string CAtomicFile::FolderBackupPath(const std::string& path) {
    const std::string settings = Platform::UserConfigFolder();
    Platform::FileStatus status;
    if (settings.empty() || !Platform::StatusOf(path, &status)) return {};
    return settings + "terrax/backup/" + std::to_string(status.id.device) + "-" +
           std::to_string(status.id.index) + ".bak";
}

CAtomicFile::Interrupted CAtomicFile::RestoreInterrupted(const std::string& path,
                                                         std::string* backup, int* error) {
    const std::string real = Platform::ReplacementTarget(path);
    std::string found;
    for (const std::string& candidate : {BackupPathFor(real), FolderBackupPath(real)}) {
        Platform::FileStatus status;
        if (!candidate.empty() && Platform::LinkStatusOf(candidate, &status) && status.regular) {
            found = candidate;
            break;
        }
    }
    if (found.empty()) return Interrupted::None;
    *backup = found;
    try {
        CFile old(found, CFile::modeRead);
        CFile target(real, CFile::modeReadWrite);
        Overwrite(old, target, false);
        target.Close();
    } catch (const CFileException& e) {
        *error = e.m_lOsError != 0 ? e.m_lOsError : EIO;
        return Interrupted::Failed;
    }
    Platform::RemoveFile(found);
    return Interrupted::Restored;
}

void CAtomicFile::WriteWhole(const std::string& path, std::string_view bytes) {
    CAtomicFile out;
    out.Open(path);
    out.GetFile().Write(bytes.data(), bytes.size());
    out.Commit();
}

CAtomicFile::~CAtomicFile() { Abort(); }

void CAtomicFile::Open(const std::string& path, const Options& options) {
    Abort();
    m_path = path;
    m_options = options;
    m_realPath = options.followLinks ? Platform::ReplacementTarget(path) : path;

    Platform::FileStatus status;
    const bool present = Platform::LinkStatusOf(m_realPath, &status);
    if (present && !options.replaceExisting) CFileException::ThrowOsError(EEXIST, path, true);
    const bool existing = TargetStatus(m_realPath, options.followLinks, &status) && status.regular;
    if (existing) RequireWriteAccess(m_realPath, m_path);
    if (options.slot != nullptr && !options.slot->TempPath().empty()) {
        const int fd = Platform::OpenDescriptor(options.slot->TempPath(),
                                                Platform::kReadWrite | Platform::kNoFollow);
        if (fd < 0) CFileException::ThrowOsError(errno, path, true);
        m_file.Attach(fd, m_path);
        m_file.SetLength(0);
        m_tempPath = options.slot->TempPath();
        return;
    }
    if (!existing || status.links <= 1) {
        const int err = CreateTemporaryBeside();
        if (err == 0) return;
        if (!existing || !IsPermissionError(err)) CFileException::ThrowOsError(err, path, true);
    }
    OpenSystemTemporary(m_file, path);
    m_inPlace = true;
}

int CAtomicFile::CreateTemporaryBeside() {
    std::random_device rd;
    std::mt19937_64 gen((static_cast<std::uint64_t>(rd()) << 32) ^ rd());
    const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 8; ++i) suffix += digits[gen() % 36];
        // The name of TemporaryPathFor with a random tag: as short.
        const std::string temp = TemporaryPathFor(m_realPath) + "." + suffix;
        const int fd = Platform::OpenDescriptor(temp, Platform::kReadWrite | Platform::kCreate |
                                                          Platform::kExclusive |
                                                          Platform::kNoFollow);
        if (fd >= 0) {
            m_tempPath = temp;
            m_file.Attach(fd, m_path);
            return 0;
        }
        err = errno;
        if (err != EEXIST) break;
    }
    return err;
}

void CAtomicFile::Commit() {
    if (m_tempPath.empty() && !m_inPlace) return;
    try {
        if (m_inPlace) {
            WriteInPlace(m_file);
        } else {
            m_file.Flush();
            Platform::FileStatus old;
            const bool existing =
                TargetStatus(m_realPath, m_options.followLinks, &old) && old.regular;
            if (existing) RequireWriteAccess(m_realPath, m_path);
            bool inPlace = existing && old.links > 1;
            // A file of another owner is written in place rather than
            // replaced by one of this user's.
            if (existing && !inPlace && !Platform::MatchOwnerAndMode(m_file.Descriptor(), old)) {
                if (!IsPermissionError(errno)) CFileException::ThrowOsError(errno, m_path, true);
                inPlace = true;
            }
            if (!inPlace) {
                m_file.Close();
                const bool moved = m_options.replaceExisting
                                       ? Platform::ReplaceAtomically(m_tempPath, m_realPath)
                                       : Platform::RenameNoReplace(m_tempPath, m_realPath);
                if (moved) {
                    if (m_options.slot != nullptr && m_tempPath == m_options.slot->TempPath()) {
                        m_options.slot->MarkMoved();
                    }
                    m_tempPath.clear();
                    return;
                }
                const int err = errno;
                if (!existing || !IsPermissionError(err)) {
                    CFileException::ThrowOsError(err, m_path, true);
                }
                // A folder that lets the user write the file but not replace
                // it (a sticky folder of another user's).
                CFileException error;
                if (!m_file.Open(m_tempPath, CFile::modeRead, &error)) {
                    CFileException::ThrowOsError(error.m_lOsError, m_path, true);
                }
            }
            WriteInPlace(m_file);
        }
    } catch (...) {
        Abort();
        throw;
    }
    Abort();
}

void CAtomicFile::WriteInPlace(CFile& data) {
    const int fd = Platform::OpenDescriptor(m_realPath, Platform::kReadWrite);
    if (fd < 0) CFileException::ThrowOsError(errno, m_path, true);
    CFile target;
    target.Attach(fd, m_path);

    // The old bytes under a name until the new ones are on disk.
    std::string backup = BackupPathFor(m_realPath);
    int err = MakeCopy(target, backup);
    if (err != 0 && IsPermissionError(err)) {
        backup = FolderBackupPath(m_realPath);
        err = EACCES;
        if (!backup.empty()) {
            const std::string settings = Platform::UserConfigFolder();
            Platform::CreateFolder(settings + "terrax");
            Platform::CreateFolder(settings + "terrax/backup");
            target.SeekToBegin();
            err = MakeCopy(target, backup);
        }
    }
    // Where no copy can be named, an unnamed one still serves while this
    // process lives.
    CFile unnamed;
    if (err != 0 && IsPermissionError(err)) {
        backup.clear();
        OpenSystemTemporary(unnamed, m_path);
        target.SeekToBegin();
        CopyRest(target, unnamed);
        err = 0;
    }
    // EEXIST: the copy an interrupted write left, not yet put back.
    if (err != 0) CFileException::ThrowOsError(err, m_path, true);

    data.SeekToBegin();
    try {
        Overwrite(data, target, true);
        target.Close();
    } catch (const CFileException&) {
        // Put the old bytes back; the first failure is the one to tell.
        try {
            if (backup.empty()) {
                unnamed.SeekToBegin();
                Overwrite(unnamed, target, false);
            } else {
                CFile old(backup, CFile::modeRead);
                Overwrite(old, target, false);
                Platform::RemoveFile(backup);
            }
        } catch (const CFileException&) {
        }
        throw;
    }
    if (!backup.empty()) Platform::RemoveFile(backup);
}

void CAtomicFile::Abort() {
    m_file.Abort();
    m_inPlace = false;
    if (!m_tempPath.empty()) {
        // A claimed temporary file stays the slot's until it is released.
        if (m_options.slot == nullptr || m_tempPath != m_options.slot->TempPath()) {
            Platform::RemoveFile(m_tempPath);
        }
        m_tempPath.clear();
    }
}
