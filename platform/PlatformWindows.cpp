// The platform layer on Windows: wide-character calls for every path (UTF-8
// converted, never the ANSI code page), the C runtime's descriptors for open
// files, and Windows error codes translated to errno values.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <shellapi.h>
#include <shlobj.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace Platform {

const int kDiskQuotaErrno = ENOSPC;

namespace {

int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_PRIVILEGE_NOT_HELD:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return EACCES;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_TOO_LARGE:
            return EFBIG;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return EIO;
        default:
            return EINVAL;
    }
}

// Sets errno from the last Windows error; returns false for the caller.
bool Fail() {
    errno = ErrnoOf(GetLastError());
    return false;
}

// UTF-8 to UTF-16; false with EINVAL for a text that is not UTF-8.
bool ToWide(const std::string& utf8, std::wstring* wide) {
    wide->clear();
    if (utf8.empty()) return true;
    const int size = static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX));
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) {
        errno = EINVAL;
        return false;
    }
    wide->resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide->data(), n);
    return true;
}

std::string ToUtf8(const wchar_t* wide, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string WithSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

HANDLE HandleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

// A handle to the file a path leads to, for its status only.
HANDLE OpenForStatus(const std::wstring& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool StatusOfHandle(HANDLE handle, FileStatus* status) {
    *status = FileStatus{};
    // A console, pipe or device: no ordinary file, and no identity on a volume.
    if (GetFileType(handle) != FILE_TYPE_DISK) return true;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return Fail();
    status->directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status->regular = !status->directory;
    if (status->regular) {
        status->size = static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    }
    status->links = info.nNumberOfLinks;
    status->id = {info.dwVolumeSerialNumber,
                  static_cast<unsigned long long>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
    return true;
}

UINT g_previousConsoleOutput = 0;

}  // namespace

int OpenDescriptor(const std::string& path, unsigned flags) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return -1;
    DWORD access = 0;
    int oflag = _O_BINARY;
    if ((flags & kReadWrite) == kReadWrite) {
        access = GENERIC_READ | GENERIC_WRITE;
        oflag |= _O_RDWR;
    } else if (flags & kWrite) {
        access = GENERIC_WRITE;
        oflag |= _O_WRONLY;
    } else {
        access = GENERIC_READ;
        oflag |= _O_RDONLY;
    }
    DWORD disposition = OPEN_EXISTING;
    if ((flags & kCreate) && (flags & kExclusive)) {
        disposition = CREATE_NEW;
    } else if (flags & kCreate) {
        disposition = (flags & kTruncate) ? CREATE_ALWAYS : OPEN_ALWAYS;
    } else if (flags & kTruncate) {
        disposition = TRUNCATE_EXISTING;
    }
    const DWORD attributes =
        FILE_ATTRIBUTE_NORMAL | ((flags & kNoFollow) ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    // Shared for deletion too, so that an open file can be renamed, as on POSIX.
    const HANDLE handle =
        CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, disposition, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        // Windows refuses to open a folder as a file with "access denied".
        const int err = ErrnoOf(GetLastError());
        const DWORD found = GetFileAttributesW(wide.c_str());
        errno = found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR
                                                                                      : err;
        return -1;
    }
    if (flags & kNoFollow) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(handle, &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            CloseHandle(handle);
            errno = ELOOP;
            return -1;
        }
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), oflag);
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

long long ReadDescriptor(int fd, void* buffer, std::size_t count) {
    return _read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(count, INT_MAX)));
}

long long WriteDescriptor(int fd, const void* buffer, std::size_t count) {
    return _write(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(count, INT_MAX)));
}

int SyncDescriptor(int fd) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK || FlushFileBuffers(handle)) return 0;
    // A file opened for reading only has nothing to write through.
    if (GetLastError() == ERROR_ACCESS_DENIED) return 0;
    Fail();
    return -1;
}

int CloseDescriptor(int fd) { return _close(fd); }

