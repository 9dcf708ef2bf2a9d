// The whole of terrax-convert: the options, then the version, the help, an
// estimation or a conversion.
#pragma once

#include <string>
#include <vector>

#include "cli/ConvertRun.h"

// From the arguments (without the program name) to the exit status. appDir is
// the directory of the default format store, ending with "/".
int RunCommand(const std::vector<std::string>& args, const std::string& appDir,
               const RunStreams& streams);
