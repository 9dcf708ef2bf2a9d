#include <cstdio>
#include <string>
#include <vector>

#include "session/Globals.h"
#include "session/StartOptions.h"
#include "ui/app/ConvertApp.h"
#include "ui/prompts/QtUiSeam.h"

CConvertApp theApp;

int main(int argc, char** argv) {
    // --version and --help need no display.
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = AnswerStartOption(args, ExecutableDirectory(), stdout)) {
        return *status;
    }
    // Message boxes and file dialogs are Qt's own.
    CQtUiSeam prompts;
    AfxSetUiSeam(&prompts);
    return TerraxMain(argc, argv);
}