bool DescriptorSize(int fd, std::uint64_t* size) {
    struct _stati64 st;
    if (_fstati64(fd, &st) != 0) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool SeekDescriptor(int fd, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EFBIG;
        return false;
    }
    return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) >= 0;
}

bool ResizeDescriptor(int fd, std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EFBIG;
        return false;
    }
    const errno_t err = _chsize_s(fd, static_cast<long long>(size));
    if (err == 0) return true;
    errno = err;
    return false;
}

int OpenTemporaryDescriptor() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH) {
        errno = ENOENT;
        return -1;
    }
    wchar_t name[MAX_PATH + 1];
    if (GetTempFileNameW(folder, L"trx", 0, name) == 0) {
        Fail();
        return -1;
    }
    // Deleted by the system when the descriptor is closed.
    const int fd = _wsopen(name, _O_RDWR | _O_BINARY | _O_NOINHERIT | _O_TEMPORARY | _O_SHORT_LIVED,
                           _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        const int err = errno;
        DeleteFileW(name);
        errno = err;
    }
    return fd;
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    std::wstring widePath, wideMode;
    if (!ToWide(path, &widePath) || !ToWide(mode, &wideMode)) return nullptr;
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

bool StatusOf(const std::string& path, FileStatus* status) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
    const HANDLE handle = OpenForStatus(wide);
    if (handle == INVALID_HANDLE_VALUE) return Fail();
    const bool ok = StatusOfHandle(handle, status);
    CloseHandle(handle);
    return ok;
}

bool StatusOfStream(std::FILE* stream, FileStatus* status) {
    const HANDLE handle = HandleOf(stream);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    return StatusOfHandle(handle, status);
}

bool LinkStatusOf(const std::string& path, FileStatus* status) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail();
    const HANDLE handle =
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Fail();
    const bool ok = StatusOfHandle(handle, status);
    CloseHandle(handle);
    if (ok && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        status->symbolicLink = true;
        status->regular = false;
        status->directory = false;
    }
    return ok;
}

bool StatusOfDescriptor(int fd, FileStatus* status) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    return StatusOfHandle(handle, status);
}

bool Exists(const std::string& path) {
    FileStatus status;
    return StatusOf(path, &status);
}

bool RemoveFile(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
    return DeleteFileW(wide.c_str()) || Fail();
}

const char* PathSeparators() { return "/\\"; }

std::string NameKey(const std::string& name) {
    std::wstring wide;
    if (!ToWide(name, &wide) || wide.empty()) return name;
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return ToUtf8(wide.data(), wide.size());
}

std::string ReplacementTarget(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return path;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return path;
    }
    const HANDLE handle = OpenForStatus(wide);
    if (handle == INVALID_HANDLE_VALUE) return path;
    std::wstring final(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
        final.resize(n + 1);
        n = GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(handle);
    if (n == 0 || n >= final.size()) return path;
    final.resize(n);
    // "\\?\C:\dir\file" or "\\?\UNC\server\share\file".
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        final.replace(0, 8, L"\\\\");
    } else if (final.rfind(L"\\\\?\\", 0) == 0) {
        final.erase(0, 4);
    }
    return WithSlashes(ToUtf8(final.data(), final.size()));
}

bool ReplaceAtomically(const std::string& replacement, const std::string& target) {
    std::wstring from, to;
    if (!ToWide(replacement, &from) || !ToWide(target, &to)) return false;
    const DWORD attributes = GetFileAttributesW(to.c_str());
    // ReplaceFileW would move a folder aside to the backup name.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // ReplaceFileW keeps the old file's attributes and security. With a
        // backup name every failure leaves the old file whole: under its own
        // name, or under the backup name, from which it is put back.
        const std::wstring backup = from + L".old";
        if (ReplaceFileW(to.c_str(), from.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            DeleteFileW(backup.c_str());
            return true;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            MoveFileExW(backup.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
        if (error != ERROR_FILE_NOT_FOUND) {
            errno = ErrnoOf(error);
            return false;
        }
        // The old file went away meanwhile: the new one simply moves in.
    }
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    return Fail();
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!ToWide(from, &wideFrom) || !ToWide(to, &wideTo)) return false;
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH) || Fail();
}

