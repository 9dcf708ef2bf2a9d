#include <cstdio>
#include <string>
#include <vector>

#include "app/ConvertApp.h"
#include "app/Globals.h"
#include "app/StartOptions.h"

CConvertApp theApp;

int main(int argc, char** argv) {
    // --version and --help need no display.
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = AnswerStartOption(args, ExecutableDirectory(), stdout)) {
        return *status;
    }
    return TerraxMain(argc, argv);
}
