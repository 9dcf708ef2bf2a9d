// The options that terrax answers before it opens a window: --version and
// --help. Everything else on its command line is for the window (Qt's own
// options, then the project file to open).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The text of terrax --help, naming the help page and the format store of an
// executable in `appDir`.
std::string WindowHelpText(const std::string& appDir);

// When `args` (without the program's name) ask for the version or the help,
// prints it on `out` and returns the exit status; otherwise nothing.
std::optional<int> AnswerStartOption(const std::vector<std::string>& args,
                                     const std::string& appDir, std::FILE* out);
