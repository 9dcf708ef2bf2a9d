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
    if (options.version) {
        std::fprintf(streams.out, "%s (TerraX) %s\n", kProgram, TERRAX_VERSION);
        std::fflush(streams.out);
        return kExitConverted;
    }
    if (options.help) {
        std::fputs(HelpText(FormatStorePath(appDir)).c_str(), streams.out);
        std::fflush(streams.out);
        return kExitConverted;
    }
    if (options.estimate.model) return RunEstimate(options, streams);
    RunPlan plan;
    if (!PlanRun(options, appDir, &plan, &error)) {
        std::fprintf(streams.err, "%s: %s\n", kProgram, error.c_str());
        return kExitSetup;
    }
    return ExecuteRun(plan, options, streams);
}
