// terrax-convert: converts point files from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "platform/Platform.h"
#include "session/Globals.h"

int main(int argc, char** argv) {
    InitGlobals();
    Platform::PrepareConsole();
    const std::vector<std::string> args = Platform::CommandLineArguments(argc, argv);
    RunStreams streams;
    streams.errIsTerminal = Platform::IsTerminal(stderr);
    streams.outOnErrTerminal = Platform::SameTerminal(stdout, stderr);
    return RunCommand(args, g_appDir, streams);
}
