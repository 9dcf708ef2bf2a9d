// What differs between the systems the program runs on, in one place: files
// by UTF-8 path, file status and identity, replacing a file in one step,
// terminals, the executable's place, the desktop's opener, the user's
// environment and settings folder, the system's table of the Chinese code
// page, and the arguments and console of a command-line program.
// PlatformPosix.cpp and PlatformWindows.cpp implement it; no other file asks
// which system it runs on.
//
// Paths are UTF-8 texts. Failures set errno to a POSIX error number on every
// system (the Windows implementation translates its own error codes), so that
// callers and CFileException name the same causes everywhere.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// errno of an exceeded disk quota; ENOSPC where the system tells no quota
// apart.
extern const int kDiskQuotaErrno;

// ---- Files by descriptor --------------------------------------------------

enum OpenFlags : unsigned {
    kRead = 0x1,
    kWrite = 0x2,
    kReadWrite = kRead | kWrite,
    kCreate = 0x4,     // create the file when it is missing
    kTruncate = 0x8,   // empty an existing file
    kExclusive = 0x10,  // with kCreate: fail with EEXIST when the file exists
    kNoFollow = 0x20    // a symbolic link (or other reparse point) is refused with ELOOP
};

// Opens a file for binary input or output, not inherited by child processes;
// an open file may still be renamed or removed (on Windows it is shared for
// deletion). Returns the descriptor, or -1 with errno; a directory is
// refused (EISDIR).
int OpenDescriptor(const std::string& path, unsigned flags);
// As read(2): the bytes read, 0 at the end of the file, -1 with errno.
long long ReadDescriptor(int fd, void* buffer, std::size_t count);
// As write(2): the bytes written (possibly fewer than asked), -1 with errno.
long long WriteDescriptor(int fd, const void* buffer, std::size_t count);
// Writes the file's data through to the device. 0, or -1 with errno; a
// descriptor that cannot be synchronised (a pipe, a device) is no failure.
int SyncDescriptor(int fd);
// Closes the descriptor: 0, or -1 with errno (the descriptor is closed anyway).
int CloseDescriptor(int fd);
// The size of an open file in bytes; false with errno.
bool DescriptorSize(int fd, std::uint64_t* size);
// Moves the position of an open file to `offset` bytes from its start;
// false with errno.
bool SeekDescriptor(int fd, std::uint64_t offset);
// Cuts an open file to `size` bytes, or extends it with zero bytes; false
// with errno.
bool ResizeDescriptor(int fd, std::uint64_t size);
// A new empty file for reading and writing in the system's folder for
// temporary files, reached by no name, which disappears when its descriptor
// is closed. -1 with errno.
int OpenTemporaryDescriptor();

// fopen by UTF-8 path; nullptr with errno.
std::FILE* OpenStream(const std::string& path, const char* mode);

// ---- Status and identity --------------------------------------------------

// Which file a path leads to: device and inode, or on Windows volume serial
// number and file index. Links to one file give the same identity.
struct FileId {
    unsigned long long device = 0;
    unsigned long long index = 0;
    bool operator==(const FileId&) const = default;
    auto operator<=>(const FileId&) const = default;
};

struct FileStatus {
    bool directory = false;
    bool regular = false;          // an ordinary file (not a directory, device or pipe)
    bool symbolicLink = false;     // LinkStatusOf only: the path itself is a link
    std::uint64_t size = 0;        // of a regular file; 0 otherwise
    unsigned long long links = 0;  // names (hard links) the file has
    FileId id;
    // Owner, group and permission bits; on Windows 0 (its replacement keeps
    // the old file's security).
    unsigned long long owner = 0, group = 0;
    unsigned mode = 0;
};

// The status of the file a path leads to, following symbolic links. False
// with errno when there is none or it cannot be examined.
bool StatusOf(const std::string& path, FileStatus* status);
// The status of the file under an open stream; false with errno.
bool StatusOfStream(std::FILE* stream, FileStatus* status);
// The status of the path itself: a symbolic link is not followed (it gives
// symbolicLink, and its own identity). False with errno when there is none.
bool LinkStatusOf(const std::string& path, FileStatus* status);
// The status of the file under an open descriptor; false with errno.
bool StatusOfDescriptor(int fd, FileStatus* status);
// Whether the path leads to a file or directory.
bool Exists(const std::string& path);

// Removes a file (not a directory); false with errno.
bool RemoveFile(const std::string& path);

// The characters that separate the folders of a path: "/", and on Windows
// "\" too.
const char* PathSeparators();

// A text equal for two names in one folder exactly when the system takes
// them for one file: the name itself, on Windows in upper case (its file
// systems ignore case).
std::string NameKey(const std::string& name);

