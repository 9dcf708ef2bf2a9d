// The tests' system calls on Windows: wide-character environment and
// command lines, programs started with their standard handles on files or a
// pipe. Windows has no limit on the size of written files.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// After windows.h:
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "tests/support/TestPlatform.h"

namespace TestPlatform {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// One argument as CommandLineToArgvW reads it back: quoted when it holds
// blanks or quotes, backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A handle the child inherits: the file for reading or writing, or NUL.
HANDLE Inherited(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::wstring name = path.empty() ? L"NUL" : Wide(path);
    return CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

const bool kOpenerIsXdgOpen = false;
const char* const kConfigFolderVariable = "APPDATA";

void SetEnvironment(const std::string& name, const char* value) {
    const std::wstring wideName = Wide(name);
    const std::wstring wideValue = value != nullptr ? Wide(value) : std::wstring();
    // The C runtime's copy, which getenv reads (an empty value removes the
    // variable there), then the process environment, which the platform
    // layer reads.
    _wputenv_s(wideName.c_str(), wideValue.c_str());
    SetEnvironmentVariableW(wideName.c_str(), value != nullptr ? wideValue.c_str() : nullptr);
}

bool CanLimitFileSize() { return false; }

FileSizeLimitState LimitFileSize(std::uint64_t) { return {}; }

void RestoreFileSize(const FileSizeLimitState&) {}

std::FILE* StreamOf(int fd, const char* mode) { return _fdopen(fd, mode); }

int RunProgram(const std::vector<std::string>& command, const ProgramStreams& streams) {
    if (command.empty()) return -1;
    std::wstring program = Wide(command[0]);
    std::replace(program.begin(), program.end(), L'/', L'\\');
    std::wstring line;
    for (const std::string& arg : command) line += (line.empty() ? L"" : L" ") + Quoted(Wide(arg));

    HANDLE pipeWrite = nullptr;
    HANDLE in = INVALID_HANDLE_VALUE;
    if (streams.pipeInput != nullptr) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(&in, &pipeWrite, &inherit, 0)) return -1;
        SetHandleInformation(pipeWrite, HANDLE_FLAG_INHERIT, 0);
    } else {
        in = Inherited(streams.in, false);
    }
    const HANDLE out = Inherited(streams.out, true);
    const HANDLE err = Inherited(streams.err, true);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE &&
                         err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    for (const HANDLE h : {in, out, err}) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    std::thread writer;
    if (pipeWrite != nullptr) {
        writer = std::thread([pipeWrite, &bytes = *streams.pipeInput] {
            for (std::size_t done = 0; done < bytes.size();) {
                DWORD n = 0;
                const DWORD chunk =
                    static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 16));
                if (!WriteFile(pipeWrite, bytes.data() + done, chunk, &n, nullptr)) break;
                done += n;
            }
            CloseHandle(pipeWrite);
        });
    }
    DWORD status = static_cast<DWORD>(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        if (!GetExitCodeProcess(process.hProcess, &status)) status = static_cast<DWORD>(-1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (writer.joinable()) writer.join();
    return started ? static_cast<int>(status) : -1;
}

}  // namespace TestPlatform
