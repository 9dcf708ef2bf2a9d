// The heights of a session: the switch 高程拟合, the height model fitted
// from common points, and the geoid grid it stands on or that alone gives
// the height anomaly ζ.
#pragma once

#include <optional>
#include <string>

#include "geodesy/HeightFit.h"

struct SessionHeights {
    bool enabled = false;              // check box 高程拟合
    std::optional<HeightModel> model;  // none: ζ from the geoid alone, when one is named
    std::string geoid;                 // "" none, kEgm96Name or a path
};
