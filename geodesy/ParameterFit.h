// ParameterFit: transformation parameters from any number of common points
// by least squares, with σ0, standard deviations and a residual for every
// point. Standard library only.
//
// Models, each the form the conversions apply:
//   seven  X' = dX + (1 + m) X + rZ Y - rY Z, and cyclic (small angles, rotations
//          not scaled; CGeoCore::ApplySevenParameters), on space rectangular
//          coordinates; at least 3 points;
//   four   x' = Xo + K (cos T x - sin T y), y' = Yo + K (sin T x + cos T y)
//          (CGeoCore::ApplyFourParameters) on plane x, y; at least 2 points;
//   three  the seven with rotations and scale zero; at least 1 point.
#pragma once

#include <optional>
#include <vector>

enum class FitModel { Seven, Four, Three };

// Unknowns of a model (7, 4, 3) and the fewest points that determine them (3, 2, 1).
int UnknownCount(FitModel model);
int MinimumPoints(FitModel model);
// Observations one point gives: 3 (seven, three) or 2 (four).
int ObservationsPerPoint(FitModel model);

// One common point as the estimator takes it: source and target as space
// rectangular X, Y, Z in metres (seven, three), or as plane x, y in metres
// with the third value ignored (four).
struct FitPoint {
    double source[3] = {};
    double target[3] = {};
    bool used = true;  // false: a check point, given a residual but left out of the solution
};

enum class FitStatus {
    Solved,
    TooFewPoints,      // fewer used points than MinimumPoints
    CoincidentPoints,  // two used points within 1 mm of each other on one side
    SingularGeometry,  // the points do not fix every unknown (e.g. all on one line)
    OutOfRange,        // a coordinate is not a number, or beyond kCoordinateLimit
};

// Coordinates of points on and around the earth, plane eastings with a
// zone prefix included, stay well within this many metres.
inline constexpr double kCoordinateLimit = 1e9;

// Two used points closer than this (metres) on either side count as one.
inline constexpr double kCoincidentDistance = 0.001;

struct PointResidual {
    // Observed target minus transformed source, metres: north, east, up in the
    // local horizon of the target point (seven, three); x, y and 0 (four).
    double v[3] = {};
    double norm = 0;       // length of v
    bool flagged = false;  // norm above the tolerance
};

struct ParameterFit {
    FitModel model = FitModel::Seven;
    FitStatus status = FitStatus::TooFewPoints;
    // CoincidentPoints: the two points (indexes into the input); OutOfRange: the point in `first`.
    int first = -1;
    int second = -1;

    int usedPoints = 0;
    int observations = 0;  // of the used points
    int unknowns = 0;
    int redundancy = 0;  // observations - unknowns
    // √(Σv² / redundancy) over the used points, metres; none when the redundancy is 0.
    std::optional<double> sigma0;
    // The tolerance the flags were set by: the one given, else 3 σ0; none
    // when neither exists (then nothing is flagged).
    std::optional<double> tolerance;

    // Seven: dX, dY, dZ (m), rX, rY, rZ (rad), m (scale change); four: Xo,
    // Yo (m), T (rad), K (factor); three: dX, dY, dZ (m). Unused entries 0.
    double parameters[7] = {};
    // Standard deviations σ0 √((AᵀA)⁻¹) in the same units; set with sigma0.
    double deviations[7] = {};

    // One per input point, in input order, check points included.
    std::vector<PointResidual> residuals;

    bool Solved() const { return status == FitStatus::Solved; }
};

// Estimates the parameters of `model` from the used points. targetA and
// targetRf (the target ellipsoid) set the local horizon of the residuals of
// seven and three. tolerance: metres, > 0; without it points beyond 3 σ0 are
// flagged. On failure only model, status, first and second are set.
ParameterFit FitParameters(FitModel model, const std::vector<FitPoint>& points, double targetA,
                           double targetRf, std::optional<double> tolerance = std::nullopt);
