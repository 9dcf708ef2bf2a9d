#include "framework/AtomicFile.h"

#include <cerrno>
#include <cstdint>
#include <random>

#include "framework/Platform.h"

CAtomicFile::~CAtomicFile() { Abort(); }

void CAtomicFile::Open(const std::string& path) {
    Abort();
    m_path = path;
    m_realPath = Platform::ReplacementTarget(path);

    std::random_device rd;
    std::mt19937_64 gen((static_cast<std::uint64_t>(rd()) << 32) ^ rd());
    const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    int fd = -1;
    int err = 0;
    std::string temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 8; ++i) suffix += digits[gen() % 36];
        temp = m_realPath + ".tmp" + suffix;
        fd = Platform::OpenDescriptor(temp,
                                      Platform::kWrite | Platform::kCreate | Platform::kExclusive);
        if (fd >= 0) break;
        err = errno;
        if (err != EEXIST) break;
    }
    if (fd < 0) CFileException::ThrowOsError(err, path, true);
    m_tempPath = temp;
    m_file.Attach(fd, path);
}

void CAtomicFile::Commit() {
    if (m_tempPath.empty()) return;
    try {
        m_file.Flush();
        m_file.Close();
        if (!Platform::ReplaceAtomically(m_tempPath, m_realPath)) {
            CFileException::ThrowOsError(errno, m_path, true);
        }
    } catch (...) {
        Abort();
        throw;
    }
    m_tempPath.clear();
}

void CAtomicFile::Abort() {
    m_file.Abort();
    if (!m_tempPath.empty()) {
        Platform::RemoveFile(m_tempPath);
        m_tempPath.clear();
    }
}
