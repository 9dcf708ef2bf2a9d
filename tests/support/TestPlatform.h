// What the tests need from the system that differs between POSIX and
// Windows: environment variables, a limit on the size of written files
// (fault injection), anonymous temporary streams, and running a program on
// files or a pipe.
// TestPlatformPosix.cpp and TestPlatformWindows.cpp implement it.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace TestPlatform {

// The variable Platform::UserConfigFolder reads first: XDG_CONFIG_HOME, on
// Windows APPDATA.
extern const char* const kConfigFolderVariable;

// Whether the desktop's opener is xdg-open found through PATH (on Windows it
// is the shell's own, which a test cannot stand in for).
extern const bool kOpenerIsXdgOpen;

// Sets an environment variable to a UTF-8 value, or removes it (nullptr).
void SetEnvironment(const std::string& name, const char* value);

// Whether this system can make writes beyond a file size fail.
bool CanLimitFileSize();
// Makes writing a regular file beyond `bytes` fail with EFBIG (the signal
// the system would send is ignored meanwhile); returns what RestoreFileSize
// needs to undo it.
struct FileSizeLimitState {
    std::uint64_t soft = 0, hard = 0;
    void (*handler)(int) = nullptr;
};
FileSizeLimitState LimitFileSize(std::uint64_t bytes);
void RestoreFileSize(const FileSizeLimitState& state);

// A stream over an open descriptor (fdopen); nullptr with errno.
std::FILE* StreamOf(int fd, const char* mode);

// A new empty file for reading and writing, reached by no name and gone
// when closed. Throws when none can be made. (std::tmpfile on Windows makes
// its files in the root of the drive, and fails there under load.)
inline std::FILE* TemporaryStream() {
    const int fd = Platform::OpenTemporaryDescriptor();
    std::FILE* stream = fd < 0 ? nullptr : StreamOf(fd, "w+b");
    if (stream == nullptr) {
        const int err = errno;
        if (fd >= 0) Platform::CloseDescriptor(fd);
        throw std::runtime_error(std::string("no temporary file: ") + std::strerror(err));
    }
    return stream;
}

// A program's standard streams: input from a file or, when `pipeInput` is
// set, through a pipe that another thread fills while the program runs;
// output and error to files. "" is the null device.
struct ProgramStreams {
    std::string in;
    const std::string* pipeInput = nullptr;
    std::string out;
    std::string err;
};
// Runs a program (its path first, then its arguments; UTF-8) without a
// shell and waits for it. Its exit status; -1 when it could not be started
// or did not end normally.
int RunProgram(const std::vector<std::string>& command, const ProgramStreams& streams);

}  // namespace TestPlatform
