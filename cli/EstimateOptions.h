// Options of the estimation run, "--estimate seven|four|three COMMON.txt":
// parameters from the common points of a file instead of a conversion; and
// "--estimate height --height-model constant|plane|quadric [--geoid
// egm96|FILE] COMMON.txt": a height model from common heights.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geodesy/HeightFit.h"
#include "geodesy/ParameterFit.h"
#include "params/CommonPointFile.h"

struct EstimateOptions {
    std::optional<FitModel> model;     // set by --estimate seven|four|three
    bool height = false;               // set by --estimate height
    std::optional<HeightSurface> heightModel;  // --height-model
    std::string geoid;                 // --geoid: egm96 or a grid file; empty for none
    std::vector<std::string> exclude;  // names of points to leave out (check points)
    std::optional<double> tolerance;   // metres
    std::optional<double> alpha;       // significance of the test, a fraction
    std::optional<int> level;          // 1 or 2: the local level four parameters go to
    TextEncoding encoding = TextEncoding::Detect;  // of COMMON.txt, --encoding
    bool json = false;
    std::string plot;         // SVG file of the residual plot, --plot; empty for none
    std::string saveProject;  // project file to write with the result applied; empty for none

    // True when --estimate was given: the run estimates instead of converting.
    bool Active() const { return model.has_value() || height; }
};

// -1 when `name` is not an option of the estimation, 0 when it takes no
// value (--json), 1 when it takes one.
int EstimateOptionArity(const std::string& name);

// Reads option `name` (with its value) into *options; false with a message
// for the user when the value is bad.
bool TakeEstimateOption(const std::string& name, const std::string& value, EstimateOptions* options,
                        std::string* error);
