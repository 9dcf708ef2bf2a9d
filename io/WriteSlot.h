// A run's claim on a file it will write: the file's temporary name beside
// it, created exclusively (never through a link) and locked for as long as
// the claim is held. A second process that claims the same file finds the
// lock and is refused; a temporary file left by a killed process is no
// longer locked, and the next claim takes it over.
//
//   CWriteSlot slot;
//   if (slot.Claim(path) == CWriteSlot::Status::HeldByOther) ... slot.Holder() ...
//   CAtomicFile out;
//   out.Open(path, {.slot = &slot});  // the data goes to slot.TempPath()
#pragma once

#include <string>

// The temporary name of `path` beside it: ".NAME.~tx", or for a name too
// long for that ".~tx" and a digest of the name; never longer than the
// longest name the file systems allow when NAME itself is allowed.
std::string TemporaryPathFor(const std::string& path);
// The name beside `path` that keeps its old bytes while it is written in
// place: ".NAME.~bk", shortened as TemporaryPathFor does.
std::string BackupPathFor(const std::string& path);

class CWriteSlot {
public:
    enum class Status {
        Claimed,
        HeldByOther,  // another process holds it (Holder)
        Failed,       // the temporary file cannot be made (ErrorNumber)
    };

    CWriteSlot() = default;
    // Releases the claim.
    ~CWriteSlot();
    CWriteSlot(const CWriteSlot&) = delete;
    CWriteSlot& operator=(const CWriteSlot&) = delete;

    // Claims the file `path` will be written as (the caller resolves links
    // it means to write through). A symbolic link under the temporary name
    // is removed, never followed. Where no file can be made beside an
    // existing `path` (a folder without write permission), the lock is taken
    // on `path` itself and TempPath is empty.
    Status Claim(const std::string& path);
    // Removes the temporary file, unless it took the file's place, and
    // gives up the lock.
    void Release();

    bool IsClaimed() const { return m_fd >= 0; }
    // The locked temporary file; its descriptor stays the slot's. Empty when
    // the file itself is locked.
    const std::string& TempPath() const { return m_tempPath; }
    int Descriptor() const { return m_fd; }
    // The temporary file has taken the file's place: Release keeps it.
    void MarkMoved() { m_moved = true; }
    // The process id of the other holder, 0 when the system does not tell.
    long long Holder() const { return m_holder; }
    int ErrorNumber() const { return m_errno; }

private:
    std::string m_tempPath;
    int m_fd = -1;
    bool m_moved = false;
    long long m_holder = 0;
    int m_errno = 0;
};
