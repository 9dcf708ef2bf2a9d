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

// The significance level of the test of each point unless one is given.
inline constexpr double kDefaultAlpha = 0.001;

// A used point whose smallest redundancy number is below this is poorly
// checked: most of a blunder there goes into the parameters, not into its
// residual.
inline constexpr double kPoorlyChecked = 0.1;

// The points on the map are near-collinear when the smaller principal extent
// is less than this share of the larger: a strip ten times longer than wide.
inline constexpr double kCollinearRatio = 0.1;

// Two used points closer on the map than this share of the larger principal
// extent are near-coincident: together they check hardly more than one point.
inline constexpr double kNearCoincidentShare = 0.001;

struct PointResidual {
    // Observed target minus transformed source, metres: north, east, up in the
    // local horizon of the target point (seven, three); x, y and 0 (four).
    double v[3] = {};
    double norm = 0;  // length of v
    // Position on the map, metres: north and east of the target point in the
    // tangent plane at the centre of the used targets (seven, three); target
    // x, y (four).
    double map[2] = {};
    // Redundancy numbers of the components of v, the diagonal of Q_vv P
    // (used points; check points 0). Their sum over the used points is the
    // redundancy of the fit.
    double redundancy[3] = {};
    // v_k / (σ0 √r_k) per component of a used point; 0 where r_k or σ0 is 0.
    double standardized[3] = {};
    // The test statistic of the point, vᵀ Q⁻¹ v / σ0² over its components
    // (Q the block of Q_vv of a used point, of I + A N⁻¹ Aᵀ of a check
    // point); none when the fit has no test.
    std::optional<double> statistic;
    bool poorlyChecked = false;   // used, smallest redundancy number below kPoorlyChecked
    bool failsTest = false;       // statistic above its critical value
    bool beyondTolerance = false;  // norm above a given tolerance
    bool flagged = false;          // failsTest or beyondTolerance
};

// Where the points are and how well a transformed point is known.
struct FitGeometry {
    double extent[2] = {};  // larger and smaller principal extent of the used points on the map, m
    double ratio = 0;       // extent[1] / extent[0]
    bool nearCollinear = false;  // ratio below kCollinearRatio
    // The closest two used points on the map when they are nearer than
    // kNearCoincidentShare of extent[0]; -1 when none are.
    int nearFirst = -1, nearSecond = -1;
    double nearDistance = 0;
    // Predicted standard deviation (metres, position over all components) of
    // a point transformed with the parameters: at the centre of the used
    // points, and the largest at the four ends of the principal axes'
    // directions at half the larger extent from it. Set with sigma0.
    double centreDeviation = 0;
    double edgeDeviation = 0;
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
    // The tolerance given, metres; points beyond it are flagged too.
    std::optional<double> tolerance;

    // Pope's τ-test of each used point with σ0 from the fit: the statistic
    // over the point's `dimension` components against the (1 - alpha)
    // quantile of τ² (its share of f is Beta(d/2, (f-d)/2)); a check point
    // against d times the quantile of F(d, f). `testable` is false when the
    // redundancy is not above the dimension: then no blunder can be found.
    double alpha = kDefaultAlpha;
    int dimension = 3;
    bool testable = false;
    double criticalUsed = 0;   // of the used points' statistic
    double criticalCheck = 0;  // of the check points' statistic
    int poorlyChecked = 0;     // used points so marked
    FitGeometry geometry;

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
// seven and three. tolerance: metres, > 0, flags points beyond it besides the
// test at significance alpha (0 < alpha < 1). On failure only model, status,
// first and second are set. The cost grows with the number of points as
// n log n: nothing of size n × n is formed.
ParameterFit FitParameters(FitModel model, const std::vector<FitPoint>& points, double targetA,
                           double targetRf, std::optional<double> tolerance = std::nullopt,
                           double alpha = kDefaultAlpha);
