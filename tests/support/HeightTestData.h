// What the tests of heights share: the small geoid grid of tests/data, on
// which N = -20 + 4 (B - 30°) + (L - 114°) m for 30..31°N, 114..115°E, a
// plane height model beside it, and the lines of a converted output.
#pragma once

#include <string>
#include <vector>

#include "geodesy/Constants.h"
#include "geodesy/HeightFit.h"

inline const std::string kSmallGeoidGrid = std::string(TERRAX_TEST_DATA) + "/session/small_geoid.asc";

// A plane surface of constant term a0, its common points within 10 km of
// 30.3°N 114.6°E: points farther than 11 km north or east extrapolate it.
inline HeightModel PlaneModelNearTheGrid(double a0) {
    HeightModel m;
    m.surface = HeightSurface::Plane;
    m.centroidB = 30.3 * kDegToRad;
    m.centroidL = 114.6 * kDegToRad;
    m.scale = 10000;
    m.coefficients[0] = a0;
    const double extent[4] = {-1, 1, -1, 1};
    for (int i = 0; i < 4; ++i) m.extent[i] = extent[i];
    return m;
}

// The lines of `bytes`, each ended by CR LF (which is left out).
inline std::vector<std::string> CrlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(bytes.substr(start, at - start));
    }
    return lines;
}
