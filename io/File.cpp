#include "io/File.h"

#include <cerrno>

#include "platform/Platform.h"

CFile::CFile(const std::string& path, unsigned flags) {
    CFileException error;
    if (!Open(path, flags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Abort();
    unsigned platformFlags = Platform::kRead;
    if (flags & modeReadWrite) {
        platformFlags = Platform::kReadWrite;
    } else if (flags & modeWrite) {
        platformFlags = Platform::kWrite;
    }
    const bool creating = (flags & modeCreate) != 0;
    if (creating) {
        platformFlags |= Platform::kCreate;
        if (!(flags & modeNoTruncate)) platformFlags |= Platform::kTruncate;
    }
    const int fd = Platform::OpenDescriptor(path, platformFlags);
    if (fd < 0) {
        const int err = errno;
        if (error)
            *error = CFileException(CFileException::CauseFromErrno(err, creating), path, err);
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

void CFile::Attach(int fd, const std::string& path) {
    Abort();
    m_fd = fd;
    m_path = path;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    char* p = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const long long n = Platform::ReadDescriptor(m_fd, p + done, count - done);
        if (n < 0) CFileException::ThrowOsError(errno, m_path);
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, std::size_t count) {
    const char* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const long long n = Platform::WriteDescriptor(m_fd, p + done, count - done);
        if (n < 0) CFileException::ThrowOsError(errno, m_path);
        done += static_cast<std::size_t>(n);
    }
}

void CFile::Flush() {
    if (m_fd < 0) return;
    if (Platform::SyncDescriptor(m_fd) != 0) CFileException::ThrowOsError(errno, m_path);
}

void CFile::Close() {
    if (m_fd < 0) return;
    int fd = m_fd;
    m_fd = -1;
    if (Platform::CloseDescriptor(fd) != 0) CFileException::ThrowOsError(errno, m_path);
}

void CFile::Abort() {
    if (m_fd < 0) return;
    Platform::CloseDescriptor(m_fd);
    m_fd = -1;
}

std::uint64_t CFile::GetLength() const {
    if (m_fd < 0) CFileException::ThrowOsError(EBADF, m_path);
    std::uint64_t size;
    if (!Platform::DescriptorSize(m_fd, &size)) CFileException::ThrowOsError(errno, m_path);
    return size;
}

void CFile::SeekToBegin() {
    if (m_fd < 0) CFileException::ThrowOsError(EBADF, m_path);
    if (!Platform::SeekDescriptor(m_fd, 0)) CFileException::ThrowOsError(errno, m_path);
}

void CFile::SetLength(std::uint64_t length) {
    if (m_fd < 0) CFileException::ThrowOsError(EBADF, m_path);
    if (!Platform::ResizeDescriptor(m_fd, length)) CFileException::ThrowOsError(errno, m_path);
}
