// One run of "terrax-convert --estimate": the common points of a file, the
// sides' kinds and datums from the options over the project, the fit, its
// report on the output, and the project with the result applied. With
// --estimate height: the common heights of a file (positions on the datum
// of --target-datum or the project's target datum, plane ones in the
// project's projection), the height model, its report, and the project with
// the model, its geoid and the switch 高程拟合 on.
#pragma once

#include "cli/CommandLine.h"
#include "cli/ConvertRun.h"

// Runs the estimation of options.estimate; returns the exit status:
// kExitConverted, kExitSetup for bad input (nothing written) or points that
// do not determine the parameters or the model, kExitSkipped when the plot
// or the project could not be saved. appDir (ending with "/") is where the
// EGM96 grid is looked for first. *saved, when given, receives the session
// that --save-project wrote (left alone without it).
int RunEstimate(const ConvertOptions& options, const std::string& appDir,
                const RunStreams& streams, ConversionSession* saved = nullptr);
