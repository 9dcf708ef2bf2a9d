// The heights of a session: the switch 高程拟合, the height model fitted
// from common points, and the geoid grid it stands on or that alone gives
// the height anomaly ζ.
//
// With the switch on, heights of space and geodetic coordinates are
// ellipsoidal heights h and heights of plane coordinates normal heights H:
// a conversion to plane coordinates gives H = h − ζ, one from plane
// coordinates h = H + ζ, and one between two kinds of the same side leaves
// the height alone. ζ is taken at the point's B, L on the ellipsoidal side:
// the given (or, from space coordinates, computed) B, L for a conversion to
// plane coordinates, the converted B, L for one from them. Those are the
// positions the common points of a model have.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "geodesy/HeightFit.h"
#include "session/ProjectExtension.h"

class GeoidGrid;

struct SessionHeights {
    bool enabled = false;              // check box 高程拟合
    std::optional<HeightModel> model;  // none: ζ from the geoid alone, when one is named
    std::string geoid;                 // "" none, kEgm96Name or a path

    // Something a project file keeps: the switch on, a model or a geoid.
    bool Any() const { return enabled || model.has_value() || !geoid.empty(); }
    // The conversions need the grid: a model on a geoid, or no model.
    bool NeedsGrid() const { return model ? model->onGeoid : !geoid.empty(); }
    bool operator==(const SessionHeights&) const = default;
};

// What the heights did to one converted point, as bits.
inline constexpr unsigned kHeightOutsideGeoid = 1;  // no ζ: outside the grid, or no grid
inline constexpr unsigned kHeightExtrapolated = 2;  // the model's surface extrapolates there

// What the heights did to one point: the bits above, and where and what ζ was.
struct PointHeight {
    unsigned notes = 0;
    bool applied = false;  // ζ was added or taken off
    double B = 0, L = 0;   // radians, where ζ was evaluated
    double zeta = 0;
};

// ζ at B, L (radians): from the model (with N of `grid` when it stands on a
// geoid) or, without a model, N of `grid` alone. kHeightOutsideGeoid (and
// *zeta untouched) when the grid is needed and lacks the point; with
// kHeightExtrapolated when the model's surface extrapolates.
unsigned HeightAnomalyAt(const SessionHeights& heights, const GeoidGrid* grid, double B, double L,
                         double* zeta);

// The project file's section of the heights.
inline constexpr char kHeightsTag[] = "HGT1";

// Section "HGT1", in the extension's coding (int32, double, text):
//   int32  switch 高程拟合, 0 or 1
//   int32  model present, 0 or 1
//   int32  surface: 0 constant, 1 plane, 2 quadric
//   int32  on the geoid, 0 or 1
//   double centroid B, L (radians), scale (metres, > 0)
//   double coefficients a0..a5
//   double extent: min Δx, max Δx, min Δy, max Δy
//   text   the geoid: "" none, "egm96", or a grid file's path
// Without a model the model's fields hold the defaults of HeightModel.
ProjectSection WriteHeightsSection(const SessionHeights& heights);
// Reads the section's content; false (and *heights untouched) for content
// that does not parse or holds a value out of range: a switch other than 0
// or 1, a surface outside 0..2, a value not finite, |B| > 90°, |L| > 360°,
// a scale not above 0, an extent whose minimum exceeds its maximum, a model
// on a geoid that names none, bytes after the text.
bool ReadHeightsSection(std::string_view bytes, SessionHeights* heights);