bool MatchOwnerAndMode(int, const FileStatus&) { return true; }

bool TryLockDescriptor(int fd, long long* holder) {
    *holder = 0;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return false;
    }
    // A byte far beyond any data: Windows' locks bar reading and writing
    // the bytes they cover.
    OVERLAPPED where{};
    where.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        return true;
    }
    const DWORD error = GetLastError();
    errno = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? EWOULDBLOCK
                                                                       : ErrnoOf(error);
    return false;
}

void TerminateNow() {
    TerminateProcess(GetCurrentProcess(), 137);
    std::_Exit(137);
}

long long ProcessId() { return static_cast<long long>(GetCurrentProcessId()); }

bool IsTerminal(std::FILE* stream) {
    const HANDLE handle = HandleOf(stream);
    DWORD mode;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

bool SameTerminal(std::FILE* a, std::FILE* b) {
    // A process has one console: two streams on it show their text together.
    return IsTerminal(a) && IsTerminal(b);
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return WithSlashes(ToUtf8(path.data(), n));
        path.resize(path.size() * 2);
    }
}

bool OpenWithDesktop(const std::string& path, std::function<void(bool opened)> ended) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '/', '\\');
    std::wstring wide;
    if (!ToWide(native, &wide)) return false;
    // The shell has handed the file to its program, or failed, when it returns.
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) return false;
    if (ended) ended(true);
    return true;
}

const char* DialogFontFamily() { return "Microsoft YaHei"; }

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(ToUtf8(wide[i], std::wcslen(wide[i])));
    LocalFree(wide);
    return args;
}

void PrepareConsole() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const UINT previous = GetConsoleOutputCP();
    if (previous != 0 && previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        // The console is the user's: give it back its code page at the end.
        g_previousConsoleOutput = previous;
        std::atexit([] { SetConsoleOutputCP(g_previousConsoleOutput); });
    }
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
    std::wstring wideName;
    if (!ToWide(name, &wideName)) return std::nullopt;
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                static_cast<DWORD>(value.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        // Too small: n is the size needed, with the final zero.
        if (n < value.size()) return ToUtf8(value.data(), n);
        value.resize(n);
    }
}

namespace {

// A folder of the user's from its environment variable, else from the shell;
// "/" between folders and a final "/", empty when there is none.
std::string UserFolder(const char* variable, int csidl) {
    std::string folder = EnvironmentVariable(variable).value_or("");
    if (folder.empty()) {
        wchar_t path[MAX_PATH];
        if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
            return {};
        }
        folder = ToUtf8(path, std::wcslen(path));
        if (folder.empty()) return {};
    }
    folder = WithSlashes(folder);
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string UserConfigFolder() { return UserFolder("APPDATA", CSIDL_APPDATA); }

std::string UserHomeFolder() { return UserFolder("USERPROFILE", CSIDL_PROFILE); }

std::string UserConfigPathForHelp(const std::string& name) {
    std::string path = "%APPDATA%\\" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool CreateFolder(const std::string& path) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
    return CreateDirectoryW(wide.c_str(), nullptr) || Fail();
}

bool LoadTwoByteTable(std::vector<char32_t>* table) {
    // GBK is code page 936; Windows' own GB18030 (54936) differs from one
    // version to the next, and Wine has none.
    if (!IsValidCodePage(936)) return false;
    table->assign(kTwoByteCodes, 0);
    std::size_t i = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wchar_t c[2];
            if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, code, 2, c, 2) == 1) {
                (*table)[i] = static_cast<char32_t>(c[0]);
            }
            ++i;
        }
    }
    return true;
}

}  // namespace Platform
