// CommonPointFit: transformation parameters from a table of common points.
// Each side of the table has a coordinate kind and a datum; its values are
// read strictly (numbers, angle texts for latitude and longitude) and turned
// into space rectangular coordinates as the compute-seven command does (plane
// sides through the session's projection settings), or into plane x, y for
// four parameters. The estimation itself is ParameterFit.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/GeoCore.h"
#include "geodesy/ParameterFit.h"
#include "params/CommonPoint.h"
#include "params/TextLanguage.h"

class ConversionSession;

// Coordinate kinds of a side, the order of the radio buttons.
inline constexpr int kSpaceKind = static_cast<int>(CoordinateKind::Space);
inline constexpr int kGeodeticKind = static_cast<int>(CoordinateKind::Geodetic);
inline constexpr int kPlaneKind = static_cast<int>(CoordinateKind::Plane);

// A space rectangular coordinate or a plane northing beyond this many metres
// is no point of the earth: a typing error, refused naming its line.
inline constexpr double kPhysicalLimit = 1e7;

struct FitRequest {
    FitModel model = FitModel::Seven;
    int sourceKind = kGeodeticKind;  // 0 space rectangular, 1 geodetic, 2 plane
    int sourceDatum = 2;             // 0..4, as in the datum lists
    int targetKind = kPlaneKind;
    int targetDatum = 0;
    std::optional<double> tolerance;  // metres, > 0; flags besides the test
    double alpha = kDefaultAlpha;     // significance of the test of each point, 0 < alpha < 0.5
};

// Why a fit could not be made, for the user.
struct FitProblem {
    std::string message;  // in the language asked for; names the file line or table row
    int row = -1;         // index of the point at fault; -1 when no one point is
    int field = -1;       // 0..2 its source values, 3..5 its target values; -1 the whole point
};

// A successful fit and what it was computed from.
struct CommonPointFit {
    FitRequest request;
    std::vector<CommonPoint> points;  // the table, used flags included
    ParameterFit fit;                 // Solved; residuals in the order of `points`
};

// One side of a common point in space rectangular coordinates on the
// ellipsoid of `datum` (0..4), as the compute-seven command forms it.
void GeodeticSideToSpace(int datum, double B, double L, double H, double xyz[3]);
void PlaneSideToSpace(const ConversionParams& settings, int datum, double x, double y, double h,
                      double xyz[3]);

// The checks of the options every fit from a table makes: a tolerance
// (metres) positive and finite, 1e-9 <= alpha < 0.5. False with the message.
bool CheckFitOptions(std::optional<double> tolerance, double alpha, TextLanguage language,
                     FitProblem* problem);
// The names of the rows (name, line of the file or 0) differ; false with the
// later row of a pair in problem->row and a message naming both.
bool CheckTableNames(const std::vector<std::pair<std::string, int>>& rows, TextLanguage language,
                     FitProblem* problem);

// Estimates request.model from the points (all of them read and converted,
// check points included) with the projection settings of `settings`
// (m_projBefore). False with *problem filled when two points have one name,
// a value cannot be read or is beyond kPhysicalLimit, a
// kind or datum is out of range, or the points do not determine the
// parameters; *result is then untouched.
bool ComputeFit(const std::vector<CommonPoint>& points, const FitRequest& request,
                const ConversionParams& settings, TextLanguage language, CommonPointFit* result,
                FitProblem* problem);

// Stores the result in the session as "应用" does: seven → m_seven with the
// seven switch on; three → the shifts, rotations and scale zero, seven switch
// on; four → level 1 or level 2 (`level` 1 or 2) with the four switch on. The
// switches are set both in the controls' members and in the record.
void ApplyFit(const CommonPointFit& result, int level, ConversionSession& session);
