// One run of "terrax-convert --estimate": the common points of a file, the
// sides' kinds and datums from the options over the project, the fit, its
// report on the output, and the project with the result applied.
#pragma once

#include "cli/CommandLine.h"
#include "cli/ConvertRun.h"

// Runs the estimation of options.estimate.model; returns the exit status:
// kExitConverted, kExitSetup for bad input (nothing written) or points that
// do not determine the parameters, kExitSkipped when the project could not
// be saved.
int RunEstimate(const ConvertOptions& options, const RunStreams& streams);
