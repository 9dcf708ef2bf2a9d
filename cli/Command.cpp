#include "cli/Command.h"

#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/EstimateRun.h"
#include "session/AppPaths.h"

namespace {
const char kProgram[] = "terrax-convert";
}  // namespace

int RunCommand(const std::vector<std::string>& args, const std::string& appDir,
               const RunStreams& streams) {
    ConvertOptions options;
    std::string error;
    if (!ParseCommandLine(args, &options, &error)) {
        std::fprintf(streams.err, "%s: %s\n", kProgram, error.c_str());
        std::fprintf(streams.err, "Try '%s --help' for the options.\n", kProgram);
        return kExitSetup;
    }
    int status = kExitConverted;
    if (options.version) {
        WriteOutput(std::string(kProgram) + " (TerraX) " + TERRAX_VERSION + "\n", streams, &status);
        return status;
    }
    if (options.help) {
        WriteOutput(HelpText(FormatStorePath(appDir)), streams, &status);
        return status;
    }
    if (options.estimate.Active()) return RunEstimate(options, appDir, streams);
    RunPlan plan;
    if (!PlanRun(options, appDir, &plan, &error)) {
        std::fprintf(streams.err, "%s: %s\n", kProgram, error.c_str());
        return kExitSetup;
    }
    return ExecuteRun(plan, options, streams);
}
