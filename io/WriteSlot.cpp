#include "io/WriteSlot.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/Platform.h"

namespace {

// The longest file name, in UTF-8 bytes, that every supported file system
// takes (255; Windows counts UTF-16 units, never more than the bytes).
constexpr std::size_t kNameLimit = 255;

std::string BesideName(const std::string& path, const char* tag) {
    const std::size_t slash = path.find_last_of(Platform::PathSeparators());
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string beside = "." + name + ".~" + tag;
    if (beside.size() > kNameLimit) {
        // FNV-1a of the name.
        std::uint64_t h = 14695981039346656037ULL;
        for (unsigned char c : name) h = (h ^ c) * 1099511628211ULL;
        char digest[17];
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(h));
        beside = std::string(".~") + tag + "-" + digest;
    }
    return folder + beside;
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) { return BesideName(path, "tx"); }
std::string BackupPathFor(const std::string& path) { return BesideName(path, "bk"); }

CWriteSlot::~CWriteSlot() { Release(); }

CWriteSlot::Status CWriteSlot::Claim(const std::string& path) {
    Release();
    m_holder = 0;
    m_errno = 0;
    const std::string temp = TemporaryPathFor(path);
    for (int attempt = 0; attempt < 10; ++attempt) {
        int fd = Platform::OpenDescriptor(temp, Platform::kReadWrite | Platform::kCreate |
                                                    Platform::kExclusive | Platform::kNoFollow);
        if (fd < 0 && errno == EEXIST) {
            Platform::FileStatus link;
            if (Platform::LinkStatusOf(temp, &link) && link.symbolicLink) {
                Platform::RemoveFile(temp);
                continue;
            }
            // Left by another run: alive when it holds the lock.
            fd = Platform::OpenDescriptor(temp, Platform::kReadWrite | Platform::kNoFollow);
            if (fd < 0 && errno == ENOENT) continue;
        }
        bool itself = false;
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            // No file can be made beside it: the file itself is locked, and
            // written in place.
            fd = Platform::OpenDescriptor(path, Platform::kRead);
            itself = fd >= 0;
            if (!itself) errno = EACCES;
        }
        if (fd < 0) {
            m_errno = errno;
            return Status::Failed;
        }
        long long holder = 0;
        if (!Platform::TryLockDescriptor(fd, &holder)) {
            const int err = errno;
            Platform::CloseDescriptor(fd);
            if (err == EWOULDBLOCK) {
                m_holder = holder;
                return Status::HeldByOther;
            }
            m_errno = err;
            return Status::Failed;
        }
        // Locked: still the file under the temporary name? (Its holder may
        // have renamed or removed it meanwhile.)
        if (itself) {
            m_fd = fd;
            m_tempPath.clear();
            m_moved = true;
            return Status::Claimed;
        }
        Platform::FileStatus mine, named;
        if (Platform::StatusOfDescriptor(fd, &mine) && Platform::LinkStatusOf(temp, &named) &&
            mine.id == named.id) {
            if (!Platform::ResizeDescriptor(fd, 0)) {
                m_errno = errno;
                Platform::CloseDescriptor(fd);
                return Status::Failed;
            }
            m_fd = fd;
            m_tempPath = temp;
            m_moved = false;
            return Status::Claimed;
        }
        Platform::CloseDescriptor(fd);
    }
    m_errno = EBUSY;
    return Status::Failed;
}

void CWriteSlot::Release() {
    if (m_fd < 0) return;
    // Removed while still locked, so that no other run takes it over half made.
    if (!m_moved && !m_tempPath.empty()) Platform::RemoveFile(m_tempPath);
    Platform::CloseDescriptor(m_fd);
    m_fd = -1;
    m_tempPath.clear();
    m_moved = false;
}
