// terrax-convert: converts point files from the command line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/ConvertRun.h"
#include "io/AtomicFile.h"
#include "platform/Platform.h"
#include "session/Globals.h"

namespace {

// Test-only fault injection: TERRAX_TEST_KILL=lines:N ends the process as a
// kill would once a conversion has written N lines; in-place:N once N bytes
// were written over a file in place.
void InstallTestKill() {
    const std::optional<std::string> kill = Platform::EnvironmentVariable("TERRAX_TEST_KILL");
    if (!kill) return;
    const std::size_t colon = kill->find(':');
    if (colon == std::string::npos) return;
    const std::string what = kill->substr(0, colon);
    static std::uint64_t limit = std::strtoull(kill->c_str() + colon + 1, nullptr, 10);
    if (limit == 0) return;
    if (what == "lines") KillAfterLinesForTests(limit);
    if (what == "in-place") {
        CAtomicFile::SetInPlaceHook([](std::uint64_t written) {
            if (written >= limit) Platform::TerminateNow();
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    InitGlobals();
    Platform::PrepareConsole();
    InstallTestKill();
    const std::vector<std::string> args = Platform::CommandLineArguments(argc, argv);
    RunStreams streams;
    streams.errIsTerminal = Platform::IsTerminal(stderr);
    streams.outOnErrTerminal = Platform::SameTerminal(stdout, stderr);
    return RunCommand(args, g_appDir, streams);
}
