// CommonHeightFit: a height model (geodesy/HeightFit.h) from a table of
// common heights. The rows are read strictly (params/CommonHeightFile.h);
// plane x, y become B, L on the ellipsoid of the request's datum through the
// projection settings of the project (m_projBefore, as the fits of
// parameters read plane sides; no local level is undone), so that the
// model's B, L are those of points of that datum. The window's 高程拟合
// dialog and "terrax-convert --estimate height" both fit through here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"
#include "geodesy/HeightFit.h"
#include "params/CommonHeightFile.h"
#include "params/CommonPointFit.h"
#include "params/TextLanguage.h"

class ConversionSession;
class GeoidGrid;

struct HeightFitRequest {
    HeightSurface surface = HeightSurface::Plane;
    HeightPositions positions = HeightPositions::Plane;  // how the rows' positions read
    int datum = kDatumCgcs2000;  // of the points' B, L or x, y, 0..4 as in the datum lists
    // The geoid the surface stands on: "" none, kEgm96Name or a path (the
    // name stored with the model); the grid itself is given to the fit.
    std::string geoid;
    std::optional<double> tolerance;  // metres, > 0; flags besides the test
    double alpha = kDefaultAlpha;     // significance of the test of each point
};

// A successful fit and what it was computed from.
struct CommonHeightFit {
    HeightFitRequest request;
    std::vector<CommonHeight> points;  // the table, used flags included
    std::vector<HeightPoint> read;     // the points as fitted (B, L in radians)
    HeightFit fit;                     // Solved; residuals in the order of `points`
};

// Fits request.surface to the rows (all read, check points included), on
// `geoid` when request.geoid is not empty. False with *problem filled (its
// row and field: 0, 1 position, 2 h, 3 H) when two rows have one name, a
// value does not read or is out of range, the datum is out of range, the
// tolerance or α is bad, the geoid is missing or a point lies outside it, or
// the points do not fix the surface (too few, on one line for the plane,
// not spread for the quadric); *result is then untouched.
bool ComputeHeightFit(const std::vector<CommonHeight>& points, const HeightFitRequest& request,
                      const ConversionParams& settings, const GeoidGrid* geoid,
                      TextLanguage language, CommonHeightFit* result, FitProblem* problem);

// Stores the result in the session as "应用" does: the model and the geoid
// name in m_heights, the switch 高程拟合 on.
void ApplyHeightFit(const CommonHeightFit& result, ConversionSession& session);

// Names of a surface in reports and on the command line ("constant",
// "plane", "quadric"); the Chinese names 常数、平面、二次曲面.
const char* SurfaceKey(HeightSurface surface);
std::string SurfaceName(HeightSurface surface, TextLanguage language);
