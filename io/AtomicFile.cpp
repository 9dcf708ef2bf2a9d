#include "io/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/Platform.h"

namespace {

// The folder refuses: no file may be made or replaced there by this user.
bool IsPermissionError(int err) { return err == EACCES || err == EPERM; }

bool IsExistingFile(const std::string& path) {
    Platform::FileStatus status;
    return Platform::StatusOf(path, &status) && status.regular;
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

void CopyRest(CFile& from, CFile& to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const std::size_t n = from.Read(buffer.data(), buffer.size());
        to.Write(buffer.data(), n);
        if (n < buffer.size()) return;
    }
}

}  // namespace

void CAtomicFile::WriteWhole(const std::string& path, std::string_view bytes) {
    CAtomicFile out;
    out.Open(path);
    out.GetFile().Write(bytes.data(), bytes.size());
    out.Commit();
}

CAtomicFile::~CAtomicFile() { Abort(); }

void CAtomicFile::Open(const std::string& path) {
    Abort();
    m_path = path;
    m_realPath = Platform::ReplacementTarget(path);

    Platform::FileStatus status;
    const bool existing = Platform::StatusOf(m_realPath, &status) && status.regular;
    if (existing) RequireWriteAccess(m_realPath, m_path);
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
        const std::string temp = m_realPath + ".tmp" + suffix;
        const int fd = Platform::OpenDescriptor(
            temp, Platform::kWrite | Platform::kCreate | Platform::kExclusive);
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
            m_file.Close();
            const bool existing = IsExistingFile(m_realPath);
            if (existing) RequireWriteAccess(m_realPath, m_path);
            if (Platform::ReplaceAtomically(m_tempPath, m_realPath)) {
                m_tempPath.clear();
                return;
            }
            const int err = errno;
            if (!existing || !IsPermissionError(err)) {
                CFileException::ThrowOsError(err, m_path, true);
            }
            // A folder that lets the user write the file but not replace it
            // (a sticky folder of another user's).
            CFile data;
            CFileException error;
            if (!data.Open(m_tempPath, CFile::modeRead, &error)) {
                CFileException::ThrowOsError(error.m_lOsError, m_path, true);
            }
            WriteInPlace(data);
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
    CFile old;
    OpenSystemTemporary(old, m_path);
    CopyRest(target, old);
    const std::uint64_t oldLength = old.GetLength();

    data.SeekToBegin();
    target.SeekToBegin();
    try {
        CopyRest(data, target);
        target.SetLength(data.GetLength());
        target.Flush();
        target.Close();
    } catch (const CFileException&) {
        // Put the old bytes back; the first failure is the one to tell.
        try {
            old.SeekToBegin();
            target.SeekToBegin();
            CopyRest(old, target);
            target.SetLength(oldLength);
            target.Flush();
        } catch (const CFileException&) {
        }
        throw;
    }
}

void CAtomicFile::Abort() {
    m_file.Abort();
    m_inPlace = false;
    if (!m_tempPath.empty()) {
        Platform::RemoveFile(m_tempPath);
        m_tempPath.clear();
    }
}
