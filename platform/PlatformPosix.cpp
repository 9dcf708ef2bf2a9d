// The platform layer on POSIX systems (Linux).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <iconv.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

#include "platform/Platform.h"

extern char** environ;

namespace Platform {

const int kDiskQuotaErrno = EDQUOT;

namespace {

void FillStatus(const struct stat& st, FileStatus* status) {
    status->directory = S_ISDIR(st.st_mode);
    status->regular = S_ISREG(st.st_mode);
    status->size = status->regular ? static_cast<std::uint64_t>(st.st_size) : 0;
    status->links = static_cast<unsigned long long>(st.st_nlink);
    status->id = {static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino)};
    status->owner = st.st_uid;
    status->group = st.st_gid;
    status->mode = static_cast<unsigned>(st.st_mode & 07777);
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

int OpenDescriptor(const std::string& path, unsigned flags) {
    int oflags = O_CLOEXEC;
    if ((flags & kReadWrite) == kReadWrite) {
        oflags |= O_RDWR;
    } else if (flags & kWrite) {
        oflags |= O_WRONLY;
    } else {
        oflags |= O_RDONLY;
    }
    if (flags & kCreate) oflags |= O_CREAT;
    if (flags & kTruncate) oflags |= O_TRUNC;
    if (flags & kExclusive) oflags |= O_EXCL;
    if (flags & kNoFollow) oflags |= O_NOFOLLOW;
    int fd;
    do {
        fd = ::open(path.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    // The kernel opens a folder for reading; it is still no file.
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return -1;
    }
    return fd;
}

long long ReadDescriptor(int fd, void* buffer, std::size_t count) {
    ssize_t n;
    do {
        n = ::read(fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    return n;
}

long long WriteDescriptor(int fd, const void* buffer, std::size_t count) {
    ssize_t n;
    do {
        n = ::write(fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    return n;
}

int SyncDescriptor(int fd) {
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return -1;
}

int CloseDescriptor(int fd) {
    // After EINTR the descriptor is closed on Linux; retrying could close another.
    if (::close(fd) == 0 || errno == EINTR) return 0;
    return -1;
}

bool DescriptorSize(int fd, std::uint64_t* size) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool SeekDescriptor(int fd, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        errno = EFBIG;
        return false;
    }
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool ResizeDescriptor(int fd, std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        errno = EFBIG;
        return false;
    }
    int rc;
    do {
        rc = ::ftruncate(fd, static_cast<off_t>(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

int OpenTemporaryDescriptor() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    // A file without a name where the system offers one, else a named one
    // removed at once.
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    std::string name = folder + "/terrax-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    ::unlink(name.c_str());
    return fd;
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool StatusOf(const std::string& path, FileStatus* status) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    FillStatus(st, status);
    return true;
}

bool StatusOfStream(std::FILE* stream, FileStatus* status) {
    struct stat st;
    if (::fstat(::fileno(stream), &st) != 0) return false;
    FillStatus(st, status);
    return true;
}

bool LinkStatusOf(const std::string& path, FileStatus* status) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    FillStatus(st, status);
    status->symbolicLink = S_ISLNK(st.st_mode);
    return true;
}

bool StatusOfDescriptor(int fd, FileStatus* status) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    FillStatus(st, status);
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

const char* PathSeparators() { return "/"; }

std::string NameKey(const std::string& name) { return name; }

std::string ReplacementTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

bool ReplaceAtomically(const std::string& replacement, const std::string& target) {
    // The mode of the file replaced, not of what a link replaced leads to.
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::chmod(replacement.c_str(), st.st_mode & 07777);
    }
    if (::rename(replacement.c_str(), target.c_str()) != 0) return false;
    // Make the rename itself durable; a failure here still leaves a complete file.
    int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the flag: a second name, which fails when taken.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool MatchOwnerAndMode(int fd, const FileStatus& like) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    if ((st.st_uid != like.owner || st.st_gid != like.group) &&
        ::fchown(fd, static_cast<uid_t>(like.owner), static_cast<gid_t>(like.group)) != 0) {
        return false;
    }
    return ::fchmod(fd, static_cast<mode_t>(like.mode)) == 0;
}

namespace {

// The process that holds a lock on the file (device, inode), from the
// kernel's list of locks; 0 when it is not found there.
long long LockHolder(const struct stat& st) {
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (locks == nullptr) return 0;
    char line[256];
    long long holder = 0;
    while (holder == 0 && std::fgets(line, sizeof line, locks) != nullptr) {
        long long pid = 0;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"
        const char* p = std::strstr(line, "FLOCK");
        if (p == nullptr) continue;
        if (std::sscanf(p, "FLOCK %*s %*s %lld %x:%x:%llu", &pid, &major, &minor, &inode) == 4 &&
            inode == st.st_ino && major == ::major(st.st_dev) && minor == ::minor(st.st_dev)) {
            holder = pid;
        }
    }
    std::fclose(locks);
    return holder;
}

}  // namespace

bool TryLockDescriptor(int fd, long long* holder) {
    *holder = 0;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return true;
    if (errno != EWOULDBLOCK) return false;
    struct stat st;
    if (::fstat(fd, &st) == 0) *holder = LockHolder(st);
    errno = EWOULDBLOCK;
    return false;
}

void TerminateNow() {
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);
}

long long ProcessId() { return ::getpid(); }

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

bool SameTerminal(std::FILE* a, std::FILE* b) {
    if (!IsTerminal(a) || !IsTerminal(b)) return false;
    struct stat sa, sb;
    if (::fstat(::fileno(a), &sa) != 0 || ::fstat(::fileno(b), &sb) != 0) return false;
    return sa.st_rdev == sb.st_rdev;
}

std::string ExecutablePath() {
    std::string buf(4096, '\0');
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < buf.size()) {
            buf.resize(static_cast<std::size_t>(n));
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

bool OpenWithDesktop(const std::string& path, std::function<void(bool opened)> ended) {
    std::string program = "xdg-open";
    std::string argument = path;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return false;
    // Reap the opener when it ends, so that it leaves no zombie behind.
    std::thread([pid, ended = std::move(ended)] {
        int status = 0;
        pid_t reaped;
        while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        if (ended) ended(reaped == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }).detach();
    return true;
}

const char* DialogFontFamily() { return "WenQuanYi Micro Hei"; }

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    if (argc < 1) return {};
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrepareConsole() {}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string UserHomeFolder() {
    std::string folder = EnvironmentVariable("HOME").value_or("");
    if (folder.empty() || folder.front() != '/') return {};
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string UserConfigFolder() {
    std::string folder = EnvironmentVariable("XDG_CONFIG_HOME").value_or("");
    // A relative $XDG_CONFIG_HOME is no configuration folder.
    if (folder.empty() || folder.front() != '/') {
        folder = UserHomeFolder();
        if (folder.empty()) return {};
        folder += ".config";
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string UserConfigPathForHelp(const std::string& name) {
    return "$XDG_CONFIG_HOME/" + name + " (by default ~/.config/" + name + ")";
}

bool CreateFolder(const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0; }

bool LoadTwoByteTable(std::vector<char32_t>* table) {
    iconv_t cd = iconv_open("UTF-32LE", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    table->assign(kTwoByteCodes, 0);
    std::size_t i = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[8];
            char* ip = in;
            char* op = reinterpret_cast<char*>(out);
            std::size_t inLeft = sizeof in, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &inLeft, &op, &outLeft) != static_cast<std::size_t>(-1) &&
                outLeft == sizeof out - 4) {
                (*table)[i] = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 |
                                                    static_cast<char32_t>(out[3]) << 24);
            }
            ++i;
        }
    }
    iconv_close(cd);
    return true;
}

}  // namespace Platform
