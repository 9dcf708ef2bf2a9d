#include "framework/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CFile::CFile(const std::string& path, unsigned flags) {
    CFileException error;
    if (!Open(path, flags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

bool CFile::Open(const std::string& path, unsigned flags, CFileException* error) {
    Abort();
    int oflags = O_CLOEXEC;
    if (flags & modeReadWrite) {
        oflags |= O_RDWR;
    } else if (flags & modeWrite) {
        oflags |= O_WRONLY;
    } else {
        oflags |= O_RDONLY;
    }
    const bool creating = (flags & modeCreate) != 0;
    if (creating) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate)) oflags |= O_TRUNC;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    int err = fd < 0 ? errno : 0;
    if (fd >= 0) {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            fd = -1;
            err = EISDIR;
        }
    }
    if (fd < 0) {
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
        ssize_t n = ::read(m_fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            CFileException::ThrowOsError(errno, m_path);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, std::size_t count) {
    const char* p = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            CFileException::ThrowOsError(errno, m_path);
        }
        done += static_cast<std::size_t>(n);
    }
}

void CFile::Flush() {
    if (m_fd < 0) return;
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
        CFileException::ThrowOsError(errno, m_path);
    }
}

void CFile::Close() {
    if (m_fd < 0) return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) CFileException::ThrowOsError(errno, m_path);
}

void CFile::Abort() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
}

std::uint64_t CFile::GetLength() const {
    if (m_fd < 0) CFileException::ThrowOsError(EBADF, m_path);
    struct stat st;
    if (::fstat(m_fd, &st) != 0) CFileException::ThrowOsError(errno, m_path);
    return static_cast<std::uint64_t>(st.st_size);
}
