#include "framework/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>

namespace {

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a write to `path` should replace: the target of a symbolic link,
// else the path itself.
std::string RealTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

}  // namespace

CAtomicFile::~CAtomicFile() { Abort(); }

void CAtomicFile::Open(const std::string& path) {
    Abort();
    m_path = path;
    m_realPath = RealTarget(path);

    std::random_device rd;
    std::mt19937_64 gen((static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^ ::getpid());
    const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    int fd = -1;
    int err = 0;
    std::string temp;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix;
        for (int i = 0; i < 8; ++i) suffix += digits[gen() % 36];
        temp = m_realPath + ".tmp" + suffix;
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) break;
        err = errno;
        if (err != EEXIST && err != EINTR) break;
    }
    if (fd < 0) CFileException::ThrowOsError(err, path, true);
    m_tempPath = temp;
    m_file.Attach(fd, path);
}

void CAtomicFile::Commit() {
    if (m_tempPath.empty()) return;
    try {
        struct stat st;
        if (::stat(m_realPath.c_str(), &st) == 0) {
            ::chmod(m_tempPath.c_str(), st.st_mode & 07777);
        }
        m_file.Flush();
        m_file.Close();
        if (::rename(m_tempPath.c_str(), m_realPath.c_str()) != 0) {
            CFileException::ThrowOsError(errno, m_path, true);
        }
    } catch (...) {
        Abort();
        throw;
    }
    m_tempPath.clear();
    // Make the rename itself durable; a failure here leaves a complete file.
    int dir = ::open(DirectoryOf(m_realPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void CAtomicFile::Abort() {
    m_file.Abort();
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}