// ---- Replacing a file safely ----------------------------------------------

// The file that a write meant for `path` should replace: the target of a
// symbolic link, else the path itself.
std::string ReplacementTarget(const std::string& path);
// Replaces `target` by the closed, complete file `replacement` (beside it,
// on the same volume) in one step, so that a reader sees either the old file
// whole or the new one whole; the new file keeps the old one's permissions
// (on Windows its attributes and security). The replacement is made durable
// before returning where the system allows. On failure returns false with
// errno; `target` is then unchanged and `replacement` still exists.
bool ReplaceAtomically(const std::string& replacement, const std::string& target);

// Renames `from` to `to` unless `to` exists (also as a dangling link): false
// with EEXIST then, and with errno on any other failure.
bool RenameNoReplace(const std::string& from, const std::string& to);
// Gives the open file `fd` the owner, group and permission bits of `like`
// (the file it replaces). False with errno (EPERM: the user may not give it
// that owner); on Windows nothing to do.
bool MatchOwnerAndMode(int fd, const FileStatus& like);

// Locks an open file against other processes that lock it too (advisory,
// on no byte of its data, so reading and writing it stay free), without
// waiting; held until the descriptor is closed. False with EWOULDBLOCK when
// another process holds it (*holder its process id where the system tells,
// else 0), with errno on any other failure.
bool TryLockDescriptor(int fd, long long* holder);

// ---- Process and desktop --------------------------------------------------

// Whether the stream writes to (or reads from) a terminal or console.
bool IsTerminal(std::FILE* stream);
// Whether both streams are terminals and the same one (on Windows: both the
// process's console), so that what one writes shows among what the other
// writes.
bool SameTerminal(std::FILE* a, std::FILE* b);
// The full path of the running executable with "/" between folders (links
// resolved); empty when it cannot be found.
std::string ExecutablePath();
// Opens the file with the desktop's program for it (xdg-open; on Windows the
// shell's association), started without a command shell, without waiting.
// False when it could not be started. Once it has started, `ended` (when
// given) is called once, on another thread or before the return, when the
// opener is done: false when it said it could not open the file (xdg-open's
// failing exit status).
bool OpenWithDesktop(const std::string& path, std::function<void(bool opened)> ended = {});
// The family of the Chinese font the dialogs are drawn with: Debian's
// WenQuanYi Micro Hei (fonts-wqy-microhei); on Windows its own Microsoft
// YaHei.
const char* DialogFontFamily();

// The program's arguments after its name, as UTF-8 texts (on Windows read
// from the wide-character command line, whatever the ANSI code page is).
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Prepares the standard streams of a command-line program: standard input,
// output and error pass bytes unchanged (no line-end translation on Windows,
// so that every system writes the same bytes), and a Windows console shows
// the UTF-8 messages as UTF-8.
void PrepareConsole();

// Ends the process at once, as a kill would: no handler, no flushing. For
// tests that interrupt a run at a chosen point.
[[noreturn]] void TerminateNow();
// The running process's id.
long long ProcessId();

// ---- The user's environment and folders ----------------------------------

// The value of an environment variable as UTF-8 (on Windows read from the
// wide-character environment, whatever the ANSI code page is); nullopt when
// it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);
// The folder where the user's programs keep their settings, with "/" between
// folders and a final "/": $XDG_CONFIG_HOME when it is an absolute path, else
// $HOME/.config/; on Windows %APPDATA%, else the user's roaming application
// data folder. Empty when there is none.
std::string UserConfigFolder();
// The user's home folder with "/" between folders and a final "/": $HOME,
// on Windows %USERPROFILE%, else the user's profile folder. Empty when there
// is none.
std::string UserHomeFolder();
// The place of a file in the settings folder as help texts name it:
// "$XDG_CONFIG_HOME/NAME (by default ~/.config/NAME)", on Windows
// "%APPDATA%\NAME" (with "\" between its folders).
std::string UserConfigPathForHelp(const std::string& name);
// Creates one folder that only its owner may use (mode 0700; on Windows it
// takes the security of the folder it lies in, which for the user's own
// folders is the user's). False with errno: EEXIST when the name is taken,
// ENOENT when the folder above is missing.
bool CreateFolder(const std::string& path);

// ---- The Chinese code page ------------------------------------------------

// The system's table of the two-byte codes of the Chinese code page (GBK):
// for lead bytes 0x81..0xFE and trail bytes 0x40..0xFE except 0x7F, lead by
// lead, the character each code reads as; 0 for a code it does not map.
// kTwoByteCodes entries; false when the system has no such table.
inline constexpr std::size_t kTwoByteCodes = 126 * 190;
bool LoadTwoByteTable(std::vector<char32_t>* table);

}  // namespace Platform
