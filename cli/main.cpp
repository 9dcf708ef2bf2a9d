// terrax-convert: converts point files from the command line.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "cli/ConvertRun.h"

int main(int argc, char** argv) {
    InitGlobals();
    std::vector<std::string> args(argv + 1, argv + argc);
    RunStreams streams;
    streams.errIsTerminal = ::isatty(fileno(stderr)) != 0;
    return RunCommand(args, g_appDir, streams);
}
